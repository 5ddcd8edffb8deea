#pragma once
// An in-process CH347: takes the same command frames as the real adapter (SPI configure C0, chip
// select C1, full duplex C2, read block C3, write block C4, configuration read CA, I2C stream AA)
// and drives one emulated chip in its socket, with the emulated CH341A's fault menu, bus log and
// hot-plug.
//
// The USB side is high speed: OUT transfers reach the adapter in order, each one packet and one
// command; the adapter runs one command at a time, and a command's answer frames (a C3 block
// makes one per 507 bytes, as the SPI clock produces them) go to the IN requests in the order
// they were queued. It holds at most two unread answers: a command that would make another waits,
// and OUT packets behind it wait too. An answer larger than the waiting IN request is lost with an
// overflow; an exchange that cannot finish waits out the host's timeout (in emulated time) and
// fails. With AdapterPace::RealAdapter every packet, SPI byte and I2C clock moves a virtual clock
// by the HighSpeedPace costs.
//
// A chip can be given an SPI clock limit (EmulatedChipConfig::spiClockLimit): above it, the bits
// the chip sends arrive damaged, as from a part or board driven faster than it manages.

#include "adapter/TransferSchedule.h"
#include "adapter/UsbTransport.h"
#include "adapter/ch347/Ch347Protocol.h"
#include "adapter/emulator/ChipSocket.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/HighSpeedPace.h"

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class EmulatedCh347 final : public UsbTransport {
public:
    // `productId`: ch347::ProductIdT or ch347::ProductIdF, the part the adapter says it is.
    explicit EmulatedCh347(EmulatedChipConfig config, double timeScale = 1.0, AdapterPace pace = AdapterPace::Fast,
                           bool realTime = false, uint16_t productId = ch347::ProductIdT);
    ~EmulatedCh347() override;

    UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    void pause(std::chrono::microseconds duration) override;
    std::chrono::nanoseconds now() const override { return clock_.now(); }
    void setEventHandler(AdapterEventHandler handler) override;
    const UsbModel* model() const override { return model_; }

    // Hot-plug, chip swaps, faults, logging and the chip's cells as on the emulated CH341A.
    void plug();
    void announceRemoval();
    void unplug();
    bool plugged() const;
    void insertChip(EmulatedChipConfig config);
    void armFault(EmulatedFault fault, uint64_t afterPackets);
    void clearFault();
    void setRoundTripLatency(std::chrono::microseconds latency);
    void setLogging(bool on);
    BusLog takeLog();
    bool setLogFile(const std::filesystem::path& path);
    std::span<uint8_t> memory() { return socket_.memory(); }
    bool flushImage();
    const EmulatedChipConfig& config() const { return socket_.config(); }
    const EmuClock& clock() const { return clock_; }

    // The SPI engine as the last configuration left it, and its clock.
    ch347::SpiConfig spiConfig() const;
    uint32_t spiClock() const;
    // The longest OUT transfer that reached the adapter.
    std::size_t longestOutTransfer() const;

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                           std::span<const uint16_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) override;

private:
    using Time = HighSpeedPace::Time;
    struct Exchange {
        ExchangeTicket ticket = 0;
        std::vector<uint8_t> out;         // the OUT packets one after another
        std::vector<std::size_t> packets; // start of each packet in `out`, then the end
        std::size_t commandsRun = 0;      // packets the adapter has run to their end
        std::vector<uint16_t> inSizes;
        std::size_t repliesIn = 0;
        std::span<uint8_t> in;
        std::size_t received = 0;
        Time submitted{0};
        Time done{0};
        UsbStatus status = UsbStatus::Ok;
        bool finished() const
        {
            return status != UsbStatus::Ok || (commandsRun + 1 == packets.size() && repliesIn == inSizes.size());
        }
    };
    struct InRequest {
        Exchange* exchange;
        std::size_t index;
        Time ready;
    };
    struct Reply {
        std::vector<uint8_t> bytes;
        Time ready;
    };
    struct Received {
        Exchange* exchange;
        std::size_t packet;
        Time at;
    };

    // The USB side.
    void queueRequest(const TransferSchedule::Request& request, Time at);
    void advance(Exchange& exchange);
    bool step(); // moves the earliest possible event; false when none can happen
    void deliverReply(Time at);
    void takePacket(Time at);
    void failPending(UsbStatus status, Time at);
    void strike(EmulatedFault fault, Time at);
    bool pullOut();

    // The adapter: one command frame, or the next answer of a read block.
    void startCommand(Time at);
    void readChunk(Time at);
    Time execute(std::span<const uint8_t> frame, Time at, std::vector<uint8_t>& reply);
    Time configure(std::span<const uint8_t> payload, std::vector<uint8_t>& reply);
    void chipSelect(std::span<const uint8_t> payload);
    // The bytes out, with the bytes shifted in for them appended to `shiftedIn` when given.
    Time spiOut(std::span<const uint8_t> payload, Time at, std::vector<uint8_t>* shiftedIn);
    uint32_t clockHz() const;
    Time runI2c(std::span<const uint8_t> payload, Time at, std::vector<uint8_t>& reply);
    void answer(std::vector<uint8_t> reply, Time ready);
    // A MISO byte as the host receives it: mirrored for LSB first, damaged above the chip's clock.
    uint8_t received(uint8_t miso);
    void tick(Time& at, Time duration);

    const UsbModel* model_;
    HighSpeedPace pace_;
    EmuClock clock_;
    ChipSocket socket_;

    mutable std::mutex mutex_;
    AdapterEventHandler handler_;
    bool present_ = true;
    bool open_ = false;
    std::chrono::microseconds latency_{0};
    bool corruptNext_ = false, pulledNow_ = false;

    TransferSchedule schedule_;
    std::deque<std::unique_ptr<Exchange>> exchanges_;
    std::vector<uint16_t> wideSizes_;
    std::vector<TransferSchedule::Request> requests_;
    std::deque<Received> outQueue_;
    std::deque<InRequest> inQueue_;
    std::optional<Received> buffered_; // the packet waiting in the adapter for its turn
    std::deque<Reply> replies_;        // answers made and not read yet
    Time busFree_{0}, bufferFree_{0}, deviceFree_{0};
    std::size_t longestOut_ = 0;

    ch347::SpiConfig spi_ = ch347::Mode0Config(0);
    uint32_t readLeft_ = 0;      // bytes of the read block in progress still to clock
    Exchange* reader_ = nullptr; // whose read block that is
    uint64_t misoBytes_ = 0;     // bytes received over the clock limit, for the damage pattern
    uint8_t i2cSpeed_ = 1;
};
