// Start-up of the window: link state, caption, the first command, the failure
// that ends the program.
#include "WindowFixture.h"
#include "app/ConsoleView.h"
#include "camera/PictureAssembler.h"
#include "common/StringTable.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithBoard();
    void startsWithoutBoard();
    void objectsThatCannotBeCreatedEndTheProgram();
    void activationRunsOnce();
};

void MainWindowTest::startsWithBoard()
{
    WindowFixture f;
    QVERIFY(f.loaded);
    f.window.show();
    QTRY_COMPARE(f.board.CommandBlocks().size(), 1);
    QCOMPARE(f.board.CommandBlocks().constFirst().left(5), QByteArray("C:20 "));
    QCOMPARE(f.Get<QLineEdit>("TxtUSB")->text(), QStringLiteral("USB OK"));
    QCOMPARE(f.Get<QLineEdit>("TxtUSB")->palette().color(QPalette::Base), QColor(0, 255, 0));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Q815EVM Full V1.27"));
    QTRY_VERIFY(f.Get<ConsoleView>("Outputwindow")->toPlainText().contains(u"OK :270B0941"));
    QCOMPARE(f.window.findChild<PictureAssembler*>()->Buffer().size(), 65356);
    QStringList rates;
    for (int i = 0; i < f.Get<QComboBox>("lstBaud")->count(); ++i)
        rates << f.Get<QComboBox>("lstBaud")->itemText(i);
    QCOMPARE(rates.join(u' '),
             QStringLiteral("7200 14400 28800 57600 115200 230400 460800 921600"));
    QVERIFY(f.messages.isEmpty());
}

void MainWindowTest::startsWithoutBoard()
{
    WindowFixture f(usb::EndpointLayout::Full, false);
    QVERIFY(f.loaded);
    QCOMPARE(f.Get<QLineEdit>("TxtUSB")->text(), QStringLiteral("USB OFF"));
    QCOMPARE(f.Get<QLineEdit>("TxtUSB")->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Q815EVM Full V1.27"));
    QCOMPARE(f.link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
    QVERIFY(f.messages.isEmpty());
}

void MainWindowTest::objectsThatCannotBeCreatedEndTheProgram()
{
    WindowFixture f(usb::EndpointLayout::Full, false,
                    [](WindowFixture& w) { w.backend.SetCreateFailure(-2147221164); });
    QVERIFY(!f.loaded);
    QCOMPARE(f.messages, QStringList{LoadResString(207) + QStringLiteral("\r\n-2147221164")});
    QVERIFY(
        f.messages.constFirst().startsWith(QStringLiteral("USBIOCOM object is not registered.")));
}

void MainWindowTest::activationRunsOnce()
{
    WindowFixture f;
    f.window.show();
    QTRY_COMPARE(f.board.CommandBlocks().size(), 1);
    f.window.hide();
    f.window.show();
    // A second activation would have been queued before this marker.
    bool marker = false;
    QTimer::singleShot(0, [&marker] { marker = true; });
    QTRY_VERIFY(marker);
    QCOMPARE(f.board.CommandBlocks().size(), 1);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
