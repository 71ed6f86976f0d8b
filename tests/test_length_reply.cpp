// The length reply of a picture download: which replies give a length, and
// which end the download with which message.
#include "camera/LengthReply.h"

#include <QTest>

class LengthReplyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void check_data();
    void check();
};

void LengthReplyTest::check_data()
{
    QTest::addColumn<QString>("R");
    QTest::addColumn<int>("L");            // the length, when it is one
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
    refused("zero in two digits", QStringLiteral("00"), QStringLiteral("No Data"));
    refused("fail1", QStringLiteral("fail1"), QStringLiteral("fail1"));
    refused("no usb", QStringLiteral("No USB"), QStringLiteral("No USB"));
    refused("timed out: FAIL and zero characters", QString::fromLatin1("FAIL\0\0\0", 7),
            QStringLiteral("FAIL"));
    refused("empty", QString(), noLength + QStringLiteral("\"\""));
    refused("words", QStringLiteral("READY"), noLength + QStringLiteral("\"READY\""));
    refused("Fail1 is not fail1", QStringLiteral("Fail1"), noLength + QStringLiteral("\"Fail1\""));
    refused("zero then not hex", QStringLiteral("0X12"), noLength + QStringLiteral("\"0X12\""));
    refused("blank among digits", QStringLiteral("12 4"), noLength + QStringLiteral("\"12 4\""));
    refused("full-width digit", QStringLiteral("1\uFF10"), noLength + QStringLiteral("\"1\uFF10\""));
    refused("control characters quoted readably", QString::fromLatin1("\0\x01" "A", 3),
            noLength + QStringLiteral("\"\\x00\\x01A\""));
    refused("long reply cut", QString(100, u'Z'),
            noLength + u'"' + QString(40, u'Z') + QStringLiteral("...\""));
}

void LengthReplyTest::check()
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

QTEST_APPLESS_MAIN(LengthReplyTest)
#include "test_length_reply.moc"
