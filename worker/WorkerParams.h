#pragma once
// The block a worker is started with. A field a start does not fill stays zero.
#include <cstdint>
#include <string>

struct WorkerParams {
    uint32_t size = 0;         // chip bytes to process
    uint16_t pageSize = 0;     // the chip's page size
    std::string chipText;      // I2C: CHIPTEXT of the chip; SPI: its kind text ("ID_SPI25"); may be empty
    uint8_t type = 0;          // I2C: the 24xx type code
    uint8_t* buffer = nullptr; // the chip image (the TransferBuffer), at least `size` bytes
};
