// q815evm: the desktop tool for the Q815 camera evaluation board.
#include "app/ApplicationName.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "common/EventLoop.h"
#include "common/QtNotices.h"
#include "common/StringTable.h"
#include "link/BoardLink.h"
#include "selection/Backends.h"
#include "selection/BoardChoice.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <cstdio>

namespace {

// Options are read before any window system is touched, so --help and
// --version work without a display.
int Main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOptions options =
        ParseCommandLine(arguments, qEnvironmentVariable("Q815EVM_DEVICE"));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "q815evm: %s\nTry 'q815evm --help'.\n", qPrintable(options.error));
        return 2;
    }
    if (options.help) {
        std::printf("%s", qPrintable(options.helpText));
        return 0;
    }
    if (options.version) {
        std::printf("q815evm %s\n", Q815EVM_VERSION);
        return 0;
    }

    PrepareEventLoop();
    DropRuntimeFolderNotice();
    QApplication app(argc, argv);
    NameApplication();
    StringBase = 100;

    BackendChoice backend(options.board);
    BoardLink link(backend.Backend());
    ToolState tool;
    MainWindow window(link, tool);
    backend.OnOpenRefused([&window](const QString& text) {
        std::fprintf(stderr, "q815evm: %s\n", qPrintable(text));
        window.ShowMessage(text);
    });
    // The window's log (standard error) names each real board it links to, and
    // the status box's tooltip the one it has; the board's console keeps to
    // what the board sends.
    QObject::connect(&link, &BoardLink::StatusBoxChanged, &window, [&](int state) {
        usb::BoardListing board;
        if (state != 1 || !backend.Backend().DescribeOpenBoard(board))
            return;
        if (!options.board.simulate)
            std::fprintf(stderr, "q815evm: linked to %s\n", qPrintable(BoardText(board)));
        window.NameBoard(BoardText(board));
    });
    if (!window.Form_Load())
        return 1;
    // No board, but a device that may be the board: said once, at start.
    if (!link.Linked()) {
        for (const QString& line : CandidateHint(FindCandidates(backend.Backend()))
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            std::fprintf(stderr, "q815evm: %s; found %s\n", qPrintable(NoBoardText(options.board)),
                         qPrintable(line));
    }
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    return Main(argc, argv);
}
