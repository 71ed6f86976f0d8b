#pragma once
// The simulated backend: component objects that talk to the boards of a
// VirtualBus in-process. Completions are delivered through the event loop of the
// thread that owns the objects, as the real component delivers them.
#include "link/usb/UsbObject.h"
#include "link/usb/VirtualBus.h"

namespace usb {

class SimBackend : public UsbBackend {
public:
    explicit SimBackend(VirtualBus& bus) : bus_(bus) {}
    UsbObject* CreateObject(const QString& name, QObject* parent, std::int32_t& failure) override;
    // The boards of the bus, each on its own port of bus 1 ("1-1", "1-2" ...).
    Status ListBoards(QList<BoardListing>& boards) override;
    bool DescribeOpenBoard(BoardListing& board) override;
    // Makes the next CreateObject calls fail outright with this number (0: succeed).
    void SetCreateFailure(std::int32_t failure) { createFailure_ = failure; }

private:
    VirtualBus& bus_;
    std::int32_t createFailure_ = 0;
};

} // namespace usb
