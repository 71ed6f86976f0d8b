// q815ctl's sub-commands in-process on a virtual board that answers, fails, falls
// silent or cuts its picture short; the program itself; the picture check. With
// Q815_TEST_LIBUSB: through real libusb on two emulated boards with the same ids.
#ifdef Q815_TEST_LIBUSB
#include "EmulatedUsbDevice.h" // before any Qt header: umockdev.h uses "signals"
#include "link/usb/LibusbBackend.h"
#endif
#include "camera/JpegFrame.h"
#include "camera/TestPicture.h"
#include "cli/CtlRun.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBus.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run { int exit; QString out, err; };

Run Ctl(usb::UsbBackend& backend, const QStringList& args)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    CtlIo io(out, err, false);
    CtlInvocation invocation = ParseCtl(QStringList{"q815ctl"} + args, {}, io);
    const int exit = RunCtl(invocation, io, backend);
    return {exit, QString::fromLatin1(out.data()), QString::fromUtf8(err.data())};
}

// A column of the current row, inside an expression (QFETCH declares).
template <typename T>
T Data(const char* column)
{
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

void Matches(const QString& text, const QString& pattern)
{
    const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(re.match(text).hasMatch(), qPrintable(QStringLiteral("'%1' !~ /%2/").arg(text, pattern)));
}

} // namespace

class CtlTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
#ifndef Q815_TEST_LIBUSB
    void commands_data();
    void commands();
#else
    void twoBoards();
#endif
};

#ifndef Q815_TEST_LIBUSB
void CtlTest::commands_data()
{
    // fault: what is wrong with the board; "process" runs the program itself
    // on the virtual board of --simulate. sent: the commands the board got.
    // %d in an argument is a fresh folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("sent");
    const QString usage = "Try 'q815ctl";
    QTest::newRow("info") << QStringList{"info"} << "" << 0
        << "^chip +270B0941 +AT91SAM7S256 +Rev B\nfirmware +V1.27.*\ncommand 23  E24DD0080000C323\n$"
        << "^$" << "^C:20,C:21,C:0601,C:0604,.*,C:0623$";
    QTest::newRow("--json list") << QStringList{"--json", "list"} << "" << 0
        << "\"endpoints\": \\[\n *2,\n *130,.*\"layout\": \"full\",.*\"port\": \"1-1\",.*\"vendorId\": 1003"
        << "^$" << "^$";
    QTest::newRow("send, one fails") << QStringList{"send", "C:20", "C:99"} << "" << 1
        << "^270B0941\nFAILunknown command\n$" << "C:99: the board answered FAIL" << "^C:20,C:99$";
    QTest::newRow("baud") << QStringList{"baud", "921600"} << "" << 0 << "^BAUD 921600\n$" << "^$"
                          << "^C:10 7$";
    QTest::newRow("reset") << QStringList{"reset"} << "" << 0 << "^SPI RESET\n$" << "^$" << "^C:05$";
    QTest::newRow("picture --size") << QStringList{"-o", "%d/p.jpg", "picture", "--size", "640x480"}
        << "" << 0 << "/p.jpg  \\d+ bytes\n$" << "^$" << "^C:037,C:04,C:02#,C:02,";
    QTest::newRow("picture series") << QStringList{"picture", "--uart", "--count", "3", "-o", "%d/u%n.jpg"}
        << "" << 0 << "u1.jpg.*u2.jpg.*u3.jpg  \\d+ bytes\n$" << "^$" << "^C:15#,C:15,C:15#,C:15,C:15#";
    for (const QStringList& bad : {QStringList{"send", "X"}, {"baud", "9600"}, {"bogus"}, {"info", "more"},
                                   {"picture", "--size", "1x1"}, {"picture", "--spi", "--uart"},
                                   {"picture", "--count", "2", "-o", "%d/same.jpg"}, {"picture", "--json", "-o", "-"},
                                   {"console", "--for", "soon"}, {"list", "--port", "1-1", "--simulate"}, {"--json", "reset"}})
        QTest::newRow(qPrintable(bad.join(' '))) << bad << "" << 2 << "^$" << usage << "^$";
    QTest::newRow("silent board") << QStringList{"send", "C:20"} << "silent" << 4 << "^$"
        << "C:20: the board did not answer within 3 s" << "^C:20$";
    QTest::newRow("silent camera") << QStringList{"picture", "--uart", "-o", "%d/s.jpg"} << "silent" << 4
        << "^$" << "did not answer within 3 s" << "^C:15#$";
    QTest::newRow("length FAIL") << QStringList{"picture", "-o", "%d/f.jpg"} << "fail" << 1 << "^$"
        << "picture 1/1: FAIL\n$" << "^C:04,C:02#$";
    QTest::newRow("cut picture") << QStringList{"picture", "-o", "%d/c.jpg"} << "cut" << 1 << "^$"
        << "bad: no end marker FF D9.*; not written\n$" << "C:02$";
    QTest::newRow("cut picture kept") << QStringList{"picture", "--keep-bad", "-o", "%d/c.jpg"} << "cut" << 1
        << "c.jpg  \\d+ bytes" << "bad: no end marker FF D9" << "C:02$";
    QTest::newRow("no board") << QStringList{"info"} << "unplugged" << 3 << "^$"
        << "no board with the ids 03eb:a815 is plugged in" << "^$";
    QTest::newRow("download layout") << QStringList{"send", "C:20"} << "download" << 3 << "^$"
        << "only its download pipe" << "^$";
    QTest::newRow("pipe refuses") << QStringList{"reset"} << "refuses" << 3 << "^$" << "C:05: .*No USB" << "^$";
    QTest::newRow("program: picture to stdout") << QStringList{"--simulate", "picture", "-o", "-"}
        << "process" << 0 << "^ÿØ.*ÿÙ$" << "^$" << "";
    QTest::newRow("program: console") << QStringList{"console", "--simulate", "--send", "C:21", "--for",
        "0.1", "--timestamps"} << "process" << 0
        << "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\S* OK :V1.27 Q815 firmware\n$" << "^$" << "";
    QTest::newRow("program: no command") << QStringList{} << "process" << 2 << "^$" << usage << "";
}

void CtlTest::commands()
{
    QFETCH(QStringList, args);
    QFETCH(QString, fault);
    QTemporaryDir folder;
    args.replaceInStrings("%d", folder.path());
    Run run;
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    if (fault == "process") {
        QProcess ctl; // where XDG_RUNTIME_DIR is not set, as under cron
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        ctl.setProcessEnvironment(environment);
        ctl.start(Q815CTL, args);
        QVERIFY(ctl.waitForFinished());
        run = {ctl.exitCode(), QString::fromLatin1(ctl.readAllStandardOutput()),
               QString::fromUtf8(ctl.readAllStandardError())};
    } else {
        board.SetPictureRenderer([&fault](int w, int h, int n) {
            return fault == "cut" ? RenderTestPicture(w, h, n).chopped(2) : RenderTestPicture(w, h, n);
        });
        board.SetSilent(fault == "silent");
        if (fault == "fail")
            board.ScriptReply("C:02#", {"FAIL"});
        if (fault == "download")
            board.SetLayout(usb::EndpointLayout::Download);
        if (fault != "unplugged")
            bus.Plug(&board);
        if (fault == "refuses")
            bus.InjectFault("USBPipeOUT", "ClearPipe", usb::StatusDeviceGone, 0, -1);
        usb::SimBackend backend(bus);
        run = Ctl(backend, args);
    }
    QCOMPARE(run.exit, Data<int>("exit"));
    Matches(run.out, Data<QString>("out"));
    Matches(run.err, Data<QString>("err"));
    QStringList sent;
    for (const QByteArray& block : board.CommandBlocks())
        sent << QString::fromLatin1(block).trimmed(); // "C:02 " is "C:02" then
    Matches(sent.join(','), Data<QString>("sent"));
    // Each file named on standard output holds what was said, whole unless kept bad.
    static const QRegularExpression written("^(\\S+)  (\\d+) bytes$", QRegularExpression::MultilineOption);
    for (const auto& match : written.globalMatch(run.out)) {
        QFile file(match.captured(1));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), match.captured(2).toLongLong());
        QCOMPARE(IsWholeJpeg(bytes), fault != "cut");
    }
}

#else

// Two boards with the same ids, the second behind a hub and busy at first:
// list shows both, --port reaches the second one only, and a picture comes
// through libusb whole.
void CtlTest::twoBoards()
{
    usb::VirtualBoard first;
    usb::VirtualBoard second;
    second.SetLayout(usb::EndpointLayout::CommandOnly, false);
    second.SetChipId("27050241");
    EmulatedUsbDevice one(first);
    EmulatedUsbDevice two(second, nullptr, "1-4.2", &one);
    QVERIFY2(EmulatedUsbDevice::PreloadActive(), "run with LD_PRELOAD=libumockdev-preload.so.0");
    one.Plug();
    two.Plug();
    two.SetClaimBusy(true);
    {
        usb::LibusbBackend any(0x03EB, 0xA815);
        const Run list = Ctl(any, {"list"});
        QCOMPARE(list.exit, 0);
        Matches(list.out, "^03eb:a815  bus 001 address 002  port 1-1 +full +can be opened\n"
                          "03eb:a815  bus 001 address 004  port 1-4.2 +command-129 +cannot be opened: "
                          "the board is busy");
        const Run picture = Ctl(any, {"picture", "-o", "-"});
        QCOMPARE(picture.exit, 0);
        QVERIFY(IsWholeJpeg(picture.out.toLatin1()));
    }
    two.SetClaimBusy(false);
    usb::LibusbBackend atPort(0x03EB, 0xA815, *usb::ParsePortPath("1-4.2"));
    const Run info = Ctl(atPort, {"info", "--port", "1-4.2"});
    QCOMPARE(info.exit, 0);
    Matches(info.out, "^chip +27050241 +AT9SAM7S161 +Rev A\n");
    QCOMPARE(second.CommandBlocks().size(), 14); // info's, and nothing of the picture's
}

#endif

QTEST_MAIN(CtlTest)
#include "test_ctl.moc"
