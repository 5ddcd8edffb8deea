#pragma once
// The chip list's zlib stream, read and written in 64 KiB chunks. Results are zlib codes:
// 0 success, -1 read/write failure, -3 bad or incomplete data, -4 no memory, others from init.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace chipdb {

inline constexpr std::size_t kZChunk = 65536;
// A chip list is far smaller; a stream that inflates beyond this is treated as lack of memory.
inline constexpr std::size_t kMaxInflatedSize = 64u * 1024 * 1024;

class ChunkReader {
public:
    virtual ~ChunkReader() = default;
    // Bytes read (0 at the end), or -1 on a read error.
    virtual std::ptrdiff_t readChunk(std::uint8_t* to, std::size_t max) = 0;
};

class ChunkWriter {
public:
    virtual ~ChunkWriter() = default;
    virtual bool writeChunk(const std::uint8_t* from, std::size_t n) = 0;
};

// Inflates one stream into `memory`; bytes after the end of the stream are not read.
int Decompress(ChunkReader& file, std::vector<std::uint8_t>& memory);
// Deflates all of `memory` (which must not be empty) into `file`.
int Compress(std::span<const std::uint8_t> memory, ChunkWriter& file, int level = -1);

} // namespace chipdb
