#pragma once
// What the session last saw on the chip: the bytes of the last whole-chip read (a read, compare,
// blank check or the check after a write or an erase) or of a smart write's read-back. It holds
// only for the same chip selection on the same adapter, and only until something may have changed
// the chip behind its back: any job starts (a read records it again when it ends well), an erase,
// a status register write, a failed operation, a hot-plug event. A smart write that finds it
// holding skips reading the chip; in doubt it reads.
#include "chipdb/Chip.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace bus {
class Adapter;
}

class KnownChipImage {
public:
    void remember(const chipdb::Chip& chip, const std::shared_ptr<bus::Adapter>& adapter,
                  std::span<const uint8_t> bytes);
    // Ownership of the bytes passes in (a smart write's read-back).
    void remember(const chipdb::Chip& chip, const std::shared_ptr<bus::Adapter>& adapter,
                  std::shared_ptr<std::vector<uint8_t>> bytes);
    void forget() { bytes_.reset(); }

    // The bytes, when they are of this chip on this adapter; the session then forgets them (the
    // caller is about to change the chip).
    std::shared_ptr<std::vector<uint8_t>> take(const chipdb::Chip& chip, const std::shared_ptr<bus::Adapter>& adapter);

private:
    std::shared_ptr<std::vector<uint8_t>> bytes_;
    chipdb::Chip chip_;
    std::weak_ptr<bus::Adapter> adapter_;
};
