#include "app/Backends.h"

#include "camera/TestPicture.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

BackendChoice::BackendChoice(const CommandLineOptions& options)
    : bus_(std::make_unique<usb::VirtualBus>())
{
    if (options.simulate) {
        board_ = std::make_unique<usb::VirtualBoard>();
        board_->SetPictureRenderer(RenderTestPicture);
        bus_->Plug(board_.get());
    }
    // Until the libusb backend is in, a program without --simulate sees an
    // empty bus: no board.
    backend_ = std::make_unique<usb::SimBackend>(*bus_);
}

BackendChoice::~BackendChoice() = default;
