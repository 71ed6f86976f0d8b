// q815ctl's sub-commands in-process on a virtual board that answers, fails, falls
// silent or cuts its picture short; the program itself; the picture check. With
// Q815_TEST_LIBUSB: through real libusb on two emulated boards with the same ids.
#ifdef Q815_TEST_LIBUSB
#include "EmulatedUsbDevice.h" // before any Qt header: umockdev.h uses "signals"
#include "link/BoardLink.h"
#include "link/usb/LibusbBackend.h"
#endif
#include "camera/JpegFrame.h"
#include "camera/TestPicture.h"
#include "cli/CtlRun.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBus.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

struct Run {
    int exit;
    QString out, err;
};

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
template <typename T> T Data(const char* column)
{
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

void Matches(const QString& text, const QString& pattern)
{
    const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(re.match(text).hasMatch(),
             qPrintable(QStringLiteral("'%1' !~ /%2/").arg(text, pattern)));
}

} // namespace

class CtlTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
#ifndef Q815_TEST_LIBUSB
    void commands_data();
    void commands();
    void interrupted();
#else
    void twoBoards();
#endif
};

#ifndef Q815_TEST_LIBUSB
// The rows are laid out by hand, one case a row.
// clang-format off
void CtlTest::commands_data()
{
    // fault: what is wrong with the board; "process" runs the program itself
    // on the virtual board of --simulate ("process:WORDS" with
    // Q815_SIMULATED_BOARD=WORDS, "process>/dev/full" with standard output
    // there, "process:ulimit" with files limited to 8 KiB). sent: the
    // commands the board got. %d in an argument is a fresh folder.
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
    QTest::newRow("reset --verbose") << QStringList{"reset", "--verbose"} << "" << 0 << "^SPI RESET\n$"
        << "^q815ctl: \\S+Z \\d+ ms  C:05  ->  SPI RESET\n$" << "^C:05$";
    QTest::newRow("-V") << QStringList{"-V"} << "" << 0 << "^q815ctl \\d+\\.\\d+" << "^$" << "^$";
    for (const QStringList& help : {QStringList{"--help"}, {"picture", "--help"}})
        QTest::newRow(qPrintable(help.join(' '))) << help << "" << 0 << "^Usage: q815ctl .*--quiet" << "^$" << "^$";
    QTest::newRow("info --json") << QStringList{"info", "--json"} << "" << 0
        << "\"part\": \"AT91SAM7S256\",\\s+\"revision\": \"Rev B\"" << "^$" << "C:0623$";
    QTest::newRow("send --json, 128 characters") << QStringList{"send", "--json", "C:20", "C:99" + QString(124, 'X')}
        << "" << 1 << "\"ok\": true,\\s+\"reply\": \"270B0941\".*\"ok\": false,\\s+\"reply\": \"FAILunknown"
        << "answered FAIL" << "^C:20,C:99X{124}$";
    QTest::newRow("picture --size") << QStringList{"-o", "%d/p%1.jpg", "picture", "--size", "640x480"}
        << "" << 0 << "/p%1.jpg  \\d+ bytes\n$" << "^$" << "^C:037,C:04,C:02#,C:02,";
    QTest::newRow("picture --json") << QStringList{"picture", "--json", "-o", "%d/j-%t.jpg"} << "" << 0
        << "/j-\\d{8}-\\d{6}\\.\\d{3}\\.jpg\",\\s+\"height\": 240,\\s+\"route\": \"spi\",.*\"width\": 320,"
        << "^$" << "^C:04";
    QTest::newRow("picture series") << QStringList{"picture", "--uart", "--count", "10", "-o", "%d/u%n.jpg"}
        << "" << 0 << "u01.jpg.*u02.jpg.*u10.jpg  \\d+ bytes\n$" << "^$" << "^C:15#,C:15,C:15#,C:15,C:15#";
    for (const QStringList& bad : {QStringList{"send", "X"}, {"baud", "9600"}, {"baud", "7200", "9600"}, {"bogus"}, {"info", "more"},
                                   {"picture", "--size", "1x1"}, {"picture", "--spi", "--uart"},
                                   {"picture", "--count", "2", "-o", "%d/same.jpg"}, {"picture", "--json", "-o", "-"},
                                   {"console", "--for", "soon"}, {"list", "--port", "1-1", "--simulate"}, {"--json", "reset"}})
        QTest::newRow(qPrintable(bad.join(' '))) << bad << "" << 2
            << (bad.contains("--json") ? "\"kind\": \"usage\"" : "^$") << usage << "^$";
    for (const QStringList& number : {QStringList{"picture", "--interval", "inf"}, {"picture", "--count", "0"},
                                      {"console", "--for", "nan"}, {"console", "--for", "3000000"},
                                      {"--timeout", "0", "send", "C:20"}})
        QTest::newRow(qPrintable(number.join(' '))) << number << "" << 2 << "^$"
            << "^q815ctl: " + number.filter("--").constFirst() + " takes a number from" << "^$";
    QTest::newRow("silent board") << QStringList{"send", "--json", "C:20"} << "silent" << 4
        << "\"kind\": \"no-answer\"" << "C:20: the board did not answer within 3 s" << "^C:20$";
    QTest::newRow("console --send FAIL") << QStringList{"console", "--send", "C:99", "--for", "0.3"} << "" << 1
        << "^ERR:unknown command\n$" << "C:99: the board answered FAIL" << "^C:99$";
    QTest::newRow("silent board, info") << QStringList{"--timeout", "200", "info"} << "silent" << 4 << "^$"
        << "C:20: the board did not answer within 0.2 s" << "^C:20$";
    QTest::newRow("silent camera, series") << QStringList{"picture", "--uart", "--count", "2", "-o", "%d/s%n.jpg"} << "silent" << 4
        << "^$" << "did not answer within 3 s" << "^C:15#$";
    QTest::newRow("length FAIL") << QStringList{"picture", "-o", "%d/f.jpg"} << "fail" << 1 << "^$"
        << "picture 1/1: FAIL\n$" << "^C:04,C:02#$";
    QTest::newRow("cut picture") << QStringList{"picture", "-o", "%d/c.jpg"} << "cut" << 1 << "^$"
        << "bad: no end marker FF D9.*; not written\n$" << "C:02$";
    QTest::newRow("cut picture kept") << QStringList{"picture", "--keep-bad", "-o", "%d/c.jpg"} << "cut" << 1
        << "c.jpg  \\d+ bytes" << "bad: no end marker FF D9" << "C:02$";
    QTest::newRow("no board") << QStringList{"info"} << "unplugged" << 3 << "^$"
        << "no board with the ids 03eb:a815 is plugged in" << "^$";
    QTest::newRow("no board listed") << QStringList{"list"} << "unplugged" << 3 << "^$"
        << "no board with the ids 03eb:a815 is plugged in" << "^$";
    QTest::newRow("download layout") << QStringList{"send", "C:20"} << "download" << 3 << "^$"
        << "only its download pipe" << "^$";
    QTest::newRow("download layout listed") << QStringList{"list"} << "download" << 0
        << " download +takes no commands\n$" << "^$" << "^$";
    QTest::newRow("two boards") << QStringList{"info"} << "two" << 3 << "^$"
        << "2 boards with the ids 03eb:a815 are plugged in; choose one:\n  --port 1-1 .*\n  --port 1-2 " << "^$";
    QTest::newRow("no clobber") << QStringList{"picture", "--no-clobber", "-o", "%d"} << "" << 1 << "^$"
        << "exists; --no-clobber keeps it\n$" << "C:02$";
    QTest::newRow("pipe refuses") << QStringList{"reset"} << "refuses" << 3 << "^$" << "C:05: .*No USB" << "^$";
    QTest::newRow("program: picture to stdout") << QStringList{"--simulate", "picture", "-o", "-"}
        << "process" << 0 << "^ÿØ.*ÿÙ$" << "^$" << "";
    QTest::newRow("program: console") << QStringList{"console", "--simulate", "--send", "C:21", "--for",
        "0.1", "--timestamps"} << "process" << 0
        << "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\S* OK :V1.27 Q815 firmware\n$" << "^$" << "";
    QTest::newRow("program: console --json") << QStringList{"--simulate", "--json", "console", "--send",
        "C:21", "--for", "0"} << "process" << 0 << "^\\{\"text\":\"OK :V1.27 Q815 firmware\",\"time\":\"\\d{4}-[^\"]+\"\\}\n$"
        << "^$" << "";
    QTest::newRow("program: another serial") << QStringList{"--simulate", "--serial", "X", "info"} << "process" << 3
        << "^$" << "^q815ctl: no board with the ids 03eb:a815 and the serial number X is plugged in" << "";
    QTest::newRow("program: no command") << QStringList{} << "process" << 2 << "^$" << usage << "";
    // Each failure a rig can rehearse, and writes that fail.
    const QStringList send{"--simulate", "--timeout", "200", "send", "C:20"};
    QTest::newRow("rehearsed: silent") << send << "process:silent" << 4 << "^$" << "within 0.2 s" << "";
    QTest::newRow("rehearsed: FAIL") << send << "process:fail" << 1 << "^FAIL\n$" << "answered FAIL" << "";
    QTest::newRow("rehearsed: busy") << send << "process:busy" << 3 << "^$" << "cannot be opened: the board is busy" << "";
    QTest::newRow("rehearsed: no access") << send << "process:no-access" << 3 << "^$" << "access denied" << "";
    QTest::newRow("rehearsed: cut") << QStringList{"--simulate", "picture", "-o", "%d/c.jpg"} << "process:cut" << 1
        << "^$" << "cut short; not written" << "";
    QTest::newRow("stdout full") << QStringList{"--simulate", "info"} << "process>/dev/full" << 1 << "^$"
        << "^q815ctl: cannot write standard output: No space left on device\n$" << "";
    QTest::newRow("file full") << QStringList{"--simulate", "picture", "-o", "/dev/full"} << "process" << 1 << "^$"
        << "^q815ctl: cannot write /dev/full: No space left on device\n$" << "";
    QTest::newRow("file too large") << QStringList{"--simulate", "picture", "--size", "640x480", "-o", "%d/p.jpg"}
        << "process:ulimit" << 1 << "^$" << "^q815ctl: cannot write \\S+/p.jpg: File too large\n$" << "";
}
// clang-format on

void CtlTest::commands()
{
    QFETCH(QStringList, args);
    QFETCH(QString, fault);
    QTemporaryDir folder;
    args.replaceInStrings("%d", folder.path());
    Run run;
    QElapsedTimer clock;
    clock.start();
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    if (fault.startsWith("process")) {
        QProcess ctl; // where XDG_RUNTIME_DIR is not set, as under cron
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("Q815_SIMULATED_BOARD", fault.section(':', 1));
        ctl.setProcessEnvironment(environment);
        if (fault.endsWith("/dev/full"))
            ctl.setStandardOutputFile("/dev/full");
        if (fault.endsWith("ulimit")) {
            environment.remove("Q815_SIMULATED_BOARD");
            ctl.setProcessEnvironment(environment);
            ctl.start("sh",
                      QStringList{"-c", "trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\"", Q815CTL} +
                          args);
        } else {
            ctl.start(Q815CTL, args);
        }
        QVERIFY(ctl.waitForFinished());
        run = {ctl.exitCode(), QString::fromLatin1(ctl.readAllStandardOutput()),
               QString::fromUtf8(ctl.readAllStandardError())};
    } else {
        board.SetPictureRenderer([&fault](int w, int h, int n) {
            return fault == "cut" ? RenderTestPicture(w, h, n).chopped(2)
                                  : RenderTestPicture(w, h, n);
        });
        board.SetSilent(fault == "silent");
        usb::VirtualBoard second;
        if (fault == "two")
            bus.Plug(&second);
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
    if (const qsizetype at = args.indexOf("--for"); at > 0 && run.exit != 2) // seconds, not ms
        QVERIFY(clock.elapsed() >= args[at + 1].toDouble() * 1000);
    Matches(run.out, Data<QString>("out"));
    Matches(run.err, Data<QString>("err"));
    QStringList sent;
    for (const QByteArray& block : board.CommandBlocks())
        sent << QString::fromLatin1(block).trimmed(); // "C:02 " is "C:02" then
    Matches(sent.join(','), Data<QString>("sent"));
    // --json: one object, with "error" when the run failed.
    if (args.contains("--json") && run.exit != 2) {
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8());
        QVERIFY(document.isObject());
        QCOMPARE(document["error"].isObject(), run.exit != 0);
    }
    // Nothing is left in the folder that standard output does not name.
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(run.out.contains(name), qPrintable(name));
    // Each file named on standard output holds what was said, whole unless kept bad.
    static const QRegularExpression written("^(\\S+)  (\\d+) bytes$",
                                            QRegularExpression::MultilineOption);
    for (const auto& match : written.globalMatch(run.out)) {
        QFile file(match.captured(1));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), match.captured(2).toLongLong());
        QCOMPARE(IsWholeJpeg(bytes), fault != "cut");
    }
}

// Ctrl-C during a series of downloads, SIGTERM during the wait between two
// pictures: the run ends with 128 + the signal and its JSON says so and lists
// exactly the files there, each whole.
void CtlTest::interrupted()
{
    for (int signal : {SIGINT, SIGTERM}) {
        QTemporaryDir folder;
        QStringList args{"--simulate",
                         "picture",
                         "--json",
                         "--count",
                         "100000",
                         "-o",
                         folder.filePath("p-%n.jpg")};
        if (signal == SIGTERM)
            args << "--interval"
                 << "0.1";
        QProcess ctl;
        ctl.start(Q815CTL, args);
        QTest::qWait(600);
        ::kill(pid_t(ctl.processId()), signal);
        QVERIFY(ctl.waitForFinished());
        QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ctl.exitCode(), 128 + signal);
        const QJsonObject document = QJsonDocument::fromJson(ctl.readAllStandardOutput()).object();
        QVERIFY(document["interrupted"].toBool());
        QCOMPARE(document["error"]["kind"], "interrupted");
        const QJsonArray pictures = document["pictures"].toArray();
        QVERIFY(!pictures.isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), pictures.size());
        for (const QJsonValue& picture : pictures) {
            QFile file(picture["file"].toString());
            QVERIFY(file.open(QIODevice::ReadOnly) && IsWholeJpeg(file.readAll()));
        }
    }
}

#else

// Two boards with the same ids, the second behind a hub, with a serial number
// and busy at first, and a candidate with other ids: list shows both boards,
// --all the candidate too, unopened; a picture without --port or --serial is
// refused with the option that picks each, and --serial (through the program
// itself) reaches the second one only; the window names the board it takes.
void CtlTest::twoBoards()
{
    usb::VirtualBoard first, second, candidate;
    second.SetLayout(usb::EndpointLayout::CommandOnly, false);
    second.SetChipId("27050241");
    second.SetSerial("Q815-0002");
    candidate.SetIds(0x1234, 0x5678);
    EmulatedUsbDevice one(first);
    EmulatedUsbDevice two(second, nullptr, "1-4.2", &one);
    EmulatedUsbDevice three(candidate, nullptr, "1-3", &one);
    QVERIFY2(EmulatedUsbDevice::PreloadActive(), "run with LD_PRELOAD=libumockdev-preload.so.0");
    for (EmulatedUsbDevice* device : {&one, &two, &three})
        device->Plug();
    two.SetClaimBusy(true);
    {
        usb::LibusbBackend any(0x03EB, 0xA815);
        const Run list = Ctl(any, {"list"});
        QCOMPARE(list.exit, 0);
        Matches(list.out, "^03eb:a815  bus 001 address 002  port 1-1 +- +full +can be opened\n"
                          "03eb:a815  bus 001 address 004  port 1-4.2 +Q815-0002 +command-129 "
                          "+cannot be opened: the board is busy[^\n]*\n$");
        Matches(Ctl(any, {"list", "--all"}).out,
                "^" + QRegularExpression::escape(list.out) +
                    "1234:5678  bus 001 address 005  port 1-3 +- +full +may be the board "
                    "\\(other ids\\): --device 1234:5678\n$");
        const Run picture = Ctl(any, {"picture", "-o", "-"});
        QCOMPARE(picture.exit, 3); // two boards and none chosen
        Matches(picture.err, "choose one:\n  --port 1-1  \\(full\\)\n"
                             "  --serial Q815-0002  \\(port 1-4.2, command-129\\)\n$");
    }
    QCOMPARE(three.Requests(), 0); // the candidate was never opened
    two.SetClaimBusy(false);
    QProcess ctl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("UMOCKDEV_DIR", one.RootDir());
    ctl.setProcessEnvironment(environment);
    ctl.start(Q815CTL, {"info", "--serial", "Q815-0002"});
    QTRY_VERIFY_WITH_TIMEOUT(ctl.state() == QProcess::NotRunning, 20000);
    QCOMPARE(ctl.exitCode(), 0);
    Matches(QString::fromLatin1(ctl.readAllStandardOutput()),
            "^chip +27050241 +AT9SAM7S161 +Rev A\n");
    QCOMPARE(second.CommandBlocks().size(), 14); // info's, and nothing else
    QVERIFY(first.CommandBlocks().isEmpty());
    // The window names the board it took, or the devices that may be the board.
    const QStringList device{"--device", "1111:2222"};
    for (const auto& [args, line] :
         {std::pair{QStringList{}, "linked to the board 03eb:a815 at port 1-1 (bus 001, address "
                                   "002), no serial number\n"},
          std::pair{device,
                    "1111:2222 is plugged in; found a device that may be the board: "
                    "1234:5678 at port 1-3 (full layout): start with --device 1234:5678\n"}}) {
        QProcess window;
        window.setProcessEnvironment(environment);
        window.start(Q815EVM, args);
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += window.readAllStandardError()).contains(line), 20000);
        window.kill();
        window.waitForFinished();
    }
    // A second program opening the board that a first one holds is told it is
    // busy, once. (The board at 1-4.2: the emulator does not yet clean up after
    // the window killed above as the kernel would.)
    usb::LibusbBackend holder(0x03EB, 0xA815, *usb::ParsePortPath("1-4.2"));
    BoardLink held(holder);
    QCOMPARE(held.CreateObjects(), 0);
    held.StartLink();
    QVERIFY(held.USBState(0));
    usb::LibusbBackend other(0x03EB, 0xA815, *usb::ParsePortPath("1-4.2"));
    const Run busy = Ctl(other, {"info", "--port", "1-4.2"});
    QCOMPARE(busy.exit, 3);
    Matches(busy.err, "^q815ctl: the board is busy[^\n]*\n$");
    QCOMPARE(held.DownLoadCommand("C:20"), QStringLiteral("27050241")); // the first goes on
}

#endif

QTEST_MAIN(CtlTest)
#include "test_ctl.moc"
