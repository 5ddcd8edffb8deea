#pragma once
// An in-process CH341A: decodes the same USB packets as the real adapter (I2C stream 0xAA,
// SPI stream 0xA8, pin stream 0xAB) and drives one emulated chip on its I2C or SPI bus, or a
// 93Cxx on the pins of the 25xx socket (through the usual adapter board: CS on D0, CLK on D3,
// DI on D5, DO on D7).
// Records a bus log for tests and, on request, a bus log file for people; plugging and
// unplugging drive the hot-plug handler. With an image file the chip's contents and the status
// bits it keeps without power (ChipStateFile.h) are saved beside it on close, unplug and
// flushImage().
//
// The USB side behaves as the real adapter's does: OUT packets reach the adapter in order and it
// runs them one segment after another; each segment that answers makes one IN packet, handed to
// the IN requests in the order they were queued; the adapter holds at most two unread replies,
// so OUT segments behind them wait for the host to read. A reply larger than the waiting IN
// request is lost with an overflow; an exchange whose replies or OUT data cannot all move waits
// until the host's timeout (in emulated time) and fails. With AdapterPace::RealAdapter the clock
// is virtual and every packet and segment moves it by the pace model's costs.

#include "adapter/TransferSchedule.h"
#include "adapter/UsbTransport.h"
#include "adapter/emulator/ChipSocket.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"
#include "adapter/emulator/PaceModel.h"

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

class EmulatedCh341 final : public UsbTransport {
public:
    // timeScale > 1 makes emulated time run faster than real time (erases, write cycles); it is
    // not used at the RealAdapter pace, whose clock is virtual.
    explicit EmulatedCh341(EmulatedChipConfig config, double timeScale = 1.0, AdapterPace pace = AdapterPace::Fast,
                           bool realTime = false);
    ~EmulatedCh341() override;

    UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    void pause(std::chrono::microseconds duration) override;
    std::chrono::nanoseconds now() const override { return clock_.now(); }
    void setEventHandler(AdapterEventHandler handler) override;

    // Hot-plug: the handler hears 3 on plug, 1 on announceRemoval and 0 on unplug (on the
    // calling thread).
    void plug();
    void announceRemoval();
    void unplug();
    bool plugged() const;

    // Takes the chip out of the socket (saving its image) and puts `config`'s chip in, as a user
    // swaps chips with the adapter on the desk; an empty-socket config leaves it empty. Not while
    // an exchange runs.
    void insertChip(EmulatedChipConfig config);

    // Arms a fault that strikes once `afterPackets` more OUT packets have reached the adapter
    // (a busy chip stays busy until clearFault, a plug or an unplug).
    void armFault(EmulatedFault fault, uint64_t afterPackets);
    void clearFault();

    // Real time each exchange takes at the Fast pace; 0 by default.
    void setRoundTripLatency(std::chrono::microseconds latency);

    // Bus log, off by default for speed.
    void setLogging(bool on);
    BusLog takeLog();
    // Writes every USB packet and bus event to `path` from now on (see BusLogFile.h); an empty
    // path stops it. False when the file cannot be written.
    bool setLogFile(const std::filesystem::path& path);

    // The chip's cells, for tests to seed and inspect (not while an exchange runs). Counts as a
    // change for the image file.
    std::span<uint8_t> memory() { return socket_.memory(); }
    // Writes the image file now if the contents changed, and the state file if the kept status
    // bits changed.
    bool flushImage();
    const EmulatedChipConfig& config() const { return socket_.config(); }
    uint8_t wireMode() const { return wireMode_; }
    const EmuClock& clock() const { return clock_; }
    const PaceModel& paceModel() const { return pace_; }

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) override;

private:
    using Time = PaceModel::Time;
    struct Exchange {
        ExchangeTicket ticket = 0;
        std::vector<uint8_t> out;         // the OUT transfers one after another
        std::vector<std::size_t> packets; // start of each packet in `out`, then the end
        std::size_t packetsSent = 0;      // packets the adapter has taken
        std::size_t segmentsRun = 0;      // and run
        std::vector<uint8_t> inSizes;
        std::size_t repliesIn = 0;
        std::span<uint8_t> in;
        std::size_t received = 0;
        Time submitted{0};
        Time done{0};
        UsbStatus status = UsbStatus::Ok;
        // Back to a new exchange, keeping the buffers' room.
        void reset()
        {
            ticket = 0;
            out.clear();
            packets.clear();
            packetsSent = segmentsRun = repliesIn = received = 0;
            inSizes.clear();
            in = {};
            submitted = done = Time(0);
            status = UsbStatus::Ok;
        }
        bool finished() const
        {
            return status != UsbStatus::Ok || (segmentsRun + 1 == packets.size() && repliesIn == inSizes.size());
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

    void queueRequest(const TransferSchedule::Request& request, Time at);
    // Runs the USB side until `exchange` has finished or nothing more can move.
    void advance(Exchange& exchange);
    // Moves the earliest of the possible next events; false when none can happen.
    bool step();
    void deliverReply(Time at);
    void startSegment(Time at);
    void failPending(UsbStatus status, Time at);
    void dropPending();

    // Run one segment on the adapter from `at`; return its duration.
    Time runSegment(std::span<const uint8_t> segment, Time at, std::vector<uint8_t>& reply);
    Time runI2c(std::span<const uint8_t> segment, Time at, std::vector<uint8_t>& reply);
    Time runUio(std::span<const uint8_t> segment, Time at, std::vector<uint8_t>& reply);
    Time runSpi(std::span<const uint8_t> segment, Time at, std::vector<uint8_t>& reply);
    // Moves the virtual clock to the end of a sub-command that has just run.
    void tick(Time& at, Time duration);
    void updateChipSelect();
    // The socket's lines to a 93Cxx after a pin change, and the port as a pin read sees it.
    void updateMicrowire();
    uint8_t portLevels() const;
    void logNote(std::string_view text) { socket_.note(text); }
    void usbNote(std::string_view text) { socket_.usbNote(text); }

    PaceModel pace_;
    EmuClock clock_;
    ChipSocket socket_;

    mutable std::mutex mutex_;
    AdapterEventHandler handler_;
    bool present_ = true;
    bool open_ = false;
    std::chrono::microseconds latency_{0};

    // The USB side: queued exchanges, the requests the host has handed over and the adapter's
    // state. Times are on the emulated clock (all 0 at the Fast pace).
    TransferSchedule schedule_;
    std::deque<std::unique_ptr<Exchange>> exchanges_;
    std::vector<std::unique_ptr<Exchange>> spare_;
    std::vector<TransferSchedule::Request> requests_;
    std::deque<Received> outQueue_;    // OUT packets handed to USB, in order
    std::deque<InRequest> inQueue_;    // IN requests handed to USB, in order
    std::optional<Received> buffered_; // the packet waiting in the adapter for its turn
    std::deque<Reply> replies_;        // replies made and not read yet
    Time busFree_{0};
    Time bufferFree_{0};
    Time deviceFree_{0};
    // What an adapter-side fault has set off.
    bool corruptNext_ = false, pulledNow_ = false;
    void strike(EmulatedFault fault, Time at);
    // With the lock held: the adapter is gone (power off for the chip); false when it already was.
    bool pullOut();

    uint8_t wireMode_ = 0x01;
    uint8_t pinOut_ = 0x3F;
    uint8_t pinDir_ = 0x00;
    bool selected_ = false;
};
