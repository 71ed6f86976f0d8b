// Finding the board, opening it with all six objects, binding the pipes to the
// endpoint layout that the board offers, and following plug and unplug.
#include "link/BoardDiscovery.h"

#include "link/BoardProtocol.h"
#include "link/FilePipeHandlers.h"
#include "link/PipeLayout.h"
#include "link/ReceivePath.h"

using usb::Status;
using usb::UsbObject;

using namespace endpoints;

BoardDiscovery::BoardDiscovery(LinkPipes& pipes, ReceivePath& receive, FilePipeHandlers& filePipes,
                               usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), pipes_(pipes), receive_(receive), filePipes_(filePipes), backend_(backend)
{
}

// The objects are our children; they go first, while the handlers they call
// still have a whole link to work on.
BoardDiscovery::~BoardDiscovery()
{
    for (UsbObject** object : {&pipes_.USBPipeFileOUT, &pipes_.USBPipeFileIN, &pipes_.USBPipeOUT,
                               &pipes_.USBPipeIN, &pipes_.USBPipeDWNLD, &pipes_.USBDevice}) {
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
        {&pipes_.USBDevice, "USBDevice"},         {&pipes_.USBPipeDWNLD, "USBPipeDWNLD"},
        {&pipes_.USBPipeIN, "USBPipeIN"},         {&pipes_.USBPipeOUT, "USBPipeOUT"},
        {&pipes_.USBPipeFileIN, "USBPipeFileIN"}, {&pipes_.USBPipeFileOUT, "USBPipeFileOUT"},
    };
    for (const Slot& slot : order) {
        std::int32_t failure = 0;
        *slot.object = backend_.CreateObject(QString::fromLatin1(slot.name), this, failure);
        if (*slot.object == nullptr)
            return failure != 0 ? failure : -1;
    }
    connect(pipes_.USBDevice, &UsbObject::PnPAddNotification, this,
            &BoardDiscovery::USBDevice_PnPAddNotification);
    connect(pipes_.USBDevice, &UsbObject::PnPRemoveNotification, this,
            &BoardDiscovery::USBDevice_PnPRemoveNotification);
    return 0;
}

void BoardDiscovery::StartLink()
{
    const QString guid = QString::fromLatin1(BoardInterfaceGuid);
    DeviceStatus = pipes_.USBDevice->PreparePlugEvents(guid);
    ReportStatus(DeviceStatus);
    DeviceStatus = pipes_.USBDevice->EnablePlugEvents(guid);
    ReportStatus(DeviceStatus);
    // Nothing is written or read yet: the exchange and the receive path start idle.
    USBState(2);
    OpenDevices();
    OpenEndpoints();
}

bool BoardDiscovery::USBState(std::int16_t& State)
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

void BoardDiscovery::ReportStatus(Status& Status)
{
    if (Status != 0)
        Q_EMIT MessageRequested(StatusTextOf(pipes_, Status));
}

void BoardDiscovery::OpenDevices()
{
    std::int32_t count = 0;
    pipes_.USBDevice->ScanDevices(QString::fromLatin1(BoardInterfaceGuid), count);
    DeviceStatus = pipes_.USBDevice->AttachDevice(0);
    if (DeviceStatus != 0) {
        USBState(2);
        return;
    }
    OutStatus = pipes_.USBPipeDWNLD->AttachDevice(0);
    ReportStatus(OutStatus);
    InStatus = pipes_.USBPipeIN->AttachDevice(0);
    ReportStatus(InStatus);
    OutStatus = pipes_.USBPipeOUT->AttachDevice(0);
    ReportStatus(OutStatus);
    FileInStatus = pipes_.USBPipeFileIN->AttachDevice(0);
    ReportStatus(FileInStatus);
    FileOutStatus = pipes_.USBPipeFileOUT->AttachDevice(0);
    ReportStatus(FileOutStatus);
    USBState(1);
    DeviceStatus = pipes_.USBDevice->DefineInterface(0, 0, 64000);
    ReportStatus(DeviceStatus);
    DeviceStatus = pipes_.USBDevice->ApplyConfiguration(0);
    ReportStatus(DeviceStatus);
}

std::int32_t BoardDiscovery::OpenEndpoints()
{
    CommandEndpoints = 0;
    if (USBState(0)) {
        OutStatus = pipes_.USBPipeDWNLD->AssignEndpoint(DownloadOut);
        if (OutStatus != 0) {
            // No download endpoint: the board offers the command endpoints.
            CommandEndpoints = 1;
            OutStatus = pipes_.USBPipeOUT->AssignEndpoint(CommandOutFull);
            if (OutStatus == 0) {
                InStatus = pipes_.USBPipeIN->AssignEndpoint(CommandIn);
                ReportStatus(InStatus);
                FileOutStatus = pipes_.USBPipeFileOUT->AssignEndpoint(FileOut);
                ReportStatus(FileOutStatus);
                FileInStatus = pipes_.USBPipeFileIN->AssignEndpoint(FileIn);
                ReportStatus(FileInStatus);
                StartInPipe();
                StartFileInPipe();
            } else {
                OutStatus = pipes_.USBPipeOUT->AssignEndpoint(CommandOutOnly);
                if (OutStatus == 0) {
                    InStatus = pipes_.USBPipeIN->AssignEndpoint(CommandIn);
                    if (InStatus != 0)
                        InStatus = pipes_.USBPipeIN->AssignEndpoint(CommandInAlt);
                    if (InStatus == 0)
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
    InStatus = receive_.StartReading();
    ReportStatus(InStatus);
}

void BoardDiscovery::StartFileInPipe()
{
    filePipes_.StartReading();
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
    receive_.StopReading();
    pipes_.USBPipeFileIN->EndReading();
    pipes_.USBDevice->DetachDevice();
    pipes_.USBPipeDWNLD->DetachDevice();
    pipes_.USBPipeIN->DetachDevice();
    pipes_.USBPipeOUT->DetachDevice();
    pipes_.USBDevice->ClearInterfaces();
    pipes_.USBPipeFileIN->DetachDevice();
    pipes_.USBPipeFileOUT->DetachDevice();
    Q_EMIT CaptionChanged(QString::fromLatin1(CaptionNoUnit));
    Q_EMIT Unplugged();
}
