#include "session/CancelHints.h"

#include "session/Language.h"

QString CancelHintA()
{
    return LanguageId == 1 ? QStringLiteral("(Press Esc to cancel operation)")
                           : QStringLiteral("(Нажмите Esc для отмены операции)");
}

QString CancelHintB()
{
    return LanguageId == 0 ? CancelHintA() : QStringLiteral("(Press Esc to cancel the operation)");
}
