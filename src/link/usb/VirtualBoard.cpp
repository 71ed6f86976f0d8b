#include "link/usb/VirtualBoard.h"

#include <QTimer>
#include <array>

namespace usb {

namespace {

constexpr int kBlockSize = 512;
constexpr char kPositive[] = "OK :";

constexpr std::array<PictureSize, 11> kPictureSizes{{
    {80, 60},
    {88, 72},
    {160, 120},
    {176, 144},
    {320, 240},
    {352, 288},
    {640, 480},
    {80, 64},
    {128, 96},
    {128, 128},
    {160, 128},
}};

constexpr std::array<int, 8> kUartSpeeds{7200, 14400, 28800, 57600, 115200, 230400, 460800, 921600};

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

QByteArray Hex4(int value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

QByteArray Positive(const QByteArray& text)
{
    return QByteArray(kPositive) + text;
}

// The stand-in picture when no renderer is set: a JPEG frame (SOI ... EOI) whose
// length grows with the picture size, with the size and frame number inside.
QByteArray BuiltInPicture(int width, int height, int frame)
{
    QByteArray picture("\xFF\xD8Q815", 6);
    for (int value : {width, height, frame}) {
        picture.append(char((value >> 8) & 0xFF));
        picture.append(char(value & 0xFF));
    }
    const int bodyLength = width * height / 64;
    for (int i = 0; i < bodyLength; ++i) {
        const int byte = (i * 31 + frame * 7) & 0xFF;
        picture.append(char(byte == 0xFF ? 0xFE : byte)); // no stray markers in the body
    }
    picture.append("\xFF\xD9", 2);
    return picture;
}

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

QByteArray TrimTrailingBlanks(QByteArray text)
{
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

} // namespace

PictureSize PictureSizeForIndex(int index)
{
    if (index < 0 || index >= int(kPictureSizes.size()))
        return {0, 0};
    return kPictureSizes[std::size_t(index)];
}

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
    scripts_.append(Script{TrimTrailingBlanks(commandText), chunks, once});
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

void VirtualBoard::HandleCommand(const QByteArray& block)
{
    if (silent_)
        return;
    if (failing_) {
        Emit(CommandInEndpoint(), {QByteArray("FAIL")});
        return;
    }
    const QByteArray command = TrimTrailingBlanks(block);
    for (qsizetype i = 0; i < scripts_.size(); ++i) {
        if (scripts_[i].command == command) {
            const QList<QByteArray> chunks = scripts_[i].chunks;
            if (scripts_[i].once)
                scripts_.removeAt(i);
            Emit(CommandInEndpoint(), chunks);
            return;
        }
    }
    QList<QByteArray> chunks;
    for (const QByteArray& reply : Answer(command)) {
        if (replyChunkSize_ <= 0 || reply.size() <= replyChunkSize_) {
            chunks.append(reply);
            continue;
        }
        for (qsizetype at = 0; at < reply.size(); at += replyChunkSize_)
            chunks.append(reply.mid(at, replyChunkSize_));
    }
    Emit(CommandInEndpoint(), chunks);
}

// One reply per command. "C:" and the two code characters, then the argument.
QList<QByteArray> VirtualBoard::Answer(const QByteArray& command)
{
    if (command.size() < 4 || !command.startsWith("C:"))
        return {QByteArray("ERR:unknown command")};
    const QByteArray code = command.mid(2, 2).toUpper();
    const QByteArray argument = command.mid(4);

    if (code == "20")
        return {Positive(chipId_)};
    if (code == "21")
        return {Positive(firmwareVersion_)};
    if (code == "06") {
        const QByteArray entry = argument.toUpper();
        if (!commandTable_.contains(entry))
            return {"ERR:no entry " + argument};
        return {Positive(commandTable_.value(entry))};
    }
    if (code == "07") {
        // The firmware acknowledges a table entry with a 16-bit sum of its text.
        int sum = 0;
        for (char c : argument)
            sum = (sum + static_cast<unsigned char>(c)) & 0xFFFF;
        return {Positive("ACK " + Hex4(sum))};
    }
    if (code == "40") {
        const PictureSize size = PictureSizeForIndex(sizeIndex_);
        const QByteArray baud = uartIndex_ < 0
                                    ? QByteArray("NONE")
                                    : QByteArray::number(kUartSpeeds[std::size_t(uartIndex_)]);
        return {Positive("READY SIZE " + QByteArray::number(size.width) + 'x' +
                         QByteArray::number(size.height) + " BAUD " + baud + " FRAME " +
                         QByteArray::number(frameCounter_))};
    }
    if (code == "03") {
        static const QByteArray kSizeCodes("123456789AB");
        const qsizetype index = argument.size() == 1 ? kSizeCodes.indexOf(argument.toUpper()) : -1;
        if (index < 0)
            return {"ERR:bad size " + argument};
        sizeIndex_ = int(index);
        const PictureSize size = PictureSizeForIndex(sizeIndex_);
        return {Positive("SIZE " + QByteArray::number(size.width) + 'x' +
                         QByteArray::number(size.height))};
    }
    if (code == "10") {
        const bool valid =
            argument.size() == 2 && argument[0] == ' ' && argument[1] >= '0' && argument[1] <= '7';
        if (!valid)
            return {"ERR:bad speed " + argument.trimmed()};
        uartIndex_ = argument[1] - '0';
        return {Positive("BAUD " + QByteArray::number(kUartSpeeds[std::size_t(uartIndex_)]))};
    }
    if (code == "05")
        return {Positive("SPI RESET")};
    if (code == "16") {
        // Sends the last picture on the file pipe (boards of the Full layout).
        if (picture_.isEmpty())
            Capture();
        SendOnFileIn(picture_);
        return {Positive("FILE " + Hex4(int(picture_.size())))};
    }
    if (code == "04") {
        Capture();
        const PictureSize size = PictureSizeForIndex(sizeIndex_);
        return {Positive("FRAME " + QByteArray::number(frameCounter_) + ' ' +
                         QByteArray::number(size.width) + 'x' + QByteArray::number(size.height))};
    }
    if (code == "02" || code == "12" || code == "15") {
        if (argument == "#") {
            if (code == "15" || picture_.isEmpty())
                Capture();
            nextBlock_ = 0;
            return {LengthReply()};
        }
        if (!argument.isEmpty())
            return {"ERR:bad request " + argument};
        if (picture_.isEmpty())
            Capture();
        if (code == "15")
            return {picture_}; // the whole picture as one stream, no header
        return {BlockReply()};
    }
    return {QByteArray("ERR:unknown command")};
}

// Four hex digits; a picture of 64 KiB or more would need five and is not
// something the firmware can hold.
QByteArray VirtualBoard::LengthReply() const
{
    return Positive(Hex4(int(picture_.size())));
}

// "OK :", the block number in four hex digits, a blank, then up to 512 picture
// bytes: the picture bytes start at index 9. Past the end only the header comes.
QByteArray VirtualBoard::BlockReply()
{
    const qsizetype offset = qsizetype(nextBlock_) * kBlockSize;
    QByteArray reply = Positive(Hex4(nextBlock_ & 0xFFFF) + ' ');
    if (offset < picture_.size())
        reply.append(picture_.mid(offset, kBlockSize));
    ++nextBlock_;
    return reply;
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

void VirtualBoard::Capture()
{
    ++frameCounter_;
    const PictureSize size = PictureSizeForIndex(sizeIndex_);
    picture_ = renderer_ ? renderer_(size.width, size.height, frameCounter_)
                         : BuiltInPicture(size.width, size.height, frameCounter_);
    nextBlock_ = 0;
}

} // namespace usb
