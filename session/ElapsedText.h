#pragma once
// Elapsed seconds as the log shows them: 4 significant digits, general number format.
#include <QString>

// Fixed notation when the value is at least 0.00001 and has at most 4 digits before the decimal
// point, scientific otherwise ("1.235E4", "1E-6"); trailing zeros dropped; the locale's decimal
// separator.
QString FormatSeconds(float seconds);
