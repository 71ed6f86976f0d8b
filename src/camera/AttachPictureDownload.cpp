#include "camera/AttachPictureDownload.h"

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "camera/PictureDownload.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>

PictureDownload* AttachPictureDownload(MainWindow& window)
{
    const PictureDownloadView view{
        Control<QLabel>(window, "Image1"),
        Control<QProgressBar>(window, "ProgPicDwnld"),
        Control<QAbstractButton>(window, "cmdDwnldPic"),
        Control<QAbstractButton>(window, "cmdDwnldPicSer"),
    };
    // Through the window's hook, so a replaced ShowMessage is followed.
    auto showMessage = [&window](const QString& text) { window.ShowMessage(text); };
    return new PictureDownload(window.Link, window.AppFolder, window.ImageBitmapRef, showMessage,
                               view, &window);
}
