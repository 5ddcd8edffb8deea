#include "ui/mainwindow/Icons.h"

#include <QApplication>
#include <QDir>
#include <QStyle>
#include <cstring>

namespace {
struct IconName {
    const char *component;
    const char *theme;
    QStyle::StandardPixmap fallback;
};

constexpr IconName icons[] = {
    {"SBOpen", "document-open", QStyle::SP_DialogOpenButton},
    {"SBSave", "document-save-as", QStyle::SP_DialogSaveButton},
    {"SBChip", "view-list-text", QStyle::SP_FileDialogDetailedView},
    {"SBId", "view-barcode", QStyle::SP_MessageBoxInformation},
    {"SBRead", "document-import", QStyle::SP_ArrowDown},
    {"SBWrite", "document-export", QStyle::SP_ArrowUp},
    {"SBCompare", "view-split-left-right", QStyle::SP_FileDialogContentsView},
    {"SBScen", "media-playlist-play", QStyle::SP_MediaPlay},
    {"SBFill", "format-fill-color", QStyle::SP_DialogResetButton},
    {"SBSwap", "exchange-positions", QStyle::SP_BrowserReload},
    {"SBCheckSum", "document-edit-verify", QStyle::SP_DialogApplyButton},
    {"SBUndo", "edit-undo", QStyle::SP_ArrowBack},
    {"SBCalc", "accessories-calculator", QStyle::SP_ComputerIcon},
    {"SBFind", "edit-find", QStyle::SP_FileDialogContentsView},
    {"SBStop", "process-stop", QStyle::SP_BrowserStop},
    {"SBAbout", "help-about", QStyle::SP_MessageBoxQuestion},
    {"SBErase", "edit-clear", QStyle::SP_TrashIcon},
    {"SBStatRegs", "configure", QStyle::SP_FileDialogListView},
    {"SBExit", "application-exit", QStyle::SP_DialogCloseButton},
    {"Arrow", "arrow-down", QStyle::SP_ArrowDown},
};
} // namespace

void UseIconTheme()
{
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        if (QDir(QStringLiteral("/usr/share/icons/breeze")).exists())
            QIcon::setThemeName(QStringLiteral("breeze"));
}

QIcon ComponentIcon(const char *component)
{
    for (const IconName &i : icons)
        if (std::strcmp(i.component, component) == 0)
            return QIcon::fromTheme(QLatin1String(i.theme), QApplication::style()->standardIcon(i.fallback));
    return {};
}

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/icons/org.vespera.Vespera.svg"));
}
