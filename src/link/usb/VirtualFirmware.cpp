// The board's firmware as the virtual board runs it: what it answers to each
// command, the picture length and blocks, and the camera's capture. It reads
// the command texts with code of its own, not the tool's protocol file, on
// purpose: each is a check on the other.
#include "link/usb/VirtualBoard.h"

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

} // namespace

PictureSize PictureSizeForIndex(int index)
{
    if (index < 0 || index >= int(kPictureSizes.size()))
        return {0, 0};
    return kPictureSizes[std::size_t(index)];
}

void VirtualBoard::HandleCommand(const QByteArray& block)
{
    if (silent_)
        return;
    if (failing_) {
        Emit(CommandInEndpoint(), {QByteArray("FAIL")});
        return;
    }
    const QByteArray command = CommandKey(block);
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

void VirtualBoard::Capture()
{
    ++frameCounter_;
    const PictureSize size = PictureSizeForIndex(sizeIndex_);
    picture_ = renderer_ ? renderer_(size.width, size.height, frameCounter_)
                         : BuiltInPicture(size.width, size.height, frameCounter_);
    nextBlock_ = 0;
}

} // namespace usb
