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
    TextPair text; // both letter cases, as file names on this system keep theirs
    Format format;
};

const TextPair binary{"Binary  (*.BIN *.bin)", "Двоичные файлы  (*.BIN *.bin)"};
const TextPair intelHex{"Intel Hex  (*.HEX *.hex)", "Intel Hex  (*.HEX *.hex)"};
const TextPair withRegisters{"Bin + Register Files (*.BRG *.brg)", "Двоичные файлы с регистрами (*.BRG *.brg)"};

// "All Files" loads as binary, or as BRG when the file is named so.
const DumpFilter openFilters[] = {
    {binary, Format::Bin},
    {{"PonyProg Files  (*.E2P *.e2p)", "Файлы PonyProg  (*.E2P *.e2p)"}, Format::E2p},
    {intelHex, Format::Hex},
    {withRegisters, Format::Brg},
    {{"All Files (*)", "Все файлы (*)"}, Format::Bin},
};
const DumpFilter saveFilters[] = {
    {binary, Format::Bin},
    {intelHex, Format::Hex},
    {withRegisters, Format::Brg},
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
    for (const DumpFilter& filter : filters) texts << LocalizedCaption(filter.text);
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
    // A name typed with a dump extension is written as it is; the dialog offers it next time.
    const QString path = FileCommands::SavedPath(name, format);
    lastSaveName = path;
    // The dialog asked about the name typed; it did not see the extension appended to it.
    if (path != name && QFileInfo::exists(path) &&
        !askYesNo(Localized("The file %1 exists already. Replace it?", "Файл %1 уже существует. Заменить его?")
                      .arg(QDir::toNativeSeparators(path)),
                  Localized("Saving data", "Сохранение данных")))
        return {};
    return name;
}
