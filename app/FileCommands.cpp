// Dump files in the main window: Open, Save As, dropped files, the command-line file, the
// recent-files items, and the loaders that put a file into the TransferBuffer and the editor.
#include "app/Language.h"
#include "app/MainController.h"
#include "buffer/BinDump.h"
#include "buffer/DumpTexts.h"
#include "buffer/E2pDump.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "worker/TransferBuffer.h"

#include <QFileInfo>
#include <algorithm>

namespace {
// Open dialog entries 1..5 and Save dialog entries 1..3.
enum OpenFilter { OpenBin = 1, OpenE2p = 2, OpenHex = 3, OpenBrg = 4, OpenAll = 5 };
enum SaveFilter { SaveBinFile = 1, SaveHexFile = 2, SaveBrgFile = 3 };

std::filesystem::path NativePath(const QString &path)
{
    return std::filesystem::path(path.toStdString());
}

QString UpperExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
}
} // namespace

void MainController::LoadBin(const QString &path, const QString &extension)
{
    const DumpLoad load = LoadBinFile(NativePath(path), extension.toStdString(), TransferBuffer(), chip.ChipSize);
    if (load.result != DumpResult::Loaded) {
        view.showMessage(QString::fromStdString(DumpErrorText(load.result, NativePath(path))));
        return;
    }
    if (load.statusRegisters)
        StatusShadow.SR = *load.statusRegisters;
    FinishLoad(path, load);
}

void MainController::LoadE2P(const QString &path)
{
    const DumpLoad load = LoadE2PFile(NativePath(path), TransferBuffer(), chip.ChipSize);
    if (load.result != DumpResult::Loaded) {
        view.showError(QString::fromStdString(DumpErrorText(load.result, NativePath(path))),
                       QString::fromLatin1(kDumpErrorCaption));
        return;
    }
    FinishLoad(path, load);
}

void MainController::FinishLoad(const QString &path, const DumpLoad &load)
{
    PrintLog(Lang(LoadedFileText(NativePath(path), load.bytesLoaded)));
    if (load.sizeDiffers())
        PrintLog(Lang(SizeDiffersText()), LogColour::Red);
    view.loadEditor(TransferBuffer().first(std::min(load.expectedSize, TransferBuffer().size())));
    CheckSum();
}

void MainController::LoadHex(const QString &path)
{
    // A file that cannot be read or is no HEX file leaves the image as it was; the view is
    // reloaded and the checksum shown all the same.
    const HexReadResult read = ReadHexFile(NativePath(path), TransferBuffer());
    if (read.recordsSkipped > 0)
        // Otherwise only the standard error stream, which a desktop user never sees, would say so.
        PrintLog(Lang("Data records outside the buffer were skipped: ", "Пропущены записи данных вне буфера: ")
                     + QString::number(read.recordsSkipped),
                 LogColour::Red);
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, false, false);
    CheckSum();
}

bool MainController::RefuseWhileBusy()
{
    if (!busy())
        return false;
    // The TransferBuffer and the editor belong to the running operation.
    PrintLog(Lang("An operation is running; the file was not loaded.", "Выполняется операция, файл не загружен."),
             LogColour::Red);
    return true;
}

void MainController::ActOpenExecute()
{
    int filter = OpenBin;
    const QString path = view.askOpenFile(&filter);
    if (path.isEmpty())
        return;
    CurrentFileName = path;
    CurrentFileExt = UpperExtension(path);
    view.hideDifferences();
    if (filter == OpenE2p)
        LoadE2P(path);
    else if (filter == OpenHex)
        LoadHex(path);
    else
        LoadBin(path, CurrentFileExt);
    recent.add(path);
}

void MainController::DropFiles(const QStringList &paths)
{
    if (paths.isEmpty() || paths.first().isEmpty() || RefuseWhileBusy())
        return;
    const QString path = paths.first();
    CurrentFileName = path;
    CurrentFileExt = UpperExtension(path);
    view.hideDifferences();
    if (CurrentFileExt == QLatin1String(".E2P"))
        LoadE2P(path);
    else if (CurrentFileExt == QLatin1String(".HEX"))
        LoadHex(path);
    else
        LoadBin(path, CurrentFileExt);
    recent.add(path);
}

void MainController::LoadCommandLineFile(const QString &path)
{
    if (RefuseWhileBusy())
        return;
    CurrentFileName = path;
    LoadBin(path, QString()); // a command-line or forwarded file loads as BIN, whatever its extension
}

void MainController::mFileClick()
{
    const QStringList &paths = recent.paths();
    for (int i = 0; i < paths.size(); ++i) {
        view.setVisible("MmSep1", true);
        view.setVisible("MmHistory", true);
        const QByteArray item = "Hist" + QByteArray::number(i + 1);
        view.setVisible(item.constData(), true);
        view.setCaption(item.constData(), QStringLiteral("&%1: ").arg(i) + paths.at(i));
    }
}

void MainController::Hist1Click(int position)
{
    if (position < 0 || position >= recent.paths().size() || RefuseWhileBusy())
        return;
    CurrentFileName = recent.paths().at(position);
    if (CurrentFileName.isEmpty())
        return;
    CurrentFileExt = UpperExtension(CurrentFileName);
    if (CurrentFileExt == QLatin1String(".E2P"))
        LoadE2P(CurrentFileName);
    else if (CurrentFileExt == QLatin1String(".BIN"))
        LoadBin(CurrentFileName, CurrentFileExt);
    else if (CurrentFileExt == QLatin1String(".HEX"))
        LoadHex(CurrentFileName);
}

void MainController::ActSaveExecute()
{
    const int rememberedFormat = current.autosaveFormat;
    int filter = SaveBinFile;
    const QString name = view.askSaveFile(&filter);
    if (name.isEmpty())
        return;
    CurrentFileName = name;
    view.hideDifferences();
    const QString path = name + (filter == SaveHexFile ? ".HEX" : filter == SaveBrgFile ? ".BRG" : ".BIN");
    if (!CompareMode && !BlankCheckMode && !CopyEditorToTransferBuffer())
        return;
    if (filter == SaveHexFile) {
        if (const std::error_code error = WriteHexFile(NativePath(path), TransferBuffer().first(chip.ChipSize)))
            PrintLog(Lang("Cannot save the file ", "Не удалось сохранить файл ") + path + QStringLiteral(": ")
                         + QString::fromStdString(error.message()),
                     LogColour::Red);
        return;
    }
    current.autosaveFormat = filter == SaveBrgFile ? 1 : 0;
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, BlankCheckMode, CompareMode);
    current.autosaveFormat = rememberedFormat;
    QString error;
    if (!view.saveEditor(path, &error))
        view.showError(Lang("Cannot save the file ", "Не удалось сохранить файл ") + path + QStringLiteral(": ") + error,
                       QStringLiteral("Error"));
}
