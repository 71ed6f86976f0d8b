#pragma once
// The libusb backend: component objects on real boards, matched by their USB
// ids. All objects it creates share one LibusbSession (one libusb context, one
// worker thread, one open board).
#include "link/usb/PortPath.h"
#include "link/usb/UsbObject.h"

#include <cstdint>
#include <memory>

namespace usb {

class LibusbSession;

class LibusbBackend : public UsbBackend {
public:
    // port: only the board plugged in there (empty: any board with the ids).
    // forcePoll: find plug events by looking at the bus about once a second even
    // where libusb has hotplug.
    LibusbBackend(std::uint16_t vendorId, std::uint16_t productId, const PortPath& port = {},
                  bool forcePoll = false);
    ~LibusbBackend() override;
    UsbObject* CreateObject(const QString& name, QObject* parent, std::int32_t& failure) override;
    Status ListBoards(QList<BoardListing>& boards) override;
    bool DescribeOpenBoard(BoardListing& board) override;
    Status ListOtherDevices(QList<BoardListing>& devices) override;
    LibusbSession& Session() { return *session_; }

private:
    std::shared_ptr<LibusbSession> session_;
};

} // namespace usb
