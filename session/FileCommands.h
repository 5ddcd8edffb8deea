#pragma once
// Dump files and the buffer commands of a session: loading a file into the chip image (BIN, BRG,
// E2P, Intel HEX), saving it, the write's copy of the editor into the transfer buffer, and fill,
// swap, find and checksum.
#include "session/DumpFiles.h"

#include <QString>
#include <cstdint>

class Session;
struct DumpLoad;

class FileCommands {
public:
    // Dump formats in the order of the Open dialog's entries 1..4.
    using Format = DumpFormat;

    explicit FileCommands(Session& session) : session_(session) {}

    // Loads a file as `format` into the chip image and the editor; it becomes the current file.
    // False (after a red line) when it could not be loaded: the buffers and the current file stay
    // as they were.
    bool open(const QString& path, Format format);
    // The format a file name's extension stands for: E2P, HEX, BRG, else BIN.
    static Format formatOfExtension(const QString& extension);
    // The extension Save As appends to the name entered: ".BIN", ".HEX" or ".BRG".
    static QString SavedExtension(Format format);
    // The file Save As writes for the name entered: the name itself when it already ends in the
    // extension of a format it saves (any case), which then is the format saved; otherwise the
    // name with the extension of `format`.
    static QString SavedPath(const QString& name, Format* format);
    // The upper-case extension of a path with its dot ("" without one).
    static QString UpperExtension(const QString& path);

    bool LoadBin(const QString& path, const QString& extension);
    bool LoadE2P(const QString& path);
    bool LoadHex(const QString& path);

    // Saves the chip image as BIN, BRG (data and status registers) or HEX under SavedPath(name).
    // False (after saying why) when the file could not be written.
    bool saveAs(const QString& name, Format format);

    // Refuses a load while an operation owns the buffers (with a red line).
    bool RefuseWhileBusy();
    // The write's copy of the editor into the transfer buffer; a red line and ready when the
    // editor holds fewer bytes than the chip.
    bool CopyEditorToTransferBuffer();

    // Buffer commands: fill the chip's bytes of the editor with a value (-1: an empty fill field,
    // nothing to fill) and swap them pairwise, each as one step of the editor's undo; find a pattern after the
    // selection, the checksum.
    void FillBufClick(int value);
    void MmSwapClick();
    bool find(const QString& text, int searchKind); // false: not found (a box said so)

private:
    void FinishLoad(const QString& path, const DumpLoad& load);
    // A file that cannot be used: a red line, and the command's outcome.
    void refuse(const struct TextPair& text);

    Session& session_;
};
