// The program's options.
#include "app/CommandLine.h"

#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void options_data();
    void options();
};

void CommandLineTest::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("env");
    QTest::addColumn<bool>("error");
    QTest::addColumn<bool>("simulate");
    // ... and the port path and the serial number after blanks, when given
    QTest::addColumn<QString>("ids");
    QTest::newRow("none: default ids")
        << QStringList{} << QString() << false << false << "3eb:a815";
    QTest::newRow("simulate") << QStringList{"--simulate"} << QString() << false << true
                              << "3eb:a815";
    QTest::newRow("device=") << QStringList{"--device=1d6B:0104"} << QString() << false << false
                             << "1d6b:104";
    QTest::newRow("environment") << QStringList{} << "0483:5740" << false << false << "483:5740";
    QTest::newRow("option beats environment")
        << QStringList{"--device", "1:2"} << "0483:5740" << false << false << "1:2";
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << QString() << true << false << "";
    QTest::newRow("stray argument") << QStringList{"board"} << QString() << true << false << "";
    QTest::newRow("ids without colon")
        << QStringList{"--device", "03eb"} << QString() << true << false << "";
    QTest::newRow("ids too long") << QStringList{"--device", "12345:1"} << QString() << true
                                  << false << "";
    QTest::newRow("bad environment") << QStringList{} << "zz:1" << true << false << "";
    QTest::newRow("port") << QStringList{"--port", "3-4.2.1"} << QString() << false << false
                          << "3eb:a815 3-4.2.1";
    QTest::newRow("port on the root hub")
        << QStringList{"--port=1-7"} << QString() << false << false << "3eb:a815 1-7";
    QTest::newRow("port behind seven hubs, the most USB allows")
        << QStringList{"--port", "1-1.2.3.4.5.6.7"} << QString() << false << false
        << "3eb:a815 1-1.2.3.4.5.6.7";
    for (const char* bad : {"1", "1-", "1-4..2", "0-1", "1-256", "1-+4", "1-1.2.3.4.5.6.7.8"})
        QTest::newRow(bad) << QStringList{"--port", bad} << QString() << true << false << "";
    QTest::newRow("serial") << QStringList{"--serial", "Q815-0002"} << QString() << false << false
                            << "3eb:a815 Q815-0002";
    QTest::newRow("empty serial") << QStringList{"--serial="} << QString() << true << false << "";
    QTest::newRow("port with simulate")
        << QStringList{"--simulate", "--port", "1-1"} << QString() << true << false << "";
}

void CommandLineTest::options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, env);
    QFETCH(bool, error);
    QFETCH(bool, simulate);
    QFETCH(QString, ids);
    const CommandLineOptions options = ParseCommandLine(QStringList{"q815evm"} + args, env);
    QCOMPARE(!options.error.isEmpty(), error);
    if (error)
        return;
    const BoardSelection& board = options.board;
    QCOMPARE(board.simulate, simulate);
    QCOMPARE(QStringLiteral("%1:%2").arg(board.vendorId, 0, 16).arg(board.productId, 0, 16) +
                 (board.port.Empty() ? QString() : QLatin1Char(' ') + board.port.Text()) +
                 (board.serial.isEmpty() ? QString() : QLatin1Char(' ') + board.serial),
             ids);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
