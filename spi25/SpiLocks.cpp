#include "spi25/SpiLocks.h"

#include <string>

namespace spi25 {
namespace {

// The register layout of the parts with a second status register (Winbond W25Q, GigaDevice,
// XMC, ...): SR1 b7 SRP0, SR2 b0 SRP1 (SRL), b3..b5 the security register lock bits LB1..LB3
// (one-time), b6 CMP.
constexpr uint8_t Srp0 = 0x80;
constexpr uint8_t Srp1 = 0x01;
constexpr uint8_t LockBits = 0x38;
constexpr uint8_t Complement = 0x40;
constexpr uint8_t BlockBits = 0x1C;

} // namespace

std::vector<TextPair> LockConsequences(const chipdb::Chip& chip, const std::array<uint8_t, 3>& before,
                                       const std::array<uint8_t, 3>& after)
{
    std::vector<TextPair> locks;
    if (chip.statusRegisters < 2) return locks; // one register: its SRWD bit only acts with /WP low
    const bool srp0 = after[0] & Srp0, srp1 = after[1] & Srp1;
    const bool wasLocked = (before[1] & Srp1) != 0;
    if (srp1 && !wasLocked) {
        if (srp0)
            locks.push_back({"SRP1:SRP0 = 1:1 locks the status registers for ever (a one-time lock).",
                             "SRP1:SRP0 = 1:1 блокирует регистры статуса навсегда (однократная блокировка)."});
        else
            locks.push_back({"SRP1:SRP0 = 1:0 locks the status registers until the chip is powered off.",
                             "SRP1:SRP0 = 1:0 блокирует регистры статуса до выключения питания чипа."});
    }
    for (int bit = 3; bit <= 5; ++bit) {
        const uint8_t mask = uint8_t(1u << bit);
        if ((after[1] & mask) && !(before[1] & mask)) {
            const std::string n = std::to_string(bit - 2);
            locks.push_back({"LB" + n + " = 1 locks security register " + n + " for ever.",
                             "LB" + n + " = 1 навсегда блокирует регистр безопасности " + n + "."});
        }
    }
    if ((after[1] & Complement) && (after[0] & BlockBits) == 0 && (srp1 || (after[1] & LockBits)))
        locks.push_back({"CMP = 1 with BP = 000 protects the whole chip, and the lock keeps it so.",
                         "CMP = 1 при BP = 000 защищает весь чип, а блокировка сохраняет эту защиту."});
    return locks;
}

} // namespace spi25
