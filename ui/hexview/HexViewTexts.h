#pragma once

#include <QString>

// Texts of the hex view that follow the interface language (0 Russian, anything else English).
QString HexEditorHint(int languageId);
QString FillBoxCaption(int languageId);
// The message shown when a search finds nothing: the search text and " Не найдено." (both languages).
QString NotFoundMessage(const QString& searchText);
