#include "link/usb/LibusbStatus.h"

#include <libusb.h>

namespace usb {

Status StatusFromLibusbError(int error, Status notFound)
{
    switch (error) {
    case LIBUSB_SUCCESS:
        return StatusSuccess;
    case LIBUSB_ERROR_IO:
        return StatusTransferFailed;
    case LIBUSB_ERROR_INVALID_PARAM:
        return StatusBadArgument;
    case LIBUSB_ERROR_ACCESS:
        return StatusAccessDenied;
    case LIBUSB_ERROR_NO_DEVICE:
        return StatusDeviceGone;
    case LIBUSB_ERROR_NOT_FOUND:
        return notFound;
    case LIBUSB_ERROR_BUSY:
        return StatusBusy;
    case LIBUSB_ERROR_TIMEOUT:
        return StatusTimeout;
    case LIBUSB_ERROR_OVERFLOW:
        return StatusOverflow;
    case LIBUSB_ERROR_PIPE:
        return StatusStalled;
    case LIBUSB_ERROR_NO_MEM:
        return StatusNoMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return StatusNotSupported;
    case LIBUSB_ERROR_INTERRUPTED:
    case LIBUSB_ERROR_OTHER:
    default:
        return StatusInternal;
    }
}

Status StatusFromTransfer(int transferStatus)
{
    switch (transferStatus) {
    case LIBUSB_TRANSFER_COMPLETED:
        return StatusSuccess;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return StatusTimeout;
    case LIBUSB_TRANSFER_STALL:
        return StatusStalled;
    case LIBUSB_TRANSFER_NO_DEVICE:
        return StatusDeviceGone;
    case LIBUSB_TRANSFER_OVERFLOW:
        return StatusOverflow;
    case LIBUSB_TRANSFER_CANCELLED: // only reaches the program when the board went away
        return StatusDeviceGone;
    case LIBUSB_TRANSFER_ERROR:
    default:
        return StatusTransferFailed;
    }
}

} // namespace usb
