// The record read from stored picture names, the trigger texts, and the
// hexadecimal readers (bad characters read as 0, results never negative).
#include "browser/HexRoutines.h"
#include "browser/PictureRecord.h"
#include "browser/TriggerType.h"

#include <QTest>

namespace {

// A well-formed 87-character camera name: 83 characters of record, then ".jpg".
const QString CameraName = QStringLiteral("Q8150001_00004711_20071105_142507_T_3_X00_"
                                          "TX-0042 CITYCAB     _Shift 2 driver 17___.jpg");

} // namespace

class TestPictureRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void triggerCharacter();
    void triggerTexts();
    void hexReaders_data();
    void hexReaders();
};

void TestPictureRecord::parse_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("expected"); // serial, number, date, time, trigger, taxi, user
    const auto row = [](const char* name, const QString& fileName, const QStringList& expected) {
        QTest::newRow(name) << fileName << expected;
    };

    row("realistic camera name", CameraName,
        {"Q8150001", "00004711", "05/11/2007", "14:25:07", "Meter Button", "TX-0042 CITYCAB     ",
         "Shift 2 driver 17___"});
    row("83 characters plus .jpg, padding kept",
        QStringLiteral(" SN 0001_  42    _2007 1 5_ 9 0 7xxx0xxxxx"
                       "  taxi with spaces  _   user   text   _ _.jpg"),
        {" SN 0001", "  42    ", " 5/ 1/2007", " 9: 0: 7", "No Trigger", "  taxi with spaces  ",
         "   user   text   _ _"});
    row("80 characters: .jpg runs into the user text", CameraName.left(76) + ".jpg",
        {"Q8150001", "00004711", "05/11/2007", "14:25:07", "Meter Button", "TX-0042 CITYCAB     ",
         "Shift 2 drive.jpg"});
    row("ends inside the time, trigger missing", "Q8150001_00004711_20071105_14.jpg",
        {"Q8150001", "00004711", "05/11/2007", "14:.j:pg", "No Trigger", "", ""});
    row("20 characters", "Q8150001_00000_7.jpg",
        {"Q8150001", "00000_7.", "//pg", "::", "No Trigger", "", ""});
    row("downloaded.jpg", "downloaded.jpg",
        {"download", "d.jpg", "//", "::", "No Trigger", "", ""});
    row("empty name", "", {"", "", "//", "::", "No Trigger", "", ""});
    row("accented letters copied as they stand",
        QStringLiteral("Müller01_Nr.ö0042_2007É105_1425ß7_T_1_X00_"
                       "Zürich Taxi Nr. 42  _café crème façade.jpg"),
        {"Müller01", "Nr.ö0042", "05/É1/2007", "14:25:ß7", "Door Open", "Zürich Taxi Nr. 42  ",
         "café crème façade.jp"});
    row("emoji counts as one character",
        QStringLiteral("Cab🚕0001_00004711_20071105_142507_T_9_X00_"
                       "Taxi 42 with a cab 🚕_user 🚕 text.jpg"),
        {"Cab🚕0001", "00004711", "05/11/2007", "14:25:07", "Toplight OFF", "Taxi 42 with a cab 🚕",
         "user 🚕 text.jpg"});
}

void TestPictureRecord::parse()
{
    QFETCH(QString, fileName);
    QFETCH(QStringList, expected);
    const PictureRecord r = ParsePictureFileName(fileName);
    QCOMPARE(QStringList({r.SerialNumber, r.PictureNumber, r.DateText, r.TimeText, r.TriggerText,
                          r.TaxiNumber, r.UserText}),
             expected);
}

// The trigger is one decimal digit: letters (it is not hex) and other scripts'
// digits give code 0; a name that ends on the trigger still has it.
void TestPictureRecord::triggerCharacter()
{
    for (const char16_t* c : {u"A", u" ", u"\u0663", u"\uFF15"})
        QCOMPARE(
            ParsePictureFileName(CameraName.left(36) + QString::fromUtf16(c) + CameraName.mid(37))
                .TriggerText,
            QStringLiteral("No Trigger"));
    QCOMPARE(ParsePictureFileName(CameraName.left(36) + u'5').TriggerText,
             QStringLiteral("Multi-USB"));
}

void TestPictureRecord::triggerTexts()
{
    QStringList texts;
    for (int trig : {-32768, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 32767})
        texts << TriggerType(static_cast<std::int16_t>(trig));
    QCOMPARE(texts, QStringList({"Unknown Trigger", "Unknown Trigger", "No Trigger", "Door Open",
                                 "Emergency Button", "Meter Button", "Internal Alarm", "Multi-USB",
                                 "Door Close", "Serial", "Toplight ON", "Toplight OFF",
                                 "Unknown Trigger", "Unknown Trigger"}));
}

void TestPictureRecord::hexReaders_data()
{
    QTest::addColumn<bool>("word"); // WrdStrToDec, four digits; else HexStrToDec, one
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    // The ends of each range of digits and the characters just outside them.
    QTest::newRow("9") << false << "9" << 9;
    QTest::newRow("a") << false << "a" << 10;
    QTest::newRow("A") << false << "A" << 10;
    QTest::newRow("f") << false << "f" << 15;
    QTest::newRow("F0: first character only") << false << "F0" << 15;
    QTest::newRow("G") << false << "G" << 0;
    QTest::newRow("g") << false << "g" << 0;
    QTest::newRow("slash, just below 0") << false << "/" << 0;
    QTest::newRow("colon, just above 9") << false << ":" << 0;
    QTest::newRow("at sign, just below A") << false << "@" << 0;
    QTest::newRow("backquote, just below a") << false << "`" << 0;
    QTest::newRow("empty") << false << "" << 0;
    QTest::newRow("L with stroke, low byte 0x41") << false << "Ł" << 0;
    QTest::newRow("Arabic-Indic seven") << false << "٧" << 0;
    QTest::newRow("word empty") << true << "" << 0;
    QTest::newRow("word 1: missing digits are 0") << true << "1" << 4096;
    QTest::newRow("word ffff is not -1") << true << "ffff" << 65535;
    QTest::newRow("word 8000, sign bit set") << true << "8000" << 32768;
    QTest::newRow("word 1G34: G counts as 0") << true << "1G34" << 4148;
    QTest::newRow("word 12345: fifth ignored") << true << "12345" << 4660;
    QTest::newRow("word emoji counts as one character") << true << "🚕123" << 0x0123;
}

void TestPictureRecord::hexReaders()
{
    QFETCH(bool, word);
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(word ? WrdStrToDec(text) : HexStrToDec(text), expected);
}

QTEST_GUILESS_MAIN(TestPictureRecord)
#include "test_picture_record.moc"
