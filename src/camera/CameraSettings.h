#pragma once
// The controls that change a camera setting with one command each: the picture
// size buttons, the UART speed list and the SPI reset button. Replies are not
// examined: the board's answer shows in the console like all it sends.
#include <QObject>

class BoardLink;

class CameraSettings : public QObject {
    Q_OBJECT
public:
    explicit CameraSettings(BoardLink& link, QObject* parent = nullptr);

    // Index: which of the eleven picture size buttons.
    void Option1_Click(int Index);
    // ListIndex: the speed list entry just chosen.
    void lstBaud_Click(int ListIndex);
    void cmdSpiReset_Click();

private:
    BoardLink& link_;
};
