// umockdev.h first: GLib's headers use the word "signals", which Qt defines.
#include <umockdev.h>

#include "EmulatedUsbDevice.h"

#include "UsbDescriptors.h"
#include "link/usb/VirtualBoard.h"

#include <QList>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int PageSize = 4096; // one slot of a pipe's buffer

// What the board's usbfs node reports it can do: each bulk transfer is one URB
// however long it is.
constexpr std::uint32_t Capabilities =
    USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
    USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

usbdevfs_urb* UrbOf(UMockdevIoctlData* data)
{
    return reinterpret_cast<usbdevfs_urb*>(data->data);
}

} // namespace

// One plugging of the board: its node, the FIFO behind it, and its URBs.
struct Port {
    std::string devnode;
    int fifo = -1;
    bool ready = false; // a page is free: the node polls POLLOUT
    struct Urb {
        UMockdevIoctlData* urb;    // a reference of ours
        UMockdevIoctlData* buffer; // owned by urb
    };
    std::map<std::uint8_t, std::deque<Urb>> pendingIn;
    std::deque<UMockdevIoctlData*> finished; // references of ours

    // Wakes the poller: finished URBs wait to be reaped.
    void Ready()
    {
        if (ready || fifo < 0)
            return;
        char page[PageSize];
        if (read(fifo, page, sizeof page) == PageSize)
            ready = true;
    }
    // Fills the FIFO again: poll blocks until the next URB finishes.
    void Quiet()
    {
        if (!ready || fifo < 0)
            return;
        static const char page[PageSize] = {};
        while (write(fifo, page, sizeof page) == PageSize) {
        }
        ready = false;
    }
    void Finish(UMockdevIoctlData* urb)
    {
        finished.push_back(urb);
        Ready();
    }
    void Release()
    {
        for (auto& [endpoint, urbs] : pendingIn) {
            for (const Urb& u : urbs)
                g_object_unref(u.urb);
        }
        pendingIn.clear();
        for (UMockdevIoctlData* urb : finished)
            g_object_unref(urb);
        finished.clear();
        if (fifo >= 0)
            close(fifo);
        fifo = -1;
    }
};

// Used on the boards' thread only.
struct EmulatedUsbDevice::Bus {
    UMockdevTestbed* testbed = umockdev_testbed_new();
    std::string rootDir;
    int address = 1;            // the last address given out on bus 1
    std::set<std::string> hubs; // the made-up hubs' sysfs paths
    Bus()
    {
        gchar* root = umockdev_testbed_get_root_dir(testbed);
        rootDir = root;
        g_free(root);
    }
    ~Bus() { g_object_unref(testbed); }
};

struct EmulatedUsbDevice::Shared {
    std::mutex mutex;
    bool alive = true;
    EmulatedUsbDevice* owner = nullptr; // posted to only while alive
    UMockdevIoctlBase* handler = nullptr;
    std::string syspath;
    std::map<std::string, Port> ports; // by node, old pluggings included
    Port* current = nullptr;           // the plugging in place, or none
    QList<std::uint8_t> endpoints;
    bool claimBusy = false;
    // The connection (one program's open device file) that claimed interface
    // 0, a reference of ours. As the kernel does, another connection's claim
    // fails with EBUSY, and so do its transfers: they would reach the URBs
    // of the first program, which live in another address space.
    UMockdevIoctlClient* claimer = nullptr;
    int submitted = 0;
    int discarded = 0;

    gboolean Handle(UMockdevIoctlClient* client);
    bool HeldByAnother(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client, Port& port);
    void Reap(UMockdevIoctlClient* client, Port& port);
    void Discard(UMockdevIoctlClient* client, Port& port);
};

namespace {

void Complete(UMockdevIoctlClient* client, long result, int error)
{
    umockdev_ioctl_client_complete(client, result, error);
}

// Resolves the ioctl's argument as a structure of size bytes.
UMockdevIoctlData* Argument(UMockdevIoctlClient* client, std::size_t size)
{
    return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, nullptr);
}

gboolean OnHandleIoctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client, gpointer data)
{
    auto* shared = static_cast<std::shared_ptr<EmulatedUsbDevice::Shared>*>(data);
    return (*shared)->Handle(client);
}

void DropShared(gpointer data, GClosure* /*closure*/)
{
    delete static_cast<std::shared_ptr<EmulatedUsbDevice::Shared>*>(data);
}

} // namespace

// A claim ends with the release or when its program closes the device file.
bool EmulatedUsbDevice::Shared::HeldByAnother(UMockdevIoctlClient* client)
{
    if (claimer != nullptr && claimer != client && !umockdev_ioctl_client_get_connected(claimer)) {
        g_object_unref(claimer);
        claimer = nullptr;
    }
    return claimer != nullptr && claimer != client;
}

// umockdev's worker thread.
gboolean EmulatedUsbDevice::Shared::Handle(UMockdevIoctlClient* client)
{
    const std::lock_guard lock(mutex);
    const auto it = ports.find(umockdev_ioctl_client_get_devnode(client));
    if (!alive || it == ports.end()) {
        Complete(client, -1, ENODEV);
        return TRUE;
    }
    const gulong transfer = umockdev_ioctl_client_get_request(client);
    if ((transfer == USBDEVFS_SUBMITURB || transfer == USBDEVFS_REAPURBNDELAY ||
         transfer == USBDEVFS_DISCARDURB) &&
        HeldByAnother(client)) {
        Complete(client, -1, EBUSY);
        return TRUE;
    }
    Port& port = it->second;
    const bool plugged = current == &port;
    const gulong request = umockdev_ioctl_client_get_request(client);

    if (request == USBDEVFS_REAPURBNDELAY) {
        Reap(client, port);
        return TRUE;
    }
    if (!plugged) {
        Complete(client, -1, ENODEV);
        return TRUE;
    }
    switch (request) {
    case USBDEVFS_SUBMITURB:
        Submit(client, port);
        return TRUE;
    case USBDEVFS_DISCARDURB:
        Discard(client, port);
        return TRUE;
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* arg = Argument(client, sizeof(std::uint32_t));
        if (arg == nullptr) {
            Complete(client, -1, EFAULT);
            return TRUE;
        }
        std::memcpy(arg->data, &Capabilities, sizeof Capabilities);
        Complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: {
        // Both begin with the interface number.
        UMockdevIoctlData* arg = Argument(client, request == USBDEVFS_CLAIMINTERFACE
                                                      ? sizeof(unsigned int)
                                                      : sizeof(usbdevfs_disconnect_claim));
        unsigned int interfaceNumber = 1;
        if (arg != nullptr)
            std::memcpy(&interfaceNumber, arg->data, sizeof interfaceNumber);
        if (interfaceNumber != 0) {
            Complete(client, -1, ENOENT);
        } else if (claimBusy || HeldByAnother(client)) {
            Complete(client, -1, EBUSY);
        } else {
            if (claimer == nullptr)
                claimer = UMOCKDEV_IOCTL_CLIENT(g_object_ref(client));
            Complete(client, 0, 0);
        }
        return TRUE;
    }
    case USBDEVFS_CLEAR_HALT: {
        UMockdevIoctlData* arg = Argument(client, sizeof(unsigned int));
        unsigned int endpoint = 0;
        if (arg != nullptr)
            std::memcpy(&endpoint, arg->data, sizeof endpoint);
        Complete(client, endpoints.contains(std::uint8_t(endpoint)) ? 0 : -1,
                 endpoints.contains(std::uint8_t(endpoint)) ? 0 : ENOENT);
        return TRUE;
    }
    case USBDEVFS_RELEASEINTERFACE:
        if (claimer == client) {
            g_object_unref(claimer);
            claimer = nullptr;
        }
        Complete(client, 0, 0);
        return TRUE;
    case USBDEVFS_SETCONFIGURATION:
        Complete(client, 0, 0);
        return TRUE;
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL: // no kernel driver to detach or attach
        Complete(client, -1, ENODATA);
        return TRUE;
    default:
        Complete(client, -1, ENOTTY);
        return TRUE;
    }
}

void EmulatedUsbDevice::Shared::Submit(UMockdevIoctlClient* client, Port& port)
{
    UMockdevIoctlData* urbData = Argument(client, sizeof(usbdevfs_urb));
    if (urbData == nullptr) {
        Complete(client, -1, EFAULT);
        return;
    }
    usbdevfs_urb* urb = UrbOf(urbData);
    if (!endpoints.contains(urb->endpoint) || urb->buffer_length < 0) {
        Complete(client, -1, ENOENT);
        return;
    }
    UMockdevIoctlData* buffer = nullptr;
    if (urb->buffer_length > 0) {
        buffer = umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                             std::size_t(urb->buffer_length), nullptr);
        if (buffer == nullptr) {
            Complete(client, -1, EFAULT);
            return;
        }
    }
    ++submitted;
    g_object_ref(urbData);
    urb->status = 0;
    urb->actual_length = 0;
    if (urb->endpoint & 0x80) {
        port.pendingIn[urb->endpoint].push_back(Port::Urb{urbData, buffer});
        QMetaObject::invokeMethod(owner, &EmulatedUsbDevice::SchedulePump, Qt::QueuedConnection);
    } else {
        // An OUT transfer is taken whole at once; the board gets it on its thread.
        const QByteArray bytes =
            buffer ? QByteArray(reinterpret_cast<const char*>(buffer->data), buffer->data_len)
                   : QByteArray();
        urb->actual_length = urb->buffer_length;
        const std::uint8_t endpoint = urb->endpoint;
        EmulatedUsbDevice* device = owner;
        QMetaObject::invokeMethod(
            owner, [device, endpoint, bytes] { device->board_.Receive(endpoint, bytes); },
            Qt::QueuedConnection);
        port.Finish(urbData);
    }
    Complete(client, 0, 0);
}

void EmulatedUsbDevice::Shared::Reap(UMockdevIoctlClient* client, Port& port)
{
    if (port.finished.empty()) {
        port.Quiet();
        Complete(client, -1, current == &port ? EAGAIN : ENODEV);
        return;
    }
    UMockdevIoctlData* urb = port.finished.front();
    port.finished.pop_front();
    // The argument points to the caller's URB pointer: point it at its URB.
    UMockdevIoctlData* slot = Argument(client, sizeof(void*));
    if (slot == nullptr || !umockdev_ioctl_data_set_ptr(slot, 0, urb)) {
        g_object_unref(urb);
        Complete(client, -1, EFAULT);
        return;
    }
    g_object_unref(urb); // the argument holds it now
    Complete(client, 0, 0);
}

void EmulatedUsbDevice::Shared::Discard(UMockdevIoctlClient* client, Port& port)
{
    // The argument is the caller's address of the URB itself.
    gulong address = 0;
    std::memcpy(&address, umockdev_ioctl_client_get_arg(client)->data, sizeof address);
    for (auto& [endpoint, urbs] : port.pendingIn) {
        for (auto it = urbs.begin(); it != urbs.end(); ++it) {
            if (it->urb->client_addr != address)
                continue;
            UrbOf(it->urb)->status = -ENOENT;
            UrbOf(it->urb)->actual_length = 0;
            port.Finish(it->urb);
            urbs.erase(it);
            ++discarded;
            Complete(client, 0, 0);
            return;
        }
    }
    Complete(client, -1, EINVAL); // already finished: it will be reaped as it is
}

// --- the board's thread -----------------------------------------------------

EmulatedUsbDevice::EmulatedUsbDevice(usb::VirtualBoard& board, QObject* parent, const QString& port,
                                     EmulatedUsbDevice* sameBus)
    : QObject(parent), board_(board), bus_(sameBus ? sameBus->bus_ : std::make_shared<Bus>()),
      port_(port), shared_(std::make_shared<Shared>())
{
    shared_->owner = this;
    shared_->handler = umockdev_ioctl_base_new();
    g_signal_connect_data(shared_->handler, "handle-ioctl", G_CALLBACK(OnHandleIoctl),
                          new std::shared_ptr<Shared>(shared_), DropShared, GConnectFlags(0));
    connect(&board_, &usb::VirtualBoard::DataReady, this, [this] { SchedulePump(); });
}

EmulatedUsbDevice::~EmulatedUsbDevice()
{
    if (Plugged())
        Unplug();
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->alive = false;
        for (auto& [node, port] : shared_->ports)
            port.Release();
        shared_->current = nullptr;
        if (shared_->claimer != nullptr)
            g_object_unref(std::exchange(shared_->claimer, nullptr));
    }
    g_object_unref(shared_->handler);
}

bool EmulatedUsbDevice::PreloadActive()
{
    return umockdev_in_mock_environment();
}

QString EmulatedUsbDevice::RootDir() const
{
    return QString::fromStdString(bus_->rootDir);
}

bool EmulatedUsbDevice::Plugged() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->current != nullptr;
}

QString EmulatedUsbDevice::DeviceNode() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->current ? QString::fromStdString(shared_->current->devnode) : QString();
}

void EmulatedUsbDevice::SetClaimBusy(bool busy)
{
    const std::lock_guard lock(shared_->mutex);
    shared_->claimBusy = busy;
}

int EmulatedUsbDevice::SubmittedUrbs() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->submitted;
}

int EmulatedUsbDevice::DiscardedUrbs() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->discarded;
}

void EmulatedUsbDevice::Plug()
{
    if (Plugged())
        return;
    UMockdevTestbed* testbed = bus_->testbed;
    const std::string parent = AddHubs();
    const int address = ++bus_->address;
    const QByteArray node =
        QByteArray("/dev/bus/usb/001/") + QByteArray::number(address).rightJustified(3, '0');
    const QByteArray devnum = QByteArray::number(address);
    const QByteArray major_minor = "189:" + QByteArray::number(address - 1);
    const QByteArray vendor = QByteArray::number(board_.VendorId(), 16).rightJustified(4, '0');
    const QByteArray product = QByteArray::number(board_.ProductId(), 16).rightJustified(4, '0');
    const QByteArray productProperty = QByteArray::number(board_.VendorId(), 16) + '/' +
                                       QByteArray::number(board_.ProductId(), 16) + "/127";
    const QByteArray paddedDevnum = devnum.rightJustified(3, '0');
    const char* attributes[] = {"busnum",
                                "1",
                                "devnum",
                                devnum.constData(),
                                "speed",
                                "12",
                                "idVendor",
                                vendor.constData(),
                                "idProduct",
                                product.constData(),
                                "bConfigurationValue",
                                "1",
                                "bNumConfigurations",
                                "1",
                                "product",
                                "Q815 camera evaluation board (emulated)",
                                "dev",
                                major_minor.constData(),
                                nullptr};
    const char* properties[] = {"DEVNAME", node.constData(),
                                "DEVTYPE", "usb_device",
                                "BUSNUM",  "001",
                                "DEVNUM",  paddedDevnum.constData(),
                                "PRODUCT", productProperty.constData(),
                                nullptr};
    // The node answers first: adding the device to sysfs already announces it
    // (umockdev sends an "add" uevent), and a program that opens the board
    // right then must find it working, as the kernel's node is there before
    // its uevent. The node is a FIFO that this side keeps full.
    const std::string path = bus_->rootDir + node.toStdString();
    const std::string folder = path.substr(0, path.rfind('/'));
    g_mkdir_with_parents(folder.c_str(), 0755);
    unlink(path.c_str());
    mkfifo(path.c_str(), 0666);
    Port port;
    port.devnode = node.toStdString();
    port.fifo = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    chmod(path.c_str(), nodeMode_); // after this side has it open
    port.ready = true;
    port.Quiet();
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->endpoints = board_.Endpoints();
        const std::string key = port.devnode;
        auto [it, added] = shared_->ports.insert_or_assign(key, std::move(port));
        shared_->current = &it->second;
    }
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, node.constData(), shared_->handler, &error)) {
        qWarning("cannot serve %s: %s", node.constData(), error ? error->message : "?");
        g_clear_error(&error);
    }
    const std::string name = parent + "/" + port_.toStdString();
    gchar* syspath = umockdev_testbed_add_devicev(testbed, "usb", name.c_str(), nullptr,
                                                  const_cast<gchar**>(attributes),
                                                  const_cast<gchar**>(properties));
    if (onAnnounced_)
        onAnnounced_();
    QByteArray descriptors =
        UsbDescriptors(board_.VendorId(), board_.ProductId(), board_.Endpoints());
    umockdev_testbed_set_attribute_binary(testbed, syspath, "descriptors",
                                          reinterpret_cast<guint8*>(descriptors.data()),
                                          int(descriptors.size()));
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->syspath = syspath;
    }
    umockdev_testbed_uevent(testbed, syspath, "add");
    g_free(syspath);
}

void EmulatedUsbDevice::Unplug()
{
    std::string syspath;
    std::string node;
    {
        const std::lock_guard lock(shared_->mutex);
        Port* port = shared_->current;
        if (port == nullptr)
            return;
        // Every transfer in flight fails as the kernel fails them.
        for (auto& [endpoint, urbs] : port->pendingIn) {
            for (const Port::Urb& u : urbs) {
                UrbOf(u.urb)->status = -ENODEV;
                UrbOf(u.urb)->actual_length = 0;
                port->Finish(u.urb);
            }
        }
        port->pendingIn.clear();
        shared_->current = nullptr;
        // A board that goes away is nobody's any more.
        if (shared_->claimer != nullptr)
            g_object_unref(std::exchange(shared_->claimer, nullptr));
        syspath = shared_->syspath;
        node = port->devnode;
    }
    // A board that loses power forgets what it had queued for the host.
    for (std::uint8_t endpoint : board_.Endpoints()) {
        if (endpoint & 0x80)
            board_.DropPending(endpoint);
    }
    // Removing the device sends no uevent of its own.
    umockdev_testbed_uevent(bus_->testbed, syspath.c_str(), "remove");
    umockdev_testbed_remove_device(bus_->testbed, syspath.c_str());
    umockdev_testbed_detach_ioctl(bus_->testbed, node.c_str(), nullptr);
}

// The hubs between the root hub and the board's port ("1-4" for "1-4.2"), made
// up once per bus: libusb learns a board's port numbers from its sysfs name
// and its parents'. Returns the sysfs path of the board's parent.
std::string EmulatedUsbDevice::AddHubs()
{
    std::string parent = "usb1";
    const QStringList ports = port_.split(QLatin1Char('.'));
    QString hub;
    for (qsizetype i = 0; i + 1 < ports.size(); ++i) {
        hub += (i > 0 ? QStringLiteral(".") : QString()) + ports[i];
        parent += "/" + hub.toStdString();
        if (!bus_->hubs.insert(parent).second)
            continue;
        const QByteArray devnum = QByteArray::number(++bus_->address);
        const char* attributes[] = {"busnum",
                                    "1",
                                    "devnum",
                                    devnum.constData(),
                                    "speed",
                                    "480",
                                    "bConfigurationValue",
                                    "1",
                                    "bNumConfigurations",
                                    "1",
                                    nullptr};
        const char* properties[] = {"DEVTYPE", "usb_device", nullptr};
        gchar* syspath = umockdev_testbed_add_devicev(bus_->testbed, "usb", parent.c_str(), nullptr,
                                                      const_cast<gchar**>(attributes),
                                                      const_cast<gchar**>(properties));
        // Some hub's ids; an interrupt IN endpoint as hubs have.
        QByteArray descriptors = UsbDescriptors(0x05E3, 0x0610, {0x81});
        umockdev_testbed_set_attribute_binary(bus_->testbed, syspath, "descriptors",
                                              reinterpret_cast<guint8*>(descriptors.data()),
                                              int(descriptors.size()));
        g_free(syspath);
    }
    return parent;
}

void EmulatedUsbDevice::SchedulePump()
{
    if (pumpScheduled_)
        return;
    pumpScheduled_ = true;
    QMetaObject::invokeMethod(this, &EmulatedUsbDevice::Pump, Qt::QueuedConnection);
}

// Hands the board's pending IN data to the IN URBs waiting for it, one board
// transfer per URB, at most as many bytes as the URB holds.
void EmulatedUsbDevice::Pump()
{
    pumpScheduled_ = false;
    const std::lock_guard lock(shared_->mutex);
    Port* port = shared_->current;
    if (port == nullptr)
        return;
    for (auto& [endpoint, urbs] : port->pendingIn) {
        while (!urbs.empty() && board_.HasPending(endpoint)) {
            const Port::Urb u = urbs.front();
            urbs.pop_front();
            usbdevfs_urb* urb = UrbOf(u.urb);
            const QByteArray data = board_.TakeTransfer(endpoint, urb->buffer_length);
            if (!data.isEmpty())
                std::memcpy(u.buffer->data, data.constData(), std::size_t(data.size()));
            urb->actual_length = int(data.size());
            urb->status = 0;
            port->Finish(u.urb);
        }
    }
}
