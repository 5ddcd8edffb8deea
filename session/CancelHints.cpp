#include "session/CancelHints.h"

#include "session/Language.h"

QString CancelHintA()
{
    return LocalizedCaption("(Press Esc to cancel operation)", "(Нажмите Esc для отмены операции)");
}

QString CancelHintB()
{
    return Localized("(Press Esc to cancel the operation)", "(Нажмите Esc для отмены операции)");
}
