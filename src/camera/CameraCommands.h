#pragma once
// Commands that change a setting of the camera link.
#include <QString>
#include <optional>

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
