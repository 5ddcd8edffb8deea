#pragma once
// The chip list's date: days since 30 December 1899 as a double, the fraction being the time of day.

#include <chrono>
#include <optional>

namespace chipdb {

double chipListDateFromYmd(std::chrono::year_month_day date);
// The calendar day of a stamp; empty for values that are no date (NaN, beyond years 1..9999).
std::optional<std::chrono::year_month_day> ymdFromChipListDate(double date);

} // namespace chipdb
