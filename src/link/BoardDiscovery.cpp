// Finding the board, opening it with all six objects, binding the pipes to the
// endpoint layout that the board offers, and following plug and unplug.
#include "link/BoardDiscovery.h"

#include "link/BoardProtocol.h"
#include "link/PipeLayout.h"

using usb::Status;
using usb::UsbObject;

using namespace endpoints;

BoardDiscovery::BoardDiscovery(LinkState& state, usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), s_(state), backend_(backend)
{
}

// The objects are our children; they go first, while the handlers they call
// still have a whole link to work on.
BoardDiscovery::~BoardDiscovery()
{
    for (UsbObject** object : {&s_.USBPipeFileOUT, &s_.USBPipeFileIN, &s_.USBPipeOUT, &s_.USBPipeIN,
                               &s_.USBPipeDWNLD, &s_.USBDevice}) {
        if (*object != nullptr)
            (*object)->disconnect(); // no handler runs while it goes
        delete *object;
        *object = nullptr;
    }
}

std::int32_t BoardDiscovery::CreateObjects()
{
    struct Slot {
        UsbObject** object;
        const char* name;
    };
    const Slot order[] = {
        {&s_.USBDevice, "USBDevice"},         {&s_.USBPipeDWNLD, "USBPipeDWNLD"},
        {&s_.USBPipeIN, "USBPipeIN"},         {&s_.USBPipeOUT, "USBPipeOUT"},
        {&s_.USBPipeFileIN, "USBPipeFileIN"}, {&s_.USBPipeFileOUT, "USBPipeFileOUT"},
    };
    for (const Slot& slot : order) {
        std::int32_t failure = 0;
        *slot.object = backend_.CreateObject(QString::fromLatin1(slot.name), this, failure);
        if (*slot.object == nullptr)
            return failure != 0 ? failure : -1;
    }
    connect(s_.USBDevice, &UsbObject::PnPAddNotification, this,
            &BoardDiscovery::USBDevice_PnPAddNotification);
    connect(s_.USBDevice, &UsbObject::PnPRemoveNotification, this,
            &BoardDiscovery::USBDevice_PnPRemoveNotification);
    return 0;
}

void BoardDiscovery::StartLink()
{
    const QString guid = QString::fromLatin1(BoardInterfaceGuid);
    s_.DeviceStatus = s_.USBDevice->PreparePlugEvents(guid);
    ReportStatus(s_.DeviceStatus);
    s_.DeviceStatus = s_.USBDevice->EnablePlugEvents(guid);
    ReportStatus(s_.DeviceStatus);
    s_.OutWriting = false;
    s_.InReading = false;
    USBState(2);
    OpenDevices();
    OpenEndpoints();
    s_.ReplyArrived = true;
}

bool BoardDiscovery::USBState(std::int16_t& State)
{
    if (State == 1) {
        s_.LinkUp = true;
        Q_EMIT StatusBoxChanged(1);
    } else if (State == 2) {
        s_.LinkUp = false;
        Q_EMIT StatusBoxChanged(2);
    }
    return s_.LinkUp;
}

void BoardDiscovery::ReportStatus(Status& Status)
{
    if (Status != 0)
        Q_EMIT MessageRequested(StatusTextOf(s_, Status));
}

void BoardDiscovery::OpenDevices()
{
    std::int32_t count = 0;
    s_.USBDevice->ScanDevices(QString::fromLatin1(BoardInterfaceGuid), count);
    s_.DeviceStatus = s_.USBDevice->AttachDevice(0);
    if (s_.DeviceStatus != 0) {
        USBState(2);
        return;
    }
    s_.OutStatus = s_.USBPipeDWNLD->AttachDevice(0);
    ReportStatus(s_.OutStatus);
    s_.InStatus = s_.USBPipeIN->AttachDevice(0);
    ReportStatus(s_.InStatus);
    s_.OutStatus = s_.USBPipeOUT->AttachDevice(0);
    ReportStatus(s_.OutStatus);
    s_.FileInStatus = s_.USBPipeFileIN->AttachDevice(0);
    ReportStatus(s_.FileInStatus);
    s_.FileOutStatus = s_.USBPipeFileOUT->AttachDevice(0);
    ReportStatus(s_.FileOutStatus);
    USBState(1);
    s_.DeviceStatus = s_.USBDevice->DefineInterface(0, 0, 64000);
    ReportStatus(s_.DeviceStatus);
    s_.DeviceStatus = s_.USBDevice->ApplyConfiguration(0);
    ReportStatus(s_.DeviceStatus);
}

std::int32_t BoardDiscovery::OpenEndpoints()
{
    s_.CommandEndpoints = 0;
    if (USBState(0)) {
        s_.OutStatus = s_.USBPipeDWNLD->AssignEndpoint(DownloadOut);
        if (s_.OutStatus != 0) {
            // No download endpoint: the board offers the command endpoints.
            s_.CommandEndpoints = 1;
            s_.OutStatus = s_.USBPipeOUT->AssignEndpoint(CommandOutFull);
            if (s_.OutStatus == 0) {
                s_.InStatus = s_.USBPipeIN->AssignEndpoint(CommandIn);
                ReportStatus(s_.InStatus);
                s_.FileOutStatus = s_.USBPipeFileOUT->AssignEndpoint(FileOut);
                ReportStatus(s_.FileOutStatus);
                s_.FileInStatus = s_.USBPipeFileIN->AssignEndpoint(FileIn);
                ReportStatus(s_.FileInStatus);
                StartInPipe();
                StartFileInPipe();
            } else {
                s_.OutStatus = s_.USBPipeOUT->AssignEndpoint(CommandOutOnly);
                if (s_.OutStatus == 0) {
                    s_.InStatus = s_.USBPipeIN->AssignEndpoint(CommandIn);
                    if (s_.InStatus != 0)
                        s_.InStatus = s_.USBPipeIN->AssignEndpoint(CommandInAlt);
                    if (s_.InStatus == 0)
                        StartInPipe();
                }
            }
        }
    }
    Q_EMIT CaptionChanged(QString::fromLatin1(CaptionLinked));
    return 0;
}

void BoardDiscovery::StartInPipe()
{
    s_.InBufferCount = 5;
    s_.InErrorLimit = 5;
    s_.InReading = false;
    RecreateZeroed(s_.ReplyBuffer, s_.InBufferSize + 1);
    s_.InStatus = s_.USBPipeIN->ClearPipe();
    if (s_.InStatus == 0) {
        s_.InStatus =
            s_.USBPipeIN->BeginReading(s_.InBufferSize, s_.InBufferCount, s_.InErrorLimit);
        if (s_.InStatus == 0)
            s_.InReading = true;
    }
    ReportStatus(s_.InStatus);
}

void BoardDiscovery::StartFileInPipe()
{
    s_.FileInBufferCount = 5;
    s_.FileInErrorLimit = 5;
    if (s_.PictureSink != nullptr)
        s_.PictureSink->StartOver(s_.FileInBufferSize);
    s_.FileInStatus = s_.USBPipeFileIN->ClearPipe();
    if (s_.FileInStatus != 0)
        return;
    s_.FileInStatus = s_.USBPipeFileIN->BeginReading(s_.FileInBufferSize, s_.FileInBufferCount,
                                                     s_.FileInErrorLimit);
    if (s_.FileInStatus == 0)
        s_.FileInReading = true;
}

void BoardDiscovery::USBDevice_PnPAddNotification(UsbObject* /*Obj*/)
{
    Q_EMIT IdentityLost();
    OpenDevices();
    OpenEndpoints();
}

void BoardDiscovery::USBDevice_PnPRemoveNotification(UsbObject* /*Obj*/)
{
    Q_EMIT IdentityLost();
    USBState(2);
    s_.InReading = false;
    s_.USBPipeIN->EndReading();
    s_.USBPipeFileIN->EndReading();
    s_.USBDevice->DetachDevice();
    s_.USBPipeDWNLD->DetachDevice();
    s_.USBPipeIN->DetachDevice();
    s_.USBPipeOUT->DetachDevice();
    s_.USBDevice->ClearInterfaces();
    s_.USBPipeFileIN->DetachDevice();
    s_.USBPipeFileOUT->DetachDevice();
    Q_EMIT CaptionChanged(QString::fromLatin1(CaptionNoUnit));
    Q_EMIT Unplugged();
}
