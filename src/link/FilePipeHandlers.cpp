#include "link/FilePipeHandlers.h"

#include <algorithm>

using usb::Status;
using usb::UsbObject;

FilePipeHandlers::FilePipeHandlers(LinkState& state, QObject* parent) : QObject(parent), s_(state)
{
}

void FilePipeHandlers::SendFile()
{
    s_.OutBufferCount = 10;
    s_.OutErrorLimit = 5;
    s_.FileOutWriting = false;
    s_.FileOutStatus = s_.USBPipeFileOUT->ClearPipe();
    if (s_.FileOutStatus != 0) {
        ReportStatus(s_.FileOutStatus);
        s_.FileOutWriting = false;
        return;
    }
    s_.FileOutStatus = s_.USBPipeFileOUT->BeginWriting(s_.FileOutBufferSize, s_.OutBufferCount,
                                                       s_.OutErrorLimit, s_.WriteStatusWanted);
    if (s_.FileOutStatus != 0) {
        ShowStatusMessage(s_.FileOutStatus);
        s_.FileOutWriting = false;
        return;
    }
    s_.FileOutWriting = true;
    s_.FileOutStatus =
        QueueUntilFull(*s_.USBPipeFileOUT, s_.FileOutBuffer, s_.WriteTag, s_.OutBufferCount);
    if (s_.FileOutStatus == 0 || s_.FileOutStatus == usb::StatusQueueFull)
        return; // the write events carry on
    ShowStatusMessage(s_.FileOutStatus);
    s_.FileOutWriting = false;
}

void FilePipeHandlers::StopFileOutPipe()
{
    s_.FileOutWriting = false;
    s_.USBPipeFileOUT->EndWriting();
}

void FilePipeHandlers::USBPipeFileOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!s_.FileOutWriting)
        return;
    s_.FileOutStatus =
        QueueUntilFull(*s_.USBPipeFileOUT, s_.FileOutBuffer, s_.WriteTag, s_.OutBufferCount);
    if (s_.FileOutStatus == 0 || s_.FileOutStatus == usb::StatusQueueFull)
        return;
    s_.FileOutWriting = false;
    s_.USBPipeFileOUT->EndWriting();
    ShowStatusMessage(s_.FileOutStatus);
}

void FilePipeHandlers::USBPipeFileOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    s_.FileOutStatus = s_.USBPipeFileOUT->FetchWriteStatus(s_.WriteTag);
    if (s_.FileOutStatus == 0)
        StopFileOutPipe();
    ReportStatus(s_.FileOutStatus);
}

void FilePipeHandlers::USBPipeFileIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!s_.FileInReading)
        return;
    s_.FileInStatus = 0;
    while (s_.FileInStatus == 0) {
        std::int32_t byteCount = 0;
        if (chunk_.size() != s_.FileInBufferSize)
            chunk_ = QByteArray(s_.FileInBufferSize, '\0');
        s_.FileInStatus = s_.USBPipeFileIN->FetchData(chunk_, byteCount);
        // Into the picture from index 0, never past its end.
        if (s_.FileInStatus == 0 && s_.PictureSink != nullptr)
            s_.PictureSink->StoreFileChunk(chunk_.constData(),
                                           std::clamp<qsizetype>(byteCount, 0, chunk_.size()));
    }
    if (s_.FileInStatus != usb::StatusNoData) {
        s_.FileInReading = false;
        s_.USBPipeFileIN->EndReading();
    }
}

void FilePipeHandlers::USBPipeDWNLD_WriteComplete(UsbObject* /*Obj*/)
{
    if (!s_.OutWriting)
        return;
    s_.DownloadWriteTag = 1;
    s_.OutStatus =
        QueueUntilFull(*s_.USBPipeDWNLD, s_.CommandBlock, s_.DownloadWriteTag, s_.OutBufferCount);
    if (s_.OutStatus == 0 || s_.OutStatus == usb::StatusQueueFull)
        return;
    s_.OutWriting = false;
    s_.USBPipeDWNLD->EndWriting();
    ShowStatusMessage(s_.OutStatus);
}

void FilePipeHandlers::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageRequested(StatusTextOf(s_, status));
}

void FilePipeHandlers::ReportStatus(usb::Status status)
{
    if (status != 0)
        ShowStatusMessage(status);
}
