#include "adapter/emulator/EmulatedCh347.h"

#include <algorithm>
#include <thread>
#include <utility>

using namespace ch347;

namespace {
// Above the chip's clock limit one received byte in this many has a bit turned over: marginal
// timing damages a few bits, not every one.
constexpr uint64_t DamageEvery = 61;
constexpr uint8_t DamagedBit = 0x10;
} // namespace

EmulatedCh347::EmulatedCh347(EmulatedChipConfig config, double timeScale, AdapterPace pace, bool realTime,
                             uint16_t productId)
    : UsbTransport(ch347::Profile), model_(ch347::Profile.find(VendorId, productId)), pace_(pace, realTime),
      clock_(timeScale, pace == AdapterPace::RealAdapter ? EmuClock::Kind::Virtual : EmuClock::Kind::Scaled),
      socket_(std::move(config), clock_)
{
    if (!model_) model_ = &ch347::Models[0];
}

EmulatedCh347::~EmulatedCh347()
{
    std::lock_guard lock(mutex_);
    socket_.persist();
}

UsbStatus EmulatedCh347::open()
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NotFound;
    open_ = true;
    socket_.note("adapter opened");
    return UsbStatus::Ok;
}

void EmulatedCh347::close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    failPending(UsbStatus::NotOpen, clock_.now());
    socket_.persist();
    socket_.note("adapter closed");
}

bool EmulatedCh347::isOpen() const
{
    std::lock_guard lock(mutex_);
    return open_ && present_;
}

bool EmulatedCh347::flushImage()
{
    std::lock_guard lock(mutex_);
    return socket_.persist();
}

void EmulatedCh347::pause(std::chrono::microseconds duration)
{
    if (!pace_.timed()) return std::this_thread::sleep_for(clock_.toReal(duration));
    clock_.advance(duration);
    pace_.keepPace(clock_.now());
}

void EmulatedCh347::setEventHandler(AdapterEventHandler handler)
{
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void EmulatedCh347::plug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (present_) return;
        present_ = true;
        socket_.endBusyFault();
        socket_.note("adapter plugged in");
        handler = handler_;
    }
    if (handler) handler(AdapterEventArrived);
}

bool EmulatedCh347::plugged() const
{
    std::lock_guard lock(mutex_);
    return present_;
}

void EmulatedCh347::announceRemoval()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        socket_.note("adapter about to be removed");
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemovePending);
}

void EmulatedCh347::unplug()
{
    AdapterEventHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (!pullOut()) return;
        handler = handler_;
    }
    if (handler) handler(AdapterEventRemoved);
}

bool EmulatedCh347::pullOut()
{
    if (!present_) return false;
    present_ = false;
    open_ = false;
    failPending(UsbStatus::NoDevice, clock_.now());
    socket_.powerOff(); // a frame in progress is not executed
    spi_ = Mode0Config(0);
    socket_.persist();
    socket_.note("adapter unplugged");
    return true;
}

void EmulatedCh347::insertChip(EmulatedChipConfig config)
{
    std::lock_guard lock(mutex_);
    socket_.insert(std::move(config));
}

void EmulatedCh347::armFault(EmulatedFault fault, uint64_t afterPackets)
{
    std::lock_guard lock(mutex_);
    corruptNext_ = false;
    socket_.armFault(fault, afterPackets);
}

void EmulatedCh347::clearFault()
{
    std::lock_guard lock(mutex_);
    corruptNext_ = false;
    socket_.clearFault();
}

void EmulatedCh347::strike(EmulatedFault fault, Time at)
{
    switch (fault) {
    case EmulatedFault::UsbError:
        socket_.usbNote("fault: a USB transfer fails");
        failPending(UsbStatus::Failed, at);
        break;
    case EmulatedFault::I2cNak:
    case EmulatedFault::ChipStaysBusy: break; // the socket's own
    case EmulatedFault::CorruptReply:
        socket_.note("fault: the next reply byte is changed");
        corruptNext_ = true;
        break;
    case EmulatedFault::Pulled: pulledNow_ = pullOut(); break;
    }
}

void EmulatedCh347::setRoundTripLatency(std::chrono::microseconds latency)
{
    std::lock_guard lock(mutex_);
    latency_ = latency;
}

void EmulatedCh347::setLogging(bool on)
{
    std::lock_guard lock(mutex_);
    socket_.setLogging(on);
}

BusLog EmulatedCh347::takeLog()
{
    std::lock_guard lock(mutex_);
    return socket_.takeLog();
}

bool EmulatedCh347::setLogFile(const std::filesystem::path& path)
{
    std::lock_guard lock(mutex_);
    return socket_.setLogFile(path, present_ ? "logging starts, adapter present" : "logging starts, adapter unplugged");
}

ch347::SpiConfig EmulatedCh347::spiConfig() const
{
    std::lock_guard lock(mutex_);
    return spi_;
}

uint32_t EmulatedCh347::spiClock() const
{
    std::lock_guard lock(mutex_);
    return clockHz();
}

uint32_t EmulatedCh347::clockHz() const
{
    return ClockOfIndex(std::min(spi_.prescaler / 8, ClockCount - 1));
}

std::size_t EmulatedCh347::longestOutTransfer() const
{
    std::lock_guard lock(mutex_);
    return longestOut_;
}

UsbStatus EmulatedCh347::doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                  std::span<const uint8_t> inSizes, std::span<uint8_t> in)
{
    wideSizes_.assign(inSizes.begin(), inSizes.end());
    return doSubmitWide(ticket, out, wideSizes_, in);
}

UsbStatus EmulatedCh347::doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                      std::span<const uint16_t> inSizes, std::span<uint8_t> in)
{
    std::lock_guard lock(mutex_);
    if (!present_) return UsbStatus::NoDevice;
    if (!open_) return UsbStatus::NotOpen;
    if (pace_.timed()) clock_.advanceTo(pace_.realElapsed());
    const Time now = pace_.timed() ? clock_.now() : Time(0);

    auto exchange = std::make_unique<Exchange>();
    exchange->ticket = ticket;
    exchange->inSizes.assign(inSizes.begin(), inSizes.end());
    exchange->in = in;
    exchange->submitted = now;
    exchange->packets.push_back(0);
    for (std::span<const uint8_t> transfer : out) {
        longestOut_ = std::max(longestOut_, transfer.size());
        for (std::size_t pos = 0; pos < transfer.size(); pos += PacketSize) {
            const std::size_t n = std::min(PacketSize, transfer.size() - pos);
            exchange->out.insert(exchange->out.end(), transfer.begin() + std::ptrdiff_t(pos),
                                 transfer.begin() + std::ptrdiff_t(pos + n));
            exchange->packets.push_back(exchange->out.size());
        }
    }
    Exchange& queued = *exchanges_.emplace_back(std::move(exchange));
    requests_.clear();
    schedule_.add(ticket, out, inSizes.size(), requests_);
    for (const auto& request : requests_) queueRequest(request, now);
    for (std::size_t p = 0; p + 1 < queued.packets.size(); ++p) outQueue_.push_back({&queued, p, now});
    return UsbStatus::Ok;
}

void EmulatedCh347::queueRequest(const TransferSchedule::Request& request, Time at)
{
    if (request.kind != TransferSchedule::Request::Kind::In) return;
    for (auto& exchange : exchanges_)
        if (exchange->ticket == request.exchange) return inQueue_.push_back({exchange.get(), request.index, at});
}

UsbStatus EmulatedCh347::doCollect(ExchangeTicket ticket, std::size_t& received)
{
    std::unique_lock lock(mutex_);
    const auto found =
        std::find_if(exchanges_.begin(), exchanges_.end(), [ticket](const auto& e) { return e->ticket == ticket; });
    if (found == exchanges_.end()) return open_ ? UsbStatus::InvalidArgument : UsbStatus::NotOpen;
    Exchange& exchange = **found;
    advance(exchange);

    if (!exchange.finished()) {
        // Nothing more can move: the host waits out its timeout, then gives up on everything queued.
        const bool outStuck = exchange.commandsRun + 1 < exchange.packets.size();
        const Time waited = outStuck ? HostOutTimeout : HostInTimeout;
        socket_.usbNote(outStuck ? "timeout: OUT stalled, the adapter holds unread replies no IN request takes"
                                 : "timeout: IN request with no reply pending");
        if (pace_.timed())
            clock_.advanceTo(std::max(clock_.now(), exchange.submitted) + waited);
        else
            clock_.advance(waited);
        failPending(UsbStatus::Timeout, clock_.now());
    }
    const UsbStatus status = exchange.status;
    received = exchange.received;
    if (pace_.timed()) clock_.advanceTo(pace_.seenByHost(exchange.submitted, exchange.done));
    if (reader_ == &exchange) reader_ = nullptr;
    exchanges_.erase(
        std::find_if(exchanges_.begin(), exchanges_.end(), [ticket](const auto& e) { return e->ticket == ticket; }));
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

void EmulatedCh347::advance(Exchange& exchange)
{
    while (!exchange.finished() && step()) {}
}

bool EmulatedCh347::step()
{
    // The earliest possible event runs; on a tie a reply read first (it makes room), then the
    // adapter's work, then an OUT packet.
    constexpr Time never = Time::max();
    Time read = never, run = never, take = never;
    if (!replies_.empty() && !inQueue_.empty())
        read = std::max({replies_.front().ready, inQueue_.front().ready, busFree_});
    if (replies_.size() < HighSpeedPace::MaxUnreadReplies) {
        if (readLeft_ > 0)
            run = deviceFree_;
        else if (buffered_)
            run = std::max(buffered_->at, deviceFree_);
    }
    if (!buffered_ && !outQueue_.empty()) take = std::max({outQueue_.front().at, bufferFree_, busFree_});

    const Time first = std::min({read, run, take});
    if (first == never) return false;
    if (first == read)
        deliverReply(read);
    else if (first == run && readLeft_ > 0)
        readChunk(run);
    else if (first == run)
        startCommand(run);
    else
        takePacket(take);
    return true;
}

void EmulatedCh347::takePacket(Time at)
{
    buffered_ = outQueue_.front();
    buffered_->at = at;
    outQueue_.pop_front();
    busFree_ = at + pace_.packetTime();
    Exchange& owner = *buffered_->exchange;
    owner.done = std::max(owner.done, busFree_);
    if (const auto fault = socket_.packetArrived()) strike(*fault, at);
}

void EmulatedCh347::deliverReply(Time at)
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
        socket_.usbNote("overflow: a reply larger than its IN request was lost");
        owner.status = UsbStatus::Overflow;
        return failPending(UsbStatus::Failed, busFree_);
    }
    std::copy(reply.bytes.begin(), reply.bytes.end(), owner.in.begin() + std::ptrdiff_t(owner.received));
    owner.received += reply.bytes.size();
    ++owner.repliesIn;
}

void EmulatedCh347::failPending(UsbStatus status, Time at)
{
    for (auto& exchange : exchanges_) {
        if (exchange->finished()) continue;
        exchange->status = status;
        exchange->done = std::max(exchange->done, at);
    }
    // The host cancels what it had queued; answers the adapter still held go with it, and so does
    // a read block it was still clocking.
    outQueue_.clear();
    inQueue_.clear();
    buffered_.reset();
    replies_.clear();
    schedule_.clear();
    readLeft_ = 0;
    reader_ = nullptr;
}

void EmulatedCh347::answer(std::vector<uint8_t> reply, Time ready)
{
    if (std::exchange(corruptNext_, false)) reply.back() ^= 0x5A;
    socket_.usbIn(reply);
    replies_.push_back({std::move(reply), ready});
}

void EmulatedCh347::tick(Time& at, Time duration)
{
    at += duration;
    if (pace_.timed())
        clock_.advanceTo(at);
    else
        clock_.advance(duration);
}

void EmulatedCh347::startCommand(Time at)
{
    const Received packet = *buffered_;
    buffered_.reset();
    bufferFree_ = at;
    Exchange& owner = *packet.exchange;
    const std::span<const uint8_t> frame(owner.out.data() + owner.packets[packet.packet],
                                         owner.packets[packet.packet + 1] - owner.packets[packet.packet]);
    socket_.usbOut(frame);
    if (pace_.timed()) clock_.advanceTo(at);
    std::vector<uint8_t> reply;
    deviceFree_ = at + execute(frame, at, reply);
    if (readLeft_ > 0)
        reader_ = &owner; // done once its last answer is made
    else
        ++owner.commandsRun;
    owner.done = std::max(owner.done, deviceFree_);
    if (!reply.empty()) answer(std::move(reply), deviceFree_);
}

void EmulatedCh347::readChunk(Time at)
{
    const auto n = std::min<std::size_t>(readLeft_, MaxPayload);
    if (pace_.timed()) clock_.advanceTo(at);
    std::vector<uint8_t> reply(HeaderSize + n, spi_.mosiWhileReading);
    PutHeader(reply.data(), CmdSpiRead, n);
    const std::span<uint8_t> data(reply.data() + HeaderSize, n);
    const bool lsbFirst = spi_.firstBit == ConfigLsbFirst;
    if (lsbFirst)
        for (uint8_t& byte : data) byte = ch341::ReverseBits[byte];
    socket_.spiTransferBlock(data);
    for (uint8_t& byte : data) byte = received(byte);
    Time end = at;
    tick(end, HighSpeedPace::spiBytes(n, clockHz()));
    deviceFree_ = end;
    readLeft_ -= static_cast<uint32_t>(n);
    if (reader_) {
        if (readLeft_ == 0) ++reader_->commandsRun;
        reader_->done = std::max(reader_->done, deviceFree_);
    }
    if (readLeft_ == 0) reader_ = nullptr;
    answer(std::move(reply), deviceFree_);
}

uint8_t EmulatedCh347::received(uint8_t miso)
{
    const uint32_t limit = socket_.config().spiClockLimit;
    if (limit != 0 && clockHz() > limit && misoBytes_++ % DamageEvery == 0) miso ^= DamagedBit;
    return spi_.firstBit == ConfigLsbFirst ? ch341::ReverseBits[miso] : miso;
}

EmulatedCh347::Time EmulatedCh347::execute(std::span<const uint8_t> frame, Time at, std::vector<uint8_t>& reply)
{
    if (frame.size() < HeaderSize || PayloadLength(frame) != frame.size() - HeaderSize) {
        socket_.usbNote("a frame whose length does not match its transfer is ignored");
        return Time(0);
    }
    const auto payload = frame.subspan(HeaderSize);
    switch (frame[0]) {
    case CmdSpiConfigure: return configure(payload, reply);
    case CmdChipSelect: chipSelect(payload); return Time(0);
    case CmdSpiDuplex: {
        reply.resize(HeaderSize);
        PutHeader(reply.data(), CmdSpiDuplex, payload.size());
        return spiOut(payload, at, &reply);
    }
    case CmdSpiWrite: {
        reply.assign({CmdSpiWrite, 0x01, 0x00, 0x00});
        return spiOut(payload, at, nullptr);
    }
    case CmdSpiRead:
        if (payload.size() == 4)
            readLeft_ = uint32_t(payload[0]) | uint32_t(payload[1]) << 8 | uint32_t(payload[2]) << 16 |
                        uint32_t(payload[3]) << 24;
        return Time(0);
    case CmdReadConfig: {
        const auto bytes = EncodeConfig(spi_);
        reply.resize(HeaderSize);
        PutHeader(reply.data(), CmdReadConfig, bytes.size());
        reply.insert(reply.end(), bytes.begin(), bytes.end());
        return Time(0);
    }
    case CmdI2cStream: {
        reply.resize(HeaderSize);
        const Time duration = runI2c(payload, at, reply);
        if (reply.size() == HeaderSize)
            reply.clear(); // a stream that moves no byte answers nothing
        else
            PutHeader(reply.data(), CmdI2cStream, reply.size() - HeaderSize);
        return duration;
    }
    default: socket_.note("unknown command ignored"); return Time(0);
    }
}

EmulatedCh347::Time EmulatedCh347::configure(std::span<const uint8_t> payload, std::vector<uint8_t>& reply)
{
    const auto config = DecodeConfig(payload);
    if (!config) {
        socket_.usbNote("a configuration of the wrong size is ignored");
        return Time(0);
    }
    spi_ = *config;
    reply.assign({CmdSpiConfigure, 0x01, 0x00, 0x00});
    return Time(0);
}

void EmulatedCh347::chipSelect(std::span<const uint8_t> payload)
{
    // CS0's entry; CS1 has no chip on it. An automatic release is not used by this program.
    if (payload.size() != ChipSelectPayload || !(payload[0] & ChipSelectApply)) return;
    if (payload[0] & ChipSelectHigh)
        socket_.spiDeselect();
    else
        socket_.spiSelect();
}

EmulatedCh347::Time EmulatedCh347::spiOut(std::span<const uint8_t> payload, Time at, std::vector<uint8_t>* shiftedIn)
{
    const bool lsbFirst = spi_.firstBit == ConfigLsbFirst;
    for (uint8_t byte : payload) {
        const uint8_t miso = socket_.spiTransfer(lsbFirst ? ch341::ReverseBits[byte] : byte);
        if (shiftedIn) shiftedIn->push_back(received(miso));
    }
    const Time duration = HighSpeedPace::spiBytes(payload.size(), clockHz());
    tick(at, duration);
    return duration;
}

EmulatedCh347::Time EmulatedCh347::runI2c(std::span<const uint8_t> s, Time at, std::vector<uint8_t>& reply)
{
    const Time start = at;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const uint8_t cmd = s[i];
        if (cmd == I2cEnd) break;
        if (cmd == I2cStart) {
            tick(at, pace_.i2cConditions(1, i2cSpeed_));
            socket_.i2cStart();
        } else if (cmd == I2cStop) {
            tick(at, pace_.i2cConditions(1, i2cSpeed_));
            socket_.i2cStop();
        } else if ((cmd & 0xC0) == I2cOut) {
            // 80|n: n bytes, each answering its acknowledgement; a bare 80 sends one.
            const std::size_t n = std::max<std::size_t>(cmd & 0x3F, 1);
            for (std::size_t k = 0; k < n && i + 1 < s.size(); ++k) {
                tick(at, pace_.i2cBytes(1, i2cSpeed_));
                reply.push_back(socket_.i2cWrite(s[++i]) ? I2cAcknowledged : 0x00);
            }
        } else if (cmd == I2cIn) {
            tick(at, pace_.i2cBytes(1, i2cSpeed_));
            reply.push_back(socket_.i2cRead(false));
        } else if ((cmd & 0xC0) == I2cIn) {
            for (unsigned k = 0; k < (cmd & 0x3Fu); ++k) {
                tick(at, pace_.i2cBytes(1, i2cSpeed_));
                reply.push_back(socket_.i2cRead(true));
            }
        } else if ((cmd & 0xF8) == I2cSet) {
            i2cSpeed_ = cmd & 0x03;
        } else if ((cmd & 0xF0) == ch341::I2cDelayUs) {
            tick(at, std::chrono::microseconds(cmd & 0x0F));
        } else if ((cmd & 0xF0) == ch341::I2cDelayMs) {
            tick(at, std::chrono::milliseconds(cmd & 0x0F));
        } else {
            break;
        }
    }
    return at - start;
}
