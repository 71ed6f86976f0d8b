#pragma once
// Status words for what libusb reports: its error codes (negative return values
// of its calls) and the final states of its transfers.
#include "link/usb/UsbStatus.h"

namespace usb {

// The status word for a libusb error code; 0 stays 0. notFound is what "not
// found" means for the call that failed (no board, no interface, no endpoint).
Status StatusFromLibusbError(int error, Status notFound = StatusNoDevice);

// The status word for the state of a finished transfer (a libusb_transfer_status).
Status StatusFromTransfer(int transferStatus);

} // namespace usb
