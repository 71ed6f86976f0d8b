#include "firmware/BootFileList.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/widgets/FileListBox.h"

#include <QAbstractButton>
#include <QDir>
#include <QListView>

FileListBox* AttachBootFileList(MainWindow& window)
{
    auto* box = new FileListBox(Control<QListView>(window, "fllstusbboot"),
                                QStringLiteral("usb_boot_*.bin"));
    // Nothing ever moves it: it stays at the folder the process started in.
    box->SetFolder(QDir::currentPath());
    QAbstractButton* select = Control<QAbstractButton>(window, "cmdSelusbboot");
    QObject::connect(box, &FileListBox::Click, select, [select] { fllstusbboot_Click(*select); });
    return box;
}

void fllstusbboot_Click(QAbstractButton& cmdSelusbboot)
{
    // Marks that a boot image was chosen; nothing turns it back.
    QPalette palette = cmdSelusbboot.palette();
    palette.setColor(QPalette::Button, QColor(0, 255, 0));
    cmdSelusbboot.setPalette(palette);
}
