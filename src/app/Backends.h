#pragma once
// Which USB backend the program talks through: the virtual board (--simulate)
// or real boards through libusb, matched by the ids of --device.
#include "app/CommandLine.h"
#include "link/usb/UsbObject.h"

#include <functional>
#include <memory>

namespace usb {
class VirtualBus;
class VirtualBoard;
} // namespace usb

class BackendChoice {
public:
    explicit BackendChoice(const CommandLineOptions& options);
    ~BackendChoice();
    usb::UsbBackend& Backend() { return *backend_; }
    usb::VirtualBoard* Board() { return board_.get(); } // the virtual board, if any
    // show is called with what to tell the user when a board that is plugged in
    // cannot be opened (no permission, held by another program).
    void OnOpenRefused(std::function<void(const QString&)> show);

private:
    std::unique_ptr<usb::VirtualBus> bus_;
    std::unique_ptr<usb::VirtualBoard> board_;
    std::unique_ptr<usb::UsbBackend> backend_;
};
