// Runs any command against the virtual board served as a USB device: the
// command gets the umockdev preload and this testbed, so its libusb finds the
// board at /dev/bus/usb/001/... and talks to the firmware emulation here.
//
//   q815-emulated-board [options] [--] command [arguments ...]
//
// Lines on standard input: "unplug", "plug", "quit" (unplug and plug act on
// every board).
#include "EmulatedUsbDevice.h"

#include "camera/TestPicture.h"
#include "common/QtNotices.h"
#include "link/usb/VirtualBoard.h"
#include "selection/BoardSelection.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr char Preload[] = "libumockdev-preload.so.0";

bool ParseLayout(const QString& text, usb::VirtualBoard& board)
{
    if (text == QLatin1String("full"))
        board.SetLayout(usb::EndpointLayout::Full);
    else if (text == QLatin1String("command"))
        board.SetLayout(usb::EndpointLayout::CommandOnly, true);
    else if (text == QLatin1String("command129"))
        board.SetLayout(usb::EndpointLayout::CommandOnly, false);
    else if (text == QLatin1String("download"))
        board.SetLayout(usb::EndpointLayout::Download);
    else
        return false;
    return true;
}

// The testbed is built through the preload too (uevents reach the child only
// when this process sees the testbed's /sys): start again with it if needed.
void RunWithPreload(char** argv)
{
    const char* current = std::getenv("LD_PRELOAD");
    if (current != nullptr && std::strstr(current, Preload) != nullptr)
        return;
    std::string value = Preload;
    if (current != nullptr && *current != '\0')
        value += std::string(":") + current;
    setenv("LD_PRELOAD", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("cannot start again with the umockdev preload");
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    RunWithPreload(argv);
    // The camera draws its test pictures as under --simulate; the drawing needs
    // a QGuiApplication, which here needs no display. The command gets the
    // platform of the caller's environment.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    DropRuntimeFolderNotice();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Starts a command against the Q815 virtual board, served as a USB device through "
        "umockdev. Lines on standard input: unplug, plug, quit."));
    parser.addHelpOption();
    const QCommandLineOption layout(QStringLiteral("layout"),
                                    QStringLiteral("Endpoint layout: full (default), command, "
                                                   "command129 or download; given again, the "
                                                   "layout of the next board."),
                                    QStringLiteral("layout"), QStringLiteral("full"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Plug a board in at this port path (default "
                                                 "1-1); given again, one more board with the "
                                                 "same ids at another port, 1-4.2 say."),
                                  QStringLiteral("BUS-PORTS"));
    const QCommandLineOption ids(QStringLiteral("ids"),
                                 QStringLiteral("USB ids of the board (default %1); given again, "
                                                "the ids of the next board.")
                                     .arg(QLatin1String(DefaultDeviceIds)),
                                 QStringLiteral("VID:PID"), QLatin1String(DefaultDeviceIds));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("The board's serial number string (default: "
                                                   "none); given again, the next board's."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption unplugAfter(QStringLiteral("unplug-after"),
                                         QStringLiteral("Unplug the board after this many "
                                                        "seconds."),
                                         QStringLiteral("seconds"));
    const QCommandLineOption plugAfter(QStringLiteral("plug-after"),
                                       QStringLiteral("Plug it in again this many seconds after "
                                                      "unplugging."),
                                       QStringLiteral("seconds"));
    const QCommandLineOption noAccess(QStringLiteral("no-access"),
                                      QStringLiteral("Serve the board through a device node "
                                                     "that only root may open, as without the "
                                                     "udev rule."));
    // Failures on request, so that a rig's script meets each of them.
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("The board takes commands and never answers."));
    const QCommandLineOption fail(QStringLiteral("fail"),
                                  QStringLiteral("The board answers every command \"FAIL\"."));
    const QCommandLineOption cut(QStringLiteral("cut"),
                                 QStringLiteral("The camera's pictures are cut to half their "
                                                "length."));
    const QCommandLineOption busy(QStringLiteral("busy"),
                                  QStringLiteral("The board is held by another program: "
                                                 "claiming its interface fails."));
    parser.addOptions(
        {layout, port, ids, serial, unplugAfter, plugAfter, noAccess, silent, fail, cut, busy});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to run."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.process(app);
    const QStringList command = parser.positionalArguments();
    const QStringList ports = parser.isSet(port) ? parser.values(port) : QStringList{"1-1"};
    const QStringList layouts = parser.values(layout);
    const QStringList idsList = parser.values(ids);
    // One board per port, all on bus 1 of one testbed.
    std::vector<std::unique_ptr<usb::VirtualBoard>> boards;
    std::vector<std::unique_ptr<EmulatedUsbDevice>> devices;
    bool good = !command.isEmpty();
    for (qsizetype i = 0; good && i < ports.size(); ++i) {
        boards.push_back(std::make_unique<usb::VirtualBoard>());
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        good = ParseLayout(layouts.value(i, layouts.constLast()), *boards.back()) &&
               ParseDeviceIds(idsList.value(i, idsList.constLast()), vendorId, productId) &&
               usb::ParsePortPath(ports[i]).has_value() && ports[i].startsWith("1-");
        boards.back()->SetIds(vendorId, productId);
        boards.back()->SetSerial(parser.values(serial).value(i));
        boards.back()->SetPictureRenderer([cut = parser.isSet(cut)](int w, int h, int frame) {
            const QByteArray picture = RenderTestPicture(w, h, frame);
            return cut ? picture.left(picture.size() / 2) : picture;
        });
        boards.back()->SetSilent(parser.isSet(silent));
        boards.back()->SetFailing(parser.isSet(fail));
        devices.push_back(std::make_unique<EmulatedUsbDevice>(
            *boards.back(), nullptr, ports[i], devices.empty() ? nullptr : devices[0].get()));
        devices.back()->SetNodeMode(parser.isSet(noAccess) ? 0 : 0666);
        devices.back()->SetClaimBusy(parser.isSet(busy));
    }
    if (!good) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    if (!EmulatedUsbDevice::PreloadActive()) {
        std::fprintf(stderr, "the umockdev preload (%s) is not active\n", Preload);
        return 1;
    }
    for (qsizetype i = 0; i < ports.size(); ++i) {
        devices[std::size_t(i)]->Plug();
        const usb::VirtualBoard& board = *boards[std::size_t(i)];
        std::fprintf(stderr, "emulated board %04x:%04x at %s, port %s%s\n", board.VendorId(),
                     board.ProductId(), qPrintable(devices[std::size_t(i)]->DeviceNode()),
                     qPrintable(ports[i]),
                     qPrintable(board.Serial().isEmpty()
                                    ? QString()
                                    : QStringLiteral(", serial %1").arg(board.Serial())));
    }
    const auto each = [&devices](void (EmulatedUsbDevice::*act)()) {
        for (const auto& device : devices)
            (device.get()->*act)();
    };

    QProcess child;
    // The child inherits the preload and UMOCKDEV_DIR, which names the testbed.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("UMOCKDEV_DIR"), devices[0]->RootDir());
    if (platform.isNull())
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    else
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLocal8Bit(platform));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setStandardInputFile(QProcess::nullDevice());
    QObject::connect(&child, &QProcess::finished, &app,
                     [&app](int code, QProcess::ExitStatus status) {
                         app.exit(status == QProcess::NormalExit ? code : 1);
                     });
    QObject::connect(&child, &QProcess::errorOccurred, &app, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(command.constFirst()));
            app.exit(127);
        }
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        const ssize_t n = read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        for (const QByteArray& word : QByteArray(line, n).split('\n')) {
            if (word.trimmed() == "unplug")
                each(&EmulatedUsbDevice::Unplug);
            else if (word.trimmed() == "plug")
                each(&EmulatedUsbDevice::Plug);
            else if (word.trimmed() == "quit")
                child.terminate();
        }
    });
    if (parser.isSet(unplugAfter)) {
        const int unplugMs = int(parser.value(unplugAfter).toDouble() * 1000);
        QTimer::singleShot(unplugMs, &app, [&] { each(&EmulatedUsbDevice::Unplug); });
        if (parser.isSet(plugAfter)) {
            const int plugMs = unplugMs + int(parser.value(plugAfter).toDouble() * 1000);
            QTimer::singleShot(plugMs, &app, [&] { each(&EmulatedUsbDevice::Plug); });
        }
    }

    child.start(command.constFirst(), command.mid(1));
    const int code = app.exec();
    if (child.state() != QProcess::NotRunning) {
        child.terminate();
        if (!child.waitForFinished(3000))
            child.kill();
    }
    return code;
}
