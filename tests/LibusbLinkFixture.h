#pragma once
// A board link on the libusb backend, talking through real libusb to the
// virtual board served as a USB device (umockdev), recording what the window
// would show. The process must run with LD_PRELOAD=libumockdev-preload.so.0.
#include "EmulatedUsbDevice.h"
#include "link/BoardLink.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/VirtualBoard.h"

#include <QStringList>
#include <memory>

struct LibusbLinkFixture {
    usb::VirtualBoard board;
    // The testbed exists before libusb is set up.
    EmulatedUsbDevice device{board};
    std::unique_ptr<usb::LibusbBackend> backend;
    std::unique_ptr<BoardLink> link;
    QStringList messages;
    QString console;
    QStringList captions;
    QList<int> states;
    int identityEmptied = 0;

    explicit LibusbLinkFixture(usb::EndpointLayout layout = usb::EndpointLayout::Full,
                               bool plugged = true, bool commandInIs130 = true,
                               bool pollForPlugEvents = false)
    {
        board.SetLayout(layout, commandInIs130);
        if (plugged)
            device.Plug();
        backend = std::make_unique<usb::LibusbBackend>(board.VendorId(), board.ProductId(),
                                                       pollForPlugEvents);
        link = std::make_unique<BoardLink>(*backend);
        QObject::connect(link.get(), &BoardLink::MessageBoxRequested,
                         [this](const QString& text) { messages << text; });
        QObject::connect(link.get(), &BoardLink::ConsoleAppended,
                         [this](const QString& text) { console += text + QStringLiteral("\r\n"); });
        QObject::connect(link.get(), &BoardLink::ConsoleEmptied, [this] { console.clear(); });
        QObject::connect(link.get(), &BoardLink::CaptionChanged,
                         [this](const QString& caption) { captions << caption; });
        QObject::connect(link.get(), &BoardLink::StatusBoxChanged, [this](int s) { states << s; });
        QObject::connect(link.get(), &BoardLink::IdentityBoxesEmptied,
                         [this] { ++identityEmptied; });
    }

    ~LibusbLinkFixture()
    {
        link.reset(); // objects first: they cancel and wait for their transfers
        backend.reset();
    }

    void Start()
    {
        if (link->CreateObjects() == 0)
            link->StartLink();
    }

    QStringList Commands() const
    {
        QStringList texts;
        for (const QByteArray& block : board.CommandBlocks())
            texts << QString::fromLatin1(block).trimmed();
        return texts;
    }
};
