// Saves a picture of each of the seven tab pages, at the window's design size,
// for looking at the layout: grab_pages <folder> [--no-board] [--sample-record].
// --sample-record puts a made-up picture record into the "Disk" page's labels.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/TabStrip.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: grab_pages <folder> [--no-board] [--sample-record]\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    if (!arguments.contains(QStringLiteral("--no-board")))
        bus.Plug(&board);
    usb::SimBackend backend(bus);
    MainWindow window(backend);
    window.ShowMessage = [](const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    };
    if (!window.Form_Load())
        return 1;
    if (arguments.contains(QStringLiteral("--sample-record"))) {
        const std::pair<const char*, const char*> sample[] = {
            {"TxtBrDate", "24.12.2009"},
            {"TxtBrTime", "23:59:58"},
            {"TxtBrNumber", "000123"},
            {"txtBrTrigType", "Panic"},
            {"txtBRTaxiNumber", "TAXI 4711"},
            {"txtBRSerialNumber", "A1234567"},
            {"txtBRUserString", "user text of the unit"},
        };
        for (const auto& [name, text] : sample)
            Control<QLabel>(window, name)->setText(QString::fromLatin1(text));
    }
    window.show();

    int failures = 0;
    QTimer::singleShot(500, &window, [&] {
        for (int tab = 1; tab <= 7; ++tab) {
            window.TabStrip1->Select(tab);
            const QString path = folder.filePath(QStringLiteral("page-%1.png").arg(tab));
            if (!window.grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ++failures;
            }
        }
        QApplication::quit();
    });
    QApplication::exec();
    return failures == 0 ? 0 : 1;
}
