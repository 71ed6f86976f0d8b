// The benchmark program: drives the real window on the virtual board and prints
// one "name: value" line per figure.
#include "app/ConsoleView.h"
#include "app/EventLoop.h"
#include "app/MainWindow.h"
#include "app/TabStrip.h"
#include "camera/PictureDownload.h"
#include "camera/TestPicture.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#ifdef Q815_LIBUSB_BENCH
#include "LibusbBench.h"
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>

namespace {

struct Rig {
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend{bus};
    MainWindow window{backend};
    Rig()
    {
        bus.Plug(&board);
        window.ShowMessage = [](const QString& text) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        };
        window.Form_Load();
        window.show();
        QApplication::processEvents();
    }
};

void Print(const char* name, double value)
{
    std::printf("%s: %.6g\n", name, value);
    std::fflush(stdout);
}

// Command round trips per second, the whole path: block, component, events,
// receive path and console echo.
void ExchangesPerSecond()
{
    Rig rig;
    constexpr int count = 20000;
    for (int i = 0; i < 200; ++i) // warm up
        rig.window.Link.DownLoadCommand(QStringLiteral("C:20"));
    QElapsedTimer clock;
    clock.start();
    int ok = 0;
    for (int i = 0; i < count; ++i)
        ok += rig.window.Link.DownLoadCommand(QStringLiteral("C:20")) == QLatin1String("270B0941");
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (ok != count)
        std::fprintf(stderr, "only %d of %d exchanges answered\n", ok, count);
    Print("exchanges_per_s", count / seconds);
}

// CPU seconds spent during one reply timeout of 3 seconds.
void TimeoutCpu()
{
    Rig rig;
    rig.board.SetSilent(true);
    const std::clock_t before = std::clock();
    rig.window.Link.DownLoadCommand(QStringLiteral("C:20"));
    Print("timeout_cpu_s", double(std::clock() - before) / CLOCKS_PER_SEC);
}

// Microseconds to echo one 64-byte chunk into the console shown on the "Test"
// page, empty and holding 63,000 characters.
void ConsoleAppend()
{
    Rig rig;
    rig.window.TabStrip1->Select(7);
    ConsoleView* console = rig.window.Outputwindow;
    const QString chunk = QString(62, u'x') + QStringLiteral("\r\n");
    const QString filler = (QString(78, u'f') + QStringLiteral("\r\n")).repeated(63000 / 80);
    constexpr int rounds = 300;
    auto measure = [&](bool full) {
        qint64 total = 0;
        for (int i = 0; i < rounds; ++i) {
            console->Empty();
            if (full)
                console->AppendChunk(filler);
            QApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            console->AppendChunk(chunk);
            QApplication::processEvents(); // the repaint belongs to the cost
            total += clock.nsecsElapsed();
        }
        return total / 1e3 / rounds;
    };
    measure(false); // warm up
    Print("console_append_us_empty", measure(false));
    Print("console_append_us_full", measure(true));
}

// Milliseconds from a click on "Get Pic SPI" / "Get Pic UART" to the picture
// shown, for a 65,000-byte picture (a 640 x 480 test JPEG padded with zeros)
// from a board that answers without delay. Median of 25 downloads.
void PictureDownloads()
{
    Rig rig;
    QByteArray picture = RenderTestPicture(640, 480, 1);
    picture.append(QByteArray(65000 - picture.size(), '\0'));
    rig.board.SetPictureRenderer([picture](int, int, int) { return picture; });
    QTemporaryDir folder;
    QString AppFolder = folder.path();
    std::int16_t ImageBitmapRef = 101;
    QWidget page;
    PictureDownloadView view{new QLabel(&page), new QProgressBar(&page),
                             new QPushButton(QStringLiteral("Get Pic SPI"), &page),
                             new QPushButton(QStringLiteral("Get Pic UART"), &page)};
    PictureDownload download(rig.window.Link, AppFolder, ImageBitmapRef, rig.window.ShowMessage,
                             view);
    page.show();
    QApplication::processEvents();

    auto measure = [&](QAbstractButton* button) {
        std::vector<double> ms;
        for (int i = 0; i < 26; ++i) {
            QEventLoop ended;
            QObject::connect(&download, &PictureDownload::DownloadEnded, &ended, &QEventLoop::quit);
            QElapsedTimer clock;
            clock.start();
            button->click();
            if (download.Running())
                ended.exec();
            QApplication::processEvents(); // the repaint belongs to the cost
            if (i > 0)                     // the first one warms up
                ms.push_back(clock.nsecsElapsed() / 1e6);
            if (view.Image1->pixmap().size() != QSize(640, 480))
                std::fprintf(stderr, "the picture was not shown\n");
        }
        std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
        return ms[ms.size() / 2];
    };
    Print("spi_download_ms_64k", measure(view.cmdDwnldPic));
    Print("uart_download_ms_64k", measure(view.cmdDwnldPicSer));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareEventLoop();
    QApplication app(argc, argv);
    const std::map<QString, std::function<void()>> figures = {
        {QStringLiteral("exchanges"), ExchangesPerSecond},
        {QStringLiteral("timeout"), TimeoutCpu},
        {QStringLiteral("console"), ConsoleAppend},
        {QStringLiteral("download"), PictureDownloads},
#ifdef Q815_LIBUSB_BENCH
        {QStringLiteral("libusb"), [argv] { LibusbFigures(argv); }},
#endif
    };
    const QStringList wanted = app.arguments().mid(1);
    for (const auto& [name, run] : figures)
        if (wanted.isEmpty() || wanted.contains(name))
            run();
    return 0;
}
