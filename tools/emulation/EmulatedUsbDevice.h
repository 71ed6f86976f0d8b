#pragma once
// Serves a VirtualBoard as a USB device at the device-file level, so that real
// libusb (in this process, run with LD_PRELOAD=libumockdev-preload.so.0, or in a
// child started with that preload and this testbed's environment) talks to the
// same firmware emulation that --simulate uses.
//
// A umockdev testbed holds the board's sysfs entry (ids, bus number, address,
// speed, the binary "descriptors") and its node under /dev/bus/usb. An ioctl
// handler on that node answers usbfs: SUBMITURB hands OUT transfers to the board
// and queues IN transfers until the board has data, REAPURBNDELAY hands back
// finished transfers, DISCARDURB cancels; claiming, configuration and halts are
// acknowledged. The handler runs on umockdev's worker thread; it only posts to
// the board's thread and never waits for it.
//
// The node is a FIFO kept full, so that a poll for POLLOUT (how libusb waits
// for finished transfers) blocks; one page is read out of it while finished
// transfers wait to be reaped.
//
// Create it before libusb is initialised in this process: the testbed must
// exist before anything looks at /sys or /dev.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace usb {
class VirtualBoard;
}

class EmulatedUsbDevice : public QObject {
    Q_OBJECT
public:
    // The board must live on this thread and outlive this object. It is
    // plugged in at port (libusb's port path, bus 1: "1-1", "1-4.2"; the hubs on
    // the way are made up), on the bus of sameBus when one is given (both
    // boards in one testbed, with addresses of one bus), else on a bus of its own.
    explicit EmulatedUsbDevice(usb::VirtualBoard& board, QObject* parent = nullptr,
                               const QString& port = QStringLiteral("1-1"),
                               EmulatedUsbDevice* sameBus = nullptr);
    ~EmulatedUsbDevice() override;

    // True when this process runs with the umockdev preload: only then do
    // /sys and /dev lead into the testbed.
    static bool PreloadActive();
    // The testbed's folder (UMOCKDEV_DIR for children).
    QString RootDir() const;

    // Plugging gives the board a new address on bus 1, as a real bus does, and
    // sends an "add" uevent. Unplugging fails every transfer in flight with
    // ENODEV, sends "remove" and takes the device away.
    void Plug();
    void Unplug();
    bool Plugged() const;
    QString DeviceNode() const; // /dev/bus/usb/001/NNN of the current plugging

    // The permission bits of the device node of the next plugging; 0 stands for
    // a board without the udev rule, which only root may open.
    void SetNodeMode(unsigned mode) { nodeMode_ = mode; }

    // The interface is claimed by another program: claiming fails with EBUSY.
    void SetClaimBusy(bool busy);
    // Runs right after plugging announces the board (tests: what a program
    // that opens the board at once meets).
    void SetOnAnnounced(std::function<void()> hook) { onAnnounced_ = std::move(hook); }
    // The next count IN transfers that take data from the board fail with a bus
    // error (EPROTO; libusb says LIBUSB_TRANSFER_ERROR), their data lost.
    void FailReads(int count) { failReads_ = count; }
    // Counts of usbfs requests seen, for tests: all of them (none: the board
    // was never opened), submitted URBs and cancels.
    int Requests() const;
    int SubmittedUrbs() const;
    int DiscardedUrbs() const;

    struct Shared; // state shared with umockdev's worker thread
    struct Bus;    // the testbed and what its boards share

private:
    void SchedulePump();
    void Pump();
    std::string AddHubs();

    usb::VirtualBoard& board_;
    std::shared_ptr<Bus> bus_;
    QString port_;
    std::shared_ptr<Shared> shared_;
    bool pumpScheduled_ = false;
    int failReads_ = 0;
    unsigned nodeMode_ = 0666;
    std::function<void()> onAnnounced_;
};
