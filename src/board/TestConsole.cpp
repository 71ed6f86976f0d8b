#include "board/TestConsole.h"

#include "board/EntryTest.h"
#include "common/StringTable.h"

namespace {
constexpr std::int16_t EnterKey = 13;
}

std::int16_t KeyPressCode(int key, const QString& text)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return EnterKey;
    if (key == Qt::Key_Backspace)
        return 8;
    if (text.isEmpty())
        return -1;
    return std::int16_t(text.at(0).unicode());
}

TestConsole::TestConsole(BoardLink& link, QObject* parent) : QObject(parent), link_(link)
{
    connect(&link_, &BoardLink::ConsoleAppended, this, &TestConsole::ConsoleAppended);
    connect(&link_, &BoardLink::ConsoleEmptied, this, &TestConsole::ConsoleEmptied);
}

void TestConsole::cmdEntry_KeyPress(std::int16_t KeyAscii, const QString& cmdEntry)
{
    Q_EMIT EntryMarked(false);
    if (KeyAscii != EnterKey)
        return;
    if (FirstFailingEntryPosition(cmdEntry) != 0) {
        Q_EMIT EntryMarked(true);
        return;
    }
    Q_EMIT ReplyShown(link_.DownLoadCommand(QStringLiteral("C:07") + cmdEntry));
}

void TestConsole::CmdCommandLine_KeyPress(std::int16_t KeyAscii, const QString& CmdCommandLine)
{
    if (KeyAscii != EnterKey || !CmdCommandLine.startsWith(QStringLiteral("C:")))
        return;
    if (!link_.CommandEndpointsBound()) {
        Q_EMIT MessageRequested(LoadResString(StringBase + 105));
        return;
    }
    // The reply reaches the output window through the receive path.
    link_.DownLoadCommand(CmdCommandLine);
}

void TestConsole::Clear_Click()
{
    link_.ClearConsole();
}
