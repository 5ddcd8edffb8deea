#pragma once
// Captions of the main window's components. The window is designed in Russian; for English the
// English texts are put over it once at start-up. Components whose two texts are the same keep
// their design caption in both languages.
#include "text/TextPair.h"

#include <QByteArray>
#include <QString>
#include <span>

struct Caption {
    const char *component; // the component's name (the widget's objectName)
    TextPair text;         // Russian: the window design's caption
};

std::span<const Caption> MainCaptions();

// The design caption of a component (empty text for an unknown name).
QString DesignCaption(const char *component);

// The caption of a component in the interface language, without its mnemonic, as a dialog's title.
QString MenuCaption(const char *component);

// Name of the slave address menu item for an address 0..255: "N0x00" … "N0xFF".
QByteArray SlaveAddressItem(int address);

// Search kinds of the buffer tool bar, item 0 hexadecimal values, item 1 text.
QString SearchKindCaption(int item, Language language);

// Tool button hints: English in the design, the same in both languages.
QString ToolHint(const char *component);
