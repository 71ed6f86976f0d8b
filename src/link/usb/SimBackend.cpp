#include "link/usb/SimBackend.h"

#include "link/usb/SimUsbObject.h"

namespace usb {

UsbObject* SimBackend::CreateObject(const QString& name, QObject* parent, std::int32_t& failure)
{
    failure = createFailure_;
    if (failure != 0)
        return nullptr;
    auto* object = new SimUsbObject(bus_, parent);
    object->setObjectName(name);
    return object;
}

} // namespace usb
