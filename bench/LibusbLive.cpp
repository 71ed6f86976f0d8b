// The live view through the libusb backend on the emulated board, in the whole
// window at 320 x 240, against bare libusb doing the same exchanges.
#include "LibusbLive.h"
#include "BenchCommon.h"
#include "app/TabStrip.h"
#include "camera/LiveCapture.h"
#include "camera/TestPicture.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"
#include "link/usb/LibusbBackend.h"

#include <QAbstractButton>

namespace {

constexpr int WarmupMs = 500;
constexpr int MeasureMs = 1500;
constexpr int Rounds = 5;

// What one live run gave: frames shown per second, and the command blocks the
// board received meanwhile.
struct LiveRun {
    double fps = 0;
    qint64 frames = 0;
    QList<QByteArray> blocks;
};

// The window on the libusb backend: the camera's size by its option button,
// the live view started on its page, half a second to settle, then measured.
LiveRun MeasureLiveView(const EmulatedBoard& emulated)
{
    usb::LibusbBackend backend(emulated.board->VendorId(), emulated.board->ProductId());
    BoardLink link(backend);
    ToolState tool;
    MainWindow window(link, tool);
    window.SetMessageSink(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    LiveRun run;
    if (!window.Form_Load())
        return run;
    window.show();
    RunFor(100);
    Control<QAbstractButton>(window, "Option1_4")->click();
    Control<TabStrip>(window, "TabStrip1")->Select(4);
    LiveCapture& live = *window.findChild<LiveCapture*>();
    Control<QAbstractButton>(window, "cmdLive")->click();
    RunFor(WarmupMs);
    const qint64 shownBefore = live.Counts().shown;
    emulated.OnBoard([&] { emulated.board->ClearRecord(); });
    QElapsedTimer clock;
    clock.start();
    RunFor(MeasureMs);
    const double seconds = clock.nsecsElapsed() / 1e9;
    run.frames = live.Counts().shown - shownBefore;
    emulated.OnBoard([&] { run.blocks = emulated.board->CommandBlocks(); });
    run.fps = run.frames / seconds;
    if (run.frames < 10 || live.Counts().bad != 0 || !live.Running())
        std::fprintf(stderr, "live view over libusb: %lld frames, %lld bad, %s\n", run.frames,
                     live.Counts().bad, live.Running() ? "running" : "stopped");
    Control<QAbstractButton>(window, "cmdLive")->click();
    RunFor(100);
    return run;
}

// The blocks of whole frames among those received: from the first capture
// request up to the last one.
QList<QByteArray> WholeFrames(const QList<QByteArray>& blocks)
{
    const QByteArray capture = MakeCommandBlock(SpiRoute().capture);
    const qsizetype first = blocks.indexOf(capture);
    const qsizetype last = blocks.lastIndexOf(capture);
    return first < 0 || last <= first ? QList<QByteArray>() : blocks.mid(first, last - first);
}

} // namespace

// Frames per second of the live view against what bare libusb allows for the
// same exchanges: its exchanges per second over the exchanges of a frame, as
// counted by the board. Rounds of a live run and then bare libusb replaying
// the whole frames that the board received in it, about as many exchanges,
// so that both see the same load of the machine; the medians of the rounds.
void LiveOverLibusb(const EmulatedBoard& emulated)
{
    const QByteArray picture = RenderTestPicture(320, 240, 1);
    emulated.OnBoard(
        [&] { emulated.board->SetPictureRenderer([picture](int, int, int) { return picture; }); });
    std::vector<double> fps;
    std::vector<double> perFrame;
    std::vector<double> bare;
    std::vector<double> ratio;
    for (int round = 0; round < Rounds; ++round) {
        const LiveRun run = MeasureLiveView(emulated);
        const QList<QByteArray> frames = WholeFrames(run.blocks);
        const double rate =
            BareExchangesPerSecond(emulated, frames, int(frames.size() / 10), int(frames.size()));
        if (run.frames <= 0 || rate <= 0)
            return;
        fps.push_back(run.fps);
        perFrame.push_back(double(run.blocks.size()) / double(run.frames));
        bare.push_back(rate);
        ratio.push_back(fps.back() / (rate / perFrame.back()));
    }
    Print("live_libusb_fps", Median(fps));
    Print("live_libusb_exchanges_per_frame", Median(perFrame));
    Print("live_libusb_bare_exchanges_per_s", Median(bare));
    Print("live_libusb_fps_ratio", Median(ratio));
}
