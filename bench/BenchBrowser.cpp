// The picture browser: a folder of 100,000 files and a 24-megapixel picture.
#include "BenchCommon.h"
#include "app/widgets/FileListBox.h"
#include "app/widgets/PictureView.h"
#include "browser/FileList.h"
#include "browser/StoredPicture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <jpeglib.h>

// A folder of 100,000 files, half of them "*.jpg": the time until all 50,000
// picture names are in the file box, and the longest pause of the window's
// event loop meanwhile, seen by a 1 ms timer.
void FolderListing()
{
    QTemporaryDir dir;
    for (int i = 0; i < 100000; ++i) {
        QFile file(dir.filePath(QStringLiteral("Q8150001_%1_20071105_142507_T_3.%2")
                                    .arg(i, 8, 10, QLatin1Char('0'))
                                    .arg(i % 2 ? QStringLiteral("jpg") : QStringLiteral("txt"))));
        file.open(QIODevice::WriteOnly);
    }
    QWidget window;
    auto* view = new QListView(&window);
    view->setGeometry(8, 144, 209, 244); // File1 at its design place
    window.resize(828, 565);
    window.show();
    auto* box = new FileList(QStringLiteral("*.jpg"), &window);
    new FileListBox(view, box);
    const auto* model = static_cast<QStringListModel*>(view->model());
    QApplication::processEvents();

    StallWatch watch;
    QSignalSpy listed(box, &FileList::Listed);
    box->SetFolder(dir.path());
    listed.wait(30000); // the event loop sleeps until the names come
    view->repaint();
    if (model->rowCount() != 50000)
        std::fprintf(stderr, "%d names listed, not 50000\n", model->rowCount());
    const double listedMs = watch.ElapsedMs();
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5); // the gap that ends now
    Print("folder_100k_list_ms", listedMs);
    Print("folder_100k_max_stall_ms", watch.LongestGapMs());
}

// A 6000 x 4000 photo-like JPEG (a gradient with sensor-like noise).
QString Make24MpJpeg(const QTemporaryDir& dir)
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(noise.bounded(24));
            line[x] = qRgb((x / 24 + n) & 255, (y / 16 + n) & 255, ((x + y) / 40 + n) & 255);
        }
    }
    const QString path = dir.filePath(QStringLiteral("photo_24mp.jpg"));
    image.save(path, "JPEG", 90);
    return path;
}

// libjpeg-turbo's own decode of `path` at 1/8 scale, as `djpeg -scale 1/8` does.
double DjpegScaledMs(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(std::size_t(info.output_width) * info.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return clock.nsecsElapsed() / 1e6;
}

// The same photo shown in Image2 at its smallest size (7170 x 5535 twips),
// from the request until the picture is painted; and libjpeg-turbo's own
// scaled decode of the file in the same run. Medians of 7.
void JpegShow()
{
    QTemporaryDir dir;
    const QString path = Make24MpJpeg(dir);
    QWidget window;
    auto* image2 = new QLabel(&window);
    image2->setScaledContents(true);
    image2->setGeometry(224, 16, 478, 369);
    window.resize(828, 565);
    window.show();
    auto* view = new StoredPicture(&window);
    new PictureView(image2, view);
    QSignalSpy shown(view, &StoredPicture::Shown);
    QApplication::processEvents();

    std::vector<double> show, djpeg;
    for (int round = 0; round < 8; ++round) {
        view->ShowPlaceholder(101);
        QApplication::processEvents();
        shown.clear();
        QElapsedTimer clock;
        clock.start();
        view->ShowPicture(path, 101);
        shown.wait(30000);
        image2->repaint();
        const double ms = clock.nsecsElapsed() / 1e6;
        const double reference = DjpegScaledMs(path);
        if (!shown.first().at(1).toBool())
            std::fprintf(stderr, "the 24-megapixel picture was not shown\n");
        if (round > 0) { // the first round warms the caches
            show.push_back(ms);
            djpeg.push_back(reference);
        }
    }
    Print("jpeg_24mp_show_ms", Median(show));
    Print("djpeg_24mp_scaled_ms", Median(djpeg));
}
