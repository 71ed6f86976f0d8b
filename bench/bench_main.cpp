// The benchmark program: drives the real window on the virtual board and prints
// one "name: value" line per figure. Arguments name the groups to run (all
// when none): exchanges, timeout, console, download, memory, live, browser, ctl,
// libusb.
#include "BenchCommon.h"
#include "common/EventLoop.h"

#ifdef Q815_LIBUSB_BENCH
#include "LibusbBench.h"
#endif

#include <functional>
#include <map>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareEventLoop();
    QApplication app(argc, argv);
    const std::map<QString, std::function<void()>> figures = {
        {QStringLiteral("exchanges"), ExchangesPerSecond},
        {QStringLiteral("timeout"), TimeoutCpu},
        {QStringLiteral("console"),
         [] {
             ConsoleAppend();
             ConsoleStream();
         }},
        {QStringLiteral("download"), PictureDownloads},
        {QStringLiteral("memory"), MemoryGrowth},
        {QStringLiteral("live"),
         [] {
             LiveFrameRate();
             LiveStall();
             LiveMemory();
         }},
#ifdef Q815_LIBUSB_BENCH
        {QStringLiteral("libusb"), [argv] { LibusbFigures(argv); }},
#endif
        {QStringLiteral("browser"),
         [] {
             FolderListing();
             JpegShow();
         }},
        {QStringLiteral("ctl"), ShellFigures},
    };
    const QStringList wanted = app.arguments().mid(1);
    for (const auto& [name, run] : figures)
        if (wanted.isEmpty() || wanted.contains(name))
            run();
    return 0;
}
