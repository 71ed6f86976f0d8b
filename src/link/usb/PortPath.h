#pragma once
// Where a board is plugged in, as libusb names it: the bus number, then the
// port numbers from the root hub down, "1-4.2" for port 2 of the hub on port 4
// of bus 1. Unlike the address, it stays the same when the board is plugged
// into the same socket again, so it picks one of several boards with the same ids.
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace usb {

struct PortPath {
    std::uint8_t bus = 0;
    QList<std::uint8_t> ports; // root hub's port first; at most seven (USB's hub depth)

    bool Empty() const { return ports.isEmpty(); }
    QString Text() const;
    friend bool operator==(const PortPath&, const PortPath&) = default;
};

// "BUS-PORT[.PORT...]" with numbers 1 to 255; nothing else.
std::optional<PortPath> ParsePortPath(const QString& text);

} // namespace usb
