// Saves a picture of each of the seven tab pages, at the window's design size,
// for looking at the layout: grab_pages <folder> [--no-board] [--sample-record].
// --sample-record shows a stored picture with a made-up record on the "Disk" page.
#include "ControlByName.h"
#include "app/SimulatedWindow.h"
#include "app/TabStrip.h"
#include "browser/DiskNavigation.h"
#include "browser/FolderList.h"
#include "camera/TestPicture.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
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
    SimulatedWindow rig;
    if (!arguments.contains(QStringLiteral("--no-board")))
        rig.bus.Plug(&rig.board);
    MainWindow& window = rig.window;
    window.SetMessageSink(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    if (!window.Form_Load())
        return 1;
    window.show();

    int failures = 0;
    const bool sample = arguments.contains(QStringLiteral("--sample-record"));
    QTemporaryDir pictures;
    if (sample) {
        // Trigger 2 has the longest text of all.
        QFile file(pictures.filePath(QStringLiteral("Q8150001_00004711_20071105_142507_T_2_X00_TX-"
                                                    "0042 CITYCAB     _Shift 2 driver 17___.jpg")));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(RenderTestPicture(320, 240, 1));
    }
    const auto pause = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    QTimer::singleShot(500, &window, [&] {
        for (int tab = 1; tab <= 7; ++tab) {
            Control<TabStrip>(window, "TabStrip1")->Select(tab);
            if (tab == 2 && sample) {
                window.findChild<DiskNavigation*>()->Dir1().SetPath(pictures.path());
                pause(300);
                auto* files = Control<QListView>(window, "File1");
                files->setCurrentIndex(files->model()->index(0, 0));
                pause(500);
            }
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
