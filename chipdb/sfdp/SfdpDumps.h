#pragma once
// The SFDP dumps of real parts (chipdb/data/sfdp), built into the library so that the emulator and
// the tests have them without looking for files, and the rows of the chip database they belong to.

#include "chipdb/sfdp/SfdpDumpTexts.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sfdp {

struct Dump {
    std::string part;
    std::vector<uint8_t> jedecId;
    std::vector<std::string> rows; // CHIPTEXTs of the database rows whose chips answer with it
    std::vector<uint8_t> bytes;    // from SFDP address 0
};

struct DumpCatalogue {
    std::vector<Dump> dumps;
    // Index lines and dumps that could not be read, as "PART: why": a fault of the data, left out.
    std::vector<std::string> faults;
};

// Reads an index (DUMP,JEDEC,ROWS lines, # comments) and the dump texts it names.
DumpCatalogue ReadDumpCatalogue(std::string_view index, std::span<const DumpText> texts);

// The catalogue of the embedded data, read once.
const DumpCatalogue& Dumps();
// The dump the row's chip answers with; nullptr when there is none.
const Dump* DumpOfRow(std::string_view chipText);

} // namespace sfdp
