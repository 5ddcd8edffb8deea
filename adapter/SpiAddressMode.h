#pragma once
// Address layout of a 25xx chip family's read and page-program frames. The chip database says
// which layout each kind of chip uses (chipdb::spiAddressModeOf).

enum SpiAddressMode : int {
    SpiAddress3 = 1,       // 03 / 02 + 3 address bytes
    SpiAddress2 = 2,       // 03 / 02 + 2 address bytes
    SpiAddress1 = 3,       // 1 address byte, address bit 8 in opcode bit 3 (0B / 0A)
    SpiAddress4Mode = 4,   // B7 frame (4-byte mode), then 13 / 02 + 4 address bytes
    SpiAddress4Opcode = 5, // 13 / 12 + 4 address bytes
};
