// Live capture on the "Live Images" page, started with its own button, as a
// user does: frame rate against what the board's reply delay allows, the
// window's pauses meanwhile, and memory over a long run.
#include "BenchCommon.h"
#include "ControlByName.h"
#include "app/TabStrip.h"
#include "camera/LiveCapture.h"
#include "camera/TestPicture.h"

#include <QAbstractButton>
#include <QEventLoop>

namespace {

struct LiveRig : Rig {
    LiveCapture& live = *window.findChild<LiveCapture*>();

    // The camera's size by its option button on the "Unit" page, then the live
    // view started on its own page. The board serves one test picture of that
    // size, rendered beforehand: its rendering is no part of the tool's time.
    void Start(const char* sizeButton, int width, int height, int replyDelayMs)
    {
        const QByteArray picture = RenderTestPicture(width, height, 1);
        board.SetPictureRenderer([picture](int, int, int) { return picture; });
        Control<QAbstractButton>(window, sizeButton)->click();
        board.SetReplyDelay(replyDelayMs);
        Control<TabStrip>(window, "TabStrip1")->Select(4);
        Control<QAbstractButton>(window, "cmdLive")->click();
    }
    void RunUntilShown(qint64 frames)
    {
        QEventLoop loop;
        const auto check = [&] {
            if (live.Counts().shown >= frames || !live.Running())
                loop.quit();
        };
        QObject::connect(&live, &LiveCapture::CountsChanged, &loop, check);
        QObject::connect(&live, &LiveCapture::RunningChanged, &loop, check);
        loop.exec();
    }
};

} // namespace

// Frames per second at 320 x 240 with 1 ms before each board reply, against
// the bound of 1000 / (exchanges per frame x 1 ms): C:04, C:02# and L/512 + 1
// blocks, counted on the wire. Three seconds after a warm-up second. The
// board's 1 ms is a timer of the event loop and comes late by what the system
// adds, so the frame rate is also set against the same number of bare command
// exchanges at that delay, timed in the same window.
void LiveFrameRate()
{
    LiveRig rig;
    rig.Start("Option1_4", 320, 240, 1);
    RunFor(1000);
    const qint64 shownBefore = rig.live.Counts().shown;
    rig.board.ClearRecord();
    QElapsedTimer clock;
    clock.start();
    RunFor(3000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 frames = rig.live.Counts().shown - shownBefore;
    const double exchanges = double(rig.board.CommandBlocks().size()) / double(frames);
    if (frames < 10 || rig.live.Counts().bad != 0)
        std::fprintf(stderr, "live capture at 320 x 240 showed %lld frames, %lld bad\n", frames,
                     rig.live.Counts().bad);
    Control<QAbstractButton>(rig.window, "cmdLive")->click();
    RunFor(100);
    clock.restart();
    for (int i = 0; i < 500; ++i)
        rig.link.DownLoadCommand(QStringLiteral("C:40"));
    const double bareExchangeMs = clock.nsecsElapsed() / 1e6 / 500;

    const double fps = frames / seconds;
    Print("live_exchanges_per_frame_320x240", exchanges);
    Print("live_fps_ratio", fps / (1000.0 / (exchanges * 1.0)));
    Print("live_bare_exchange_ms_at_1ms_delay", bareExchangeMs);
    Print("live_fps_ratio_to_bare_exchanges", fps / (1000.0 / (exchanges * bareExchangeMs)));
}

// The longest pause of the event loop during three seconds of live capture at
// the largest size, 640 x 480 (the longest decoding), 1 ms before each reply.
void LiveStall()
{
    LiveRig rig;
    rig.Start("Option1_6", 640, 480, 1);
    RunFor(500);
    StallWatch watch;
    RunFor(3000);
    Print("live_max_stall_ms", watch.LongestGapMs());
}

// Resident memory after 10,000 frames against after 100, at 80 x 60 from a
// board that answers at once. The board's record of what it received is the
// bench's own and is emptied as the frames come.
void LiveMemory()
{
    LiveRig rig;
    QObject::connect(&rig.live, &LiveCapture::CountsChanged, [&rig] { rig.board.ClearRecord(); });
    QElapsedTimer clock;
    clock.start();
    rig.Start("Option1_0", 80, 60, 0);
    rig.RunUntilShown(100);
    const double afterHundred = ResidentBytes();
    rig.RunUntilShown(10000);
    const double afterTenThousand = ResidentBytes();
    if (rig.live.Counts().shown < 10000 || afterHundred <= 0) {
        std::fprintf(stderr, "live capture stopped after %lld frames\n", rig.live.Counts().shown);
        return;
    }
    Print("live_10000_frames_s", clock.nsecsElapsed() / 1e9);
    Print("live_rss_growth_pct_10000_frames",
          100.0 * (afterTenThousand - afterHundred) / afterHundred);
}
