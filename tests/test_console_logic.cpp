// The console's entry test, the chip table and the camera setting commands.
#include "board/ChipTable.h"
#include "board/EntryTest.h"
#include "camera/CameraCommands.h"

#include <QTest>

class ConsoleLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chipIdentifiers_data();
    void chipIdentifiers();
    void entryTest_data();
    void entryTest();
    void numKeyFilter();
    void sizeAndSpeedCommands();
};

void ConsoleLogicTest::chipIdentifiers_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("revision");
    QTest::newRow("first row") << "270B0A40" << "AT91SAM7S512" << "Rev A/B";
    QTest::newRow("last row") << "27050240" << "AT91SAM7S16" << "Rev A";
    QTest::newRow("270A0740 is in no row") << "270A0740" << "UNKNOWN" << "Rev X";
    QTest::newRow("lower case") << "270b0a40" << "UNKNOWN" << "Rev X";
    QTest::newRow("prefix only") << "270B0A4" << "UNKNOWN" << "Rev X";
}

void ConsoleLogicTest::chipIdentifiers()
{
    QFETCH(QString, identifier);
    QFETCH(QString, part);
    QFETCH(QString, revision);
    const ChipInfo info = DecodeChipIdentifier(identifier);
    QCOMPARE(info.partName, part);
    QCOMPARE(info.revision, revision);
}

void ConsoleLogicTest::entryTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("failing");
    QTest::newRow("sixteen digits pass") << "0123456789ABCDEF" << 0;
    QTest::newRow("fifteen digits") << "0123456789ABCDE" << 16;
    QTest::newRow("lower case fails at 11") << "0123456789abcdef" << 11;
    QTest::newRow("text after sixteenth untested") << "FFFFFFFFFFFFFFFF zz!" << 0;
    QTest::newRow("G just past F") << "000000000000000G" << 16;
    QTest::newRow("colon just past 9") << ":000000000000000" << 1;
}

void ConsoleLogicTest::entryTest()
{
    QFETCH(QString, text);
    QFETCH(int, failing);
    QCOMPARE(FirstFailingEntryPosition(text), failing);
}

void ConsoleLogicTest::numKeyFilter()
{
    // Enter, Backspace and the digits pass, in the argument too; their neighbours do not.
    const std::pair<int, int> cases[] = {{13, 13}, {8, 8},  {'0', '0'}, {'9', '9'},   {'/', 0},
                                         {':', 0}, {10, 0}, {-1, 0},    {256 + '0', 0}};
    for (auto [code, passed] : cases) {
        std::int16_t key = std::int16_t(code);
        QCOMPARE(NumKeyFilter(key), std::int16_t(passed));
        QCOMPARE(key, std::int16_t(passed));
    }
}

// The window's tests send sizes 0, 9 and 10 and speed 7; here the ends.
void ConsoleLogicTest::sizeAndSpeedCommands()
{
    QCOMPARE(PictureSizeCommand(8).value_or(QString()), QStringLiteral("C:039"));
    QVERIFY(!PictureSizeCommand(11).has_value());
    QVERIFY(!PictureSizeCommand(-1).has_value());
    QCOMPARE(UartSpeedCommand(0), QStringLiteral("C:10 0"));
    QCOMPARE(UartSpeedCommand(-1), QStringLiteral("C:10-1"));
}

QTEST_GUILESS_MAIN(ConsoleLogicTest)
#include "test_console_logic.moc"
