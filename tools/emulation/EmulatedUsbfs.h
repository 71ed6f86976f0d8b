#pragma once
// The emulated board's usbfs node, inside: one plugging of the board (Port),
// the bus of boards on the boards' thread, and what the ioctls of umockdev's
// worker thread share with that thread (Shared). For EmulatedUsbDevice's own
// two files only.
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

inline constexpr int PageSize = 4096; // one slot of a pipe's buffer

// What the board's usbfs node reports it can do: each bulk transfer is one URB
// however long it is.
inline constexpr std::uint32_t Capabilities =
    USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
    USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

inline usbdevfs_urb* UrbOf(UMockdevIoctlData* data)
{
    return reinterpret_cast<usbdevfs_urb*>(data->data);
}

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
    // Finished control transfers, each with the connection that sent it (any
    // program may read descriptors): both references of ours.
    std::deque<std::pair<UMockdevIoctlClient*, UMockdevIoctlData*>> control;

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
        DropBulk();
        for (auto [client, urb] : control) {
            g_object_unref(client);
            g_object_unref(urb);
        }
        control.clear();
        if (fifo >= 0)
            close(fifo);
        fifo = -1;
    }
    // The bulk URBs, all of the program that claimed the interface.
    void DropBulk()
    {
        for (auto& [endpoint, urbs] : pendingIn) {
            for (const Urb& u : urbs)
                g_object_unref(u.urb);
        }
        pendingIn.clear();
        for (UMockdevIoctlData* urb : finished)
            g_object_unref(urb);
        finished.clear();
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
    QString serial; // the board's serial number string; empty: none
    bool claimBusy = false;
    // The connection (one program's open device file) that claimed interface
    // 0, a reference of ours. As the kernel does, another connection's claim
    // fails with EBUSY, and so do its transfers: they would reach the URBs
    // of the first program, which live in another address space.
    UMockdevIoctlClient* claimer = nullptr;
    int requests = 0;
    int submitted = 0;
    int discarded = 0;

    gboolean Handle(UMockdevIoctlClient* client);
    bool HeldByAnother(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client, Port& port);
    void SubmitControl(UMockdevIoctlClient* client, Port& port, UMockdevIoctlData* urbData);
    void HandOut(UMockdevIoctlClient* client, UMockdevIoctlData* urb);
    void Reap(UMockdevIoctlClient* client, Port& port);
    void Discard(UMockdevIoctlClient* client, Port& port);
};
