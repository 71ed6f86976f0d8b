#pragma once
// Figures of the libusb backend against the virtual board served as a USB
// device: libusb_exchanges_per_s (DownLoadCommand through the backend) and
// libusb_bare_round_trips_per_s (a bare libusb OUT + IN loop on the same
// emulation), the live view's frame rate against bare libusb exchanges
// (live_libusb_fps_ratio) and unplug_to_message_ms (an unplug during an SPI
// download or a live view until the window thread has "USB OFF" and the work's
// end). argv: the benchmark program's, to run it again with the umockdev
// preload when this process lacks it.

void LibusbFigures(char** argv);
