#pragma once
// Which board a program talks to, taken the same way by the window and by
// q815ctl: --simulate, --device VID:PID (or the environment variable
// Q815EVM_DEVICE), --port BUS-PORTS and --serial TEXT.
#include "link/usb/PortPath.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <cstdint>

class QCommandLineParser;

// Default USB ids of the board, "VID:PID" in hexadecimal.
inline constexpr char DefaultDeviceIds[] = "03eb:a815";

struct BoardSelection {
    bool simulate = false; // the built-in virtual board
    std::uint16_t vendorId = 0x03EB;
    std::uint16_t productId = 0xA815;
    usb::PortPath port; // empty: the first board with the ids
    QString serial;     // empty: any serial number

    QString IdsText() const; // "03eb:a815"
};

// "03eb:a815".
QString IdsText(std::uint16_t vendorId, std::uint16_t productId);

// Parses "VID:PID" (hexadecimal, 1 to 4 digits each).
bool ParseDeviceIds(const QString& text, std::uint16_t& vendorId, std::uint16_t& productId);

// --simulate, --device, --port and --serial, for a program's parser.
QList<QCommandLineOption> BoardOptions();

// Reads those options from a parser that has parsed its arguments; deviceEnv is
// the value of Q815EVM_DEVICE, used when --device is not given. Returns what
// is wrong with them, or an empty text.
QString ReadBoardOptions(const QCommandLineParser& parser, const QString& deviceEnv,
                         BoardSelection& selection);
