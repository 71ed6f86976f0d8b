// Start-up of the window: link state, caption, the first command, the failure
// that ends the program.
#include "app/MainWindow.h"
#include "app/ConsoleView.h"
#include "common/StringTable.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

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

namespace {
struct Rig {
    usb::VirtualBus bus;
    usb::VirtualBoard board;
    usb::SimBackend backend{bus};
    MainWindow window{backend};
    QStringList messages;
    explicit Rig(bool plugged)
    {
        if (plugged)
            bus.Plug(&board);
        window.ShowMessage = [this](const QString& text) { messages << text; };
    }
};
} // namespace

void MainWindowTest::startsWithBoard()
{
    Rig rig(true);
    QVERIFY(rig.window.Form_Load());
    rig.window.show();
    QTRY_COMPARE(rig.board.CommandBlocks().size(), 1);
    QCOMPARE(rig.board.CommandBlocks().constFirst().left(5), QByteArray("C:20 "));
    QCOMPARE(rig.window.TxtUSB->text(), QStringLiteral("USB OK"));
    QCOMPARE(rig.window.TxtUSB->palette().color(QPalette::Base), QColor(0, 255, 0));
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Q815EVM Full V1.27"));
    QTRY_VERIFY(rig.window.Outputwindow->toPlainText().contains(QStringLiteral("OK :270B0941")));
    QCOMPARE(rig.window.Link.PictureBuffer.size(), 65356);
    QStringList rates;
    for (int i = 0; i < rig.window.lstBaud->count(); ++i)
        rates << rig.window.lstBaud->itemText(i);
    QCOMPARE(rates, (QStringList{"7200", "14400", "28800", "57600", "115200", "230400",
                                 "460800", "921600"}));
    QVERIFY(rig.messages.isEmpty());
}

void MainWindowTest::startsWithoutBoard()
{
    Rig rig(false);
    QVERIFY(rig.window.Form_Load());
    QCOMPARE(rig.window.TxtUSB->text(), QStringLiteral("USB OFF"));
    QCOMPARE(rig.window.TxtUSB->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Q815EVM Full V1.27"));
    QCOMPARE(rig.window.Link.DownLoadCommand(QStringLiteral("C:20")), QStringLiteral("No USB"));
    QVERIFY(rig.messages.isEmpty());
}

void MainWindowTest::objectsThatCannotBeCreatedEndTheProgram()
{
    usb::VirtualBus bus;
    usb::SimBackend backend(bus);
    backend.SetCreateFailure(-2147221164);
    MainWindow window(backend);
    QStringList messages;
    window.ShowMessage = [&](const QString& text) { messages << text; };
    QVERIFY(!window.Form_Load());
    QCOMPARE(messages, QStringList{LoadResString(207) + QStringLiteral("\r\n-2147221164")});
    QVERIFY(messages.constFirst().startsWith(QStringLiteral("USBIOCOM object is not registered.")));
}

void MainWindowTest::activationRunsOnce()
{
    Rig rig(true);
    QVERIFY(rig.window.Form_Load());
    rig.window.show();
    QTRY_COMPARE(rig.board.CommandBlocks().size(), 1);
    rig.window.Link.PictureBuffer[0] = 'x';
    rig.window.hide();
    rig.window.show();
    // A second activation would have been queued before this marker.
    bool marker = false;
    QTimer::singleShot(0, [&marker] { marker = true; });
    QTRY_VERIFY(marker);
    QCOMPARE(rig.board.CommandBlocks().size(), 1);
    QCOMPARE(rig.window.Link.PictureBuffer.at(0), 'x');
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
