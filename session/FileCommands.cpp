#include "session/FileCommands.h"

#include "buffer/DumpTexts.h"
#include "buffer/HexTexts.h"
#include "buffer/edit/EditCommands.h"
#include "session/Language.h"
#include "session/Session.h"

#include <QFileInfo>
#include <algorithm>

QString FileCommands::UpperExtension(const QString& path)
{
    return ::UpperExtension(path);
}

QString FileCommands::SavedExtension(Format format)
{
    return QLatin1String(InfoOf(InfoOf(format).writable ? format : Format::Bin).extension);
}

QString FileCommands::SavedPath(const QString& name, Format* format)
{
    const QString extension = UpperExtension(name);
    for (const DumpFormatInfo& saved : DumpFormats())
        if (saved.writable && extension == QLatin1String(saved.extension)) {
            *format = saved.format;
            return name;
        }
    return name + SavedExtension(*format);
}

FileCommands::Format FileCommands::formatOfExtension(const QString& extension)
{
    return FormatOfExtension(extension);
}

bool FileCommands::open(const QString& path, Format format)
{
    session_.hideDifferences();
    bool loaded = false;
    switch (format) {
    case Format::E2p: loaded = LoadE2P(path); break;
    case Format::Hex: loaded = LoadHex(path); break;
    case Format::Bin:
    case Format::Brg: loaded = LoadBin(path, UpperExtension(path)); break;
    }
    // A file that did not load is not the current file.
    if (loaded) {
        session_.document().CurrentFileName = path;
        session_.document().CurrentFileExt = UpperExtension(path);
    }
    return loaded;
}

void FileCommands::refuse(const TextPair& text)
{
    session_.fail(Outcome::BadInput, Localized(text));
}

bool FileCommands::LoadBin(const QString& path, const QString& extension)
{
    const DumpLoad load = session_.document().loadBin(path, extension, session_.chip().size);
    if (load.result != DumpResult::Loaded) {
        refuse(DumpFailureText(load, NativePath(path)));
        return false;
    }
    FinishLoad(path, load);
    return true;
}

bool FileCommands::LoadE2P(const QString& path)
{
    const DumpLoad load = session_.document().loadE2p(path, session_.chip().size);
    if (load.result == DumpResult::CannotOpen || load.result == DumpResult::ReadError) {
        refuse(DumpFailureText(load, NativePath(path)));
        return false;
    }
    if (load.result != DumpResult::Loaded) {
        session_.noteOutcome(Outcome::BadInput);
        session_.events().fail(QString::fromStdString(DumpErrorText(load.result, NativePath(path))),
                               QString::fromLatin1(kDumpErrorCaption));
        return false;
    }
    FinishLoad(path, load);
    return true;
}

void FileCommands::FinishLoad(const QString& path, const DumpLoad& load)
{
    session_.PrintLog(Localized(LoadedFileText(NativePath(path), load.bytesLoaded)));
    if (load.sizeDiffers()) session_.fail(Outcome::BadInput, Localized(SizeDiffersText()));
    Document& document = session_.document();
    document.showInEditor(document.transfer().first(std::min(load.expectedSize, document.transfer().size())), false);
    session_.showCheckSum();
}

bool FileCommands::LoadHex(const QString& path)
{
    // A file that cannot be read, or whose records do not check, leaves everything as it was.
    const HexReadResult read = session_.document().loadHex(path);
    if (!read.loaded()) {
        refuse(HexFailureText(read, NativePath(path)));
        return false;
    }
    if (!read.endRecordSeen) session_.PrintLog(Localized(HexNoEndRecordText(NativePath(path))));
    if (read.bytesCopied > session_.chip().size)
        // A write would leave out what lies past the chip: say so now.
        session_.fail(Outcome::BadInput, Localized(SizeDiffersText()));
    if (read.recordsSkipped > 0)
        // Otherwise only the standard error stream, which a desktop user never sees, would say so.
        session_.fail(Outcome::BadInput, Localized("Data records outside the buffer were skipped: ",
                                                   "Пропущены записи данных вне буфера: ") +
                                             QString::number(read.recordsSkipped));
    session_.loadEditorFromTransfer();
    session_.showCheckSum();
    return true;
}

bool FileCommands::RefuseWhileBusy()
{
    if (!session_.busy()) return false;
    // The TransferBuffer and the editor belong to the running operation.
    session_.fail(Outcome::BadInput, Localized("An operation is running; the file was not loaded.",
                                               "Выполняется операция, файл не загружен."));
    return true;
}

bool FileCommands::CopyEditorToTransferBuffer()
{
    if (session_.document().copyEditorToTransfer(session_.chip().size)) return true;
    // Past what the editor holds the TransferBuffer has stale bytes: never write them out.
    session_.fail(Outcome::BadInput, Localized("The buffer holds fewer bytes than the chip; nothing was done.",
                                               "В буфере меньше байтов, чем в чипе; ничего не сделано."));
    session_.ActivateControls(Ready);
    return false;
}

bool FileCommands::saveAs(const QString& name, Format format)
{
    Document& document = session_.document();
    const uint32_t chipSize = session_.chip().size;
    const QString path = SavedPath(name, &format);
    document.CurrentFileName = path;
    session_.hideDifferences();
    // The file holds what the editor shows.
    if (!CopyEditorToTransferBuffer()) return false;
    if (format == Format::Hex) {
        if (const std::error_code error = document.saveHex(path, chipSize)) {
            session_.fail(Outcome::IoFailure, Localized("Cannot save the file ", "Не удалось сохранить файл ") + path +
                                                  QStringLiteral(": ") + QString::fromStdString(error.message()));
            return false;
        }
        document.editor().markSaved();
        return true;
    }
    // A BRG file carries an SPI chip's status registers after the data.
    document.showInEditor(document.transfer().first(chipSize), format == Format::Brg && session_.isSpiChip());
    if (const std::error_code error = document.saveEditor(path)) {
        session_.noteOutcome(Outcome::IoFailure);
        session_.events().fail(Localized("Cannot save the file ", "Не удалось сохранить файл ") + path +
                                   QStringLiteral(": ") + QString::fromStdString(error.message()),
                               Localized("Error", "Ошибка"));
        return false;
    }
    return true;
}

// A fill is one step of the editor's undo, like any edit: only the chip's bytes change (not the
// register bytes a BRG view shows after them).
void FileCommands::FillBufClick(int value)
{
    if (value < 0) return;
    EditBuffer& editor = session_.document().editor();
    editor.fill(0, std::min<std::size_t>(session_.chip().size, editor.size()), uint8_t(value));
}

// The bytes the user sees are swapped, as one step of the editor's undo: the chip image that a
// compare or a read left in the transfer buffer is not theirs.
void FileCommands::MmSwapClick()
{
    EditBuffer& editor = session_.document().editor();
    std::vector<uint8_t> swapped(editor.bytes().begin(), editor.bytes().end());
    SwapBytes(swapped, session_.chip().size);
    editor.writeBytes(0, swapped);
}

bool FileCommands::find(const QString& text, int searchKind)
{
    const std::vector<uint8_t> pattern =
        searchKind == int(SearchKind::Hex) ? HexPattern(text.toStdString()) : TextPattern(text.toStdU32String());
    const uint32_t chipSize = session_.chip().size;
    if (pattern.empty() || chipSize == 0) return true;
    if (session_.document().editor().findNext(pattern, chipSize - 1) >= 0) return true;
    session_.events().inform(text + Localized(kNotFoundSuffix));
    return false;
}
