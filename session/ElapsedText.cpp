#include "session/ElapsedText.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace {
QString DropTrailingZeros(QString digits)
{
    if (!digits.contains(QLatin1Char('.'))) return digits;
    while (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
    if (digits.endsWith(QLatin1Char('.'))) digits.chop(1);
    return digits;
}
} // namespace

QString FormatSeconds(float seconds)
{
    const double value = seconds;
    if (value == 0 || !std::isfinite(value)) return QStringLiteral("0");
    char mantissa[32];
    std::snprintf(mantissa, sizeof mantissa, "%.3e", value); // 4 significant digits: d.ddde±x
    const QString scientific = QString::fromLatin1(mantissa);
    const int exponent = scientific.section(QLatin1Char('e'), 1).toInt();
    QString text;
    if (std::fabs(value) >= 0.00001 && exponent < 4) {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%.*f", exponent >= 3 ? 0 : 3 - exponent, value);
        text = DropTrailingZeros(QString::fromLatin1(fixed));
    } else {
        text = DropTrailingZeros(scientific.section(QLatin1Char('e'), 0, 0)) + QLatin1Char('E') +
               QString::number(exponent);
    }
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}
