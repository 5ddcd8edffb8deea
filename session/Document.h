#pragma once
// The chip image a user works on: the transfer buffer that workers read into and write from
// (byte i = chip address i), the edit buffer the hex view shows and edits, the status registers
// that travel with a BRG dump, and the file it came from. Loaders go file → transfer buffer, the
// editor is filled from the transfer buffer, writes go editor → transfer buffer → chip. Files are
// read and written through buffer/ only; the hex view observes the edit buffer and never writes
// files.
#include "buffer/DumpLoad.h"
#include "buffer/IntelHexReader.h"
#include "buffer/edit/EditBuffer.h"
#include "chipdb/SetParams.h"
#include <array>

#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <system_error>

// A HEX file can fill the largest chip, and nothing larger.
static_assert(kHexImageSize == chipdb::kMaxChipSize);

// The status registers 1..3 of an SPI chip as last read, edited in the dialog or loaded from a
// BRG dump. SR[0] is status register 1.
struct StatusShadow {
    std::array<uint8_t, 3> SR{};
};

class Document {
public:
    // The transfer buffer holds the selected chip and 1 MiB more (room for a file somewhat larger
    // than the chip), and never less than 33 MiB, so that every chip up to 32 MiB shares one size.
    static constexpr std::size_t TransferMargin = 1u << 20;
    static constexpr std::size_t SmallestTransfer = (32u << 20) + TransferMargin;
    static constexpr std::size_t LargestTransfer = chipdb::kMaxChipSize + TransferMargin;
    static constexpr std::size_t TransferSizeFor(std::size_t chipSize)
    {
        return std::max(SmallestTransfer, std::min<std::size_t>(chipSize, chipdb::kMaxChipSize) + TransferMargin);
    }

    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // While a worker runs the transfer buffer is the worker's; it holds the block until its end.
    std::span<uint8_t> transfer();
    std::shared_ptr<uint8_t[]> transferBlock();
    // Sizes the transfer buffer for a chip of `chipSize` bytes (TransferSizeFor). The bytes both
    // sizes hold are kept; bytes gained read FF, as an erased chip does. A block a worker still
    // holds is left as it is: what the worker reads must not land in a block nobody sees.
    void fitTransferToChip(std::size_t chipSize);
    EditBuffer& editor() { return editor_; }
    const EditBuffer& editor() const { return editor_; }
    std::span<const uint8_t> bytes() const { return editor_.bytes(); }

    // Status registers 1..3 as last read from the chip, edited in the dialog or loaded from a BRG.
    ::StatusShadow StatusShadow;
    // The file last opened or saved (CurrentFileName) and its upper-case extension with the dot.
    QString CurrentFileName, CurrentFileExt;

    // Replaces the editor's contents with `data`, followed by the status registers when
    // `withRegisters` (the BRG form of a chip image).
    void showInEditor(std::span<const uint8_t> data, bool withRegisters);
    // Copies the first `count` editor bytes to the transfer buffer for a write; false (nothing
    // copied) when the editor holds fewer.
    bool copyEditorToTransfer(std::size_t count);

    DumpLoad loadBin(const QString& path, const QString& extension, std::size_t chipSize);
    DumpLoad loadE2p(const QString& path, std::size_t chipSize);
    HexReadResult loadHex(const QString& path);

    // Writes the editor's bytes as they are; the editor counts as saved afterwards.
    std::error_code saveEditor(const QString& path);
    // Writes the first `count` transfer bytes as Intel HEX.
    std::error_code saveHex(const QString& path, std::size_t count);

private:
    std::size_t transferSize_ = SmallestTransfer;
    std::shared_ptr<uint8_t[]> transfer_;
    EditBuffer editor_;
};

// A Qt path as the file system library takes it.
std::filesystem::path NativePath(const QString& path);
