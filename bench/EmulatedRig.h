#pragma once
// The virtual board served as a USB device on a thread of its own, and a bare
// libusb exchange loop against it: what the libusb figures measure with.
#include "EmulatedUsbDevice.h"
#include "link/usb/VirtualBoard.h"

#include <QByteArray>
#include <QList>
#include <QThread>
#include <functional>

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
