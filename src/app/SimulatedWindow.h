#pragma once
// The whole window over one virtual board on a simulated bus of its own, as the
// programs that drive the window without hardware build it: the tests, the
// benchmarks, the window's fuzzer and the page grabber. Nothing is plugged in
// and nothing loaded yet, so the board and the bus can be set up first.
#include "app/MainWindow.h"
#include "link/BoardLink.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

struct SimulatedWindow {
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend{bus};
    BoardLink link{backend};
    ToolState tool;
    MainWindow window{link, tool};
};
