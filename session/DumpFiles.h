#pragma once
// The dump files both front ends read and write, in one place: the formats with their names and
// extensions, the loading of a file (or standard input, "-") into a chip image, and the saving of
// one (or standard output) with a BRG file's status register trailer.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <system_error>

// In the order of the Open dialog's entries 1..4.
enum class DumpFormat { Bin = 1, E2p = 2, Hex = 3, Brg = 4 };

struct DumpFormatInfo {
    DumpFormat format;
    const char* name;      // "bin": the --format value and the JSON name
    const char* extension; // ".BIN": what the file names end in (any case)
    bool writable;         // E2P files are read, never written
};
const std::array<DumpFormatInfo, 4>& DumpFormats();
const DumpFormatInfo& InfoOf(DumpFormat format);

// The upper-case extension of a path with its dot ("" without one).
QString UpperExtension(const QString& path);
// The format an extension (".HEX", any case) stands for: E2P, HEX, BRG, else BIN.
DumpFormat FormatOfExtension(const QString& extension);
// The format a --format value names ("hex", any case).
std::optional<DumpFormat> FormatNamed(const QString& name);

// Standard input or output in place of a file.
inline bool IsStandardStream(const QString& path)
{
    return path == QLatin1String("-");
}

struct LoadedDump {
    QString error;             // empty on success: one line that names the file and the reason
    std::size_t bytes = 0;     // data bytes placed in the destination (a BRG file's trailer left out)
    std::size_t fileBytes = 0; // the file's own size (its header and trailer included)
    // A BRG file's trailer: status registers 1, 2 and 3.
    std::optional<std::array<uint8_t, 3>> registers;
    bool ok() const { return error.isEmpty(); }
};
// Loads `path` (or standard input) as `format` into `destination` from offset 0. A file whose data
// does not fit the destination is refused, never cut short.
LoadedDump LoadDump(const QString& path, DumpFormat format, std::span<uint8_t> destination);

// Writes `data` as `format` (a BRG file gets `registers` after the data, zeros when empty) through
// a temporary file renamed over `path`, or to standard output. E2P cannot be written.
std::error_code SaveDump(const QString& path, DumpFormat format, std::span<const uint8_t> data,
                         std::span<const uint8_t> registers = {});

struct Checksums {
    uint16_t crc16 = 0;
    uint32_t crc32 = 0;
};
Checksums ChecksumsOf(std::span<const uint8_t> bytes);

// Whether a file can be made at `path` before anything is done that the file is to keep: the
// reason in one line, empty when it can (standard output always can).
QString CheckOutputPath(const QString& path);
