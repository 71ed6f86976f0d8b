#include "EmulatedRig.h"

#include <QElapsedTimer>
#include <cstdio>
#include <libusb.h>
#include <vector>

EmulatedBoard::EmulatedBoard()
{
    board->SetPaced(false); // the program's cost against libusb's, not the wire's
    device->Plug();
    board->moveToThread(&thread);
    device->moveToThread(&thread);
    thread.start();
}

EmulatedBoard::~EmulatedBoard()
{
    thread.quit();
    thread.wait();
    delete device;
    delete board;
}

void EmulatedBoard::OnBoard(const std::function<void()>& act) const
{
    QMetaObject::invokeMethod(board, act, Qt::BlockingQueuedConnection);
}

namespace {

constexpr int ReadSize = 63360; // what the program reads with

struct BareState {
    int pending = 0;
};

void LIBUSB_CALL BareDone(libusb_transfer* transfer)
{
    --static_cast<BareState*>(transfer->user_data)->pending;
}

} // namespace

double BareExchangesPerSecond(const EmulatedBoard& emulated, const QList<QByteArray>& blocks,
                              int warmup, int count)
{
    libusb_context* context = nullptr;
    if (blocks.isEmpty() || libusb_init(&context) != LIBUSB_SUCCESS)
        return 0;
    libusb_device_handle* handle = libusb_open_device_with_vid_pid(
        context, emulated.board->VendorId(), emulated.board->ProductId());
    if (handle == nullptr || libusb_claim_interface(handle, 0) != LIBUSB_SUCCESS) {
        std::fprintf(stderr, "bare libusb: cannot open the emulated board\n");
        if (handle != nullptr)
            libusb_close(handle);
        libusb_exit(context);
        return 0;
    }
    BareState state;
    std::vector<unsigned char> in(ReadSize);
    libusb_transfer* read = libusb_alloc_transfer(0);
    libusb_transfer* write = libusb_alloc_transfer(0);
    libusb_fill_bulk_transfer(read, handle, 0x82, in.data(), ReadSize, BareDone, &state, 0);
    int answered = 0;
    auto exchange = [&](int i) {
        // libusb only reads an OUT transfer's buffer.
        const QByteArray& block = blocks[i % blocks.size()];
        auto* bytes =
            const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(block.constData()));
        libusb_fill_bulk_transfer(write, handle, 0x02, bytes, int(block.size()), BareDone, &state,
                                  0);
        state.pending = 2;
        libusb_submit_transfer(read);
        libusb_submit_transfer(write);
        while (state.pending > 0)
            libusb_handle_events(context);
        answered += read->status == LIBUSB_TRANSFER_COMPLETED && read->actual_length > 0;
    };
    for (int i = 0; i < warmup; ++i)
        exchange(i);
    answered = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i)
        exchange(i);
    const double seconds = clock.nsecsElapsed() / 1e9;
    libusb_free_transfer(read);
    libusb_free_transfer(write);
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    libusb_exit(context);
    if (answered != count) {
        std::fprintf(stderr, "bare libusb: only %d of %d exchanges answered\n", answered, count);
        return 0;
    }
    return count / seconds;
}
