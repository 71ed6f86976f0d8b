#include "firmware/BootFileList.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "browser/FileListBox.h"

#include <QDir>
#include <QListView>

FileListBox* AttachBootFileList(MainWindow& window)
{
    auto* box = new FileListBox(Control<QListView>(window, "fllstusbboot"),
                                QStringLiteral("usb_boot_*.bin"));
    // Nothing ever moves it: it stays at the folder the process started in.
    box->SetFolder(QDir::currentPath());
    return box;
}
