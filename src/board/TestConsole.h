#pragma once
// The console: command labels that copy a command-table entry into the command
// entry, the entry that sends "C:07" + its text on Enter, the command line that
// sends any "C:" command, and the button that empties the output window.
#include <QObject>
#include <QPalette>
#include <cstdint>

class MainWindow;
class QLineEdit;

class TestConsole : public QObject {
    Q_OBJECT
public:
    explicit TestConsole(MainWindow& window);

    // A command label: copies the text of its command-table box into cmdEntry.
    void CommandLabel_Click(const char* code);
    void cmdEntry_KeyPress(std::int16_t KeyAscii);
    void CmdCommandLine_KeyPress(std::int16_t KeyAscii);
    void Clear_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& window_;
    QLineEdit* cmdEntry;
    QLineEdit* retString;
    QLineEdit* CmdCommandLine;
    QPalette normalPalette_;
};

// The character code that a key press gives, or -1 for keys that type nothing
// (arrows, shift ...): Enter is 13, Backspace 8.
std::int16_t KeyPressCode(int key, const QString& text);
