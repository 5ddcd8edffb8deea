#pragma once

#include <QString>

// Texts of the hex view in the current interface language.
QString HexEditorHint();
QString FillBoxCaption();
// The message shown when a search finds nothing: the search text and " Not found." / " Не найдено.".
QString NotFoundMessage(const QString& searchText);
