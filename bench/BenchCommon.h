#pragma once
// What the benchmark groups share: the window on the virtual board, and the
// printing of one "name: value" line per figure.
#include "ControlByName.h"
#include "app/SimulatedWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <vector>

struct Rig : SimulatedWindow {
    Rig()
    {
        board.SetPaced(false); // the figures are the program's, not the wire's
        bus.Plug(&board);
        window.SetMessageSink(
            [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
        window.Form_Load();
        window.show();
        QApplication::processEvents();
    }
};

void Print(const char* name, double value);
// Runs the event loop for ms milliseconds.
void RunFor(int ms);

// From its making on: the time elapsed, and the longest pause of the event loop
// meanwhile, seen by a 1 ms timer as the largest gap between its ticks.
class StallWatch {
public:
    StallWatch();
    double ElapsedMs() const { return clock_.nsecsElapsed() / 1e6; }
    double LongestGapMs() const { return longestGap_ / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer ticks_;
    qint64 lastTick_ = 0;
    qint64 longestGap_ = 0;
};
// A 640 x 480 test JPEG padded with zeros to 65,000 bytes.
QByteArray SixtyFiveKilobytePicture();
// Makes the board serve a 65,000-byte picture (a 640 x 480 test JPEG padded with
// zeros) and points the window's folder at `folder`.
void ServeSixtyFiveKilobytePicture(Rig& rig, const QString& folder);
double Median(std::vector<double> values);
// Resident set size in bytes (Linux); 0 when unknown.
double ResidentBytes();

// The groups.
void ExchangesPerSecond();
void TimeoutCpu();
void ConsoleAppend();
void ConsoleStream();
void PictureDownloads();
void FolderListing();
void JpegShow();
void MemoryGrowth();
void ShellFigures();
void LiveFrameRate();
void LiveStall();
void LiveMemory();
