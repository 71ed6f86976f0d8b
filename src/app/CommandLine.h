#pragma once
// The program's options.
#include <QString>
#include <QStringList>
#include <cstdint>

struct CommandLineOptions {
    bool simulate = false;
    bool help = false;
    bool version = false;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool deviceGiven = false;
    QString error; // not empty: the options were bad; say this and exit with 2
    QString helpText;
};

// Default USB ids of the board, "VID:PID" in hexadecimal.
inline constexpr char DefaultDeviceIds[] = "03eb:a815";

// Parses "VID:PID" (hexadecimal, 1 to 4 digits each).
bool ParseDeviceIds(const QString& text, std::uint16_t& vendorId, std::uint16_t& productId);

// Parses the arguments (the program name first). deviceEnv is the value of
// Q815EVM_DEVICE, used when --device is not given.
CommandLineOptions ParseCommandLine(const QStringList& arguments, const QString& deviceEnv);
