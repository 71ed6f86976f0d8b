#pragma once
// Where a virtual board is plugged in: the simulated bus, or built with
// Q815_TEST_LIBUSB, the emulated USB device (run with the umockdev preload).
#ifdef Q815_TEST_LIBUSB
#include "EmulatedUsbDevice.h" // before any Qt header: umockdev.h uses "signals"
#include "link/usb/LibusbBackend.h"
#else
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBus.h"
#endif
#include "link/usb/VirtualBoard.h"

#include <QCoreApplication>
#include <QTest>
#include <memory>

// Lets everything posted so far run: a marker posted now runs after it.
inline bool Drain()
{
    bool done = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&done] { done = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&done] { return done; }, 2000);
}

// Both take the layout before plugging: it is part of the board's descriptors.
#ifdef Q815_TEST_LIBUSB
struct BoardPort {
    usb::VirtualBoard& board;
    EmulatedUsbDevice device{board};
    void Plug() { device.Plug(); }
    void Unplug() { device.Unplug(); }
    void FailReads(int n) { device.FailReads(n); } // the next n reads fail, their data lost
    // Make it after plugging: libusb must find the testbed.
    std::unique_ptr<usb::UsbBackend> MakeBackend(bool poll = false)
    {
        return std::make_unique<usb::LibusbBackend>(board.VendorId(), board.ProductId(),
                                                    usb::PortPath{}, poll);
    }
    // A second board with the same ids at another port of first's bus.
    BoardPort(usb::VirtualBoard& b, BoardPort& first)
        : board(b), device(b, nullptr, QStringLiteral("1-4.2"), &first.device)
    {
    }
    BoardPort(usb::VirtualBoard& b, usb::EndpointLayout layout = usb::EndpointLayout::Full,
              bool commandInIs130 = true, bool plugged = false)
        : board(b)
    {
        board.SetLayout(layout, commandInIs130);
        if (plugged)
            Plug();
    }
};
#else
struct BoardPort {
    usb::VirtualBoard& board;
    usb::VirtualBus ownBus;
    usb::VirtualBus& bus = ownBus;
    void Plug() { bus.Plug(&board); }
    void Unplug() { bus.Unplug(&board); }
    void FailReads(int n) { bus.InjectFault({}, "ReadTransfer", usb::StatusTransferFailed, 0, n); }
    std::unique_ptr<usb::UsbBackend> MakeBackend(bool = false)
    {
        return std::make_unique<usb::SimBackend>(bus);
    }
    BoardPort(usb::VirtualBoard& b, BoardPort& first) : board(b), bus(first.bus) {}
    BoardPort(usb::VirtualBoard& b, usb::EndpointLayout layout = usb::EndpointLayout::Full,
              bool commandInIs130 = true, bool plugged = false)
        : board(b)
    {
        board.SetLayout(layout, commandInIs130);
        if (plugged)
            Plug();
    }
};
#endif
