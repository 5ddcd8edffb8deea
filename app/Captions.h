#pragma once
// Captions of the main window's components. The window is designed in Russian; for English the
// English column is put over it once at start-up. Components without an English text keep their
// design caption in both languages.
#include <QByteArray>
#include <QString>
#include <span>

struct Caption {
    const char *component; // the component's name (the widget's objectName)
    const char *russian;   // the window design's caption
    const char *english;   // nullptr: the same text in both languages
};

std::span<const Caption> MainCaptions();

// The design caption of a component (empty text for an unknown name).
QString DesignCaption(const char *component);

// The caption of a component in the interface language, without its mnemonic, as a dialog's title.
QString MenuCaption(const char *component);

// Name of the slave address menu item for an address 0..255: "N0x00" … "N0xFF".
QByteArray SlaveAddressItem(int address);

// Search kinds of the buffer tool bar, item 0 hexadecimal values, item 1 text.
QString SearchKindCaption(int item, bool english);

// Tool button hints: English in the design, the same in both languages.
QString ToolHint(const char *component);
