#pragma once
// Which USB backend a program talks through: the virtual board (--simulate) or
// real boards through libusb, matched by their ids and port.
#include "link/usb/UsbObject.h"
#include "selection/BoardSelection.h"

#include <functional>
#include <memory>

namespace usb {
class VirtualBus;
class VirtualBoard;
} // namespace usb

// The serial number of the virtual board of --simulate.
inline constexpr char SimulatedSerial[] = "SIM-0001";

// show is called with what to tell the user when a board that is plugged in
// cannot be opened (no permission, held by another program). Only real boards
// are ever refused.
void OnOpenRefused(usb::UsbBackend& backend, std::function<void(const QString&)> show);

class BackendChoice {
public:
    explicit BackendChoice(const BoardSelection& selection);
    ~BackendChoice();
    usb::UsbBackend& Backend() { return *backend_; }
    usb::VirtualBoard* Board() { return board_.get(); } // the virtual board, if any
    void OnOpenRefused(std::function<void(const QString&)> show)
    {
        ::OnOpenRefused(*backend_, std::move(show));
    }

private:
    std::unique_ptr<usb::VirtualBus> bus_;
    std::unique_ptr<usb::VirtualBoard> board_;
    std::unique_ptr<usb::UsbBackend> backend_;
};
