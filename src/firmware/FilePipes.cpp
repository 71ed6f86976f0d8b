#include "firmware/FilePipes.h"

#include "common/FileWrite.h"

using usb::Status;
using usb::UsbObject;

FilePipes::FilePipes(BoardLink& link, std::function<QString()> readFilePath, QObject* parent)
    : QObject(parent), link_(link), readFilePath_(std::move(readFilePath))
{
    connect(link_.USBPipeFileIN, &UsbObject::ReadComplete, this,
            &FilePipes::USBPipeFileIN_ReadComplete);
    connect(link_.USBPipeFileOUT, &UsbObject::WriteComplete, this,
            &FilePipes::USBPipeFileOUT_WriteComplete);
    connect(link_.USBPipeFileOUT, &UsbObject::WriteStatusAvailable, this,
            &FilePipes::USBPipeFileOUT_WriteStatusAvailable);
    connect(link_.USBPipeDWNLD, &UsbObject::WriteComplete, this,
            &FilePipes::USBPipeDWNLD_WriteComplete);
}

void FilePipes::SendFile()
{
    link_.OutBufferCount = 10;
    link_.OutErrorLimit = 5;
    link_.FileOutWriting = false;
    link_.FileOutStatus = link_.USBPipeFileOUT->ClearPipe();
    if (link_.FileOutStatus != 0) {
        link_.ReportStatus(link_.FileOutStatus);
        link_.FileOutWriting = false;
        return;
    }
    link_.FileOutStatus =
        link_.USBPipeFileOUT->BeginWriting(link_.FileOutBufferSize, link_.OutBufferCount,
                                           link_.OutErrorLimit, link_.WriteStatusWanted);
    if (link_.FileOutStatus != 0) {
        link_.ShowStatusMessage(link_.FileOutStatus);
        link_.FileOutWriting = false;
        return;
    }
    link_.FileOutWriting = true;
    link_.FileOutStatus = QueueUntilFull(*link_.USBPipeFileOUT, link_.FileOutBuffer, link_.WriteTag,
                                         link_.OutBufferCount);
    if (link_.FileOutStatus == 0 || link_.FileOutStatus == usb::StatusQueueFull)
        return; // the write events carry on
    link_.ShowStatusMessage(link_.FileOutStatus);
    link_.FileOutWriting = false;
}

void FilePipes::StopFileOutPipe()
{
    link_.FileOutWriting = false;
    link_.USBPipeFileOUT->EndWriting();
}

void FilePipes::USBPipeFileOUT_WriteComplete(UsbObject* /*Obj*/)
{
    if (!link_.FileOutWriting)
        return;
    link_.FileOutStatus = QueueUntilFull(*link_.USBPipeFileOUT, link_.FileOutBuffer, link_.WriteTag,
                                         link_.OutBufferCount);
    if (link_.FileOutStatus == 0 || link_.FileOutStatus == usb::StatusQueueFull)
        return;
    link_.FileOutWriting = false;
    link_.USBPipeFileOUT->EndWriting();
    link_.ShowStatusMessage(link_.FileOutStatus);
}

void FilePipes::USBPipeFileOUT_WriteStatusAvailable(UsbObject* /*Obj*/)
{
    link_.FileOutStatus = link_.USBPipeFileOUT->FetchWriteStatus(link_.WriteTag);
    if (link_.FileOutStatus == 0)
        StopFileOutPipe();
    link_.ReportStatus(link_.FileOutStatus);
}

void FilePipes::USBPipeFileIN_ReadComplete(UsbObject* /*Obj*/)
{
    if (!link_.FileInReading)
        return;
    link_.FileInStatus = 0;
    while (link_.FileInStatus == 0) {
        std::int32_t byteCount = 0;
        // Filled in place from index 0, never past the buffer's end.
        link_.FileInStatus = link_.USBPipeFileIN->FetchData(link_.PictureBuffer, byteCount);
        if (link_.FileInStatus == 0) {
            // Each chunk rewrites the file from its start with the whole buffer.
            WriteAtFileStart(readFilePath_(), link_.PictureBuffer);
        }
    }
    if (link_.FileInStatus != usb::StatusNoData) {
        link_.FileInReading = false;
        link_.USBPipeFileIN->EndReading();
    }
}

void FilePipes::USBPipeDWNLD_WriteComplete(UsbObject* /*Obj*/)
{
    if (!link_.OutWriting)
        return;
    link_.DownloadWriteTag = 1;
    link_.OutStatus = QueueUntilFull(*link_.USBPipeDWNLD, link_.CommandBlock,
                                     link_.DownloadWriteTag, link_.OutBufferCount);
    if (link_.OutStatus == 0 || link_.OutStatus == usb::StatusQueueFull)
        return;
    link_.OutWriting = false;
    link_.USBPipeDWNLD->EndWriting();
    link_.ShowStatusMessage(link_.OutStatus);
}

QString NumToHex(const std::uint8_t& value)
{
    auto digit = [](int d) { return QChar(d < 10 ? 48 + d : 55 + d); };
    return QString(digit(value >> 4)) + digit(value & 0x0F);
}
