// The emulated board's usbfs ioctls, on umockdev's worker thread: claims,
// submitted, reaped and discarded URBs.
#include "EmulatedUsbfs.h"

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

} // namespace

// A claim ends with the release or when its program closes the device file
// (or dies): its URBs go with it.
bool EmulatedUsbDevice::Shared::HeldByAnother(UMockdevIoctlClient* client)
{
    if (claimer != nullptr && claimer != client && !umockdev_ioctl_client_get_connected(claimer)) {
        g_object_unref(claimer);
        claimer = nullptr;
        for (auto& [node, port] : ports)
            port.DropBulk();
    }
    return claimer != nullptr && claimer != client;
}

// umockdev's worker thread.
gboolean EmulatedUsbDevice::Shared::Handle(UMockdevIoctlClient* client)
{
    const std::lock_guard lock(mutex);
    ++requests;
    const auto it = ports.find(umockdev_ioctl_client_get_devnode(client));
    if (!alive || it == ports.end()) {
        Complete(client, -1, ENODEV);
        return TRUE;
    }
    // Bulk transfers of another connection reach the interface of the
    // program that claimed it: refused (Submit refuses its bulk URBs).
    if (umockdev_ioctl_client_get_request(client) == USBDEVFS_DISCARDURB && HeldByAnother(client)) {
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
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->endpoint == 0) {
        SubmitControl(client, port, urbData);
        return;
    }
    if (HeldByAnother(client)) {
        Complete(client, -1, EBUSY);
        return;
    }
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

// The string descriptors a GET_DESCRIPTOR asks for, answered at once: the
// language (US English) and the serial number; anything else stalls.
void EmulatedUsbDevice::Shared::SubmitControl(UMockdevIoctlClient* client, Port& port,
                                              UMockdevIoctlData* urbData)
{
    usbdevfs_urb* urb = UrbOf(urbData);
    constexpr int SetupSize = 8;
    UMockdevIoctlData* buffer =
        urb->buffer_length >= SetupSize
            ? umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                          std::size_t(urb->buffer_length), nullptr)
            : nullptr;
    if (buffer == nullptr) {
        Complete(client, -1, EFAULT);
        return;
    }
    const std::uint8_t* setup = buffer->data;
    const int value = setup[2] | setup[3] << 8;
    QByteArray answer;
    if (setup[0] == 0x80 && setup[1] == 6 && value == 0x0300) {
        answer = QByteArray("	", 4);
    } else if (setup[0] == 0x80 && setup[1] == 6 && value == 0x0300 + SerialIndex &&
               !serial.isEmpty()) {
        answer.append(char(2 + 2 * serial.size())).append(char(3));
        for (QChar c : serial)
            answer.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    }
    const int room = qMin(setup[6] | setup[7] << 8, urb->buffer_length - SetupSize);
    answer.truncate(room);
    std::memcpy(buffer->data + SetupSize, answer.constData(), std::size_t(answer.size()));
    urb->actual_length = int(answer.size());
    urb->status = answer.isEmpty() ? -EPIPE : 0;
    port.control.emplace_back(UMOCKDEV_IOCTL_CLIENT(g_object_ref(client)),
                              UMOCKDEV_IOCTL_DATA(g_object_ref(urbData)));
    port.Ready();
    Complete(client, 0, 0);
}

// Each connection reaps its own URBs: its control transfers, and the bulk
// ones when it holds the interface.
void EmulatedUsbDevice::Shared::Reap(UMockdevIoctlClient* client, Port& port)
{
    for (auto it = port.control.begin(); it != port.control.end();) {
        const auto [sender, urb] = *it;
        if (sender == client || !umockdev_ioctl_client_get_connected(sender)) {
            it = port.control.erase(it);
            g_object_unref(sender);
            if (sender == client)
                return HandOut(client, urb);
            g_object_unref(urb);
        } else {
            ++it;
        }
    }
    if (port.finished.empty() || HeldByAnother(client)) {
        if (port.finished.empty() && port.control.empty())
            port.Quiet();
        Complete(client, -1, current == &port ? EAGAIN : ENODEV);
        return;
    }
    UMockdevIoctlData* urb = port.finished.front();
    port.finished.pop_front();
    HandOut(client, urb);
}

// Gives a finished URB (a reference of ours) back to the connection that reaps.
void EmulatedUsbDevice::Shared::HandOut(UMockdevIoctlClient* client, UMockdevIoctlData* urb)
{
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
