#include "session/Document.h"

#include "buffer/BinDump.h"
#include "buffer/E2pDump.h"
#include "buffer/IntelHexWriter.h"

#include <algorithm>

namespace {
// Room past the end so that frame work near the top of the image never runs off the block.
constexpr std::size_t Slack = 4096;
} // namespace

std::filesystem::path NativePath(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

Document::Document() = default;
Document::~Document() = default;

std::span<uint8_t> Document::transfer()
{
    return {transferBlock().get(), transferSize_};
}

std::shared_ptr<uint8_t[]> Document::transferBlock()
{
    // Allocated on first use: a command that never touches a chip image needs no 33 MiB.
    if (!transfer_) transfer_ = std::shared_ptr<uint8_t[]>(new uint8_t[transferSize_ + Slack]());
    return transfer_;
}

void Document::fitTransferToChip(std::size_t chipSize)
{
    const std::size_t size = TransferSizeFor(chipSize);
    if (size == transferSize_ || transfer_.use_count() > 1) return;
    if (transfer_) {
        std::shared_ptr<uint8_t[]> block(new uint8_t[size + Slack]);
        const std::size_t kept = std::min(size, transferSize_);
        std::copy_n(transfer_.get(), kept, block.get());
        transfer_ = std::move(block);
        std::fill(transfer_.get() + kept, transfer_.get() + size + Slack, uint8_t(0xFF));
    }
    transferSize_ = size;
}

void Document::showInEditor(std::span<const uint8_t> data, bool withRegisters)
{
    editor_.load(data, withRegisters ? std::span<const uint8_t>(StatusShadow.SR) : std::span<const uint8_t>());
}

bool Document::copyEditorToTransfer(std::size_t count)
{
    const std::span<const uint8_t> image = editor_.bytes();
    if (image.size() < count || count > transferSize_) return false;
    std::copy_n(image.begin(), count, transfer().begin());
    return true;
}

DumpLoad Document::loadBin(const QString& path, const QString& extension, std::size_t chipSize)
{
    const DumpLoad load = LoadBinFile(NativePath(path), extension.toStdString(), transfer(), chipSize);
    if (load.result == DumpResult::Loaded && load.statusRegisters) StatusShadow.SR = *load.statusRegisters;
    return load;
}

DumpLoad Document::loadE2p(const QString& path, std::size_t chipSize)
{
    return LoadE2PFile(NativePath(path), transfer(), chipSize);
}

HexReadResult Document::loadHex(const QString& path)
{
    return ReadHexFile(NativePath(path), transfer());
}

std::error_code Document::saveEditor(const QString& path)
{
    const std::error_code error = SaveBin(NativePath(path), editor_.bytes());
    if (!error) editor_.markSaved();
    return error;
}

std::error_code Document::saveHex(const QString& path, std::size_t count)
{
    return WriteHexFile(NativePath(path), transfer().first(std::min(count, transferSize_)));
}
