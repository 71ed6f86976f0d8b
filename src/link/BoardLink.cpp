#include "link/BoardLink.h"

#include <QEventLoop>

using usb::UsbObject;

BoardLink::BoardLink(usb::UsbBackend& backend, QObject* parent)
    : QObject(parent), backend_(backend)
{
}

BoardLink::~BoardLink()
{
    shuttingDown_ = true;
    // The objects are our children; delete them while the handlers they call
    // still have a whole BoardLink to work on.
    for (UsbObject** object : {&USBPipeFileOUT, &USBPipeFileIN, &USBPipeOUT, &USBPipeIN,
                               &USBPipeDWNLD, &USBDevice}) {
        if (*object != nullptr) {
            (*object)->disconnect(this);
            delete *object;
            *object = nullptr;
        }
    }
}

std::int32_t BoardLink::CreateObjects()
{
    struct Slot {
        UsbObject** object;
        const char* name;
    };
    const Slot order[] = {
        {&USBDevice, "USBDevice"},   {&USBPipeDWNLD, "USBPipeDWNLD"},
        {&USBPipeIN, "USBPipeIN"},   {&USBPipeOUT, "USBPipeOUT"},
        {&USBPipeFileIN, "USBPipeFileIN"}, {&USBPipeFileOUT, "USBPipeFileOUT"},
    };
    for (const Slot& slot : order) {
        std::int32_t failure = 0;
        *slot.object = backend_.CreateObject(QString::fromLatin1(slot.name), this, failure);
        if (*slot.object == nullptr)
            return failure != 0 ? failure : -1;
    }
    connect(USBDevice, &UsbObject::PnPAddNotification, this,
            &BoardLink::USBDevice_PnPAddNotification);
    connect(USBDevice, &UsbObject::PnPRemoveNotification, this,
            &BoardLink::USBDevice_PnPRemoveNotification);
    connect(USBPipeOUT, &UsbObject::WriteComplete, this, &BoardLink::USBPipeOUT_WriteComplete);
    connect(USBPipeOUT, &UsbObject::WriteStatusAvailable, this,
            &BoardLink::USBPipeOUT_WriteStatusAvailable);
    connect(USBPipeIN, &UsbObject::ReadComplete, this, &BoardLink::USBPipeIN_ReadComplete);
    return 0;
}

void BoardLink::StartLink()
{
    const QString guid = QString::fromLatin1(BoardInterfaceGuid);
    DeviceStatus = USBDevice->PreparePlugEvents(guid);
    ReportStatus(DeviceStatus);
    DeviceStatus = USBDevice->EnablePlugEvents(guid);
    ReportStatus(DeviceStatus);
    OutWriting = false;
    InReading = false;
    USBState(2);
    OpenDevices();
    OpenEndpoints();
    ReplyArrived = true;
}

void BoardLink::BeginPictureCapture()
{
    PictureBuffer = QByteArray(65356, '\0');
    PictureFill = 0;
    ConsoleQuiet = true;
}

QString BoardLink::StatusTextOf(usb::Status status) const
{
    return USBDevice != nullptr ? USBDevice->StatusText(status) : usb::StatusText(status);
}

void BoardLink::ShowStatusMessage(usb::Status status)
{
    Q_EMIT MessageBoxRequested(StatusTextOf(status));
}

void BoardLink::Shutdown()
{
    shuttingDown_ = true;
    QuitWait();
}

void BoardLink::QuitWait()
{
    if (waitLoop_ != nullptr)
        waitLoop_->quit();
}
