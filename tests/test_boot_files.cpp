// The "Test" page's boot image list and the file pipe as the window runs them.
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

class BootFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bootListMarksASelectionForGood();
    void boardFileLandsInReadfile();
};

void BootFilesTest::bootListMarksASelectionForGood()
{
    QTemporaryDir start;
    for (const char* name : {"usb_boot_01.bin", "usb_boot_02.bin", "other.bin", "usb_boot_03.txt"})
        QFile(start.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    const QString before = QDir::currentPath();
    QDir::setCurrent(start.path());
    WindowFixture f;
    QDir::setCurrent(before);

    auto* list = f.Get<QListView>("fllstusbboot");
    QTRY_COMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("usb_boot_01.bin"));
    auto* select = f.Get<QAbstractButton>("cmdSelusbboot");
    const QColor face = select->palette().color(QPalette::Button);
    // The three buttons of the page do nothing.
    for (const char* name : {"cmdSelusbboot", "cmdDnldFirmware", "cmdDnldBootLoader"})
        f.Get<QAbstractButton>(name)->click();
    QVERIFY(face != QColor(0, 255, 0) && select->palette().color(QPalette::Button) == face);
    QVERIFY(f.Commands().isEmpty());
    // A selected file turns it green; nothing turns it back.
    list->setCurrentIndex(list->model()->index(1, 0));
    list->clearSelection();
    QCOMPARE(select->palette().color(QPalette::Button), QColor(0, 255, 0));
    QCOMPARE(f.Get<QLineEdit>("tstProgState")->text(), QStringLiteral("Flash Program"));
}

void BootFilesTest::boardFileLandsInReadfile()
{
    QTemporaryDir folder;
    WindowFixture f;
    f.tool.ReadFilePath = folder.filePath(QStringLiteral("readfile.jpg"));
    // The virtual board sends its last picture on the file pipe for "C:16".
    QVERIFY(f.link.DownLoadCommand(QStringLiteral("C:16")).startsWith(QStringLiteral("FILE ")));
    const QByteArray picture = f.board.CurrentPicture();
    QVERIFY(!picture.isEmpty());
    QTRY_COMPARE(QFile(f.tool.ReadFilePath).size(), qint64(63360));
    QFile file(f.tool.ReadFilePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(picture.size()), picture);
}

QTEST_MAIN(BootFilesTest)
#include "test_boot_files.moc"
