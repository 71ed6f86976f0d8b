#pragma once
// Where a virtual board is plugged in, for tests that run on both backends:
// built plainly, the simulated bus; built with Q815_TEST_LIBUSB, the board
// served as a USB device that real libusb talks to (the process must run with
// LD_PRELOAD=libumockdev-preload.so.0).
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

struct BoardPort {
    usb::VirtualBoard& board;
#ifdef Q815_TEST_LIBUSB
    EmulatedUsbDevice device{board};
    void Plug()
    {
        device.Plug();
    }
    void Unplug()
    {
        device.Unplug();
    }
    bool Plugged() const
    {
        return device.Plugged();
    }
    void FailReads(int count)
    {
        device.FailReads(count);
    }
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
#else
    usb::VirtualBus ownBus;
    usb::VirtualBus& bus = ownBus;
    void Plug()
    {
        bus.Plug(&board);
    }
    void Unplug()
    {
        bus.Unplug(&board);
    }
    bool Plugged() const
    {
        return bus.PlugGeneration(&board) != 0;
    }
    // The next count reads that take data from the board fail, the data lost.
    void FailReads(int count)
    {
        bus.InjectFault(QString(), QStringLiteral("ReadTransfer"), usb::StatusTransferFailed, 0,
                        count);
    }
    std::unique_ptr<usb::UsbBackend> MakeBackend(bool = false)
    {
        return std::make_unique<usb::SimBackend>(bus);
    }
    BoardPort(usb::VirtualBoard& b, BoardPort& first) : board(b), bus(first.bus) {}
#endif
    // The layout is part of the board's descriptors: set it before plugging.
    BoardPort(usb::VirtualBoard& b, usb::EndpointLayout layout = usb::EndpointLayout::Full,
              bool commandInIs130 = true, bool plugged = false)
        : board(b)
    {
        board.SetLayout(layout, commandInIs130);
        if (plugged)
            Plug();
    }
};
