#include "board/TestConsole.h"

#include "board/EntryTest.h"
#include "common/StringTable.h"
#include "link/BoardProtocol.h"

TestConsole::TestConsole(BoardLink& link, QObject* parent) : QObject(parent), link_(link)
{
    connect(&link_, &BoardLink::ConsoleAppended, this, &TestConsole::ConsoleAppended);
    connect(&link_, &BoardLink::ConsoleEmptied, this, &TestConsole::ConsoleEmptied);
}

void TestConsole::EntryEdited()
{
    Q_EMIT EntryMarked(false);
}

void TestConsole::SendEntry(const QString& entry)
{
    if (FirstFailingEntryPosition(entry) != 0) {
        Q_EMIT EntryMarked(true);
        return;
    }
    Q_EMIT EntryReplied(link_.DownLoadCommand(EntryCommand(entry)));
}

void TestConsole::SendCommandLine(const QString& line)
{
    if (!IsBoardCommand(line))
        return;
    if (!link_.CommandEndpointsBound()) {
        Q_EMIT MessageRequested(LoadResString(StringBase + 105));
        return;
    }
    // The reply reaches the output window through the receive path.
    link_.DownLoadCommand(line);
}

void TestConsole::ClearOutput()
{
    link_.ClearConsole();
}
