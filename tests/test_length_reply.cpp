// The length reply of a picture download: which replies give a length, and
// which end the download with which message.
#include "camera/LengthReply.h"

#include <QTest>

class LengthReplyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lengths_data();
    void lengths();
    void refusals_data();
    void refusals();
};

void LengthReplyTest::lengths_data()
{
    QTest::addColumn<QString>("R");
    QTest::addColumn<int>("L");
    QTest::newRow("four digits") << QStringLiteral("1000") << 4096;
    QTest::newRow("one past a block") << QStringLiteral("1001") << 4097;
    QTest::newRow("shorter than four") << QStringLiteral("2F") << 47;
    QTest::newRow("one digit") << QStringLiteral("7") << 7;
    QTest::newRow("only four digits read") << QStringLiteral("ABCD1234") << 43981;
    QTest::newRow("lower case") << QStringLiteral("abcd") << 43981;
    QTest::newRow("mixed case") << QStringLiteral("aBcD") << 43981;
    QTest::newRow("leading zero is a length") << QStringLiteral("0FA0") << 4000;
    QTest::newRow("leading zeros lower case") << QStringLiteral("00fa") << 250;
    QTest::newRow("smallest") << QStringLiteral("0001") << 1;
    QTest::newRow("largest") << QStringLiteral("FFFF") << 65535;
    QTest::newRow("text after the digits") << QStringLiteral("1000 bytes") << 4096;
}

void LengthReplyTest::lengths()
{
    QFETCH(QString, R);
    QFETCH(int, L);
    const LengthCheck check = CheckLengthReply(R);
    QCOMPARE(check.Message, QString());
    QVERIFY(check.Ok());
    QCOMPARE(check.L, L);
}

void LengthReplyTest::refusals_data()
{
    QTest::addColumn<QString>("R");
    QTest::addColumn<QString>("message");
    const QString noLength = QStringLiteral("The board sent no picture length: ");
    QTest::newRow("no sync") << QStringLiteral("0000") << QStringLiteral("No Sync");
    QTest::newRow("no sync, longer") << QStringLiteral("00001") << QStringLiteral("No Sync");
    QTest::newRow("zero, one digit") << QStringLiteral("0") << QStringLiteral("No Data");
    QTest::newRow("zero, two digits") << QStringLiteral("00") << QStringLiteral("No Data");
    QTest::newRow("zero, three digits") << QStringLiteral("000") << QStringLiteral("No Data");
    QTest::newRow("fail1") << QStringLiteral("fail1") << QStringLiteral("fail1");
    QTest::newRow("fail1 and more") << QStringLiteral("fail1 camera") << QStringLiteral("fail1");
    QTest::newRow("no usb") << QStringLiteral("No USB") << QStringLiteral("No USB");
    QTest::newRow("FAIL") << QStringLiteral("FAIL") << QStringLiteral("FAIL");
    QTest::newRow("FAIL with text") << QStringLiteral("FAILimeout") << QStringLiteral("FAIL");
    QTest::newRow("FAIL with zero characters")
        << QString::fromLatin1("FAIL\0\0\0", 7) << QStringLiteral("FAIL");
    QTest::newRow("empty") << QString() << noLength + QStringLiteral("\"\"");
    QTest::newRow("words") << QStringLiteral("READY") << noLength + QStringLiteral("\"READY\"");
    QTest::newRow("Fail1 is not fail1")
        << QStringLiteral("Fail1") << noLength + QStringLiteral("\"Fail1\"");
    QTest::newRow("zero then not hex")
        << QStringLiteral("0X12") << noLength + QStringLiteral("\"0X12\"");
    QTest::newRow("blank among digits")
        << QStringLiteral("12 4") << noLength + QStringLiteral("\"12 4\"");
    QTest::newRow("leading blank") << QStringLiteral(" 1F") << noLength + QStringLiteral("\" 1F\"");
    QTest::newRow("sign") << QStringLiteral("+1F") << noLength + QStringLiteral("\"+1F\"");
    QTest::newRow("full-width digit")
        << QStringLiteral("1\uFF10") << noLength + QStringLiteral("\"1\uFF10\"");
    QTest::newRow("control characters quoted readably")
        << QString::fromLatin1("\0\x01"
                               "A",
                               3)
        << noLength + QStringLiteral("\"\\x00\\x01A\"");
    QTest::newRow("long reply cut")
        << QString(100, u'Z') << noLength + u'"' + QString(40, u'Z') + QStringLiteral("...\"");
}

void LengthReplyTest::refusals()
{
    QFETCH(QString, R);
    QFETCH(QString, message);
    const LengthCheck check = CheckLengthReply(R);
    QVERIFY(!check.Ok());
    QCOMPARE(check.Message, message);
}

QTEST_APPLESS_MAIN(LengthReplyTest)
#include "test_length_reply.moc"
