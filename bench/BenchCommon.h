#pragma once
// What the benchmark groups share: the window on the virtual board, and the
// printing of one "name: value" line per figure.
#include "app/MainWindow.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QApplication>
#include <cstdio>
#include <vector>

struct Rig {
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend{bus};
    MainWindow window{backend};
    Rig()
    {
        bus.Plug(&board);
        window.ShowMessage = [](const QString& text) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        };
        window.Form_Load();
        window.show();
        QApplication::processEvents();
    }
};

void Print(const char* name, double value);
// Makes the board serve a 65,000-byte picture (a 640 x 480 test JPEG padded with
// zeros) and points the window's folder at `folder`.
void ServeSixtyFiveKilobytePicture(Rig& rig, const QString& folder);
double Median(std::vector<double> values);

// The groups.
void ExchangesPerSecond();
void TimeoutCpu();
void ConsoleAppend();
void ConsoleStream();
void PictureDownloads();
void FolderListing();
void JpegShow();
void MemoryGrowth();
