#pragma once
// The camera settings that one command each changes: the picture size, the
// UART speed and the SPI reset. Replies are not examined: the board's answer
// shows in the console like all it sends.
#include <QObject>

class BoardLink;

class CameraSettings : public QObject {
    Q_OBJECT
public:
    explicit CameraSettings(BoardLink& link, QObject* parent = nullptr);

    // index: which of the eleven picture sizes (PictureSizeCaptions).
    void SetPictureSize(int index);
    // listIndex: which of the UART speeds (UartSpeedEntries); -1 for none.
    void SetUartSpeed(int listIndex);
    void ResetSpi();

private:
    BoardLink& link_;
};
