#include "app/Backends.h"

#include "camera/TestPicture.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/LibusbSession.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QObject>
#include <cstdio>

BackendChoice::BackendChoice(const CommandLineOptions& options)
{
    if (options.simulate) {
        bus_ = std::make_unique<usb::VirtualBus>();
        board_ = std::make_unique<usb::VirtualBoard>();
        board_->SetPictureRenderer(RenderTestPicture);
        bus_->Plug(board_.get());
        backend_ = std::make_unique<usb::SimBackend>(*bus_);
        return;
    }
    backend_ = std::make_unique<usb::LibusbBackend>(options.vendorId, options.productId);
}

BackendChoice::~BackendChoice() = default;

void BackendChoice::OnOpenRefused(std::function<void(const QString&)> show)
{
    auto* libusb = dynamic_cast<usb::LibusbBackend*>(backend_.get());
    if (libusb == nullptr)
        return;
    QObject::connect(&libusb->Session(), &usb::LibusbSession::OpenRefused,
                     [show = std::move(show)](const QString& text) {
                         std::fprintf(stderr, "q815evm: %s\n", qPrintable(text));
                         show(text);
                     });
}
