// Resident memory over many picture downloads: what a long session costs.
#include "BenchCommon.h"
#include "ControlByName.h"
#include "camera/PictureDownload.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QTemporaryDir>

// Resident memory after 1,000 clicks on "Get Pic SPI" against after the first
// 10, in percent, for a 65,000-byte picture (a 640 x 480 test JPEG padded with
// zeros). The virtual board's record of the blocks it received is the bench's
// own and is emptied after each download.
void MemoryGrowth()
{
    Rig rig;
    QTemporaryDir folder;
    ServeSixtyFiveKilobytePicture(rig, folder.path());
    PictureDownload& download = *rig.window.findChild<PictureDownload*>();
    auto* button = Control<QAbstractButton>(rig.window, "cmdDwnldPic");

    double afterTen = 0;
    for (int i = 1; i <= 1000; ++i) {
        QEventLoop ended;
        QObject::connect(&download, &PictureDownload::RunningChanged, &ended, &QEventLoop::quit);
        button->click();
        if (download.Running())
            ended.exec();
        QApplication::processEvents();
        rig.board.ClearRecord();
        if (i == 10)
            afterTen = ResidentBytes();
    }
    const double afterThousand = ResidentBytes();
    if (afterTen <= 0) {
        std::fprintf(stderr, "no resident size from /proc/self/statm\n");
        return;
    }
    Print("rss_growth_pct_1000_downloads", 100.0 * (afterThousand - afterTen) / afterTen);
}
