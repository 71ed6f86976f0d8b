#pragma once
// The console: the command entry that asks the board about a command-table
// entry, the command line that sends any board command, emptying the output
// window, and the output window's text as the link reports it.
#include "link/BoardLink.h"

#include <QObject>
#include <QString>

class TestConsole : public QObject {
    Q_OBJECT
public:
    explicit TestConsole(BoardLink& link, QObject* parent = nullptr);

    // The command entry was typed in: it shows as normal again.
    void EntryEdited();
    // Sends "C:07" + entry when the entry begins with sixteen upper-case hex
    // digits; marks the entry bad otherwise.
    void SendEntry(const QString& entry);
    // Sends the command line's text when it is a board command. The reply
    // shows in the output window.
    void SendCommandLine(const QString& line);
    void ClearOutput();

Q_SIGNALS:
    // The command entry is to show red (true) or as normal (false).
    void EntryMarked(bool bad);
    // The reply to the command entry's command.
    void EntryReplied(const QString& reply);
    void MessageRequested(const QString& text);
    // The output window: a chunk to append as a line, or all to be emptied.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();

private:
    BoardLink& link_;
};
