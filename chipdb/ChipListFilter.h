#pragma once
// The per-row test of the chip list: by the search box, or by the identification text that the
// SPI auto-select searched for. It lives beside the table (not in the dialog) because the
// auto-select filters the table while no dialog exists.

#include <string>

#include "chipdb/ChipRecord.h"

namespace chipdb {

struct ChipListFilter {
    bool signatureMode = false;      // set by the SPI auto-select, cleared by choosing or opening
    std::string signatureText;       // "C22016", "0013"
    std::string searchText;          // the dialog's search box
    bool recordFilterEnabled = true; // off only while every row must be visited

    // Upper-cased SIGNATURE contains the signature text, or upper-cased CHIPTEXT contains the
    // search text. Letter case is folded for ASCII only.
    bool accepts(const ChipRecord& r) const;
};

} // namespace chipdb
