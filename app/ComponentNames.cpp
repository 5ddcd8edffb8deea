#include "app/ComponentNames.h"

#include <array>
#include <cstdio>

namespace component {
namespace {
// Built once: the names must outlive every use of them, as the literal ones do.
template <std::size_t Count>
using NameTexts = std::array<std::array<char, 8>, Count>;

const NameTexts<RecentFileCount>& RecentFileTexts()
{
    static const NameTexts<RecentFileCount> texts = [] {
        NameTexts<RecentFileCount> t{};
        for (int i = 0; i < RecentFileCount; ++i)
            std::snprintf(t[std::size_t(i)].data(), t[std::size_t(i)].size(), "Hist%d", i + 1);
        return t;
    }();
    return texts;
}

const NameTexts<256>& SlaveAddressTexts()
{
    static const NameTexts<256> texts = [] {
        NameTexts<256> t{};
        for (int a = 0; a < 256; ++a) std::snprintf(t[std::size_t(a)].data(), t[std::size_t(a)].size(), "N0x%02X", a);
        return t;
    }();
    return texts;
}
} // namespace

ComponentName RecentFile(int number)
{
    return {RecentFileTexts().at(std::size_t(number - 1)).data()};
}

ComponentName SlaveAddressItem(int address)
{
    return {SlaveAddressTexts().at(std::size_t(address & 0xFF)).data()};
}
} // namespace component
