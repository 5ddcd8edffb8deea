#include "adapter/emulator/EmulatedCh341.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>
#include <thread>
#include <utility>

using namespace ch341;

EmulatedCh341::EmulatedCh341(EmulatedChipConfig config, double timeScale, AdapterPace pace, bool realTime)
    : pace_(pace, realTime),
      clock_(timeScale, pace == AdapterPace::RealAdapter ? EmuClock::Kind::Virtual : EmuClock::Kind::Scaled),
      socket_(std::move(config), clock_)
{
}

EmulatedCh341::~EmulatedCh341()
{
    std::lock_guard lock(mutex_);
    socket_.persist();
}

UsbStatus EmulatedCh341::open()
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NotFound;
    open_ = true;
    logNote("adapter opened");
    return UsbStatus::Ok;
}

void EmulatedCh341::close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    failPending(UsbStatus::NotOpen, clock_.now());
    socket_.persist();
    logNote("adapter closed");
}

bool EmulatedCh341::isOpen() const
{
    std::lock_guard lock(mutex_);
    return open_ && present_;
}

bool EmulatedCh341::flushImage()
{
    std::lock_guard lock(mutex_);
    return socket_.persist();
}

void EmulatedCh341::pause(std::chrono::microseconds duration)
{
    if (!pace_.timed()) return std::this_thread::sleep_for(clock_.toReal(duration));
    clock_.advance(duration);
    pace_.keepPace(clock_.now());
}

void EmulatedCh341::setEventHandler(AdapterEventHandler handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void EmulatedCh341::plug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (present_) return;
        present_ = true;
        socket_.endBusyFault();
        logNote("adapter plugged in");
        handler = handler_;
    }
    if (handler) handler(AdapterEventArrived);
}

bool EmulatedCh341::plugged() const
{
    std::lock_guard lock(mutex_);
    return present_;
}

void EmulatedCh341::insertChip(EmulatedChipConfig config)
{
    std::lock_guard lock(mutex_);
    socket_.insert(std::move(config));
    selected_ = false;
}

void EmulatedCh341::announceRemoval()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        logNote("adapter about to be removed");
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemovePending);
}

void EmulatedCh341::unplug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (!pullOut()) return;
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemoved);
}

bool EmulatedCh341::pullOut()
{
    if (!present_) return false;
    present_ = false;
    open_ = false;
    failPending(UsbStatus::NoDevice, clock_.now());
    selected_ = false; // power is gone: a frame in progress is not executed
    socket_.powerOff();
    socket_.persist();
    logNote("adapter unplugged");
    return true;
}

void EmulatedCh341::armFault(EmulatedFault fault, uint64_t afterPackets)
{
    std::lock_guard lock(mutex_);
    corruptNext_ = false;
    socket_.armFault(fault, afterPackets);
}

void EmulatedCh341::clearFault()
{
    std::lock_guard lock(mutex_);
    corruptNext_ = false;
    socket_.clearFault();
}

void EmulatedCh341::strike(EmulatedFault fault, Time at)
{
    switch (fault) {
    case EmulatedFault::UsbError:
        usbNote("fault: a USB transfer fails");
        failPending(UsbStatus::Failed, at);
        break;
    case EmulatedFault::I2cNak:
    case EmulatedFault::ChipStaysBusy: break; // the socket's own
    case EmulatedFault::CorruptReply:
        logNote("fault: the next reply byte is changed");
        corruptNext_ = true;
        break;
    case EmulatedFault::Pulled: pulledNow_ = pullOut(); break;
    }
}

void EmulatedCh341::setRoundTripLatency(std::chrono::microseconds latency)
{
    std::lock_guard lock(mutex_);
    latency_ = latency;
}

void EmulatedCh341::setLogging(bool on)
{
    std::lock_guard lock(mutex_);
    socket_.setLogging(on);
}

bool EmulatedCh341::setLogFile(const std::filesystem::path& path)
{
    std::lock_guard lock(mutex_);
    return socket_.setLogFile(path, present_ ? "logging starts, adapter present" : "logging starts, adapter unplugged");
}

BusLog EmulatedCh341::takeLog()
{
    std::lock_guard lock(mutex_);
    return socket_.takeLog();
}

UsbStatus EmulatedCh341::doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                  std::span<const uint8_t> inSizes, std::span<uint8_t> in)
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NoDevice;
    if (!open_) return UsbStatus::NotOpen;
    if (pace_.timed()) clock_.advanceTo(pace_.realElapsed());
    const Time now = pace_.timed() ? clock_.now() : Time(0);

    // Exchanges are recycled with their buffers.
    std::unique_ptr<Exchange> exchange;
    if (spare_.empty()) {
        exchange = std::make_unique<Exchange>();
    } else {
        exchange = std::move(spare_.back());
        spare_.pop_back();
        exchange->reset();
    }
    exchange->ticket = ticket;
    exchange->inSizes.assign(inSizes.begin(), inSizes.end());
    exchange->in = in;
    exchange->submitted = now;
    exchange->packets.push_back(0);
    for (std::span<const uint8_t> transfer : out) {
        // Each transfer starts a packet of its own; its last one may be short.
        for (std::size_t pos = 0; pos < transfer.size(); pos += PacketSize) {
            const std::size_t n = std::min(PacketSize, transfer.size() - pos);
            exchange->out.insert(exchange->out.end(), transfer.begin() + static_cast<std::ptrdiff_t>(pos),
                                 transfer.begin() + static_cast<std::ptrdiff_t>(pos + n));
            exchange->packets.push_back(exchange->out.size());
        }
    }
    Exchange& queued = *exchanges_.emplace_back(std::move(exchange));
    requests_.clear();
    schedule_.add(ticket, out, inSizes.size(), requests_);
    for (const auto& request : requests_) queueRequest(request, now);
    // The OUT side of the schedule is in transfers; the adapter takes them packet by packet.
    for (std::size_t p = 0; p + 1 < queued.packets.size(); ++p) outQueue_.push_back({&queued, p, now});
    return UsbStatus::Ok;
}

void EmulatedCh341::queueRequest(const TransferSchedule::Request& request, Time at)
{
    if (request.kind != TransferSchedule::Request::Kind::In) return;
    for (auto& exchange : exchanges_)
        if (exchange->ticket == request.exchange) return inQueue_.push_back({exchange.get(), request.index, at});
}

UsbStatus EmulatedCh341::doCollect(ExchangeTicket ticket, std::size_t& received)
{
    std::unique_lock lock(mutex_);
    const auto found =
        std::find_if(exchanges_.begin(), exchanges_.end(), [ticket](const auto& e) { return e->ticket == ticket; });
    if (found == exchanges_.end()) return open_ ? UsbStatus::InvalidArgument : UsbStatus::NotOpen;
    Exchange& exchange = **found;
    advance(exchange);

    if (!exchange.finished()) {
        // Nothing more can move: the host waits out its timeout, then gives up on everything queued.
        const bool outStuck = exchange.segmentsRun + 1 < exchange.packets.size();
        const Time waited = outStuck ? HostOutTimeout : HostInTimeout;
        usbNote(outStuck ? "timeout: OUT stalled, the adapter holds unread replies no IN request takes"
                         : "timeout: IN request with no reply pending");
        if (pace_.timed()) {
            clock_.advanceTo(std::max(clock_.now(), exchange.submitted) + waited);
        } else {
            clock_.advance(waited);
        }
        failPending(UsbStatus::Timeout, clock_.now());
    }
    const UsbStatus status = exchange.status;
    received = exchange.received;
    if (pace_.timed()) clock_.advanceTo(pace_.seenByHost(exchange.submitted, exchange.done));
    const auto done =
        std::find_if(exchanges_.begin(), exchanges_.end(), [ticket](const auto& e) { return e->ticket == ticket; });
    spare_.push_back(std::move(*done));
    exchanges_.erase(done);
    const auto latency = latency_;
    const Time seen = clock_.now();
    const AdapterEventHandler removed = std::exchange(pulledNow_, false) ? handler_ : AdapterEventHandler();
    lock.unlock();
    if (removed) removed(AdapterEventRemoved);
    if (pace_.timed())
        pace_.keepPace(seen);
    else if (latency.count() > 0)
        std::this_thread::sleep_for(latency);
    return status;
}

void EmulatedCh341::advance(Exchange& exchange)
{
    while (!exchange.finished() && step()) {}
}

bool EmulatedCh341::step()
{
    // The possible next events, each at the earliest time it can happen; the earliest runs, a
    // reply read first on a tie (it makes room), then a segment start, then an OUT packet.
    constexpr Time never = Time::max();
    Time read = never, run = never, take = never;
    if (!replies_.empty() && !inQueue_.empty())
        read = std::max({replies_.front().ready, inQueue_.front().ready, busFree_});
    if (buffered_ && replies_.size() < PaceModel::MaxUnreadReplies) run = std::max(buffered_->at, deviceFree_);
    if (!buffered_ && !outQueue_.empty()) take = std::max({outQueue_.front().at, bufferFree_, busFree_});

    const Time first = std::min({read, run, take});
    if (first == never) return false;
    if (first == read) {
        deliverReply(read);
    } else if (first == run) {
        startSegment(run);
    } else {
        buffered_ = outQueue_.front();
        buffered_->at = take;
        outQueue_.pop_front();
        busFree_ = take + pace_.packetTime();
        Exchange& owner = *buffered_->exchange;
        ++owner.packetsSent;
        owner.done = std::max(owner.done, busFree_);
        if (const auto fault = socket_.packetArrived()) strike(*fault, take);
    }
    return true;
}

void EmulatedCh341::deliverReply(Time at)
{
    Reply reply = std::move(replies_.front());
    replies_.pop_front();
    const InRequest request = inQueue_.front();
    inQueue_.pop_front();
    busFree_ = at + pace_.packetTime();
    if (auto next = schedule_.inFinished()) queueRequest(*next, pace_.resubmitted(busFree_));

    Exchange& owner = *request.exchange;
    owner.done = std::max(owner.done, busFree_);
    if (owner.status != UsbStatus::Ok) return;
    if (reply.bytes.size() > owner.inSizes[request.index]) {
        // Larger than the request: the packet is lost, the transfer ends in an overflow and the
        // host gives up on what it had queued.
        usbNote("overflow: a reply larger than its IN request was lost");
        owner.status = UsbStatus::Overflow;
        return failPending(UsbStatus::Failed, busFree_);
    }
    std::copy(reply.bytes.begin(), reply.bytes.end(), owner.in.begin() + static_cast<std::ptrdiff_t>(owner.received));
    owner.received += reply.bytes.size();
    ++owner.repliesIn;
}

void EmulatedCh341::startSegment(Time at)
{
    const Received packet = *buffered_;
    buffered_.reset();
    bufferFree_ = at;
    Exchange& owner = *packet.exchange;
    const auto begin = owner.out.begin() + static_cast<std::ptrdiff_t>(owner.packets[packet.packet]);
    const auto end = owner.out.begin() + static_cast<std::ptrdiff_t>(owner.packets[packet.packet + 1]);
    std::vector<uint8_t> reply;
    deviceFree_ = at + runSegment(std::span<const uint8_t>(&*begin, static_cast<std::size_t>(end - begin)), at, reply);
    ++owner.segmentsRun;
    owner.done = std::max(owner.done, deviceFree_);
    // A segment without reply bytes sends no IN packet at all.
    if (reply.empty()) return;
    if (std::exchange(corruptNext_, false)) reply.front() ^= 0x5A;
    socket_.usbIn(reply);
    replies_.push_back({std::move(reply), deviceFree_});
}

void EmulatedCh341::failPending(UsbStatus status, Time at)
{
    for (auto& exchange : exchanges_) {
        if (exchange->finished()) continue;
        exchange->status = status;
        exchange->done = std::max(exchange->done, at);
    }
    dropPending();
}

void EmulatedCh341::dropPending()
{
    // The host cancels what it had queued; replies the adapter still held are dropped with it.
    outQueue_.clear();
    inQueue_.clear();
    buffered_.reset();
    replies_.clear();
    schedule_.clear();
}

void EmulatedCh341::tick(Time& at, Time duration)
{
    at += duration;
    if (pace_.timed()) {
        clock_.advanceTo(at);
    } else {
        clock_.advance(duration);
    }
}

EmulatedCh341::Time EmulatedCh341::runSegment(std::span<const uint8_t> segment, Time at, std::vector<uint8_t>& reply)
{
    if (segment.empty()) return Time(0);
    socket_.usbOut(segment);
    if (pace_.timed()) clock_.advanceTo(at);
    switch (segment[0]) {
    case CmdI2cStream: return runI2c(segment.subspan(1), at, reply);
    case CmdUioStream: return runUio(segment.subspan(1), at, reply);
    case CmdSpiStream: return runSpi(segment.subspan(1), at, reply);
    default: return Time(0); // unknown segments are ignored, as the adapter does
    }
}

EmulatedCh341::Time EmulatedCh341::runI2c(std::span<const uint8_t> s, Time at, std::vector<uint8_t>& reply)
{
    const Time start = at;
    const uint8_t speed = wireMode_ & 0x03;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const uint8_t cmd = s[i];
        if (cmd == I2cEnd) break;
        if (cmd == I2cStart) {
            tick(at, pace_.i2cConditions(1, speed));
            socket_.i2cStart();
        } else if (cmd == I2cStop) {
            tick(at, pace_.i2cConditions(1, speed));
            socket_.i2cStop();
        } else if (cmd == I2cOut) {
            if (i + 1 >= s.size()) break;
            tick(at, pace_.i2cBytes(1, speed));
            reply.push_back(socket_.i2cWrite(s[++i]) ? 0x00 : I2cNackBit);
        } else if ((cmd & 0xC0) == I2cOut) {
            const std::size_t n = cmd & 0x3F;
            for (std::size_t k = 0; k < n && i + 1 < s.size(); ++k) {
                tick(at, pace_.i2cBytes(1, speed));
                socket_.i2cWrite(s[++i]);
            }
        } else if (cmd == I2cIn) {
            tick(at, pace_.i2cBytes(1, speed));
            reply.push_back(socket_.i2cRead(false));
        } else if (cmd > I2cIn && cmd <= (I2cIn | 32)) {
            for (unsigned k = 0; k < (cmd & 0x3Fu); ++k) {
                tick(at, pace_.i2cBytes(1, speed));
                reply.push_back(socket_.i2cRead(true));
            }
        } else if ((cmd & 0xF8) == I2cSet) {
            wireMode_ = cmd & 0x07;
        } else if ((cmd & 0xF0) == I2cDelayUs) {
            tick(at, std::chrono::microseconds(cmd & 0x0F));
        } else if ((cmd & 0xF0) == I2cDelayMs) {
            tick(at, std::chrono::milliseconds(cmd & 0x0F));
        } else {
            break;
        }
    }
    return at - start;
}

EmulatedCh341::Time EmulatedCh341::runUio(std::span<const uint8_t> s, Time at, std::vector<uint8_t>& reply)
{
    const Time start = at;
    for (uint8_t cmd : s) {
        if (cmd == UioEnd) break;
        tick(at, pace_.pinCommands(1));
        switch (cmd & 0xC0) {
        case 0x00: reply.push_back(portLevels()); break;
        case UioDir: pinDir_ = cmd & 0x3F; break;
        case UioOut: pinOut_ = cmd & 0x3F; break;
        default: break; // delays
        }
        updateChipSelect();
        updateMicrowire();
    }
    return at - start;
}

namespace {
// The board's wiring of a 93Cxx in the 25xx socket.
constexpr uint8_t MicrowireSelect = 0x01, MicrowireClock = 0x08, MicrowireDataIn = 0x20;
constexpr uint8_t PortDataOut = 0x80;
} // namespace

void EmulatedCh341::updateMicrowire()
{
    if (!socket_.hasMicrowireChip()) return;
    // A pin that is not an output floats high.
    const uint8_t levels = static_cast<uint8_t>(pinOut_ | ~pinDir_);
    socket_.microwireLines(levels & MicrowireSelect, levels & MicrowireClock, levels & MicrowireDataIn);
}

uint8_t EmulatedCh341::portLevels() const
{
    // D7 is the socket's DO, high when nothing drives it.
    const bool select = (pinOut_ | ~pinDir_) & MicrowireSelect;
    return static_cast<uint8_t>((pinOut_ & 0x3F) | (socket_.microwireDataOut(select) ? PortDataOut : 0));
}

void EmulatedCh341::updateChipSelect()
{
    const bool selected = (pinDir_ & 0x01) && !(pinOut_ & 0x01);
    if (selected == selected_) return;
    selected_ = selected;
    if (selected)
        socket_.spiSelect();
    else
        socket_.spiDeselect();
}

EmulatedCh341::Time EmulatedCh341::runSpi(std::span<const uint8_t> s, Time at, std::vector<uint8_t>& reply)
{
    const Time start = at;
    for (uint8_t wire : s) {
        tick(at, pace_.spiBytes(1));
        // The engine shifts LSB first: the chip, which samples MSB first, sees the mirror image.
        const uint8_t mosi = ReverseBits[wire];
        reply.push_back(ReverseBits[socket_.spiTransfer(mosi)]);
    }
    return at - start;
}
