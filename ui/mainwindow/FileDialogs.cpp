// The dump file dialogs of TFMain.
#include "session/AppPaths.h"
#include "ui/mainwindow/TFMain.h"

#include <QFileDialog>

namespace {
// Both letter cases, as file names on this system keep theirs.
const QStringList openFilters = {
    QStringLiteral("Binary  (*.BIN *.bin)"),
    QStringLiteral("PonyProg Files  (*.E2P *.e2p)"),
    QStringLiteral("Intel Hex  (*.HEX *.hex)"),
    QStringLiteral("Bin + Register Files (*.BRG *.brg)"),
    QStringLiteral("All Files (*)"),
};
const QStringList saveFilters = {
    QStringLiteral("Binary  (*.BIN *.bin)"),
    QStringLiteral("Intel Hex  (*.HEX *.hex)"),
    QStringLiteral("Bin + Register Files (*.BRG *.brg)"),
};
} // namespace

QString TFMain::askOpenFile(int *filter)
{
    QString chosen = openFilters.value(lastOpenFilter - 1, openFilters.first());
    const QString path = QFileDialog::getOpenFileName(this, QString(), AppPaths::DataFolder(),
                                                      openFilters.join(QStringLiteral(";;")), &chosen);
    lastOpenFilter = int(openFilters.indexOf(chosen)) + 1;
    *filter = lastOpenFilter;
    return path;
}

QString TFMain::askSaveFile(int *filter)
{
    QString chosen = saveFilters.first();
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(saveFilters);
    dialog.setDirectory(lastSaveName.isEmpty() ? AppPaths::DataFolder() : QFileInfo(lastSaveName).path());
    if (!lastSaveName.isEmpty())
        dialog.selectFile(lastSaveName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    *filter = int(saveFilters.indexOf(dialog.selectedNameFilter())) + 1;
    static const char *const extensions[] = {".BIN", ".HEX", ".BRG"};
    // The chosen format's extension is appended to the name; the dialog offers the result next time.
    lastSaveName = dialog.selectedFiles().first() + QLatin1String(extensions[std::max(*filter, 1) - 1]);
    return dialog.selectedFiles().first();
}
