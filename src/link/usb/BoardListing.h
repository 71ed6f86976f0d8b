#pragma once
// One board with the ids a backend looks for, as found on the bus: where it
// sits, which endpoints its interface offers and whether this program may
// open it.
#include "link/usb/PortPath.h"
#include "link/usb/UsbStatus.h"

#include <QList>
#include <cstdint>

namespace usb {

struct BoardListing {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    PortPath port;
    std::uint8_t address = 0;
    QList<std::uint8_t> endpoints; // of interface 0, bit 7 set for IN
    Status access = StatusSuccess; // opening and claiming it: StatusAccessDenied, StatusBusy ...
};

} // namespace usb
