#include "LibusbBench.h"

#include "EmulatedRig.h"
#include "LibusbLive.h"

#include "BenchCommon.h"
#include "camera/LiveCapture.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"
#include "link/usb/LibusbBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <libusb.h>
#include <memory>

namespace {

constexpr int Warmup = 100;
constexpr int Count = 2000;

void ExchangesThroughBackend(const EmulatedBoard& emulated)
{
    usb::LibusbBackend backend(emulated.board->VendorId(), emulated.board->ProductId());
    BoardLink link(backend);
    if (link.CreateObjects() != 0)
        return;
    QObject::connect(&link, &BoardLink::MessageRequested, [](const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    link.StartLink();
    for (int i = 0; i < Warmup; ++i)
        link.DownLoadCommand(ReadChipIdCommand());
    QElapsedTimer clock;
    clock.start();
    int ok = 0;
    for (int i = 0; i < Count; ++i)
        ok += link.DownLoadCommand(ReadChipIdCommand()) == QLatin1String("270B0941");
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (ok != Count)
        std::fprintf(stderr, "only %d of %d exchanges answered\n", ok, Count);
    Print("libusb_exchanges_per_s", Count / seconds);
}

// From an unplug in the middle of a wait for the board until the window thread
// has both the status box's "USB OFF" and the end of the work in flight: an SPI
// download (its end) and a live view (its stop), each a few times; the worst.
void UnplugToMessage(const EmulatedBoard& emulated)
{
    emulated.OnBoard([&] {
        emulated.board->SetReplyDelay(10); // every block request waits
        emulated.board->SetPictureRenderer(RenderTestPicture);
    });
    usb::LibusbBackend backend(emulated.board->VendorId(), emulated.board->ProductId());
    BoardLink link(backend);
    if (link.CreateObjects() != 0)
        return;
    link.StartLink();
    QTemporaryDir folder;
    const QString appFolder = folder.path();
    const std::int16_t bitmap = 101;
    PictureAssembler assembler(link);
    PictureDownload download(link, assembler, appFolder, bitmap);
    LiveCapture live(link, assembler);
    double worstMs = 0;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer clock;
        bool off = false;
        bool ended = false;
        QEventLoop done;
        const auto check = [&] {
            if (off && ended)
                done.quit();
        };
        const auto c1 = QObject::connect(&link, &BoardLink::StatusBoxChanged, [&](int state) {
            off = off || state == 2;
            check();
        });
        const auto c2 =
            QObject::connect(&download, &PictureDownload::RunningChanged, [&](bool running) {
                ended = !running;
                check();
            });
        const auto c3 = QObject::connect(&live, &LiveCapture::RunningChanged, [&](bool running) {
            ended = !running;
            check();
        });
        QTimer::singleShot(150, [&] {
            emulated.OnBoard([&] { emulated.device->Unplug(); });
            clock.start();
        });
        if (run % 2 == 0)
            QTimer::singleShot(0, &download, &PictureDownload::DownLoadPicSPI);
        else
            live.Start(LiveCapture::Way::SPI, QString());
        QTimer::singleShot(10000, &done, &QEventLoop::quit);
        done.exec();
        if (!off || !ended) {
            std::fprintf(stderr, "unplug: the window did not follow within 10 s\n");
            return;
        }
        worstMs = std::max(worstMs, clock.nsecsElapsed() / 1e6);
        for (const QMetaObject::Connection& c : {c1, c2, c3})
            QObject::disconnect(c);
        // Plugged in again and opened before the next run.
        emulated.OnBoard([&] { emulated.device->Plug(); });
        QEventLoop linked;
        QObject::connect(&link, &BoardLink::StatusBoxChanged, &linked, [&](int state) {
            if (state == 1)
                linked.quit();
        });
        QTimer::singleShot(10000, &linked, &QEventLoop::quit);
        linked.exec();
    }
    Print("unplug_to_message_ms", worstMs);
}
} // namespace

void LibusbFigures(char** argv)
{
    {
        // The testbed must exist before asking whether its preload is active.
        usb::VirtualBoard probeBoard;
        EmulatedUsbDevice probe(probeBoard);
        if (!EmulatedUsbDevice::PreloadActive()) {
            // Run this group again in a child that has the preload.
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("LD_PRELOAD"),
                               QStringLiteral("libumockdev-preload.so.0"));
            environment.remove(QStringLiteral("UMOCKDEV_DIR"));
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("libusb")});
            child.waitForFinished(-1);
            return;
        }
    }
    EmulatedBoard emulated;
    // The chip identifier's reply: a 12-byte transfer.
    Print("libusb_bare_round_trips_per_s",
          BareExchangesPerSecond(emulated, {MakeCommandBlock(ReadChipIdCommand())}, Warmup, Count));
    ExchangesThroughBackend(emulated);
    LiveOverLibusb(emulated);
    UnplugToMessage(emulated);
}
