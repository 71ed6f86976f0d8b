#pragma once
// Which USB backend the program talks through: the virtual board (--simulate)
// or real boards.
#include "app/CommandLine.h"
#include "link/usb/UsbObject.h"

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

private:
    std::unique_ptr<usb::VirtualBus> bus_;
    std::unique_ptr<usb::VirtualBoard> board_;
    std::unique_ptr<usb::UsbBackend> backend_;
};
