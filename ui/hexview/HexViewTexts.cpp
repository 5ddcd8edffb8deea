#include "ui/hexview/HexViewTexts.h"

#include "buffer/edit/EditCommands.h"
#include "session/Language.h"

QString HexEditorHint()
{
    return Localized("To download a file, drag it to the Hex Editor window.",
                     "Для загрузки файла перетащите его в окно Hex редактора.");
}

QString FillBoxCaption()
{
    return Localized("Fill Buffer", "Заполнить буфер");
}

QString NotFoundMessage(const QString& searchText)
{
    return searchText + Localized(kNotFoundSuffix);
}
