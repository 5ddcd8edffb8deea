#include "chipdb/ChipListDate.h"

#include <cmath>

namespace chipdb {
namespace {

using namespace std::chrono;
constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

} // namespace

double chipListDateFromYmd(year_month_day date)
{
    return static_cast<double>((sys_days{date} - kEpoch).count());
}

std::optional<year_month_day> ymdFromChipListDate(double date)
{
    constexpr double kFirst = -657434; // 1 January 0001
    constexpr double kLast = 2958465;  // 31 December 9999
    if (!(date >= kFirst && date < kLast + 1)) return std::nullopt;
    return year_month_day{kEpoch + days{static_cast<int>(std::floor(date))}};
}

} // namespace chipdb
