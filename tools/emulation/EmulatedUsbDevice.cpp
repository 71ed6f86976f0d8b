// umockdev.h first (in EmulatedUsbfs.h): GLib's headers use the word
// "signals", which Qt defines.
#include "EmulatedUsbfs.h"

namespace {

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

int EmulatedUsbDevice::Requests() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->requests;
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
        shared_->serial = board_.Serial();
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
    QByteArray descriptors = UsbDescriptors(board_.VendorId(), board_.ProductId(),
                                            board_.Endpoints(), !board_.Serial().isEmpty());
    umockdev_testbed_set_attribute_binary(testbed, syspath, "descriptors",
                                          reinterpret_cast<guint8*>(descriptors.data()),
                                          int(descriptors.size()));
    if (!board_.Serial().isEmpty())
        umockdev_testbed_set_attribute(testbed, syspath, "serial", qPrintable(board_.Serial()));
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
            QByteArray data = board_.TakeTransfer(endpoint, urb->buffer_length);
            urb->status = 0;
            if (failReads_ > 0) { // lost on the way
                --failReads_;
                urb->status = -EPROTO;
                data.clear();
            }
            if (!data.isEmpty())
                std::memcpy(u.buffer->data, data.constData(), std::size_t(data.size()));
            urb->actual_length = int(data.size());
            port->Finish(u.urb);
        }
    }
}
