#pragma once
// The console: the command entry that sends "C:07" + its text on Enter, the
// command line that sends any "C:" command, the button that empties the output
// window, and the output window's text as the link reports it.
#include "link/BoardLink.h"

#include <QObject>
#include <QString>
#include <cstdint>

class TestConsole : public QObject {
    Q_OBJECT
public:
    explicit TestConsole(BoardLink& link, QObject* parent = nullptr);

    // A key typed into the command entry, with the entry's text: any key first
    // turns the entry back to normal; Enter then checks the text and either
    // marks the entry bad or sends it.
    void cmdEntry_KeyPress(std::int16_t KeyAscii, const QString& cmdEntry);
    // A key typed into the command line: Enter sends its text when it is a
    // "C:" command. The reply shows in the output window.
    void CmdCommandLine_KeyPress(std::int16_t KeyAscii, const QString& CmdCommandLine);
    void Clear_Click();

Q_SIGNALS:
    // The command entry is to show red (true) or as normal (false).
    void EntryMarked(bool bad);
    // The reply to the command entry's command, for retString.
    void ReplyShown(const QString& retString);
    void MessageRequested(const QString& text);
    // The output window: a chunk to append as a line, or all to be emptied.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();

private:
    BoardLink& link_;
};

// The character code that a key press gives, or -1 for keys that type nothing
// (arrows, shift ...): Enter is 13, Backspace 8.
std::int16_t KeyPressCode(int key, const QString& text);
