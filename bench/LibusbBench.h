#pragma once
// Figures of the libusb backend against the virtual board served as a USB
// device: libusb_exchanges_per_s (DownLoadCommand through the backend) and
// libusb_bare_round_trips_per_s (a bare libusb OUT + IN loop on the same
// emulation), the live view's frame rate against bare libusb exchanges
// (live_libusb_fps_ratio) and unplug_to_message_ms (an unplug during an SPI
// download or a live view until the window thread has "USB OFF" and the work's
// end). argv: the benchmark program's, to run it again with the umockdev
// preload when this process lacks it.
#include "EmulatedUsbDevice.h"
#include "link/usb/VirtualBoard.h"

#include <QByteArray>
#include <QList>
#include <QThread>
#include <functional>

void LibusbFigures(char** argv);

// The board and its USB device on a thread of their own, as a real board is
// not on the program's thread: the bare loop blocks its thread in libusb.
struct EmulatedBoard {
    QThread thread;
    usb::VirtualBoard* board = new usb::VirtualBoard;
    EmulatedUsbDevice* device = new EmulatedUsbDevice(*board);
    EmulatedBoard();
    ~EmulatedBoard();
    // Runs act on the board's thread and waits for it.
    void OnBoard(const std::function<void()>& act) const;
};

// Command blocks sent with nothing but libusb, one after another and from the
// first again: `warmup` exchanges, then `count` timed ones from the first block; each exchange an
// IN read of the program's size and the block, events handled on this thread until both are back.
// Exchanges per second; 0 when the board cannot be opened or a reply was empty.
double BareExchangesPerSecond(const EmulatedBoard& emulated, const QList<QByteArray>& blocks,
                              int warmup, int count);

// live_libusb_fps_ratio and its parts.
void LiveOverLibusb(const EmulatedBoard& emulated);
