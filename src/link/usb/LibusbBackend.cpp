#include "link/usb/LibusbBackend.h"

#include "link/usb/LibusbSession.h"
#include "link/usb/LibusbUsbObject.h"

namespace usb {

LibusbBackend::LibusbBackend(std::uint16_t vendorId, std::uint16_t productId, const PortPath& port,
                             bool forcePoll)
    : session_(std::make_shared<LibusbSession>(vendorId, productId, port, forcePoll))
{
}

LibusbBackend::~LibusbBackend() = default;

// Without libusb (no USB support on this system) the objects cannot be made:
// the failure is the status word that says why.
UsbObject* LibusbBackend::CreateObject(const QString& name, QObject* parent, std::int32_t& failure)
{
    failure = session_->InitStatus();
    if (failure != StatusSuccess)
        return nullptr;
    auto* object = new LibusbUsbObject(session_, parent);
    object->setObjectName(name);
    return object;
}

Status LibusbBackend::ListBoards(QList<BoardListing>& boards)
{
    return session_->ListBoards(boards);
}

bool LibusbBackend::DescribeOpenBoard(BoardListing& board)
{
    return session_->DescribeOpenBoard(board);
}

Status LibusbBackend::ListOtherDevices(QList<BoardListing>& devices)
{
    return session_->ListOtherDevices(devices);
}

} // namespace usb
