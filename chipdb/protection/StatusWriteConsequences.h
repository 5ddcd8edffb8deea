#pragma once
// What a status register write would do that cannot simply be written back: register locks
// (until power-off or for ever), one-time programmable bits, and protection that an ordinary
// unprotect leaves in place. The program asks before it writes any of these.

#include <cstdint>
#include <vector>

#include "chipdb/protection/ProtectionScheme.h"
#include "text/TextPair.h"

namespace chipdb {

enum class ConsequenceKind : std::uint8_t {
    RegistersLockedUntilPowerOff, // SRP1:SRP0 = 1:0, SRL = 1
    RegistersLockedForever,       // SRP1:SRP0 = 1:1 where that is the one-time lock
    OneTimeBitSet,                // LBn, Macronix TB
    WholeChipProtectedByCmp,      // CMP = 1 with BP bits that leave nothing writable
    PerBlockLocks,                // WPS = 1
};

enum class Lasting : std::uint8_t { UntilRewritten, UntilPowerOff, Forever };

struct StatusWriteConsequence {
    ConsequenceKind kind;
    Lasting lasting;
    TextPair text; // one sentence naming the bit and what it does

    bool operator==(const StatusWriteConsequence&) const = default;
};

// The consequences of writing `after` over `before` (both SR1..SR3 as the chip will hold them),
// in the order of the kinds above. Only bits the part has and that change count.
std::vector<StatusWriteConsequence> statusWriteConsequences(const ProtectionScheme& scheme, std::uint64_t chipSize,
                                                            const StatusBytes& before, const StatusBytes& after);

// Whether any of them outlasts a later status write: what --force-lock must allow.
bool locksTheChip(const std::vector<StatusWriteConsequence>& consequences);

} // namespace chipdb
