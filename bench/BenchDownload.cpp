// Picture downloads from a click to the picture shown.
#include "BenchCommon.h"
#include "ControlByName.h"
#include "camera/PictureDownload.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTemporaryDir>

// Milliseconds from a click on "Get Pic SPI" / "Get Pic UART" to the picture
// shown, for a 65,000-byte picture (a 640 x 480 test JPEG padded with zeros)
// from a board that answers without delay. Median of 25 downloads.
void PictureDownloads()
{
    Rig rig;
    QTemporaryDir folder;
    ServeSixtyFiveKilobytePicture(rig, folder.path());
    // The window's own buttons and picture box, as a user clicks them.
    PictureDownload& download = *rig.window.findChild<PictureDownload*>();
    auto* image1 = Control<QLabel>(rig.window, "Image1");

    auto measure = [&](QAbstractButton* button) {
        std::vector<double> ms;
        for (int i = 0; i < 26; ++i) {
            QEventLoop ended;
            QObject::connect(&download, &PictureDownload::RunningChanged, &ended,
                             &QEventLoop::quit);
            QElapsedTimer clock;
            clock.start();
            button->click();
            if (download.Running())
                ended.exec();
            QApplication::processEvents(); // the repaint belongs to the cost
            if (i > 0)                     // the first one warms up
                ms.push_back(clock.nsecsElapsed() / 1e6);
            if (image1->pixmap().size() != QSize(640, 480))
                std::fprintf(stderr, "the picture was not shown\n");
        }
        std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
        return ms[ms.size() / 2];
    };
    Print("spi_download_ms_64k", measure(Control<QAbstractButton>(rig.window, "cmdDwnldPic")));
    Print("uart_download_ms_64k", measure(Control<QAbstractButton>(rig.window, "cmdDwnldPicSer")));
}
