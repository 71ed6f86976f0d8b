#pragma once
// A board link on the simulated backend with one virtual board, recording what
// the window would show.
#include "link/BoardLink.h"
#include "link/CommandBlock.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QStringList>

struct LinkFixture {
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend{bus};
    BoardLink link{backend};
    QStringList messages;
    QString console; // what the console shows, lines ended with "\r\n"
    QStringList captions;
    QList<int> states;
    int identityEmptied = 0;

    explicit LinkFixture(usb::EndpointLayout layout = usb::EndpointLayout::Full,
                         bool plugged = true, bool commandInIs130 = true)
    {
        board.SetLayout(layout, commandInIs130);
        if (plugged)
            bus.Plug(&board);
        QObject::connect(&link, &BoardLink::MessageBoxRequested,
                         [this](const QString& text) { messages << text; });
        QObject::connect(&link, &BoardLink::ConsoleAppended,
                         [this](const QString& text) { console += text + QStringLiteral("\r\n"); });
        QObject::connect(&link, &BoardLink::ConsoleEmptied, [this] { console.clear(); });
        QObject::connect(&link, &BoardLink::CaptionChanged,
                         [this](const QString& caption) { captions << caption; });
        QObject::connect(&link, &BoardLink::StatusBoxChanged, [this](int s) { states << s; });
        QObject::connect(&link, &BoardLink::IdentityBoxesEmptied, [this] { ++identityEmptied; });
    }

    // Creates the objects and runs the link's part of start-up.
    void Start()
    {
        if (link.CreateObjects() == 0)
            link.StartLink();
    }

    // The command blocks the board received, as text without the padding.
    QStringList Commands() const
    {
        QStringList texts;
        for (const QByteArray& block : board.CommandBlocks())
            texts << QString::fromLatin1(block).trimmed();
        return texts;
    }
};
