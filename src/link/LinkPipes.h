#pragma once
// The six USB component objects of the board link: the one thing its parts
// share. Discovery creates them, opens the board with them and binds their
// endpoints; the command exchange, the receive path and the file pipes only
// call their operations. Every part keeps its own state.
#include "link/usb/UsbObject.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

struct LinkPipes {
    usb::UsbObject* USBDevice = nullptr;
    usb::UsbObject* USBPipeDWNLD = nullptr;
    usb::UsbObject* USBPipeIN = nullptr;
    usb::UsbObject* USBPipeOUT = nullptr;
    usb::UsbObject* USBPipeFileIN = nullptr;
    usb::UsbObject* USBPipeFileOUT = nullptr;
};

// Every write asks the component for its write status.
inline constexpr bool WriteStatusWanted = true;

// Text of a status word, as USBDevice gives it (the component's own text when
// the objects do not exist yet).
QString StatusTextOf(const LinkPipes& pipes, usb::Status status);

// Queues `data` on `pipe` again and again until the pipe says QueueFull or
// fails. A sane component says QueueFull once its `bufferCount` buffers are
// taken; the bound only guards against one that never does. Returns the last
// status: StatusQueueFull when the pipe is full, else the failure or 0.
usb::Status QueueUntilFull(usb::UsbObject& pipe, const QByteArray& data, std::int32_t tag,
                           std::int32_t bufferCount);

// Makes buffer size bytes long, all zero. Reuses the storage when the size is
// already right (a command re-creates the 63 KB reply buffer every time).
void RecreateZeroed(QByteArray& buffer, qsizetype size);
