#include "chipdb/protection/StatusWriteConsequences.h"

#include <string>

#include "chipdb/protection/ProtectedRange.h"

namespace chipdb {
namespace {

std::string Named(std::string_view name)
{
    return std::string(name);
}

// The lock SRP1/SRL and SRP0 give, or none.
enum class RegisterLock { None, UntilPowerOff, Forever };

RegisterLock LockOf(const ProtectionScheme& s, const StatusBytes& r)
{
    if (!s.srp1.isSet(r)) return RegisterLock::None;
    return s.srpBothSetIsPermanent && s.srp0.isSet(r) ? RegisterLock::Forever : RegisterLock::UntilPowerOff;
}

StatusWriteConsequence UntilPowerOff(const ProtectionScheme& s)
{
    const std::string bit = Named(s.srp1Name) + " = 1";
    // Where SRP1:SRP0 = 1:1 is not the one-time lock, a part ordered with that option has it.
    const bool option = !s.srpBothSetIsPermanent;
    return {ConsequenceKind::RegistersLockedUntilPowerOff,
            Lasting::UntilPowerOff,
            {bit + (option ? "" : " with " + Named(s.srp0Name) + " = 0") +
                 " locks the status registers until the chip is powered off: until then no status write, unprotect "
                 "included, is taken" +
                 (option ? " (for ever on parts made with the one-time lock option)." : "."),
             bit + (option ? "" : " при " + Named(s.srp0Name) + " = 0") +
                 " блокирует регистры статуса до выключения питания чипа: до тех пор никакая запись статуса, в том "
                 "числе снятие защиты, не выполняется" +
                 (option ? " (на чипах с опцией однократной блокировки — навсегда)." : ".")}};
}

StatusWriteConsequence Forever(const ProtectionScheme& s)
{
    const std::string bits = Named(s.srp1Name) + " = 1 and " + Named(s.srp0Name) + " = 1";
    const std::string bitsRu = Named(s.srp1Name) + " = 1 и " + Named(s.srp0Name) + " = 1";
    return {ConsequenceKind::RegistersLockedForever,
            Lasting::Forever,
            {bits + " lock the status registers for ever (one-time lock): the protection bits can never be changed "
                    "again.",
             bitsRu + " блокируют регистры статуса навсегда (однократная блокировка): биты защиты больше никогда не "
                      "изменить."}};
}

StatusWriteConsequence OneTime(const OneTimeBit& b)
{
    const std::string name = Named(b.name);
    if (b.meaning == OneTimeMeaning::BottomProtection)
        return {ConsequenceKind::OneTimeBitSet,
                Lasting::Forever,
                {name + " is one-time programmable: once set, the protected area counts from the bottom of the chip "
                        "for ever.",
                 name + " программируется однократно: после установки защищаемая область навсегда отсчитывается от "
                        "начала чипа."}};
    return {ConsequenceKind::OneTimeBitSet,
            Lasting::Forever,
            {name + " is one-time programmable: once set, its security register can never be written or erased "
                    "again.",
             name + " программируется однократно: после установки его регистр безопасности больше никогда не "
                    "записать и не стереть."}};
}

StatusWriteConsequence WholeChipByCmp()
{
    return {ConsequenceKind::WholeChipProtectedByCmp,
            Lasting::UntilRewritten,
            {"CMP = 1 with these BP bits protects the whole chip: clearing status register 1 alone does not lift it; "
             "CMP must be cleared as well.",
             "CMP = 1 с этими битами BP защищает весь чип: очистка только регистра статуса 1 защиту не снимает, "
             "нужно сбросить и CMP."}};
}

StatusWriteConsequence PerBlock()
{
    return {ConsequenceKind::PerBlockLocks,
            Lasting::UntilRewritten,
            {"WPS = 1 replaces BP, TB, SEC and CMP by per-block locks, which lock every block after each power-up "
             "until a global unlock (98h).",
             "WPS = 1 заменяет BP, TB, SEC и CMP поблочной защитой, которая после каждого включения питания "
             "блокирует все блоки до общей разблокировки (98h)."}};
}

bool WholeChip(const ProtectedRange& r, std::uint64_t size)
{
    return r.begin == 0 && r.end >= size;
}

} // namespace

std::vector<StatusWriteConsequence> statusWriteConsequences(const ProtectionScheme& scheme, std::uint64_t chipSize,
                                                            const StatusBytes& before, const StatusBytes& after)
{
    std::vector<StatusWriteConsequence> out;
    const RegisterLock was = LockOf(scheme, before), will = LockOf(scheme, after);
    if (will != was && will == RegisterLock::UntilPowerOff && was == RegisterLock::None)
        out.push_back(UntilPowerOff(scheme));
    if (will != was && will == RegisterLock::Forever) out.push_back(Forever(scheme));
    for (const OneTimeBit& b : scheme.oneTime)
        if (b.bit.exists() && !b.bit.isSet(before) && b.bit.isSet(after)) out.push_back(OneTime(b));
    if (scheme.cmp.isSet(after) && !scheme.wps.isSet(after) && chipSize != 0) {
        const bool wasWhole = WholeChip(protectedRange(scheme, chipSize, before), chipSize);
        if (!wasWhole && WholeChip(protectedRange(scheme, chipSize, after), chipSize)) out.push_back(WholeChipByCmp());
    }
    if (!scheme.wps.isSet(before) && scheme.wps.isSet(after)) out.push_back(PerBlock());
    return out;
}

bool locksTheChip(const std::vector<StatusWriteConsequence>& consequences)
{
    for (const StatusWriteConsequence& c : consequences)
        if (c.lasting != Lasting::UntilRewritten) return true;
    return false;
}

} // namespace chipdb
