#include "buffer/E2pDump.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "buffer/Crc.h"
#include "fileio/InputFile.h"

namespace {

constexpr char kIdentifier[8] = {'E', '2', 'P', '!', 'L', 'a', 'n', 'c'};
constexpr std::size_t kDataCrcOffset = 148;
constexpr std::size_t kHeaderCrcOffset = 150;

std::uint16_t LittleEndian16(std::span<const std::uint8_t> header, std::size_t offset)
{
    return static_cast<std::uint16_t>(header[offset] | header[offset + 1] << 8);
}

// Checks a complete header against the CRC of the data that follows it.
DumpResult CheckHeader(std::span<const std::uint8_t> header, std::uint16_t dataCrc)
{
    if (header.size() < kE2PHeaderSize || std::memcmp(header.data(), kIdentifier, sizeof kIdentifier) != 0)
        return DumpResult::IdentifierError;
    if (CRC16(header.first(kHeaderCrcOffset)) != LittleEndian16(header, kHeaderCrcOffset) ||
        dataCrc != LittleEndian16(header, kDataCrcOffset))
        return DumpResult::CrcError;
    return DumpResult::Loaded;
}

} // namespace

DumpLoad LoadE2P(std::span<const std::uint8_t> file, std::span<std::uint8_t> destination, std::size_t chipSize)
{
    if (file.size() < kE2PHeaderSize) return DumpLoad::Failed(DumpResult::IdentifierError);
    const auto data = file.subspan(kE2PHeaderSize);
    const DumpResult result = CheckHeader(file.first(kE2PHeaderSize), CRC16(data));
    if (result != DumpResult::Loaded) return DumpLoad::Failed(result);
    const std::size_t n = std::min(data.size(), destination.size());
    std::copy_n(data.begin(), n, destination.begin());
    return DumpLoad::Loaded(n, chipSize);
}

DumpLoad LoadE2PFile(const std::filesystem::path& path, std::span<std::uint8_t> destination, std::size_t chipSize)
{
    fileio::InputFile file(path);
    if (!file.isOpen()) return DumpLoad::Failed(DumpResult::CannotOpen, file.error());
    std::array<std::uint8_t, kE2PHeaderSize> header;
    const std::size_t headerRead = file.Read(header);
    if (file.error()) return DumpLoad::Failed(DumpResult::ReadError, file.error());
    if (headerRead < kE2PHeaderSize) return DumpLoad::Failed(DumpResult::IdentifierError);

    std::vector<std::uint8_t> chunk(64 * 1024);
    std::uint16_t dataCrc = 0;
    for (std::size_t got; (got = file.Read(chunk)) > 0;) dataCrc = CRC16Update(dataCrc, std::span(chunk).first(got));
    if (file.error()) return DumpLoad::Failed(DumpResult::ReadError, file.error());
    const DumpResult result = CheckHeader(header, dataCrc);
    if (result != DumpResult::Loaded) return DumpLoad::Failed(result);

    if (!file.Seek(kE2PHeaderSize)) return DumpLoad::Failed(DumpResult::ReadError, file.error());
    const std::size_t n = file.Read(destination);
    if (file.error()) return DumpLoad::Failed(DumpResult::ReadError, file.error());
    return DumpLoad::Loaded(n, chipSize);
}
