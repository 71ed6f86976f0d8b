#pragma once
// The bulk file pipes beside the command exchange: the file input pipe brings
// data into the picture chunk by chunk, the file output pipe sends a buffer
// again and again until the board's first write status. Their status words,
// buffers, counts and flags are theirs alone.
#include "link/ChunkSink.h"
#include "link/LinkPipes.h"

#include <QObject>

class FilePipeHandlers : public QObject {
    Q_OBJECT
public:
    // The size of one read of the file input pipe.
    static constexpr std::int32_t FileInBufferSize = 63360;

    explicit FilePipeHandlers(const LinkPipes& pipes, QObject* parent = nullptr);

    // Where the file input data goes; nullptr: it is dropped.
    void SetChunkSink(ChunkSink* sink) { PictureSink = sink; }
    // Starts the picture over and starts reading the file input pipe.
    void StartReading();
    // Sends data on USBPipeFileOUT in buffers of its size, again and again up
    // to the buffer count, until the first write status of 0 or the first error.
    void SendFile(const QByteArray& data);
    void StopFileOutPipe();
    void USBPipeFileIN_ReadComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeFileOUT_WriteStatusAvailable(usb::UsbObject* Obj);

    bool Reading() const { return FileInReading; }
    bool Writing() const { return FileOutWriting; }

Q_SIGNALS:
    // A message box with the text of a failed status word.
    void MessageRequested(const QString& text);

private:
    void ShowStatusMessage(usb::Status status);
    // A message only when status is a failure.
    void ReportStatus(usb::Status status);

    const LinkPipes& pipes_;
    ChunkSink* PictureSink = nullptr;
    usb::Status FileInStatus = 0;
    usb::Status FileOutStatus = 0;
    QByteArray FileOutBuffer; // data sent on USBPipeFileOUT
    std::int32_t FileOutBufferSize = 0;
    std::int32_t FileOutBufferCount = 10;
    std::int32_t FileOutErrorLimit = 5;
    std::int32_t FileInBufferCount = 5;
    std::int32_t FileInErrorLimit = 5;
    std::int32_t WriteTag = 0;
    bool FileOutWriting = false;
    bool FileInReading = false;
    QByteArray chunk_; // one read of the file input pipe
};
