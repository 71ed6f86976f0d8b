// The command exchange: round trips, the cost of a timeout, console echo.
#include "BenchCommon.h"
#include "app/ConsoleView.h"
#include "app/TabStrip.h"

#include <QElapsedTimer>
#include <ctime>

// Command round trips per second, the whole path: block, component, events,
// receive path and console echo.
void ExchangesPerSecond()
{
    Rig rig;
    constexpr int count = 20000;
    for (int i = 0; i < 200; ++i) // warm up
        rig.window.Link.DownLoadCommand(QStringLiteral("C:20"));
    QElapsedTimer clock;
    clock.start();
    int ok = 0;
    for (int i = 0; i < count; ++i)
        ok += rig.window.Link.DownLoadCommand(QStringLiteral("C:20")) == QLatin1String("270B0941");
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
    rig.window.Link.DownLoadCommand(QStringLiteral("C:20"));
    Print("timeout_cpu_s", double(std::clock() - before) / CLOCKS_PER_SEC);
}

// Microseconds to echo one 64-byte chunk into the console shown on the "Test"
// page, empty and holding 63,000 characters.
void ConsoleAppend()
{
    Rig rig;
    rig.window.TabStrip1->Select(7);
    ConsoleView* console = rig.window.Outputwindow;
    const QString chunk = QString(62, u'x') + QStringLiteral("\r\n");
    const QString filler = (QString(78, u'f') + QStringLiteral("\r\n")).repeated(63000 / 80);
    constexpr int rounds = 300;
    auto measure = [&](bool full) {
        qint64 total = 0;
        for (int i = 0; i < rounds; ++i) {
            console->Empty();
            if (full)
                console->AppendChunk(filler);
            QApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            console->AppendChunk(chunk);
            QApplication::processEvents(); // the repaint belongs to the cost
            total += clock.nsecsElapsed();
        }
        return total / 1e3 / rounds;
    };
    measure(false); // warm up
    Print("console_append_us_empty", measure(false));
    Print("console_append_us_full", measure(true));
}

