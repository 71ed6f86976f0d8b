// The "Information" page, the console and the camera settings, driven through
// the window's controls against the virtual board.
#include "WindowFixture.h"
#include "app/ConsoleView.h"
#include "app/TabStrip.h"
#include "app/pages/ClickLabel.h"
#include "board/CommandTable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

class BoardInformationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void informationTabReadsTheBoard();
    void clickingTheShownTabReadsAgain();
    void chipIdentifierReplies_data();
    void chipIdentifierReplies();
    void noBoardFillsEveryBoxWithTheFailure();
    void commandEntry_data();
    void commandEntry();
    void keyAfterRedTurnsEntryNormal();
    void commandLine_data();
    void commandLine();
    void cameraSettingCommands();
};

namespace {
const QStringList IdentityAndTableCommands = {
    "C:20",   "C:21",   "C:0601", "C:0604", "C:0605", "C:0606", "C:0608",
    "C:0609", "C:060C", "C:060D", "C:060E", "C:0610", "C:0618", "C:0623"};

QString BoxText(WindowFixture& f, const QString& name)
{
    return f.Get<QLineEdit>(name.toLatin1().constData())->text();
}
} // namespace

void BoardInformationTest::informationTabReadsTheBoard()
{
    WindowFixture f;
    f.board.SetChipId("270B0A40");
    f.board.SetCommandTableEntry("0C", "0123456789ABCDEF");
    f.window.TabStrip1->Select(3);
    QCOMPARE(f.Commands(), IdentityAndTableCommands);
    QCOMPARE(BoxText(f, "TxtCPU_ID"), QStringLiteral("270B0A40"));
    QCOMPARE(BoxText(f, "TxtCPU_Ver"), QStringLiteral("AT91SAM7S512"));
    QCOMPARE(BoxText(f, "TxtCPU_Rev"), QStringLiteral("Rev A/B"));
    QVERIFY(BoxText(f, "TxtSoftVer").startsWith(QStringLiteral("V1.27")));
    // A box narrower than its text shows the text's beginning.
    QCOMPARE(f.Get<QLineEdit>("TxtSoftVer")->cursorPosition(), 0);
    QCOMPARE(BoxText(f, "TxtCMD0C"), QStringLiteral("0123456789ABCDEF"));
    for (const char* code : CommandTableCodes)
        QCOMPARE(BoxText(f, CommandTableBoxName(code)), QString::fromLatin1(f.board.CommandTableEntry(code)));
    QVERIFY(f.messages.isEmpty());
}

void BoardInformationTest::clickingTheShownTabReadsAgain()
{
    WindowFixture f;
    f.window.TabStrip1->Select(3);
    f.board.ClearRecord();
    f.board.SetChipId("27050241");
    QStringList cpuIdSeen;
    // The identity boxes are emptied before the first command of the new read.
    f.board.ScriptReply("C:20", {"OK :27050241"});
    QObject::connect(&f.board, &usb::VirtualBoard::DataReady, [&] {
        cpuIdSeen << BoxText(f, "TxtCPU_ID");
    });
    f.window.TabStrip1->Select(3);
    QCOMPARE(f.Commands(), IdentityAndTableCommands);
    QVERIFY(!cpuIdSeen.isEmpty());
    QCOMPARE(cpuIdSeen.constFirst(), QString());
    QCOMPARE(BoxText(f, "TxtCPU_Ver"), QStringLiteral("AT9SAM7S161"));
}

void BoardInformationTest::chipIdentifierReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("revision");
    QTest::newRow("row 5 begins 270C") << QByteArray("OK :270C0740") << "AT91SAM7S128" << "Rev A";
    QTest::newRow("lower-case identifier") << QByteArray("OK :270b0a40") << "UNKNOWN" << "Rev X";
    QTest::newRow("trailing blank") << QByteArray("OK :270B0A40 ") << "UNKNOWN" << "Rev X";
    QTest::newRow("empty reply") << QByteArray("OK :") << "UNKNOWN" << "Rev X";
}

void BoardInformationTest::chipIdentifierReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, part);
    QFETCH(QString, revision);
    WindowFixture f;
    f.board.ScriptReply("C:20", {reply});
    f.window.TabStrip1->Select(3);
    QCOMPARE(BoxText(f, "TxtCPU_ID"), QString::fromLatin1(reply.mid(4)));
    QCOMPARE(BoxText(f, "TxtCPU_Ver"), part);
    QCOMPARE(BoxText(f, "TxtCPU_Rev"), revision);
}

void BoardInformationTest::noBoardFillsEveryBoxWithTheFailure()
{
    WindowFixture f(usb::EndpointLayout::Full, false);
    f.Get<QLineEdit>("TxtCMD01")->setText(QStringLiteral("old"));
    f.window.TabStrip1->Select(3);
    QStringList boxes = {"TxtCPU_ID", "TxtSoftVer"};
    for (const char* code : CommandTableCodes)
        boxes << CommandTableBoxName(code);
    for (const QString& box : boxes)
        QCOMPARE(BoxText(f, box), QStringLiteral("No USB"));
    QCOMPARE(BoxText(f, "TxtCPU_Ver"), QStringLiteral("UNKNOWN"));
    QCOMPARE(BoxText(f, "TxtCPU_Rev"), QStringLiteral("Rev X"));
}

void BoardInformationTest::commandEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sent");
    QTest::newRow("sixteen digits") << "0123456789ABCDEF" << true;
    QTest::newRow("text after the sixteenth goes along") << "0123456789ABCDEF and more" << true;
    QTest::newRow("fifteen digits") << "0123456789ABCDE" << false;
    QTest::newRow("lower case") << "0123456789abcdef" << false;
    QTest::newRow("initial text") << "CLICK ON COMMAND" << false;
}

void BoardInformationTest::commandEntry()
{
    QFETCH(QString, text);
    QFETCH(bool, sent);
    WindowFixture f;
    auto* entry = f.Get<QLineEdit>("cmdEntry");
    auto* reply = f.Get<QLineEdit>("retString");
    const QColor normal = entry->palette().color(QPalette::Base);
    // A command label copies its box into the entry; the entry is then edited.
    f.Get<QLineEdit>("TxtCMD04")->setText(QStringLiteral("from the table"));
    f.Get<ClickLabel>("cmd04")->clicked();
    QCOMPARE(entry->text(), QStringLiteral("from the table"));
    QVERIFY(f.Commands().isEmpty());
    entry->setText(text);
    reply->setText(QStringLiteral("before"));
    QTest::keyClick(entry, Qt::Key_Return);
    if (sent) {
        QCOMPARE(f.Commands(), QStringList{QStringLiteral("C:07") + text});
        QVERIFY(reply->text().startsWith(QStringLiteral("ACK ")));
        QCOMPARE(entry->palette().color(QPalette::Base), normal);
    } else {
        QVERIFY(f.Commands().isEmpty());
        QCOMPARE(reply->text(), QStringLiteral("before"));
        QCOMPARE(entry->palette().color(QPalette::Base), QColor(255, 0, 0));
    }
}

void BoardInformationTest::keyAfterRedTurnsEntryNormal()
{
    WindowFixture f;
    auto* entry = f.Get<QLineEdit>("cmdEntry");
    const QColor normal = entry->palette().color(QPalette::Base);
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->palette().color(QPalette::Base), QColor(255, 0, 0));
    QTest::keyClick(entry, Qt::Key_X);
    QCOMPARE(entry->palette().color(QPalette::Base), normal);
    QVERIFY(f.Commands().isEmpty());
}

void BoardInformationTest::commandLine_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("wrongEndpoints");
    QTest::newRow("C:40") << int(usb::EndpointLayout::Full) << "C:40" << QStringList{"C:40"} << false;
    QTest::newRow("C: alone") << int(usb::EndpointLayout::Full) << "C:" << QStringList{"C:"} << false;
    QTest::newRow("lower-case c ignored") << int(usb::EndpointLayout::Full) << "c:40" << QStringList{} << false;
    QTest::newRow("single character ignored") << int(usb::EndpointLayout::Full) << "C" << QStringList{} << false;
    QTest::newRow("download layout refuses") << int(usb::EndpointLayout::Download) << "C:40"
                                             << QStringList{} << true;
}

void BoardInformationTest::commandLine()
{
    QFETCH(int, layout);
    QFETCH(QString, text);
    QFETCH(QStringList, sent);
    QFETCH(bool, wrongEndpoints);
    WindowFixture f(static_cast<usb::EndpointLayout>(layout));
    auto* line = f.Get<QLineEdit>("CmdCommandLine");
    f.Get<QLineEdit>("retString")->setText(QStringLiteral("kept"));
    f.Get<QAbstractButton>("Clear")->click();
    line->setText(text);
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(f.Commands(), sent);
    QCOMPARE(f.messages, wrongEndpoints ? QStringList{"Wrong Enpoints setup"} : QStringList{});
    QCOMPARE(f.Get<QLineEdit>("retString")->text(), QStringLiteral("kept"));
    f.window.Outputwindow->Flush();
    if (sent == QStringList{"C:40"})
        QVERIFY(f.window.Outputwindow->toPlainText().startsWith(QStringLiteral("OK :READY")));
}

void BoardInformationTest::cameraSettingCommands()
{
    WindowFixture f;
    // Enter in the speed list's edit part neither adds an entry nor sends.
    auto* speeds = f.Get<QComboBox>("lstBaud");
    QTest::keyClick(speeds->lineEdit(), Qt::Key_Return);
    speeds->lineEdit()->setText(QStringLiteral("115200"));
    QTest::keyClick(speeds->lineEdit(), Qt::Key_Return);
    QCOMPARE(speeds->count(), 8);
    f.Get<QAbstractButton>("Option1_0")->click();
    f.Get<QAbstractButton>("Option1_9")->click();
    f.Get<QAbstractButton>("Option1_10")->click();
    speeds->setCurrentIndex(7);
    Q_EMIT speeds->activated(7);
    f.Get<QAbstractButton>("cmdSpiReset")->click();
    QCOMPARE(f.Commands(), (QStringList{"C:031", "C:03A", "C:03B", "C:10 7", "C:05"}));
    QCOMPARE(f.board.PictureSizeIndex(), 10);
    QCOMPARE(f.board.UartSpeedIndex(), 7);
}

QTEST_MAIN(BoardInformationTest)
#include "test_board_information.moc"
