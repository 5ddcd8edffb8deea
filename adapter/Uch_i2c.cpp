#include "adapter/Uch_i2c.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>
#include <array>

using namespace ch341;

namespace {

using Packet = std::array<uint8_t, PacketSize>;

bool writeOnly(Ch341Library& library, uint32_t index, uint8_t command)
{
    const Packet packet{CmdI2cStream, command, I2cEnd};
    return library.CH341WriteData(index, std::span<const uint8_t>(packet.data(), 3));
}

// Sends the packet and puts the reply into the same buffer.
bool exchange(Ch341Library& library, uint32_t index, Packet& packet, std::size_t length, uint32_t& replyLength)
{
    replyLength = 0;
    return library.CH341WriteRead(index, std::span<const uint8_t>(packet.data(), length), PacketSize, 1, replyLength,
                                  packet);
}

} // namespace

bool IICStart(Ch341Library& library, uint32_t index)
{
    return writeOnly(library, index, I2cStart);
}

bool IICStop(Ch341Library& library, uint32_t index)
{
    return writeOnly(library, index, I2cStop);
}

bool IICWriteByte(Ch341Library& library, uint32_t index, uint8_t byte)
{
    Packet packet{CmdI2cStream, I2cOut, byte, I2cEnd};
    uint32_t replyLength = 0;
    if (!exchange(library, index, packet, 4, replyLength) || replyLength == 0) return false;
    return (packet[replyLength - 1] & I2cNackBit) == 0;
}

bool IICReadBytes(Ch341Library& library, uint32_t index, uint32_t n, std::span<uint8_t> destination)
{
    if (n == 0 || n > I2cMaxReadPerSegment || destination.size() < n) return false;
    Packet packet{CmdI2cStream, static_cast<uint8_t>(I2cIn | n), I2cEnd};
    uint32_t replyLength = 0;
    if (!exchange(library, index, packet, 3, replyLength) || replyLength != n) return false;
    std::copy_n(packet.begin(), n, destination.begin());
    return true;
}

bool IICReadLastByte(Ch341Library& library, uint32_t index, uint8_t& destination)
{
    Packet packet{CmdI2cStream, I2cIn, I2cEnd};
    uint32_t replyLength = 0;
    if (!exchange(library, index, packet, 3, replyLength) || replyLength == 0) return false;
    destination = packet[replyLength - 1];
    return true;
}
