#include "link/usb/VirtualBoard.h"

#include <QTimer>
#include <array>

namespace usb {

namespace {

// The firmware's command table as a fresh board reports it: code, then the
// sixteen hex digits of the entry.
constexpr std::array<std::pair<const char*, const char*>, 12> kDefaultCommandTable{{
    {"01", "E3A0000100000001"},
    {"04", "E59F001000000004"},
    {"05", "E5901000000000F5"},
    {"06", "E3110C0200000106"},
    {"08", "1AFFFFFC00000208"},
    {"09", "E1A0F00E00000409"},
    {"0C", "E3A0100C0000080C"},
    {"0D", "E581100400001D0D"},
    {"0E", "EAFFFFFE00003E0E"},
    {"10", "E12FFF1E00007A10"},
    {"18", "E59FF01800009918"},
    {"23", "E24DD0080000C323"},
}};

// Timer intervals: a time that must not come early rounds up, one that is
// the end of a run of bytes to the nearest millisecond (the error does not
// add up: the next run counts from the exact time).
int CeilMs(qint64 ns)
{
    return ns <= 0 ? 0 : int((ns + 999'999) / 1'000'000);
}

int RoundMs(qint64 ns)
{
    return ns <= 0 ? 0 : int((ns + 500'000) / 1'000'000);
}

} // namespace

VirtualBoard::VirtualBoard(QObject* parent)
    : QObject(parent), chipId_("270B0941"), firmwareVersion_("V1.27 Q815 firmware")
{
    for (const auto& [code, value] : kDefaultCommandTable)
        commandTable_.insert(QByteArray(code), QByteArray(value));
    clock_.start();
    for (QTimer* timer : {&arrival_, &streamWake_}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&arrival_, &QTimer::timeout, this, &VirtualBoard::Arrive);
    connect(&streamWake_, &QTimer::timeout, this, &VirtualBoard::WakeStream);
}

void VirtualBoard::SetPaced(bool paced)
{
    paced_ = paced;
    wireFree_ = replyNotBefore_ = 0;
    if (!paced_)
        Arrive(); // what was on its way is there
}

void VirtualBoard::Carry(qsizetype bytes)
{
    wireFree_ = std::max(Now(), wireFree_) + qint64(bytes) * 1'000'000'000 / BytesPerSecond;
}

void VirtualBoard::ArmArrival()
{
    if (inTransit_.isEmpty()) {
        arrival_.stop();
        return;
    }
    const InTransit& first = inTransit_.constFirst();
    const qint64 now = Now();
    arrival_.start(std::max(RoundMs(first.due - now), CeilMs(first.notBefore - now)));
}

// Hands out, in order, every transfer whose time has come.
void VirtualBoard::Arrive()
{
    const qint64 now = Now();
    QList<std::uint8_t> ready;
    while (!inTransit_.isEmpty()) {
        const InTransit& first = inTransit_.constFirst();
        if (paced_ && (RoundMs(first.due - now) > 0 || first.notBefore > now))
            break;
        pending_[first.endpoint].append(first.data);
        if (!ready.contains(first.endpoint))
            ready << first.endpoint;
        inTransit_.removeFirst();
    }
    ArmArrival();
    for (std::uint8_t endpoint : std::as_const(ready))
        Q_EMIT DataReady(endpoint);
}

void VirtualBoard::WakeStream()
{
    if (!stream_.isEmpty())
        Q_EMIT DataReady(CommandInEndpoint());
}

VirtualBoard::~VirtualBoard() = default;

void VirtualBoard::SetLayout(EndpointLayout layout, bool commandInIs130)
{
    layout_ = layout;
    commandInIs130_ = commandInIs130;
}

QList<std::uint8_t> VirtualBoard::Endpoints() const
{
    switch (layout_) {
    case EndpointLayout::Download:
        return {0x06};
    case EndpointLayout::Full:
        return {0x02, 0x82, 0x04, 0x84};
    case EndpointLayout::CommandOnly:
        return {0x01, std::uint8_t(commandInIs130_ ? 0x82 : 0x81)};
    }
    return {};
}

bool VirtualBoard::HasEndpoint(std::uint8_t address) const
{
    return Endpoints().contains(address);
}

std::uint8_t VirtualBoard::CommandOutEndpoint() const
{
    switch (layout_) {
    case EndpointLayout::Download:
        return 0;
    case EndpointLayout::Full:
        return 0x02;
    case EndpointLayout::CommandOnly:
        return 0x01;
    }
    return 0;
}

std::uint8_t VirtualBoard::CommandInEndpoint() const
{
    switch (layout_) {
    case EndpointLayout::Download:
        return 0;
    case EndpointLayout::Full:
        return 0x82;
    case EndpointLayout::CommandOnly:
        return commandInIs130_ ? 0x82 : 0x81;
    }
    return 0;
}

void VirtualBoard::SetIds(std::uint16_t vendorId, std::uint16_t productId)
{
    vendorId_ = vendorId;
    productId_ = productId;
}

void VirtualBoard::SetChipId(const QByteArray& id)
{
    chipId_ = id;
}

void VirtualBoard::SetFirmwareVersion(const QByteArray& text)
{
    firmwareVersion_ = text;
}

void VirtualBoard::SetCommandTableEntry(const QByteArray& code, const QByteArray& value)
{
    commandTable_.insert(code.toUpper(), value);
}

QByteArray VirtualBoard::CommandTableEntry(const QByteArray& code) const
{
    return commandTable_.value(code.toUpper());
}

void VirtualBoard::SetReplyDelay(int milliseconds)
{
    replyDelayMs_ = qMax(0, milliseconds);
}

void VirtualBoard::SetSilent(bool silent)
{
    silent_ = silent;
}

void VirtualBoard::SetFailing(bool failing)
{
    failing_ = failing;
}

void VirtualBoard::SetReplyChunkSize(int bytes)
{
    replyChunkSize_ = qMax(0, bytes);
}

void VirtualBoard::ScriptReply(const QByteArray& commandText, const QList<QByteArray>& chunks,
                               bool once)
{
    scripts_.append(Script{CommandKey(commandText), chunks, once});
}

void VirtualBoard::SendOnCommandIn(const QByteArray& data)
{
    if (const std::uint8_t in = CommandInEndpoint())
        Queue(in, data);
}

void VirtualBoard::StreamOnCommandIn(const QByteArray& chunk)
{
    stream_ = CommandInEndpoint() ? chunk : QByteArray();
    streamed_ = 0;
    if (!stream_.isEmpty())
        Q_EMIT DataReady(CommandInEndpoint());
}

void VirtualBoard::SendOnFileIn(const QByteArray& data)
{
    // Only the Full layout has the file IN endpoint; other boards cannot send.
    if (HasEndpoint(0x84))
        Queue(0x84, data);
}

void VirtualBoard::SetPictureRenderer(PictureRenderer renderer)
{
    renderer_ = std::move(renderer);
}

void VirtualBoard::SetPicture(const QByteArray& jpeg)
{
    picture_ = jpeg;
    nextBlock_ = 0;
}

void VirtualBoard::Receive(std::uint8_t endpoint, const QByteArray& data)
{
    received_.append(ReceivedBlock{endpoint, data});
    if (paced_) {
        Carry(data.size());
        if (endpoint == CommandOutEndpoint())
            replyNotBefore_ = Now() + FrameNs;
    }
    if (endpoint != 0 && endpoint == CommandOutEndpoint())
        HandleCommand(data);
    // Blocks on the file and download endpoints are only recorded.
}

bool VirtualBoard::HasPending(std::uint8_t endpoint) const
{
    const auto it = pending_.constFind(endpoint);
    return (it != pending_.cend() && !it->isEmpty()) ||
           (!stream_.isEmpty() && endpoint == CommandInEndpoint() &&
            (!paced_ || RoundMs(wireFree_ - Now()) == 0));
}

// maxLength 0 or less takes the whole transfer.
QByteArray VirtualBoard::TakeTransfer(std::uint8_t endpoint, int maxLength)
{
    auto it = pending_.find(endpoint);
    if (it == pending_.end() || it->isEmpty()) {
        if (stream_.isEmpty() || endpoint != CommandInEndpoint())
            return {};
        ++streamed_;
        const QByteArray chunk = maxLength > 0 ? stream_.left(maxLength) : stream_;
        if (paced_) {
            Carry(chunk.size());
            streamWake_.start(RoundMs(wireFree_ - Now()));
        }
        return chunk;
    }
    QByteArray& head = it->front();
    if (maxLength > 0 && head.size() > maxLength) {
        const QByteArray part = head.left(maxLength);
        head.remove(0, maxLength);
        return part;
    }
    return it->takeFirst();
}

void VirtualBoard::DropPending(std::uint8_t endpoint)
{
    pending_.remove(endpoint);
    inTransit_.removeIf([endpoint](const InTransit& t) { return t.endpoint == endpoint; });
    ArmArrival();
    if (endpoint == CommandInEndpoint()) {
        ++replyEpoch_;
        stream_.clear();
    }
}

QList<QByteArray> VirtualBoard::CommandBlocks() const
{
    QList<QByteArray> blocks;
    const std::uint8_t out = CommandOutEndpoint();
    for (const ReceivedBlock& block : received_) {
        if (out != 0 && block.endpoint == out)
            blocks.append(block.data);
    }
    return blocks;
}

void VirtualBoard::Emit(std::uint8_t endpoint, const QList<QByteArray>& chunks)
{
    if (endpoint == 0 || chunks.isEmpty())
        return;
    if (replyDelayMs_ <= 0) {
        for (const QByteArray& chunk : chunks)
            Queue(endpoint, chunk);
        return;
    }
    QTimer::singleShot(replyDelayMs_, this, [this, endpoint, chunks, epoch = replyEpoch_] {
        if (epoch != replyEpoch_)
            return; // the pipe was cleared or the board unplugged meanwhile
        for (const QByteArray& chunk : chunks)
            Queue(endpoint, chunk);
    });
}

void VirtualBoard::Queue(std::uint8_t endpoint, const QByteArray& transfer)
{
    if (!paced_) {
        pending_[endpoint].append(transfer);
        Q_EMIT DataReady(endpoint);
        return;
    }
    Carry(transfer.size());
    inTransit_.append(InTransit{endpoint, transfer, wireFree_, replyNotBefore_});
    if (inTransit_.size() == 1)
        ArmArrival();
}

QByteArray VirtualBoard::CommandKey(QByteArray text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

} // namespace usb
