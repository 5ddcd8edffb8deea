#include "chipdb/ZStream.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace chipdb {

int Decompress(ChunkReader& file, std::vector<std::uint8_t>& memory)
{
    z_stream zs{};
    if (const int rc = inflateInit(&zs); rc != Z_OK) return rc;
    std::vector<std::uint8_t> in(kZChunk), out(kZChunk);
    int result = Z_DATA_ERROR; // stays so when the file ends before the stream does
    bool ended = false;
    while (!ended) {
        const std::ptrdiff_t n = file.readChunk(in.data(), in.size());
        if (n < 0) {
            result = Z_ERRNO;
            break;
        }
        if (n == 0) break;
        zs.next_in = in.data();
        zs.avail_in = static_cast<uInt>(n);
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            int rc = inflate(&zs, Z_NO_FLUSH);
            if (rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) rc = Z_DATA_ERROR;
            if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR) {
                inflateEnd(&zs);
                return rc;
            }
            const std::size_t have = out.size() - zs.avail_out;
            if (memory.size() + have > kMaxInflatedSize) {
                inflateEnd(&zs);
                return Z_MEM_ERROR;
            }
            try {
                memory.insert(memory.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(have));
            } catch (const std::bad_alloc&) {
                inflateEnd(&zs);
                return Z_ERRNO;
            }
            if (rc == Z_STREAM_END) {
                ended = true;
                result = Z_OK;
                break;
            }
        } while (zs.avail_out == 0);
    }
    inflateEnd(&zs);
    return result;
}

int Compress(std::span<const std::uint8_t> memory, ChunkWriter& file, int level)
{
    z_stream zs{};
    if (const int rc = deflateInit(&zs, level); rc != Z_OK) return rc;
    std::vector<std::uint8_t> out(kZChunk);
    std::size_t pos = 0;
    int flush = Z_NO_FLUSH;
    do {
        const std::size_t n = std::min(kZChunk, memory.size() - pos);
        if (n == 0) {
            deflateEnd(&zs);
            return Z_ERRNO;
        }
        zs.next_in = const_cast<Bytef*>(memory.data() + pos); // zlib's input pointer is not const
        zs.avail_in = static_cast<uInt>(n);
        pos += n;
        flush = pos == memory.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            deflate(&zs, flush);
            const std::size_t have = out.size() - zs.avail_out;
            if (have && !file.writeChunk(out.data(), have)) {
                deflateEnd(&zs);
                return Z_ERRNO;
            }
        } while (zs.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&zs);
    return Z_OK;
}

} // namespace chipdb
