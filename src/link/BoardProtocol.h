#pragma once
// The board's command language in one place: the 128-byte command block and
// the reply, every command text the tool sends and its argument, and the rules
// of a picture transfer (length request, 512-byte blocks). Features and q815ctl
// build their commands here. The virtual board reads the same language with
// code of its own, on purpose: each is a check on the other.
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// --- the command block and the reply -------------------------------------

inline constexpr int CommandBlockSize = 128;

// The 128-byte block for a command text: its characters as 8-bit codes, then
// blanks. Only the first 128 characters fit.
QByteArray MakeCommandBlock(const QString& command);

// A command text begins with "C:" and a two-digit command code.
bool IsBoardCommand(const QString& text);
// A command longer than the block is never sent.
inline bool FitsCommandBlock(const QString& text)
{
    return text.size() <= CommandBlockSize;
}

// True when bytes 0 to 3 are the positive prefix "OK :".
bool HasPositivePrefix(const QByteArray& reply);

// The reply text: "" or "FAIL", then the characters of bytes 4 to chunkSize - 1.
QString ReplyText(const QByteArray& replyBuffer, int chunkSize);

// Bytes to text, one character per byte (the board's 8-bit character set).
QString BytesToText(const char* data, qsizetype size);

// --- the board's identity --------------------------------------------------

QString ReadChipIdCommand();   // the chip identifier
QString ReadFirmwareCommand(); // the firmware version text

// The twelve entries of the board's command table, each named by a code.
inline constexpr std::array<const char*, 12> CommandTableCodes = {
    "01", "04", "05", "06", "08", "09", "0C", "0D", "0E", "10", "18", "23"};
// Reads the entry of `code`.
QString ReadCommandTableCommand(const char* code);
// Asks the board about an entry as the console's entry box holds it.
QString EntryCommand(const QString& entry);

// --- camera settings -------------------------------------------------------

// The picture sizes in the order of their index: the size each index picks.
// Not in size order.
inline constexpr std::array<const char*, 11> PictureSizeCaptions = {
    "80x60",   "88x72", "160x120", "176x144", "320x240", "352x288",
    "640x480", "80x64", "128x96",  "128x128", "160x128"};

// The UART speeds in the order of their index: the speed each index picks.
inline constexpr std::array<const char*, 8> UartSpeedEntries = {
    "7200", "14400", "28800", "57600", "115200", "230400", "460800", "921600"};

// Picture size of index Index (0 to 10): "C:03" + '1'..'9', 'A' or 'B'. Any
// other index has no command.
std::optional<QString> PictureSizeCommand(int Index);

// UART speed of list index ListIndex: "C:10", then the index as a signed
// number with a sign position (a blank for 0 and above, "-" for -1: none).
QString UartSpeedCommand(int ListIndex);

QString SpiResetCommand();

// --- pictures --------------------------------------------------------------

// The commands of one way to fetch a picture: an optional capture of a new
// frame, the length request (answered with four hex digits) and the request
// for the picture's bytes: block by block, or one raw stream.
struct PictureRoute {
    QString capture; // empty: the board's last frame
    QString length;
    QString data;
    bool stream = false;
};
PictureRoute SpiRoute();
PictureRoute Pic12Route();
PictureRoute UartRoute();

// Each block reply is "OK :", four hex digits of the block number, a blank,
// then up to 512 picture bytes.
inline constexpr qsizetype PictureBlockSize = 512;
inline constexpr qsizetype BlockHeaderSize = 9;
// Requests for a picture of length bytes: length div 512 + 1 (the last one
// copies nothing when length is a multiple of 512).
inline int BlockRequestCount(qsizetype length)
{
    return int(length / PictureBlockSize) + 1;
}
