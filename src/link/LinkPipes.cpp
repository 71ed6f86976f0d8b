#include "link/LinkPipes.h"

#include "link/usb/UsbStatus.h"

QString StatusTextOf(const LinkPipes& pipes, usb::Status status)
{
    return pipes.USBDevice != nullptr ? pipes.USBDevice->StatusText(status)
                                      : usb::StatusText(status);
}

usb::Status QueueUntilFull(usb::UsbObject& pipe, const QByteArray& data, std::int32_t tag,
                           std::int32_t bufferCount)
{
    usb::Status status = 0;
    for (std::int32_t queued = 0; queued <= bufferCount; ++queued) {
        status = pipe.QueueData(data, tag);
        if (status != 0)
            break;
    }
    return status;
}

void RecreateZeroed(QByteArray& buffer, qsizetype size)
{
    if (buffer.size() == size && buffer.isDetached())
        buffer.fill('\0');
    else
        buffer = QByteArray(size, '\0');
}
