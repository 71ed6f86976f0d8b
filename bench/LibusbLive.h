#pragma once
// live_libusb_fps_ratio and its parts: the live view through the libusb backend
// against bare libusb doing the same exchanges.
#include "EmulatedRig.h"

void LiveOverLibusb(const EmulatedBoard& emulated);
