#include "link/FilePipeHandlers.h"

#include <algorithm>

using usb::Status;
using usb::UsbObject;

FilePipeHandlers::FilePipeHandlers(const LinkPipes& pipes, QObject* parent)
    : QObject(parent), pipes_(pipes)
{
}

void FilePipeHandlers::StartReading()
{
    FileInBufferCount = 5;
    FileInErrorLimit = 5;
    if (PictureSink != nullptr)
        PictureSink->StartOver(FileInBufferSize);
    FileInStatus = pipes_.USBPipeFileIN->ClearPipe();
    if (FileInStatus != 0)
        return;
    FileInStatus =
        pipes_.USBPipeFileIN->BeginReading(FileInBufferSize, FileInBufferCount, FileInErrorLimit);
    if (FileInStatus == 0)
        FileInReading = true;
}

void FilePipeHandlers::SendFile(const QByteArray& data)
{
    FileOutBuffer = data;
    FileOutBufferSize = std::int32_t(data.size());
    // The file pipe's own buffer count: ten buffers in flight.
    FileOutBufferCount = 10;
    FileOutErrorLimit = 5;
    FileOutWriting = false;
    FileOutStatus = pipes_.USBPipeFileOUT->ClearPipe();
    if (FileOutStatus != 0) {
        ReportStatus(FileOutStatus);
        FileOutWriting = false;
        return;
    }
    FileOutStatus = pipes_.USBPipeFileOUT->BeginWriting(FileOutBufferSize, FileOutBufferCount,
                                                        FileOutErrorLimit, WriteStatusWanted);
    if (FileOutStatus != 0) {
        ShowStatusMessage(FileOutStatus);
        FileOutWriting = false;
        return;
    }
    FileOutWriting = true;
    FileOutStatus =
        QueueUntilFull(*pipes_.USBPipeFileOUT, FileOutBuffer, WriteTag, FileOutBufferCount);
    if (FileOutStatus == 0 || FileOutStatus == usb::StatusQueueFull)
        return; // the write events carry on
    ShowStatusMessage(FileOutStatus);
    FileOutWriting = false;
}

void FilePipeHandlers::StopFileOutPipe()
{
    FileOutWriting = false;
    pipes_.USBPipeFileOUT->EndWriting();
}

void FilePipeHandlers::USBPipeFileOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!FileOutWriting)
        return;
    FileOutStatus =
        QueueUntilFull(*pipes_.USBPipeFileOUT, FileOutBuffer, WriteTag, FileOutBufferCount);
    if (FileOutStatus == 0 || FileOutStatus == usb::StatusQueueFull)
        return;
    FileOutWriting = false;
    pipes_.USBPipeFileOUT->EndWriting();
    ShowStatusMessage(FileOutStatus);
}

void FilePipeHandlers::USBPipeFileOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    FileOutStatus = pipes_.USBPipeFileOUT->FetchWriteStatus(WriteTag);
    if (FileOutStatus == 0)
        StopFileOutPipe();
    ReportStatus(FileOutStatus);
}

void FilePipeHandlers::USBPipeFileIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!FileInReading)
        return;
    FileInStatus = 0;
    while (FileInStatus == 0) {
        std::int32_t byteCount = 0;
        if (chunk_.size() != FileInBufferSize)
            chunk_ = QByteArray(FileInBufferSize, '\0');
        FileInStatus = pipes_.USBPipeFileIN->FetchData(chunk_, byteCount);
        // Into the picture from index 0, never past its end.
        if (FileInStatus == 0 && PictureSink != nullptr)
            PictureSink->StoreFileChunk(chunk_.constData(),
                                        std::clamp<qsizetype>(byteCount, 0, chunk_.size()));
    }
    if (FileInStatus != usb::StatusNoData) {
        FileInReading = false;
        pipes_.USBPipeFileIN->EndReading();
    }
}

void FilePipeHandlers::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(pipes_, status));
}

void FilePipeHandlers::ReportStatus(usb::Status status)
{
    if (status != 0)
        ShowStatusMessage(status);
}
