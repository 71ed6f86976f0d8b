#pragma once
// The one receive path for everything the board sends on its input pipe:
// replies, console text and picture bytes. Each chunk marks a reply as
// arrived, goes to the picture at PictureFill, and is echoed to the console
// unless a picture download keeps it quiet.
#include "link/LinkState.h"

#include <QObject>

// The console is emptied when its text would reach this many characters.
inline constexpr int ConsoleLimit = 64000;

class ReceivePath : public QObject {
    Q_OBJECT
public:
    explicit ReceivePath(LinkState& state, QObject* parent = nullptr);

    void USBPipeIN_ReadComplete(usb::UsbObject* Obj);
    // The console's text length as the echo rule counts it.
    qsizetype ConsoleLength() const { return consoleLength_; }
    // Empties the console (the "Clear Output Window" button).
    void ClearConsole();

Q_SIGNALS:
    // text and a line end were appended to the console.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();
    // A reply has arrived (ReplyArrived is true): a wait for it may end.
    void ReplyCame();
    // A read failed because the board was unplugged: no reply will come.
    void BoardGone();

private:
    void EchoToConsole(const QString& text);

    LinkState& s_;
    qsizetype consoleLength_ = 0;
};
