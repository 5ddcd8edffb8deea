#include "ui/hexview/HexViewTexts.h"

#include "buffer/edit/EditCommands.h"

QString HexEditorHint(int languageId)
{
    return languageId == 0 ? QStringLiteral("Для загрузки файла перетащите его в окно Hex редактора.")
                           : QStringLiteral("To download a file, drag it to the Hex Editor window.");
}

QString FillBoxCaption(int languageId)
{
    return languageId == 0 ? QStringLiteral("Заполнить буфер") : QStringLiteral("Fill Buffer");
}

QString NotFoundMessage(const QString& searchText)
{
    return searchText + QString::fromUtf8(kNotFoundSuffix.data(), qsizetype(kNotFoundSuffix.size()));
}
