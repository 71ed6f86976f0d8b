// The console's entry test, the chip table, the camera setting commands, the
// length reply of a picture download (which replies give a length, which end
// the download with which message), and the virtual camera's picture.
#include "board/ChipTable.h"
#include "board/EntryTest.h"
#include "camera/LengthReply.h"
#include "camera/TestPicture.h"
#include "link/BoardProtocol.h"
#include "link/usb/VirtualBoard.h"

#include <QImage>
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
    void lengthReply_data();
    void lengthReply();
    void testPicture();
};

void ConsoleLogicTest::chipIdentifiers_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("revision");
    QTest::newRow("first row") << "270B0A40"
                               << "AT91SAM7S512"
                               << "Rev A/B";
    QTest::newRow("last row") << "27050240"
                              << "AT91SAM7S16"
                              << "Rev A";
    QTest::newRow("270A0740 is in no row") << "270A0740"
                                           << "UNKNOWN"
                                           << "Rev X";
    QTest::newRow("lower case") << "270b0a40"
                                << "UNKNOWN"
                                << "Rev X";
    QTest::newRow("trailing blank") << "270B0A40 "
                                    << "UNKNOWN"
                                    << "Rev X";
    QTest::newRow("prefix only") << "270B0A4"
                                 << "UNKNOWN"
                                 << "Rev X";
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
    const std::pair<int, int> cases[] = {{13, 13}, {8, 8},  {'0', '0'}, {'9', '9'},    {'/', 0},
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
}

void ConsoleLogicTest::lengthReply_data()
{
    QTest::addColumn<QString>("R");
    QTest::addColumn<int>("L");           // the length, when it is one
    QTest::addColumn<QString>("message"); // else the message that ends the download
    const auto length = [](const char* name, const QString& R, int L) {
        QTest::newRow(name) << R << L << QString();
    };
    const auto refused = [](const char* name, const QString& R, const QString& message) {
        QTest::newRow(name) << R << 0 << message;
    };
    length("four digits", QStringLiteral("1000"), 4096);
    length("shorter than four", QStringLiteral("2F"), 47);
    length("only four digits read", QStringLiteral("ABCD1234"), 43981);
    length("mixed case", QStringLiteral("aBcD"), 43981);
    length("leading zero is a length", QStringLiteral("0FA0"), 4000);
    length("largest", QStringLiteral("FFFF"), 65535);

    const QString noLength = QStringLiteral("The board sent no picture length: ");
    refused("no sync", QStringLiteral("0000"), QStringLiteral("No Sync"));
    refused("no sync, longer", QStringLiteral("00001"), QStringLiteral("No Sync"));
    refused("zero in two digits", QStringLiteral("00"), QStringLiteral("No Data"));
    refused("fail1 and more", QStringLiteral("fail1 camera"), QStringLiteral("fail1"));
    refused("no usb", QStringLiteral("No USB"), QStringLiteral("No USB"));
    refused("timed out: FAIL and zero characters", QString::fromLatin1("FAIL\0\0\0", 7),
            QStringLiteral("FAIL"));
    refused("empty", QString(), noLength + QStringLiteral("\"\""));
    refused("words", QStringLiteral("READY"), noLength + QStringLiteral("\"READY\""));
    refused("Fail1 is not fail1", QStringLiteral("Fail1"), noLength + QStringLiteral("\"Fail1\""));
    refused("zero then not hex", QStringLiteral("0X12"), noLength + QStringLiteral("\"0X12\""));
    refused("blank among digits", QStringLiteral("12 4"), noLength + QStringLiteral("\"12 4\""));
    refused("sign", QStringLiteral("+1F"), noLength + QStringLiteral("\"+1F\""));
    refused("full-width digit", QStringLiteral("1\uFF10"),
            noLength + QStringLiteral("\"1\uFF10\""));
    refused("control characters quoted readably",
            QString::fromLatin1("\0\x01"
                                "A",
                                3),
            noLength + QStringLiteral("\"\\x00\\x01A\""));
    refused("long reply cut", QString(100, u'Z'),
            noLength + u'"' + QString(40, u'Z') + QStringLiteral("...\""));
}

void ConsoleLogicTest::lengthReply()
{
    QFETCH(QString, R);
    QFETCH(int, L);
    QFETCH(QString, message);
    const LengthCheck check = CheckLengthReply(R);
    QCOMPARE(check.Message, message);
    QCOMPARE(check.Ok(), message.isEmpty());
    if (check.Ok())
        QCOMPARE(check.L, L);
}

// The virtual camera's picture: a JPEG at each of the eleven sizes, short
// enough for the four hex digits of a length reply, new at every frame.
void ConsoleLogicTest::testPicture()
{
    for (int index = 0; index < 11; ++index) {
        const usb::PictureSize size = usb::PictureSizeForIndex(index);
        const QByteArray jpeg = RenderTestPicture(size.width, size.height, 1);
        QVERIFY(jpeg.size() <= 0xFFFF);
        QCOMPARE(QImage::fromData(jpeg, "JPEG").size(), QSize(size.width, size.height));
    }
    QVERIFY(QImage::fromData(RenderTestPicture(320, 240, 1), "JPEG") !=
            QImage::fromData(RenderTestPicture(320, 240, 2), "JPEG"));
}

QTEST_MAIN(ConsoleLogicTest)
#include "test_console_logic.moc"
