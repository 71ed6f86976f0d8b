// Finding the board, opening it with all six objects, binding the pipes to the
// endpoint layout that the board offers, and following plug and unplug.
#include "link/BoardLink.h"
#include "link/CommandBlock.h"

using usb::Status;
using usb::UsbObject;

namespace {
// Endpoint addresses (bit 7 set: IN).
constexpr std::uint8_t DownloadOut = 0x06;
constexpr std::uint8_t CommandOutFull = 0x02;
constexpr std::uint8_t CommandOutOnly = 0x01;
constexpr std::uint8_t CommandIn = 0x82;     // 130
constexpr std::uint8_t CommandInAlt = 0x81;  // 129
constexpr std::uint8_t FileOut = 0x04;
constexpr std::uint8_t FileIn = 0x84;
} // namespace

bool BoardLink::USBState(std::int16_t& State)
{
    if (State == 1) {
        LinkUp = true;
        Q_EMIT StatusBoxChanged(1);
    } else if (State == 2) {
        LinkUp = false;
        Q_EMIT StatusBoxChanged(2);
    }
    return LinkUp;
}

void BoardLink::ReportStatus(Status& Status)
{
    if (Status != 0)
        ShowStatusMessage(Status);
}

void BoardLink::OpenDevices()
{
    std::int32_t count = 0;
    USBDevice->ScanDevices(QString::fromLatin1(BoardInterfaceGuid), count);
    DeviceStatus = USBDevice->AttachDevice(0);
    if (DeviceStatus != 0) {
        USBState(2);
        return;
    }
    OutStatus = USBPipeDWNLD->AttachDevice(0);
    ReportStatus(OutStatus);
    InStatus = USBPipeIN->AttachDevice(0);
    ReportStatus(InStatus);
    OutStatus = USBPipeOUT->AttachDevice(0);
    ReportStatus(OutStatus);
    FileInStatus = USBPipeFileIN->AttachDevice(0);
    ReportStatus(FileInStatus);
    FileOutStatus = USBPipeFileOUT->AttachDevice(0);
    ReportStatus(FileOutStatus);
    USBState(1);
    DeviceStatus = USBDevice->DefineInterface(0, 0, 64000);
    ReportStatus(DeviceStatus);
    DeviceStatus = USBDevice->ApplyConfiguration(0);
    ReportStatus(DeviceStatus);
}

std::int32_t BoardLink::OpenEndpoints()
{
    CommandEndpoints = 0;
    if (USBState(0)) {
        OutStatus = USBPipeDWNLD->AssignEndpoint(DownloadOut);
        if (OutStatus != 0) {
            // No download endpoint: the board offers the command endpoints.
            CommandEndpoints = 1;
            OutStatus = USBPipeOUT->AssignEndpoint(CommandOutFull);
            if (OutStatus == 0) {
                InStatus = USBPipeIN->AssignEndpoint(CommandIn);
                ReportStatus(InStatus);
                FileOutStatus = USBPipeFileOUT->AssignEndpoint(FileOut);
                ReportStatus(FileOutStatus);
                FileInStatus = USBPipeFileIN->AssignEndpoint(FileIn);
                ReportStatus(FileInStatus);
                StartInPipe();
                StartFileInPipe();
            } else {
                OutStatus = USBPipeOUT->AssignEndpoint(CommandOutOnly);
                if (OutStatus == 0) {
                    InStatus = USBPipeIN->AssignEndpoint(CommandIn);
                    if (InStatus != 0)
                        InStatus = USBPipeIN->AssignEndpoint(CommandInAlt);
                    if (InStatus == 0)
                        StartInPipe();
                }
            }
        }
    }
    Q_EMIT CaptionChanged(QString::fromLatin1(CaptionLinked));
    return 0;
}

void BoardLink::StartInPipe()
{
    InBufferCount = 5;
    InErrorLimit = 5;
    InReading = false;
    RecreateZeroed(ReplyBuffer, InBufferSize + 1);
    InStatus = USBPipeIN->ClearPipe();
    if (InStatus == 0) {
        InStatus = USBPipeIN->BeginReading(InBufferSize, InBufferCount, InErrorLimit);
        if (InStatus == 0)
            InReading = true;
    }
    ReportStatus(InStatus);
}

void BoardLink::StartFileInPipe()
{
    FileInBufferCount = 5;
    FileInErrorLimit = 5;
    PictureBuffer = QByteArray(FileInBufferSize, '\0');
    FileInStatus = USBPipeFileIN->ClearPipe();
    if (FileInStatus != 0)
        return;
    FileInStatus = USBPipeFileIN->BeginReading(FileInBufferSize, FileInBufferCount,
                                               FileInErrorLimit);
    if (FileInStatus == 0)
        FileInReading = true;
}

void BoardLink::USBDevice_PnPAddNotification(UsbObject* /*Obj*/)
{
    Q_EMIT IdentityBoxesEmptied();
    OpenDevices();
    OpenEndpoints();
}

void BoardLink::USBDevice_PnPRemoveNotification(UsbObject* /*Obj*/)
{
    Q_EMIT IdentityBoxesEmptied();
    USBState(2);
    InReading = false;
    USBPipeIN->EndReading();
    USBPipeFileIN->EndReading();
    USBDevice->DetachDevice();
    USBPipeDWNLD->DetachDevice();
    USBPipeIN->DetachDevice();
    USBPipeOUT->DetachDevice();
    USBDevice->ClearInterfaces();
    USBPipeFileIN->DetachDevice();
    USBPipeFileOUT->DetachDevice();
    Q_EMIT CaptionChanged(QString::fromLatin1(CaptionNoUnit));
}
