// The libusb session's look at the bus: the boards with their serial numbers
// and whether they can be opened, the board open now, and the devices with
// other ids that may be the board.
#include "link/usb/LibusbDescriptors.h"

#include <algorithm>

namespace usb {

BusPlace PlaceOf(libusb_device* device)
{
    return BusPlace{libusb_get_bus_number(device), libusb_get_device_address(device)};
}

PortPath PortOf(libusb_device* device)
{
    std::uint8_t numbers[7];
    const int count = libusb_get_port_numbers(device, numbers, int(sizeof numbers));
    PortPath port{libusb_get_bus_number(device), {}};
    for (int i = 0; i < count; ++i)
        port.ports.append(numbers[i]);
    return port;
}

// From the descriptors libusb keeps: the device is not opened.
QList<LibusbDevice::Endpoint> InterfaceEndpoints(libusb_device* device, bool* vendorClass)
{
    QList<LibusbDevice::Endpoint> endpoints;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor_by_value(device, 1, &config) != LIBUSB_SUCCESS &&
        libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS)
        return endpoints;
    if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
        const libusb_interface_descriptor& setting = config->interface[0].altsetting[0];
        if (vendorClass != nullptr)
            *vendorClass = setting.bInterfaceClass == LIBUSB_CLASS_VENDOR_SPEC;
        for (int i = 0; i < setting.bNumEndpoints; ++i) {
            const libusb_endpoint_descriptor& e = setting.endpoint[i];
            endpoints.append({e.bEndpointAddress, std::uint8_t(e.bmAttributes & 0x03)});
        }
    }
    libusb_free_config_descriptor(config);
    return endpoints;
}

QString LibusbSession::SerialOf(libusb_device* device)
{
    const BusPlace place = PlaceOf(device);
    const quint16 key = quint16(place.bus << 8 | place.address);
    if (const auto known = serials_.constFind(key); known != serials_.constEnd())
        return *known;
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS)
        return {};
    QString serial;
    if (descriptor.iSerialNumber != 0) {
        const auto open = open_.lock();
        libusb_device_handle* handle =
            open && !open->Gone() && open->Place() == place ? open->Handle() : nullptr;
        // Opening claims nothing: a board that another program holds can be read.
        const bool own = handle == nullptr;
        if (own && libusb_open(device, &handle) != LIBUSB_SUCCESS)
            return {}; // no permission: tried again next time
        unsigned char text[256];
        const int n = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text,
                                                         int(sizeof text));
        if (own)
            libusb_close(handle);
        if (n < 0)
            return {};
        serial = QString::fromLatin1(reinterpret_cast<const char*>(text), n);
    }
    serials_.insert(key, serial);
    return serial;
}

BoardListing LibusbSession::Describe(libusb_device* device)
{
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    BoardListing listing;
    listing.vendorId = descriptor.idVendor;
    listing.productId = descriptor.idProduct;
    listing.port = PortOf(device);
    listing.address = libusb_get_device_address(device);
    for (const LibusbDevice::Endpoint& endpoint : InterfaceEndpoints(device))
        listing.endpoints.append(endpoint.address);
    return listing;
}

Status LibusbSession::ListBoards(QList<BoardListing>& boards)
{
    boards.clear();
    return WithMatchingBoards([&](const QList<libusb_device*>& matching) {
        const auto open = open_.lock();
        for (libusb_device* board : matching) {
            BoardListing listing = Describe(board);
            const bool ours = open && !open->Gone() && open->Place() == PlaceOf(board);
            listing.access = ours ? StatusSuccess : TryOpen(board);
            listing.serial = SerialOf(board);
            boards.append(listing);
        }
        return StatusSuccess;
    });
}

// Opens the board and claims its interface, then lets go of both: what
// attaching it would meet. No kernel driver is detached for this: one that
// holds the interface makes it busy.
Status LibusbSession::TryOpen(libusb_device* board) const
{
    libusb_device_handle* handle = nullptr;
    int r = libusb_open(board, &handle);
    if (r != LIBUSB_SUCCESS)
        return StatusFromLibusbError(r, StatusNoDevice);
    r = libusb_claim_interface(handle, 0);
    if (r == LIBUSB_SUCCESS)
        libusb_release_interface(handle, 0);
    libusb_close(handle);
    return StatusFromLibusbError(r, StatusNoInterface);
}

bool LibusbSession::DescribeOpenBoard(BoardListing& board)
{
    const auto open = open_.lock();
    if (!open || open->Gone())
        return false;
    libusb_device* device = libusb_get_device(open->Handle());
    board = Describe(device);
    board.serial = SerialOf(device);
    return true;
}

Status LibusbSession::ListOtherDevices(QList<BoardListing>& devices)
{
    devices.clear();
    const Status status = WithDeviceList([&](libusb_device** list, ssize_t n) {
        for (ssize_t i = 0; i < n; ++i) {
            libusb_device_descriptor descriptor{};
            bool vendorClass = false;
            if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS ||
                (descriptor.idVendor == vendorId_ && descriptor.idProduct == productId_))
                continue;
            InterfaceEndpoints(list[i], &vendorClass);
            if (!vendorClass)
                continue;
            devices.append(Describe(list[i]));
            devices.back().candidate = true;
        }
        return StatusSuccess;
    });
    if (status != StatusSuccess)
        return status;
    std::sort(devices.begin(), devices.end(), [](const BoardListing& a, const BoardListing& b) {
        return a.port.bus != b.port.bus ? a.port.bus < b.port.bus : a.address < b.address;
    });
    return StatusSuccess;
}

} // namespace usb
