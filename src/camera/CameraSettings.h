#pragma once
// The controls that change a camera setting with one command each: the picture
// size buttons, the UART speed list and the SPI reset button. Replies are not
// examined: the board's answer shows in the console like all it sends.
#include <QObject>

class MainWindow;
class QComboBox;

class CameraSettings : public QObject {
    Q_OBJECT
public:
    explicit CameraSettings(MainWindow& window);

    void Option1_Click(int Index);
    void lstBaud_Click();
    void cmdSpiReset_Click();

private:
    MainWindow& window_;
    QComboBox* lstBaud;
};
