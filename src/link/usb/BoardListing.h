#pragma once
// One board with the ids a backend looks for, as found on the bus: where it
// sits, its serial number, which endpoints its interface offers and whether
// this program may open it. Or a candidate: a device with other ids whose
// interface 0 is vendor-specific, known from its descriptors alone.
#include "link/usb/PortPath.h"
#include "link/usb/UsbStatus.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace usb {

struct BoardListing {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    PortPath port;
    std::uint8_t address = 0;
    QList<std::uint8_t> endpoints; // of interface 0, bit 7 set for IN
    Status access = StatusSuccess; // opening and claiming it: StatusAccessDenied, StatusBusy ...
    QString serial;                // its serial number string; empty: none (or unreadable)
    bool candidate = false;        // other ids: never opened, so access and serial say nothing
};

} // namespace usb
