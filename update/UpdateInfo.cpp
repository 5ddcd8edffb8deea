#include "update/UpdateInfo.h"

#define SI_CONVERT_ICU
#include <SimpleIni.h>

namespace update {
namespace {

std::string valueOf(const CSimpleIniA& ini, const char* key)
{
    std::string value = ini.GetValue("Info", key, "");
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

} // namespace

UpdateInfo ParseUpdateInfo(std::span<const std::uint8_t> bytes)
{
    CSimpleIniA ini{true /*UTF-8*/, false /*multi-key*/, false /*multi-line*/};
    if (ini.LoadData(reinterpret_cast<const char*>(bytes.data()), bytes.size()) < 0) return {};
    return {valueOf(ini, "Update Version"), valueOf(ini, "Update File"), valueOf(ini, "Update Changes"),
            valueOf(ini, "Update Chiplist")};
}

} // namespace update
