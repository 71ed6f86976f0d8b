#pragma once
// A board link with one virtual board, recording what the window would show,
// on either backend (see BoardPort.h).
#include "BoardPort.h" // first: it may include umockdev's header

#include "BoardCommands.h"
#include "LinkProbe.h"
#include "camera/PictureAssembler.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

#include <QStringList>
#include <memory>

struct LinkFixture {
    usb::VirtualBoard board;
    BoardPort port;
    std::unique_ptr<usb::UsbBackend> backend; // set up after plugging
    BoardLink link;
    PictureAssembler picture{link}; // where the picture bytes go
    QStringList messages;
    QString console; // what the console shows, lines ended with "\r\n"
    QStringList captions;
    QList<int> states;
    int identityEmptied = 0;

    explicit LinkFixture(usb::EndpointLayout layout = usb::EndpointLayout::Full,
                         bool plugged = true, bool commandInIs130 = true, bool poll = false)
        : port(board, layout, commandInIs130, plugged), backend(port.MakeBackend(poll)),
          link(*backend)
    {
        QObject::connect(&link, &BoardLink::MessageRequested,
                         [this](const QString& text) { messages << text; });
        QObject::connect(&link, &BoardLink::ConsoleAppended,
                         [this](const QString& text) { console += text + QStringLiteral("\r\n"); });
        QObject::connect(&link, &BoardLink::ConsoleEmptied, [this] { console.clear(); });
        QObject::connect(&link, &BoardLink::CaptionChanged,
                         [this](const QString& caption) { captions << caption; });
        QObject::connect(&link, &BoardLink::StatusBoxChanged, [this](int s) { states << s; });
        QObject::connect(&link, &BoardLink::IdentityLost, [this] { ++identityEmptied; });
    }

    void Plug() { port.Plug(); }
    void Unplug() { port.Unplug(); }

    // Creates the objects and runs the link's part of start-up.
    void Start()
    {
        if (link.CreateObjects() == 0)
            link.StartLink();
    }

    QStringList Commands() const { return ::Commands(board); }
};
