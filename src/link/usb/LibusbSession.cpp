#include "link/usb/LibusbSession.h"

#include "link/usb/LibusbDescriptors.h"
#include "link/usb/LibusbStatus.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <libusb.h>

namespace usb {

namespace {

constexpr auto PollInterval = std::chrono::seconds(1);
// With hotplug the worker has nothing to do on its own; it only wakes now and
// then, which costs nothing worth measuring.
constexpr int IdleWakeSeconds = 60;

} // namespace

// --- LibusbDevice -------------------------------------------------------------

LibusbDevice::LibusbDevice(std::shared_ptr<LibusbSession> session, libusb_device_handle* handle,
                           BusPlace place, QList<Endpoint> endpoints)
    : session_(std::move(session)), handle_(handle), place_(place), endpoints_(std::move(endpoints))
{
}

LibusbDevice::~LibusbDevice()
{
    Release();
    libusb_close(handle_);
}

const LibusbDevice::Endpoint* LibusbDevice::FindEndpoint(std::uint8_t address) const
{
    for (const Endpoint& endpoint : endpoints_) {
        if (endpoint.address == address)
            return &endpoint;
    }
    return nullptr;
}

Status LibusbDevice::Claim(int interfaceNumber)
{
    if (claimed_ == interfaceNumber)
        return StatusSuccess;
    Release();
    // Setting the configuration that is already active would disturb the
    // kernel's drivers for nothing.
    int configuration = 0;
    int r = libusb_get_configuration(handle_, &configuration);
    if (r == LIBUSB_SUCCESS && configuration != 1)
        r = libusb_set_configuration(handle_, 1);
    if (r != LIBUSB_SUCCESS)
        return StatusFromLibusbError(r, StatusNoInterface);
    // Where the platform has kernel drivers to detach (Linux), one that holds
    // the interface is detached while we claim it and attached again after.
    libusb_set_auto_detach_kernel_driver(handle_, 1);
    r = libusb_claim_interface(handle_, interfaceNumber);
    if (r != LIBUSB_SUCCESS)
        return StatusFromLibusbError(r, StatusNoInterface);
    claimed_ = interfaceNumber;
    return StatusSuccess;
}

void LibusbDevice::Release()
{
    if (claimed_ < 0)
        return;
    libusb_release_interface(handle_, claimed_); // fails harmlessly when unplugged
    claimed_ = -1;
}

// --- LibusbSession ------------------------------------------------------------

LibusbSession::LibusbSession(std::uint16_t vendorId, std::uint16_t productId, const PortPath& port,
                             bool forcePoll)
    : vendorId_(vendorId), productId_(productId), port_(port), forcePoll_(forcePoll)
{
    qRegisterMetaType<usb::BusPlace>();
    const int r = libusb_init(&context_);
    if (r != LIBUSB_SUCCESS) {
        context_ = nullptr;
        initStatus_ = StatusFromLibusbError(r, StatusNotSupported);
        return;
    }
    worker_ = std::thread([this] { RunEvents(); });
}

LibusbSession::~LibusbSession()
{
    if (context_ == nullptr)
        return;
    if (hotplugHandle_ != 0)
        libusb_hotplug_deregister_callback(context_, hotplugHandle_);
    stop_ = true;
    libusb_interrupt_event_handler(context_);
    worker_.join();
    libusb_exit(context_);
}

bool LibusbSession::Matches(libusb_device* device, bool bySerial)
{
    libusb_device_descriptor descriptor{};
    return libusb_get_device_descriptor(device, &descriptor) == LIBUSB_SUCCESS &&
           descriptor.idVendor == vendorId_ && descriptor.idProduct == productId_ &&
           (port_.Empty() || PortOf(device) == port_) &&
           (!bySerial || serial_.isEmpty() || SerialOf(device) == serial_);
}

QList<libusb_device*> LibusbSession::MatchingBoards(libusb_device** list, long count, bool bySerial)
{
    QList<libusb_device*> boards;
    for (long i = 0; i < count; ++i) {
        if (Matches(list[i], bySerial))
            boards.append(list[i]);
    }
    std::sort(boards.begin(), boards.end(), [](libusb_device* a, libusb_device* b) {
        const BusPlace pa = PlaceOf(a);
        const BusPlace pb = PlaceOf(b);
        return pa.bus != pb.bus ? pa.bus < pb.bus : pa.address < pb.address;
    });
    return boards;
}

Status LibusbSession::CountBoards(std::int32_t& count)
{
    count = 0;
    return WithMatchingBoards([&](const QList<libusb_device*>& boards) {
        count = std::int32_t(boards.size());
        return StatusSuccess;
    });
}

Status LibusbSession::Open(std::int32_t index, std::shared_ptr<LibusbDevice>& device)
{
    device.reset();
    return WithMatchingBoards([&](const QList<libusb_device*>& boards) {
        Status status = StatusSuccess;
        if (index < 0 || index >= boards.size()) {
            status = StatusNoDevice;
        } else {
            libusb_device* board = boards[index];
            const BusPlace place = PlaceOf(board);
            if (auto open = open_.lock(); open && !open->Gone() && open->Place() == place) {
                device = open;
            } else {
                libusb_device_handle* handle = nullptr;
                const int r = libusb_open(board, &handle);
                if (r == LIBUSB_SUCCESS) {
                    device = std::make_shared<LibusbDevice>(shared_from_this(), handle, place,
                                                            InterfaceEndpoints(board));
                    open_ = device;
                } else {
                    status = StatusFromLibusbError(r, StatusNoDevice);
                    if (status == StatusAccessDenied || status == StatusBusy) {
                        const QString text =
                            QStringLiteral(
                                "The board %1:%2 (bus %3, address %4) cannot be opened: %5")
                                .arg(vendorId_, 4, 16, QLatin1Char('0'))
                                .arg(productId_, 4, 16, QLatin1Char('0'))
                                .arg(place.bus, 3, 10, QLatin1Char('0'))
                                .arg(place.address, 3, 10, QLatin1Char('0'))
                                .arg(StatusText(status));
                        QMetaObject::invokeMethod(
                            this, [this, text] { Q_EMIT OpenRefused(text); }, Qt::QueuedConnection);
                    }
                }
            }
        }
        return status;
    });
}

Status LibusbSession::EnablePlugEvents()
{
    if (context_ == nullptr)
        return initStatus_;
    if (plugEvents_)
        return StatusSuccess;
    if (!forcePoll_ && libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0) {
        const int r = libusb_hotplug_register_callback(
            context_, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT,
            LIBUSB_HOTPLUG_NO_FLAGS, vendorId_, productId_, LIBUSB_HOTPLUG_MATCH_ANY,
            &LibusbSession::HotplugCallback, this, &hotplugHandle_);
        if (r != LIBUSB_SUCCESS)
            return StatusFromLibusbError(r, StatusNotSupported);
    } else {
        // What is on the bus now is no news; the worker reports changes from here.
        const Status listed = WithDeviceList([&](libusb_device** list, ssize_t n) {
            for (libusb_device* board : MatchingBoards(list, n))
                seen_.append(PlaceOf(board));
            return StatusSuccess;
        });
        if (listed != StatusSuccess)
            return listed;
        polling_ = true;
        pollBus_ = true; // hands seen_ over to the worker
        libusb_interrupt_event_handler(context_);
    }
    plugEvents_ = true;
    return StatusSuccess;
}

// The worker thread.
void LibusbSession::RunEvents()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextPoll = Clock::now();
    while (!stop_) {
        timeval wait{IdleWakeSeconds, 0};
        if (pollBus_) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(nextPoll - Clock::now());
            const long us = std::clamp<long>(long(left.count()), 0, 1000000);
            wait = timeval{us / 1000000, us % 1000000};
        }
        libusb_handle_events_timeout_completed(context_, &wait, nullptr);
        if (pollBus_ && !stop_ && Clock::now() >= nextPoll) {
            PollBus();
            nextPoll = Clock::now() + PollInterval;
        }
    }
}

// Worker thread: compares the boards on the bus with those of the last look.
void LibusbSession::PollBus()
{
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    if (n < 0)
        return;
    QList<BusPlace> now;
    for (libusb_device* board : MatchingBoards(list, n))
        now.append(PlaceOf(board));
    libusb_free_device_list(list, 1);
    for (const BusPlace& place : std::as_const(seen_)) {
        if (!now.contains(place))
            PostPlug(false, place);
    }
    for (const BusPlace& place : std::as_const(now)) {
        if (!seen_.contains(place))
            PostPlug(true, place);
    }
    seen_ = now;
}

// Worker thread: hands a plug event to the window thread.
void LibusbSession::PostPlug(bool arrived, BusPlace place)
{
    QMetaObject::invokeMethod(
        this,
        [this, arrived, place] {
            if (arrived) {
                Q_EMIT Arrived(place);
                return;
            }
            if (auto open = open_.lock(); open && open->Place() == place)
                open->MarkGone();
            Q_EMIT Left(place);
        },
        Qt::QueuedConnection);
}

int LibusbSession::HotplugCallback(libusb_context* /*context*/, libusb_device* device,
                                   libusb_hotplug_event event, void* user)
{
    auto* session = static_cast<LibusbSession*>(user);
    // Another board with the same ids, on another port, is none of ours
    // (libusb keeps a board's descriptor and ports after it left).
    if (!session->Matches(device))
        return 0;
    session->PostPlug(event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, PlaceOf(device));
    return 0; // stay registered
}

} // namespace usb
