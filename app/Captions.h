#pragma once
// Captions of the main window's components. The window is designed in Russian; for English the
// English texts are put over it once at start-up. Components whose two texts are the same keep
// their design caption in both languages.
#include "app/ComponentNames.h"
#include "text/TextPair.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

struct Caption {
    ComponentName component;
    TextPair text; // Russian: the window design's caption
};

std::span<const Caption> MainCaptions();

// The design caption of a component (empty text for an unknown name).
QString DesignCaption(ComponentName component);

// The caption of a component in the interface language, without its mnemonic, as a dialog's title.
QString MenuCaption(ComponentName component);

// Search kinds of the buffer tool bar, item 0 hexadecimal values, item 1 text.
QString SearchKindCaption(int item, Language language);

// Tool button hints in the interface language (the caption language), and the longer text some
// of them show in the status bar (empty for most).
QString ToolHint(ComponentName component);
QString ToolStatusTip(ComponentName component);
std::vector<ComponentName> HintedComponents();
