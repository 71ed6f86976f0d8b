#pragma once
// The bulk pipes beside the command exchange: the file input pipe brings data
// into the picture chunk by chunk, the file output pipe sends FileOutBuffer,
// and the download pipe re-queues the command block.
#include "link/LinkState.h"

#include <QObject>

class FilePipeHandlers : public QObject {
    Q_OBJECT
public:
    explicit FilePipeHandlers(LinkState& state, QObject* parent = nullptr);

    // Sends FileOutBuffer on USBPipeFileOUT, again and again up to the buffer
    // count, until the first write status of 0 or the first error.
    void SendFile();
    void StopFileOutPipe();
    void USBPipeFileIN_ReadComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteStatusAvailable(usb::UsbObject* Obj);
    void USBPipeDWNLD_WriteComplete(usb::UsbObject* Obj);

Q_SIGNALS:
    // A message box with the text of a failed status word.
    void MessageRequested(const QString& text);

private:
    void ShowStatusMessage(usb::Status status);
    // A message only when status is a failure.
    void ReportStatus(usb::Status status);

    LinkState& s_;
    QByteArray chunk_; // one read of the file input pipe
};
