#include "chipdb/ChipTraits.h"

#include <array>
#include <cctype>
#include <string>

namespace chipdb {
namespace {

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A name rule: the text anywhere in the upper-cased name, or at its start.
struct NameRule {
    enum class Match { Contains, Prefix } match;
    std::string_view text;
    void (*apply)(Chip&);

    bool matches(std::string_view name) const
    {
        return match == Match::Prefix ? name.substr(0, text.size()) == text : name.find(text) != std::string_view::npos;
    }
};

// Atmel/Adesto AT25DF and AT26DF: register 1 bit 4 is the WP pin's state, not a protection bit;
// the AT25DF's global unprotect takes a second write.
void Atmel25df(Chip& c)
{
    c.eraseCheckIgnoredBits = 0x10;
    c.unprotect = UnprotectQuirk::GlobalUnprotectTwice;
}
void Atmel26df(Chip& c)
{
    c.eraseCheckIgnoredBits = 0x10;
}
// SST26: every block is write-locked at power-up in a register of its own; 98 unlocks.
void Sst26(Chip& c)
{
    c.unprotect = UnprotectQuirk::BlockLockRegister;
}
// MX25L2026: a vendor unprotect sequence that ends with a whole-chip erase.
void Mx25l2026(Chip& c)
{
    c.unprotect = UnprotectQuirk::EraseSequence;
}
// PCA24S08: answers at 0xA8 only, whatever the slave address chosen.
void Pca24s08(Chip& c)
{
    c.fixedDeviceAddress = 0xA8;
}

constexpr std::array<NameRule, 5> Rules{{
    {NameRule::Match::Contains, "AT25DF", Atmel25df},
    {NameRule::Match::Contains, "AT26DF", Atmel26df},
    {NameRule::Match::Contains, "SST26", Sst26},
    {NameRule::Match::Contains, "MX25L2026", Mx25l2026},
    {NameRule::Match::Prefix, "PCA24S08", Pca24s08},
}};

} // namespace

bool IsSpansionFlS(std::string_view name)
{
    if (name.substr(0, 5) != "S25FL") return false;
    std::size_t i = 5;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > 5 && i < name.size() && name[i] == 'S';
}

void ApplyNameTraits(Chip& chip)
{
    const std::string name = Upper(chip.name);
    for (const NameRule& rule : Rules)
        if (rule.matches(name)) rule.apply(chip);
    if (IsSpansionFlS(name)) chip.b9 = B9Meaning::BankRegisterAccess;
}

} // namespace chipdb
