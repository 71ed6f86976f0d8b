#pragma once
// The libusb side of the component that all six objects share: the libusb
// context, the one worker thread that runs libusb's event handling, plug
// detection, and the open board.
//
// Threads: every member function is called on the window thread. The worker
// thread only runs libusb's event handling (transfer completions, hotplug) and,
// where the platform has no hotplug, a look at the bus about once a second; it
// posts what it learns to the window thread and never waits for it. It is
// stopped and joined in the destructor, which runs after every object and every
// open board is gone, so no transfer is in flight by then.
#include "link/usb/BoardListing.h"
#include "link/usb/PortPath.h"
#include "link/usb/UsbStatus.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <libusb.h>
#include <memory>
#include <thread>

namespace usb {

class LibusbSession;

// Where a board sits on the bus; a board that is plugged in again gets a new
// address, so this names one plugging of one board.
struct BusPlace {
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    friend bool operator==(const BusPlace&, const BusPlace&) = default;
};

// One opened board, shared by every object that attached it. Closed when the
// last of them lets go of it.
class LibusbDevice {
public:
    struct Endpoint {
        std::uint8_t address;
        std::uint8_t transferType; // LIBUSB_TRANSFER_TYPE_BULK or _INTERRUPT
    };
    LibusbDevice(std::shared_ptr<LibusbSession> session, libusb_device_handle* handle,
                 BusPlace place, QList<Endpoint> endpoints);
    ~LibusbDevice();
    LibusbDevice(const LibusbDevice&) = delete;
    LibusbDevice& operator=(const LibusbDevice&) = delete;

    libusb_device_handle* Handle() const { return handle_; }
    BusPlace Place() const { return place_; }
    // The endpoints of interface 0 in configuration 1.
    const Endpoint* FindEndpoint(std::uint8_t address) const;
    // Selects configuration 1 when another one is active and claims the
    // interface, detaching a kernel driver that holds it.
    Status Claim(int interfaceNumber);
    void Release();
    bool Gone() const { return gone_; }
    void MarkGone() { gone_ = true; }

private:
    std::shared_ptr<LibusbSession> session_; // the context outlives the handle
    libusb_device_handle* handle_;
    BusPlace place_;
    QList<Endpoint> endpoints_;
    int claimed_ = -1;
    bool gone_ = false;
};

class LibusbSession : public QObject, public std::enable_shared_from_this<LibusbSession> {
    Q_OBJECT
public:
    // port: only the board plugged in there counts (empty: every board with the
    // ids). forcePoll: find plug events by looking at the bus even where libusb
    // has hotplug (for tests of that path).
    LibusbSession(std::uint16_t vendorId, std::uint16_t productId, const PortPath& port = {},
                  bool forcePoll = false);
    ~LibusbSession() override;

    // Only the board with this serial number counts (empty: any). Set before
    // anything is listed or opened.
    void SetSerial(const QString& serial) { serial_ = serial; }

    // 0 when libusb could be set up, else why not.
    Status InitStatus() const { return initStatus_; }
    libusb_context* Context() const { return context_; }

    // The boards with our ids (and port, and serial), in bus order.
    Status CountBoards(std::int32_t& count);
    // The same boards with where they sit, their serial numbers, their
    // endpoints and whether they can be opened and claimed now.
    Status ListBoards(QList<BoardListing>& boards);
    // The board open now, listed without touching the others; false when none.
    bool DescribeOpenBoard(BoardListing& board);
    // Devices with other ids whose interface 0 is vendor-specific, from their
    // descriptors; none of them is opened.
    Status ListOtherDevices(QList<BoardListing>& devices);
    // Opens board number index, or hands out the board already open when it
    // is the same plugging of the same board.
    Status Open(std::int32_t index, std::shared_ptr<LibusbDevice>& device);
    // From now on Arrived and Left are raised for boards with our ids.
    Status EnablePlugEvents();
    bool PollingForPlugEvents() const { return polling_; }

Q_SIGNALS:
    void Arrived(usb::BusPlace place);
    void Left(usb::BusPlace place);
    // An attempt to open a board that is plugged in failed (no permission,
    // another program holds it): what to tell the user.
    void OpenRefused(const QString& text);

private:
    // By ids and port; bySerial (the window thread only): by the serial too.
    bool Matches(libusb_device* device, bool bySerial = false);
    QList<libusb_device*> MatchingBoards(libusb_device** list, long count, bool bySerial = false);
    // The window thread: the board's serial number, read once per plugging
    // (through the open handle when it is ours, else opened just for that).
    QString SerialOf(libusb_device* device);
    BoardListing Describe(libusb_device* device);
    template <typename Use> Status WithDeviceList(Use use);
    template <typename Use> Status WithMatchingBoards(Use use);
    Status TryOpen(libusb_device* board) const;
    void RunEvents();
    void PollBus();
    void PostPlug(bool arrived, BusPlace place);
    static int HotplugCallback(libusb_context* context, libusb_device* device,
                               libusb_hotplug_event event, void* user);

    std::uint16_t vendorId_;
    std::uint16_t productId_;
    PortPath port_;
    QString serial_;
    QMap<quint16, QString> serials_; // by bus and address: one plugging each
    bool forcePoll_;
    libusb_context* context_ = nullptr;
    Status initStatus_ = StatusSuccess;
    std::weak_ptr<LibusbDevice> open_;
    bool plugEvents_ = false;
    bool polling_ = false;
    int hotplugHandle_ = 0;
    std::atomic<bool> pollBus_{false};
    std::atomic<bool> stop_{false};
    // The boards of the last look at the bus: the window thread's until pollBus_
    // is set, the worker's from then on.
    QList<BusPlace> seen_;
    std::thread worker_;
};

} // namespace usb

Q_DECLARE_METATYPE(usb::BusPlace)
