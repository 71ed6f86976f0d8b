// The command exchange: round trips, the cost of a timeout, console echo.
#include "BenchCommon.h"
#include "app/ConsoleView.h"
#include "app/TabStrip.h"
#include "link/BoardProtocol.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <ctime>

// Command round trips per second, the whole path: block, component, events,
// receive path and console echo.
void ExchangesPerSecond()
{
    Rig rig;
    constexpr int count = 20000;
    for (int i = 0; i < 200; ++i) // warm up
        rig.link.DownLoadCommand(ReadChipIdCommand());
    QElapsedTimer clock;
    clock.start();
    int ok = 0;
    for (int i = 0; i < count; ++i)
        ok += rig.link.DownLoadCommand(ReadChipIdCommand()) == QLatin1String("270B0941");
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (ok != count)
        std::fprintf(stderr, "only %d of %d exchanges answered\n", ok, count);
    Print("exchanges_per_s", count / seconds);
}

// CPU seconds spent during one reply timeout of 3 seconds.
void TimeoutCpu()
{
    Rig rig;
    rig.board.SetSilent(true);
    const std::clock_t before = std::clock();
    rig.link.DownLoadCommand(ReadChipIdCommand());
    Print("timeout_cpu_s", double(std::clock() - before) / CLOCKS_PER_SEC);
}

// Microseconds to show one 64-byte chunk (one frame's insertion and its repaint)
// in the console shown on the "Test" page, empty and holding 63,000 characters.
void ConsoleAppend()
{
    Rig rig;
    Control<TabStrip>(rig.window, "TabStrip1")->Select(7);
    ConsoleView* console = Control<ConsoleView>(rig.window, "Outputwindow");
    const QString chunk = QString(62, u'x') + QStringLiteral("\r\n");
    const QString filler = (QString(78, u'f') + QStringLiteral("\r\n")).repeated(63000 / 80);
    constexpr int rounds = 300;
    auto measure = [&](bool full) {
        qint64 total = 0;
        for (int i = 0; i < rounds; ++i) {
            console->Empty();
            if (full)
                console->AppendChunk(filler);
            console->Flush();
            QApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            console->AppendChunk(chunk);
            console->Flush();              // what the frame timer does
            QApplication::processEvents(); // the repaint belongs to the cost
            total += clock.nsecsElapsed();
        }
        return total / 1e3 / rounds;
    };
    measure(false); // warm up
    Print("console_append_us_empty", measure(false));
    Print("console_append_us_full", measure(true));
}

// A board that talks without pause: 64-byte chunks on the reply pipe, as fast as
// the program takes them, through the whole receive path into the console shown
// on the "Test" page. Kilobytes per second taken, and the longest pause of the
// window's event loop meanwhile, seen by a 1 ms timer.
void ConsoleStream()
{
    Rig rig;
    Control<TabStrip>(rig.window, "TabStrip1")->Select(7);
    ConsoleView* console = Control<ConsoleView>(rig.window, "Outputwindow");
    QApplication::processEvents();
    const QByteArray chunk = QByteArray(62, 's') + "\r\n";

    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    StallWatch watch;
    rig.board.StreamOnCommandIn(chunk);
    loop.exec();
    const qint64 bytes = rig.board.StreamedChunks() * chunk.size();
    rig.board.StreamOnCommandIn({});
    console->Flush(); // the last frame's text on screen belongs to the run
    console->repaint();
    const double seconds = watch.ElapsedMs() / 1e3;
    if (console->toPlainText().isEmpty())
        std::fprintf(stderr, "the console shows nothing of the stream\n");
    Print("console_stream_kb_s", bytes / 1e3 / seconds);
    Print("console_stream_max_stall_ms", watch.LongestGapMs());
}
