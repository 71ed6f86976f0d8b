// The board information read on the virtual board without a window; then how
// the "Information", "Test" and camera controls are bound.
#include "LinkFixture.h"
#include "WindowFixture.h"
#include "app/ConsoleView.h"
#include "app/TabStrip.h"
#include "app/pages/ClickLabel.h"
#include "board/BoardInformation.h"
#include "link/BoardProtocol.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

class BoardInformationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readBoardInfo_data();
    void readBoardInfo();
    void informationPageBindings();
    void testPageBindings();
    void cameraSettingCommands();
};

namespace {

const char* const FieldNames[] = {"chip", "part", "revision", "firmware"};

QStringList IdentityEmptied(int commands)
{
    QStringList fields;
    for (const char* field : FieldNames)
        fields << QStringLiteral("%1 %2=").arg(commands).arg(QLatin1String(field));
    return fields;
}

QString BoxText(WindowFixture& f, const char* name)
{
    return f.Get<QLineEdit>(name)->text();
}

} // namespace

void BoardInformationTest::readBoardInfo_data()
{
    QTest::addColumn<bool>("plugged");
    QTest::newRow("board") << true;
    QTest::newRow("no board: every box shows the failure") << false;
}

void BoardInformationTest::readBoardInfo()
{
    QFETCH(bool, plugged);
    LinkFixture f(usb::EndpointLayout::Full, plugged);
    f.Start();
    BoardInformation information(f.link);
    // What it fills, each after the number of commands the board had received by then.
    QStringList seen;
    const auto see = [&](const QString& what, const QString& text) {
        seen << QStringLiteral("%1 %2=%3").arg(f.board.CommandBlocks().size()).arg(what, text);
    };
    QObject::connect(&information, &BoardInformation::IdentityChanged,
                     [&](BoardIdentity::Field field, const BoardIdentity& identity) {
                         see(QLatin1String(FieldNames[field]), identity[field]);
                     });
    QObject::connect(&information, &BoardInformation::CommandTableEntryRead,
                     [&](int index, const QString& entry) {
                         see(QLatin1String(CommandTableCodes[index]), entry);
                     });
    f.board.SetChipId("270B0A40");
    information.ReadBoardInfo();
    // The identity is emptied before the first exchange; each reply is then
    // given out whole as soon as it is in.
    QStringList expected = IdentityEmptied(0);
    const auto filled = [&](int exchange, const QString& box, const QString& text) {
        expected << QStringLiteral("%1 %2=%3").arg(plugged ? exchange : 0).arg(box, text);
    };
    const QString failed = QStringLiteral("No USB");
    filled(1, "chip", plugged ? "270B0A40" : failed);
    filled(1, "part", plugged ? "AT91SAM7S512" : "UNKNOWN");
    filled(1, "revision", plugged ? "Rev A/B" : "Rev X");
    filled(2, "firmware", plugged ? "V1.27 Q815 firmware" : failed);
    int exchange = 2;
    for (const char* code : CommandTableCodes) {
        filled(++exchange, QLatin1String(code),
               plugged ? QString::fromLatin1(f.board.CommandTableEntry(code)) : failed);
    }
    QCOMPARE(seen, expected);
    const QStringList commands = {"C:20",   "C:21",   "C:0601", "C:0604", "C:0605",
                                  "C:0606", "C:0608", "C:0609", "C:060C", "C:060D",
                                  "C:060E", "C:0610", "C:0618", "C:0623"};
    QCOMPARE(f.Commands(), plugged ? commands : QStringList());
    // The identity is emptied when the board goes.
    Q_EMIT f.link.IdentityLost();
    QCOMPARE(seen.mid(expected.size()), IdentityEmptied(plugged ? 14 : 0));
}

void BoardInformationTest::informationPageBindings()
{
    WindowFixture f;
    f.board.SetChipId("27050241");
    Control<TabStrip>(f.window, "TabStrip1")->Select(3);
    Control<TabStrip>(f.window, "TabStrip1")->Select(3); // a click on the shown tab reads again
    QCOMPARE(f.Commands().size(), 28);
    QCOMPARE(BoxText(f, "TxtCPU_ID"), QStringLiteral("27050241"));
    QCOMPARE(BoxText(f, "TxtCPU_Ver") + u'/' + BoxText(f, "TxtCPU_Rev"),
             QStringLiteral("AT9SAM7S161/Rev A"));
    QCOMPARE(BoxText(f, "TxtSoftVer"), QStringLiteral("V1.27 Q815 firmware"));
    // A box narrower than its text shows the text's beginning.
    QCOMPARE(f.Get<QLineEdit>("TxtSoftVer")->cursorPosition(), 0);
    QCOMPARE(BoxText(f, "TxtCMD23"), QString::fromLatin1(f.board.CommandTableEntry("23")));

    // A command label copies its box, as it stands, into the entry; Enter sends
    // it whole when its first sixteen characters are hex digits.
    f.board.ClearRecord();
    const QString text = QStringLiteral("0123456789ABCDEF and more");
    f.Get<QLineEdit>("TxtCMD04")->setText(text);
    f.Get<ClickLabel>("cmd04")->clicked();
    auto* entry = f.Get<QLineEdit>("cmdEntry");
    QCOMPARE(entry->text(), text);
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(f.Commands(), QStringList{"C:07" + text});
    QVERIFY(BoxText(f, "retString").startsWith(QStringLiteral("ACK ")));
    // Filled boxes keep their design widths; tooltip and accessible description
    // hold the whole text.
    for (const char* name : {"TxtCPU_ID", "TxtCPU_Ver", "TxtSoftVer", "TxtCMD23", "retString"}) {
        const auto* box = f.Get<QLineEdit>(name);
        QCOMPARE(box->toolTip(), box->text());
        QCOMPARE(box->accessibleDescription(), box->text());
    }
    // Fifteen digits: nothing is sent and the entry is red until the next key.
    const QColor normal = entry->palette().color(QPalette::Base);
    entry->setText(QStringLiteral("0123456789ABCDE"));
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->palette().color(QPalette::Base), QColor(255, 0, 0));
    QTest::keyClick(entry, Qt::Key_X);
    QCOMPARE(entry->palette().color(QPalette::Base), normal);
    QCOMPARE(f.Commands().size(), 1);
}

void BoardInformationTest::testPageBindings()
{
    WindowFixture f;
    auto* line = f.Get<QLineEdit>("CmdCommandLine");
    QTest::keyClick(line, Qt::Key_Return); // it shows "C:40"
    // Only what begins with "C:" goes out.
    for (const char* text : {"c:40", "C", "C:"}) {
        line->setText(QString::fromLatin1(text));
        QTest::keyClick(line, Qt::Key_Return);
    }
    QCOMPARE(f.Commands(), (QStringList{"C:40", "C:"}));
    // The replies go to the output window alone, never to retString.
    auto* output = f.Get<ConsoleView>("Outputwindow");
    output->Flush();
    QVERIFY(output->toPlainText().startsWith(u"OK :READY"));
    QVERIFY(output->toPlainText().endsWith(u"\nERR:unknown command\n"));
    QCOMPARE(BoxText(f, "retString"), QString());
    f.Get<QAbstractButton>("Clear")->click();
    QCOMPARE(output->toPlainText(), QString());

    WindowFixture refused(usb::EndpointLayout::Download);
    QTest::keyClick(refused.Get<QLineEdit>("CmdCommandLine"), Qt::Key_Return);
    QCOMPARE(refused.messages, QStringList{"Wrong Enpoints setup"});
    QVERIFY(refused.Commands().isEmpty());
}

void BoardInformationTest::cameraSettingCommands()
{
    WindowFixture f;
    auto* speeds = f.Get<QComboBox>("lstBaud");
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
