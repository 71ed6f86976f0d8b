// The hexadecimal readers: bad characters read as 0, results never negative.
#include "browser/HexRoutines.h"

#include <QTest>

class TestHexRoutines : public QObject {
    Q_OBJECT
private slots:
    void hexStrToDec_data();
    void hexStrToDec();
    void wrdStrToDec_data();
    void wrdStrToDec();
};

void TestHexRoutines::hexStrToDec_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    // The ends of each range of digits and the characters just outside them.
    QTest::newRow("9") << "9" << 9;
    QTest::newRow("a") << "a" << 10;
    QTest::newRow("A") << "A" << 10;
    QTest::newRow("f") << "f" << 15;
    QTest::newRow("F0: first character only") << "F0" << 15;
    QTest::newRow("G") << "G" << 0;
    QTest::newRow("g") << "g" << 0;
    QTest::newRow("slash, just below 0") << "/" << 0;
    QTest::newRow("colon, just above 9") << ":" << 0;
    QTest::newRow("at sign, just below A") << "@" << 0;
    QTest::newRow("backquote, just below a") << "`" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("L with stroke, low byte 0x41") << "Ł" << 0;
    QTest::newRow("Arabic-Indic seven") << "٧" << 0;
}

void TestHexRoutines::hexStrToDec() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(HexStrToDec(text), expected);
}

void TestHexRoutines::wrdStrToDec_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << "" << 0;
    QTest::newRow("1: missing digits are 0") << "1" << 4096;
    QTest::newRow("ffff is not -1") << "ffff" << 65535;
    QTest::newRow("8000, sign bit set") << "8000" << 32768;
    QTest::newRow("1G34: G counts as 0") << "1G34" << 4148;
    QTest::newRow("12345: fifth ignored") << "12345" << 4660;
    QTest::newRow("emoji counts as one character") << "🚕123" << 0x0123;
}

void TestHexRoutines::wrdStrToDec() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(WrdStrToDec(text), expected);
}

QTEST_GUILESS_MAIN(TestHexRoutines)
#include "test_hex_routines.moc"
