#pragma once
// The boot image list of the "Test" page: the "usb_boot_*.bin" files of the
// folder the program was started in.
class FileListBox;
class QAbstractButton;
class MainWindow;

// Attaches a file box to the window's `fllstusbboot` and lists its folder.
// The control owns the result.
FileListBox* AttachBootFileList(MainWindow& window);

// A click on a file of the list turns "Select File" pure green, for good.
void fllstusbboot_Click(QAbstractButton& cmdSelusbboot);
