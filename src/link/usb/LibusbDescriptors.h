#pragma once
// What the libusb session reads of a device without opening it: where it sits
// and the endpoints of its interface 0; and the session's walk over the
// matching boards, for its two files.
#include "link/usb/LibusbSession.h"
#include "link/usb/LibusbStatus.h"

namespace usb {

BusPlace PlaceOf(libusb_device* device);
PortPath PortOf(libusb_device* device);
// The endpoints of interface 0, setting 0, of configuration 1 (or of the active
// configuration when the board has no configuration 1). vendorClass: whether
// that interface is vendor-specific.
QList<LibusbDevice::Endpoint> InterfaceEndpoints(libusb_device* device,
                                                 bool* vendorClass = nullptr);

// Runs use(list, count) on a fresh list of the devices on the bus and returns
// its status, or the status of getting the list.
template <typename Use> Status LibusbSession::WithDeviceList(Use use)
{
    if (context_ == nullptr)
        return initStatus_;
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    if (n < 0)
        return StatusFromLibusbError(int(n));
    const Status status = use(list, n);
    libusb_free_device_list(list, 1);
    return status;
}

// Runs use(boards) on the matching boards of a fresh device list.
template <typename Use> Status LibusbSession::WithMatchingBoards(Use use)
{
    return WithDeviceList(
        [&](libusb_device** list, ssize_t n) { return use(MatchingBoards(list, n, true)); });
}

} // namespace usb
