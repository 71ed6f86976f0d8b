#pragma once
// Commands that change a setting of the camera link.
#include <QString>
#include <array>
#include <optional>

// The captions of the eleven picture size buttons, in index order: the size
// each index picks. Not in size order.
inline constexpr std::array<const char*, 11> PictureSizeCaptions = {
    "80x60", "88x72", "160x120", "176x144", "320x240", "352x288",
    "640x480", "80x64", "128x96", "128x128", "160x128"};

// The UART speeds of the speed list, in list order: the speed each index picks.
inline constexpr std::array<const char*, 8> UartSpeedEntries = {
    "7200", "14400", "28800", "57600", "115200", "230400", "460800", "921600"};

// Picture size of option button Index (0 to 10): "C:03" + '1'..'9', 'A' or 'B'.
// Any other index sends nothing.
std::optional<QString> PictureSizeCommand(int Index);

// UART speed of list entry ListIndex: "C:10", then the index as a signed number
// with a sign position (a blank for 0 and above, "-" for -1, no entry chosen).
QString UartSpeedCommand(int ListIndex);

inline QString SpiResetCommand()
{
    return QStringLiteral("C:05");
}
