#include "worker/TransferBuffer.h"

#include <memory>

namespace {
// Room past the end so that frame work near the top of the image never runs off the block.
constexpr std::size_t Slack = 4096;
} // namespace

std::span<uint8_t> TransferBuffer()
{
    static const std::unique_ptr<uint8_t[]> block(new uint8_t[TransferBufferSize + Slack]());
    return {block.get(), TransferBufferSize};
}
