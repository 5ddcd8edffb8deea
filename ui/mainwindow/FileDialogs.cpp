// The dump file dialogs of TFMain.
#include "session/AppPaths.h"
#include "session/Language.h"
#include "ui/mainwindow/TFMain.h"

#include <QFileDialog>
#include <QMessageBox>
#include <span>

namespace {
using Format = FileCommands::Format;

struct DumpFilter {
    const char* text; // both letter cases, as file names on this system keep theirs
    Format format;
};

// "All Files" loads as binary, or as BRG when the file is named so.
constexpr DumpFilter openFilters[] = {
    {"Binary  (*.BIN *.bin)", Format::Bin},
    {"PonyProg Files  (*.E2P *.e2p)", Format::E2p},
    {"Intel Hex  (*.HEX *.hex)", Format::Hex},
    {"Bin + Register Files (*.BRG *.brg)", Format::Brg},
    {"All Files (*)", Format::Bin},
};
constexpr DumpFilter saveFilters[] = {
    {"Binary  (*.BIN *.bin)", Format::Bin},
    {"Intel Hex  (*.HEX *.hex)", Format::Hex},
    {"Bin + Register Files (*.BRG *.brg)", Format::Brg},
};

// Runs a dump file dialog that starts on filter `entry` and returns the file chosen ("" when
// cancelled), with the entry chosen in `entry` and its format in `format`. The entry is found by
// its position among the dialog's own filter texts: the dialog reports the chosen one with its
// spaces collapsed, so the texts above never match it.
QString RunDumpDialog(QFileDialog& dialog, std::span<const DumpFilter> filters, int& entry, Format& format)
{
    // Qt's own dialog on every desktop: the one the tests drive, translated with the program.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (const DumpFilter& filter : filters) texts << QLatin1String(filter.text);
    dialog.setNameFilters(texts);
    const QStringList shown = dialog.nameFilters();
    dialog.selectNameFilter(shown.value(entry, shown.first()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().first();
    const int chosen = int(shown.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0) {
        entry = chosen;
        format = filters[chosen].format;
    } else { // never a silent fall back to raw bytes: the name says what the file holds
        format = FileCommands::formatOfExtension(FileCommands::UpperExtension(path));
    }
    return path;
}
} // namespace

QString TFMain::askOpenFile(FileCommands::Format* format)
{
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(lastOpenFolder.isEmpty() ? AppPaths::DataFolder() : lastOpenFolder);
    const QString path = RunDumpDialog(dialog, openFilters, lastOpenFilter, *format);
    if (!path.isEmpty()) lastOpenFolder = QFileInfo(path).path();
    return path;
}

QString TFMain::askSaveFile(FileCommands::Format* format)
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(lastSaveName.isEmpty() ? AppPaths::DataFolder() : QFileInfo(lastSaveName).path());
    if (!lastSaveName.isEmpty()) dialog.selectFile(lastSaveName);
    const QString name = RunDumpDialog(dialog, saveFilters, lastSaveFilter, *format);
    if (name.isEmpty()) return {};
    // The chosen format's extension is appended to the name; the dialog offers the result next time.
    const QString path = name + FileCommands::SavedExtension(*format);
    lastSaveName = path;
    // The dialog asked about the name typed, not about the file that is written.
    if (QFileInfo::exists(path) &&
        !askYesNo(Localized("The file %1 exists already. Replace it?", "Файл %1 уже существует. Заменить его?")
                      .arg(QDir::toNativeSeparators(path)),
                  Localized("Saving data", "Сохранение данных")))
        return {};
    return name;
}
