#include "session/DumpFiles.h"

#include "buffer/BinDump.h"
#include "buffer/Crc.h"
#include "buffer/DumpTexts.h"
#include "buffer/E2pDump.h"
#include "buffer/HexTexts.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "session/Document.h"
#include "session/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::array<DumpFormatInfo, 4> Formats{{
    {DumpFormat::Bin, "bin", ".BIN", true},
    {DumpFormat::E2p, "e2p", ".E2P", false},
    {DumpFormat::Hex, "hex", ".HEX", true},
    {DumpFormat::Brg, "brg", ".BRG", true},
}};

constexpr std::size_t RegisterBytes = 3;

std::optional<std::vector<uint8_t>> ReadStandardInput()
{
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
        if (n == 0) return bytes;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        bytes.insert(bytes.end(), block, block + n);
    }
}

QString Text(const TextPair& text)
{
    return Localized(text);
}

LoadedDump Failed(const QString& error)
{
    LoadedDump load;
    load.error = error;
    return load;
}

// The loaders take the bytes of the file (from standard input) or the file itself.
DumpLoad LoadBinary(const QString& path, const std::vector<uint8_t>* input, DumpFormat format,
                    std::span<uint8_t> destination)
{
    const char* extension = format == DumpFormat::Brg ? ".BRG" : ".BIN";
    if (input) return LoadBin(*input, extension, destination, destination.size());
    return LoadBinFile(NativePath(path), extension, destination, destination.size());
}

} // namespace

const std::array<DumpFormatInfo, 4>& DumpFormats()
{
    return Formats;
}

const DumpFormatInfo& InfoOf(DumpFormat format)
{
    for (const DumpFormatInfo& info : Formats)
        if (info.format == format) return info;
    return Formats[0];
}

QString UpperExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
}

DumpFormat FormatOfExtension(const QString& extension)
{
    for (const DumpFormatInfo& info : Formats)
        if (extension.compare(QLatin1String(info.extension), Qt::CaseInsensitive) == 0) return info.format;
    return DumpFormat::Bin;
}

std::optional<DumpFormat> FormatNamed(const QString& name)
{
    for (const DumpFormatInfo& info : Formats)
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0) return info.format;
    return std::nullopt;
}

LoadedDump LoadDump(const QString& path, DumpFormat format, std::span<uint8_t> destination)
{
    const bool standardInput = IsStandardStream(path);
    const QString shown = standardInput ? Localized("standard input", "стандартный ввод") : path;
    std::optional<std::vector<uint8_t>> input;
    std::size_t fileBytes = 0;
    if (standardInput) {
        input = ReadStandardInput();
        if (!input)
            return Failed(Localized("cannot read %1: %2", "не удаётся прочитать %1: %2")
                              .arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
        fileBytes = input->size();
    } else {
        const QFileInfo info(path);
        if (!info.exists())
            return Failed(Localized("cannot open %1: no such file", "не удаётся открыть %1: файла нет").arg(path));
        if (!info.isFile())
            return Failed(Localized("cannot open %1: not a regular file", "не удаётся открыть %1: это не обычный файл")
                              .arg(path));
        fileBytes = std::size_t(info.size());
    }

    LoadedDump loaded;
    loaded.fileBytes = fileBytes;
    const QString tooLarge =
        Localized("%1 holds more than the %2 bytes the buffer holds", "%1 содержит больше %2 байт, вмещаемых буфером")
            .arg(shown)
            .arg(destination.size());
    if (format == DumpFormat::Hex) {
        const HexReadResult read =
            input ? ReadHex(std::string_view(reinterpret_cast<const char*>(input->data()), input->size()), destination)
                  : ReadHexFile(NativePath(path), destination);
        if (!read.loaded()) return Failed(Text(HexFailureText(read, NativePath(path))).simplified());
        if (read.recordsSkipped > 0) return Failed(tooLarge);
        loaded.bytes = read.bytesCopied;
        return loaded;
    }
    const DumpLoad load = format == DumpFormat::E2p
                              ? (input ? LoadE2P(*input, destination, destination.size())
                                       : LoadE2PFile(NativePath(path), destination, destination.size()))
                              : LoadBinary(path, input ? &*input : nullptr, format, destination);
    if (load.result != DumpResult::Loaded)
        return Failed(QString::fromStdString(DumpErrorText(load.result, NativePath(path))) +
                      (load.error ? QStringLiteral(": ") + QString::fromStdString(load.error.message()) : QString()));
    // A dump cut at the buffer would be taken as whole.
    const std::size_t header = format == DumpFormat::E2p ? kE2PHeaderSize : 0;
    if (fileBytes > load.bytesLoaded + header) return Failed(tooLarge);
    loaded.bytes = load.bytesLoaded;
    if (format == DumpFormat::Brg) {
        loaded.bytes -= std::min(loaded.bytes, RegisterBytes);
        loaded.registers = load.statusRegisters;
    }
    return loaded;
}

namespace {
std::error_code WriteStream(std::FILE* stream, std::span<const uint8_t> bytes)
{
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size())
        return {errno, std::generic_category()};
    if (std::fflush(stream) != 0) return {errno, std::generic_category()};
    return {};
}

std::error_code WriteStandardOutput(std::span<const uint8_t> bytes)
{
    return WriteStream(stdout, bytes);
}

// A device (/dev/full, a serial line) takes the bytes as they come: there is no file to replace.
bool IsDevice(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

std::error_code WriteDevice(const QString& path, std::span<const uint8_t> data, std::span<const uint8_t> trailer)
{
    std::FILE* device = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!device) return {errno, std::generic_category()};
    std::error_code error = WriteStream(device, data);
    if (!error) error = WriteStream(device, trailer);
    if (std::fclose(device) != 0 && !error) error = {errno, std::generic_category()};
    return error;
}
} // namespace

std::error_code SaveDump(const QString& path, DumpFormat format, std::span<const uint8_t> data,
                         std::span<const uint8_t> registers)
{
    std::array<uint8_t, RegisterBytes> trailer{};
    std::copy_n(registers.begin(), std::min(registers.size(), trailer.size()), trailer.begin());
    if (IsStandardStream(path)) {
        switch (format) {
        case DumpFormat::Bin: return WriteStandardOutput(data);
        case DumpFormat::Brg:
            if (const std::error_code error = WriteStandardOutput(data)) return error;
            return WriteStandardOutput(trailer);
        case DumpFormat::Hex: {
            std::error_code error;
            WriteHex(data, [&error](std::string_view text) {
                error = WriteStandardOutput({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
                return !error;
            });
            return error;
        }
        case DumpFormat::E2p: break;
        }
        return std::make_error_code(std::errc::operation_not_supported);
    }
    if (IsDevice(path) && format != DumpFormat::Hex && format != DumpFormat::E2p)
        return WriteDevice(path, data,
                           format == DumpFormat::Brg ? std::span<const uint8_t>(trailer) : std::span<const uint8_t>());
    switch (format) {
    case DumpFormat::Bin: return SaveBin(NativePath(path), data);
    case DumpFormat::Brg: return SaveBrg(NativePath(path), data, trailer);
    case DumpFormat::Hex: return WriteHexFile(NativePath(path), data);
    case DumpFormat::E2p: break;
    }
    return std::make_error_code(std::errc::operation_not_supported);
}

QString CheckOutputPath(const QString& path)
{
    if (IsStandardStream(path)) return {};
    const QFileInfo info(path);
    if (info.isDir())
        return Localized("cannot write %1: it is a folder", "не удаётся записать %1: это папка").arg(path);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return Localized("cannot write %1: the folder %2 does not exist", "не удаётся записать %1: папки %2 нет")
            .arg(path, folder);
    if (info.exists() && !info.isFile()) {
        // A device (/dev/null, /dev/full) is written as it is; whether it takes the bytes shows then.
        if (!info.isWritable())
            return Localized("cannot write %1: %2", "не удаётся записать %1: %2")
                .arg(path, QString::fromLocal8Bit(std::strerror(EACCES)));
        return {};
    }
    // The file is written beside itself and renamed over it: the folder must take a new file.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vespera-XXXXXX")));
    if (!probe.open())
        return Localized("cannot write %1: %2", "не удаётся записать %1: %2").arg(path, probe.errorString());
    return {};
}

Checksums ChecksumsOf(std::span<const uint8_t> bytes)
{
    return {CRC16(bytes), CRC32(bytes)};
}
