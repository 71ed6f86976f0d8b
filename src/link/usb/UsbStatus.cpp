#include "link/usb/UsbStatus.h"

#include <array>

namespace usb {

namespace {

constexpr std::array kFailures{
    StatusNoDevice,    StatusBusy,           StatusAccessDenied, StatusNoEndpoint,
    StatusNotBound,    StatusTransferFailed, StatusDeviceGone,   StatusBadArgument,
    StatusNotAttached, StatusNoInterface,    StatusNotActive,    StatusTimeout,
    StatusNoMemory,    StatusNotSupported,   StatusInternal,     StatusStalled,
    StatusOverflow,
};

} // namespace

QString StatusText(Status status)
{
    switch (status) {
    case StatusSuccess:
        return QStringLiteral("success");
    case StatusNoDevice:
        return QStringLiteral("no board found: plug the board in and check its USB cable");
    case StatusBusy:
        return QStringLiteral("the board is busy: another program holds it; close that program "
                              "and plug the board in again");
    case StatusAccessDenied:
        return QStringLiteral("access denied: install the udev rule, see README");
    case StatusNoEndpoint:
        return QStringLiteral("the board does not offer this endpoint: check that the board "
                              "runs the right firmware");
    case StatusNoData:
        return QStringLiteral("no data: nothing has been received yet");
    case StatusNotBound:
        return QStringLiteral("the pipe is not bound to an endpoint: reconnect the board");
    case StatusTransferFailed:
        return QStringLiteral("a USB transfer failed: check the cable, then unplug and plug the "
                              "board in again");
    case StatusDeviceGone:
        return QStringLiteral("the board was unplugged: plug it in again");
    case StatusQueueFull:
        return QStringLiteral("all transfer buffers are in use: wait for a transfer to finish");
    case StatusBadArgument:
        return QStringLiteral("invalid argument to a USB operation: this is a program error, "
                              "please report it");
    case StatusNotAttached:
        return QStringLiteral("the board is not open: plug the board in again");
    case StatusNoInterface:
        return QStringLiteral("the board's USB interface is not claimed: plug the board in again");
    case StatusNotActive:
        return QStringLiteral("the pipe is not reading or writing: reconnect the board");
    case StatusTimeout:
        return QStringLiteral("the board did not answer in time: check the board, then unplug "
                              "and plug it in again");
    case StatusNoMemory:
        return QStringLiteral("out of memory: close other programs and try again");
    case StatusNotSupported:
        return QStringLiteral("operation not supported on this system");
    case StatusInternal:
        return QStringLiteral("internal error of the USB layer: please report it");
    case StatusStalled:
        return QStringLiteral("the board stalled the pipe: unplug the board and plug it in again");
    case StatusOverflow:
        return QStringLiteral("the board sent more data than was asked for: check that the board "
                              "runs the right firmware");
    default:
        return QStringLiteral("unknown USB status 0x") +
               QString::number(static_cast<std::uint32_t>(status), 16)
                   .toUpper()
                   .rightJustified(8, u'0');
    }
}

const Status* FailureStatuses(int& count)
{
    count = static_cast<int>(kFailures.size());
    return kFailures.data();
}

} // namespace usb
