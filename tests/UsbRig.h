#pragma once
// Helpers of the USB component's own tests (test_usb_contract, test_usb_backends).
#include "BoardPort.h" // first: it may include umockdev's header

#include "link/usb/UsbObject.h"

#include <memory>

namespace usbrig {

using namespace usb;

inline const QString kGuid = QStringLiteral("{325ddf96-938c-11d3-9e34-0080c82727f4}");

inline QByteArray Block(const QByteArray& command)
{
    return command.leftJustified(128, ' ', true);
}

// Opens object's board and claims the interface, as the link does; binds the
// endpoint unless it is 0.
inline Status Bind(UsbObject& object, std::uint8_t endpoint)
{
    Status s = object.AttachDevice(0);
    if (s == StatusSuccess)
        s = object.DefineInterface(0, 0, 64000);
    if (s == StatusSuccess)
        s = object.ApplyConfiguration(0);
    if (s == StatusSuccess && endpoint != 0)
        s = object.AssignEndpoint(endpoint);
    return s;
}

// One board on one backend, plugged in when the first object is opened. The
// endpoints each layout offers are met through the link in test_board_discovery.
struct Rig {
    VirtualBoard board;
    BoardPort port{board};
    std::unique_ptr<UsbBackend> backend;
    void Plug()
    {
        port.Plug();
        if (!backend)
            backend = port.MakeBackend();
    }
    // An object of that name, opened and bound; null when any step fails.
    std::unique_ptr<UsbObject> Open(const QString& name, std::uint8_t endpoint)
    {
        if (!backend)
            Plug();
        std::int32_t failure = -1;
        QObject owner;
        std::unique_ptr<UsbObject> object(backend->CreateObject(name, &owner, failure));
        if (!object || failure != 0 || object->objectName() != name || object->parent() != &owner)
            return nullptr;
        object->setParent(nullptr);
        if (Bind(*object, endpoint) != StatusSuccess)
            return nullptr;
        return object;
    }
};

} // namespace usbrig
