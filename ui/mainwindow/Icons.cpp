#include "ui/mainwindow/Icons.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

namespace {
struct IconName {
    ComponentName component;
    const char* theme;
    QStyle::StandardPixmap fallback;
};

constexpr IconName icons[] = {
    {component::SBOpen, "document-open", QStyle::SP_DialogOpenButton},
    {component::SBSave, "document-save-as", QStyle::SP_DialogSaveButton},
    {component::SBChip, "view-list-text", QStyle::SP_FileDialogDetailedView},
    {component::SBId, "view-barcode", QStyle::SP_MessageBoxInformation},
    {component::SBRead, "document-import", QStyle::SP_ArrowDown},
    {component::SBWrite, "document-export", QStyle::SP_ArrowUp},
    {component::SBCompare, "view-split-left-right", QStyle::SP_FileDialogContentsView},
    {component::SBScen, "media-playlist-play", QStyle::SP_MediaPlay},
    {component::SBFill, "format-fill-color", QStyle::SP_DialogResetButton},
    {component::SBSwap, "exchange-positions", QStyle::SP_BrowserReload},
    {component::SBCheckSum, "document-edit-verify", QStyle::SP_DialogApplyButton},
    {component::SBUndo, "edit-undo", QStyle::SP_ArrowBack},
    {component::SBCalc, "accessories-calculator", QStyle::SP_ComputerIcon},
    {component::SBFind, "edit-find", QStyle::SP_FileDialogContentsView},
    {component::SBStop, "process-stop", QStyle::SP_BrowserStop},
    {component::SBAbout, "help-about", QStyle::SP_MessageBoxQuestion},
    {component::SBErase, "edit-clear", QStyle::SP_TrashIcon},
    {component::SBStatRegs, "configure", QStyle::SP_FileDialogListView},
    {component::SBExit, "application-exit", QStyle::SP_DialogCloseButton},
};
} // namespace

void UseIconTheme()
{
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        if (QDir(QStringLiteral("/usr/share/icons/breeze")).exists()) QIcon::setThemeName(QStringLiteral("breeze"));
}

QIcon ComponentIcon(ComponentName component)
{
    for (const IconName& i : icons)
        if (i.component == component)
            return QIcon::fromTheme(QLatin1String(i.theme), QApplication::style()->standardIcon(i.fallback));
    return {};
}

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/icons/org.vespera.Vespera.svg"));
}
