#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialogs) in the interface
// language: Qt speaks English by itself, Russian through its translation qtbase_ru.
#include "text/TextPair.h"

void UseQtTranslation(Language language);
