#include "session/LogText.h"

QString LogNumberSuffix(int64_t number)
{
    if (number < 0) return {};
    return QStringLiteral(" %1 (0x%2)").arg(number).arg(QString::number(number, 16).toUpper(), 6, QLatin1Char('0'));
}
