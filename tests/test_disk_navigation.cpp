// The "Disk" page: drive, folder and file boxes linked to the picture and its
// record, over two pretend volumes in temporary folders.
#include "common/AppPaths.h"
#include "browser/DiskNavigation.h"
#include "browser/DriveBox.h"
#include "browser/FileListBox.h"
#include "browser/FolderBox.h"
#include "browser/PictureView.h"
#include "PictureFixtures.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

const QString CameraName = QStringLiteral("Q8150001_00004711_20071105_142507_T_3_X00_"
                                          "TX-0042 CITYCAB     _Shift 2 driver 17___.jpg");

// The page's controls as the window has them, and the navigation over them.
struct Page {
    QTemporaryDir volumeA, volumeB;
    QStringList laterVolumes; // mounted while the program runs; read by the drive box's worker
    QString AppFolder;
    std::int16_t ImageBitmapRef = 101;
    QWidget window;
    QListView* Dir1 = new QListView(&window);
    QComboBox* Drive1 = new QComboBox(&window);
    QListView* File1 = new QListView(&window);
    QLabel* Image2 = new QLabel(&window);
    QLabel* labels[7];
    std::unique_ptr<DiskNavigation> disk;
    QString programFolder;

    Page()
    {
        programFolder = volumeA.filePath("app");
        QDir(volumeA.path()).mkpath("app/sub");
        QDir(volumeB.path()).mkpath("pics");
        for (auto*& label : labels)
            label = new QLabel(&window);
        Dir1->setGeometry(0, 0, 200, 100);
        Drive1->setGeometry(0, 110, 200, 20);
        File1->setGeometry(0, 140, 200, 240);
        Image2->setGeometry(210, 0, 120, 90);
        Image2->setScaledContents(true);
        window.resize(340, 400);
        window.show();
        const QString gone = volumeB.filePath("no_medium");
        disk = std::make_unique<DiskNavigation>(
            DiskPageControls{Dir1, Drive1, File1, Image2, labels[0], labels[1], labels[2],
                             labels[3], labels[4], labels[5], labels[6]},
            DiskPageState{AppFolder, ImageBitmapRef, [this] { return programFolder; },
                          [this, gone] {
                              return QStringList{volumeA.path(), volumeB.path(), gone} +
                                     laterVolumes;
                          }});
        // The drive box reads the volumes on its worker.
        if (!QTest::qWaitFor([this] { return Drive1->count() > 0; }, 5000))
            qWarning("the drive list was not read");
    }
    QLabel* TxtBrDate() const { return labels[0]; }
    QLabel* TxtBrTime() const { return labels[1]; }
    QLabel* TxtBrNumber() const { return labels[2]; }
    QLabel* txtBrTrigType() const { return labels[3]; }
    QLabel* txtBRTaxiNumber() const { return labels[4]; }
    QLabel* txtBRSerialNumber() const { return labels[5]; }
    QLabel* txtBRUserString() const { return labels[6]; }
    QStringList Captions() const
    {
        QStringList texts;
        for (QLabel* label : labels)
            texts << label->text();
        return texts;
    }

    QStringList Files() const
    {
        return static_cast<QStringListModel*>(File1->model())->stringList();
    }
    // Clicks the entry `name` of the file box, as the user does.
    void Click(const QString& name)
    {
        const int row = int(Files().indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        const QRect place = File1->visualRect(File1->model()->index(row, 0));
        QTest::mouseClick(File1->viewport(), Qt::LeftButton, {}, place.center());
    }
    bool Settled(const QString& folder) const
    {
        return disk->File1().Folder() == folder && disk->Dir1().Path() == folder;
    }
};

} // namespace

class DiskNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void resetListsPicturesOfAppFolder();
    void folderChangeClearsTheView();
    void driveChangeResetsTheViewTwice();
    void driveKeepsItsCurrentFolder();
    void driveListIsReadBesideTheWindow();
    void driveWithoutMediumLeavesBoxes();
    void unreadableFolderLeavesBoxes();
    void unreadableFolderAfterUnreadMove();
    void diskTabReturnsToAppFolder();
    void brokenFiles_data();
    void brokenFiles();
    void folderBoxOpensActivatedFolder();
    void shownPictureFollowsClicksAndBoxSize();
    void appFolderOfInstalledCopy();
};

void DiskNavigationTest::resetListsPicturesOfAppFolder()
{
    Page page;
    for (const char* name : {"b.jpg", "A.JPG", "c.png", "d.bmp", "notes.txt"})
        fixtures::Write(QDir(page.programFolder).filePath(name), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QCOMPARE(page.AppFolder, page.programFolder);
    QTRY_COMPARE(page.Files(), QStringList({"A.JPG", "b.jpg"}));
    QVERIFY(page.Settled(page.programFolder));
    QCOMPARE(page.disk->File1().Pattern(), QStringLiteral("*.jpg"));
    QCOMPARE(page.Drive1->currentText(), page.volumeA.path());
    QVERIFY(page.disk->File1().FileName().isEmpty());
    QCOMPARE(page.TxtBrNumber()->text(), QString());
    // the folder box: ancestors down to the folder, then its one subfolder
    QCOMPARE(page.Dir1->currentIndex().data().toString(), QStringLiteral("app"));
    QTRY_COMPARE(page.Dir1->model()->index(page.Dir1->model()->rowCount() - 1, 0).data().toString(),
                 QStringLiteral("sub"));
}

void DiskNavigationTest::folderChangeClearsTheView()
{
    Page page;
    fixtures::Write(QDir(page.programFolder).filePath(CameraName), fixtures::Jpeg());
    // the new folder holds the same file: the view is still cleared
    fixtures::Write(QDir(page.programFolder).filePath("sub/" + CameraName), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{CameraName});
    page.Click(CameraName);
    QCOMPARE(page.Captions(), QStringList({"05/11/2007", "14:25:07", "00004711", "Meter Button",
                                           "TX-0042 CITYCAB     ", "Q8150001",
                                           "Shift 2 driver 17___"}));

    QSignalSpy shown(&page.disk->Image2(), &PictureView::Shown);
    page.disk->Dir1().SetPath(QDir(page.programFolder).filePath("sub"));
    QCOMPARE(page.Captions(), QStringList({"", "", "", "", "TX-0042 CITYCAB     ", "",
                                           "Shift 2 driver 17___"}));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().first().toBool(), false);
    QCOMPARE(page.Image2->pixmap().size(), PlaceholderBitmap(101).size());
    QTRY_COMPARE(page.disk->File1().Folder(), QDir(page.programFolder).filePath("sub"));
    QTRY_COMPARE(page.Files(), QStringList{CameraName});
    QVERIFY(page.disk->File1().FileName().isEmpty());
}

void DiskNavigationTest::driveChangeResetsTheViewTwice()
{
    Page page;
    fixtures::Write(QDir(page.programFolder).filePath(CameraName), fixtures::Jpeg());
    fixtures::Write(page.volumeB.filePath("on_b.jpg"), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{CameraName});
    page.Click(CameraName);

    QSignalSpy shown(&page.disk->Image2(), &PictureView::Shown);
    QSignalSpy listed(&page.disk->File1(), &FileListBox::Listed);
    page.Drive1->setCurrentIndex(page.Drive1->findText(page.volumeB.path())); // the user's pick
    QTRY_COMPARE(page.Files(), QStringList{"on_b.jpg"});
    QVERIFY(page.Settled(page.volumeB.path()));
    QCOMPARE(shown.size(), 2); // through Dir1_Change, then at the end of Drive1_Change
    QVERIFY(!shown.at(0).first().toBool() && !shown.at(1).first().toBool());
    QCOMPARE(page.txtBRTaxiNumber()->text(), QStringLiteral("TX-0042 CITYCAB     "));
    QCOMPARE(page.txtBRUserString()->text(), QStringLiteral("Shift 2 driver 17___"));
    QCOMPARE(page.txtBrTrigType()->text(), QString());
}

void DiskNavigationTest::driveKeepsItsCurrentFolder()
{
    Page page;
    page.disk->ResetDiskFolder();
    const QString pics = page.volumeB.filePath("pics");
    page.disk->Dir1().SetPath(pics);
    QCOMPARE(page.Drive1->currentText(), page.volumeA.path()); // the folder box leads nowhere
    page.Drive1->setCurrentIndex(page.Drive1->findText(page.volumeB.path()));
    QTRY_VERIFY(page.Settled(pics)); // the folder last shown on that volume
    page.Drive1->setCurrentIndex(page.Drive1->findText(page.volumeA.path()));
    QTRY_VERIFY(page.Settled(page.programFolder));
}

// A volume that takes its time to answer does not hold up the window; what was
// asked of the box meanwhile is taken up when the list comes.
void DiskNavigationTest::driveListIsReadBesideTheWindow()
{
    QTemporaryDir a, b;
    std::atomic<bool> answer{false};
    QComboBox box;
    auto* drives = new DriveBox(&box, [&] {
        while (!answer)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return QStringList{a.path(), b.path()};
    });
    QCOMPARE(box.count(), 0);
    const QString folder = b.filePath(QStringLiteral("pics"));
    drives->SetValue(folder);
    drives->RememberFolder(folder);
    answer = true;
    QTRY_COMPARE(box.currentText(), b.path());
    QCOMPARE(drives->CurrentFolder(b.path()), folder);
    QCOMPARE(box.count(), 2);
}

void DiskNavigationTest::driveWithoutMediumLeavesBoxes()
{
    Page page;
    fixtures::Write(QDir(page.programFolder).filePath("a.jpg"), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{"a.jpg"});
    page.Click("a.jpg");

    QSignalSpy listed(&page.disk->File1(), &FileListBox::Listed);
    const QString noMedium = page.volumeB.filePath("no_medium");
    page.Drive1->setCurrentIndex(page.Drive1->findText(noMedium));
    QVERIFY(listed.wait());
    QCOMPARE(listed.last().first().toBool(), false);
    QCOMPARE(page.Drive1->currentText(), noMedium);
    QTRY_VERIFY(page.Settled(page.programFolder));
    QCOMPARE(page.Files(), QStringList{"a.jpg"});
    QCOMPARE(page.disk->File1().FileName(), QStringLiteral("a.jpg"));
}

void DiskNavigationTest::unreadableFolderLeavesBoxes()
{
    Page page;
    fixtures::Write(QDir(page.programFolder).filePath("a.jpg"), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{"a.jpg"});
    page.Click("a.jpg");

    QSignalSpy folderListed(&page.disk->Dir1(), &FolderBox::Listed);
    QSignalSpy fileListed(&page.disk->File1(), &FileListBox::Listed);
    // a folder that vanished after the folder box listed it
    const QString vanished = QDir(page.programFolder).filePath("sub");
    QDir(vanished).removeRecursively();
    page.disk->Dir1().SetPath(vanished);
    QTRY_VERIFY(!folderListed.isEmpty() && !fileListed.isEmpty());
    QCOMPARE(fileListed.last().first().toBool(), false);
    QVERIFY(page.Settled(page.programFolder));
    QCOMPARE(page.Files(), QStringList{"a.jpg"});
    QCOMPARE(page.disk->File1().FileName(), QStringLiteral("a.jpg")); // shown again
    QTRY_COMPARE(page.Image2->pixmap().size(), page.Image2->size());
}

// The user opens a folder and, before it has been read, one that cannot be:
// the boxes go back to the first one, not to where they were before both.
void DiskNavigationTest::unreadableFolderAfterUnreadMove()
{
    Page page;
    fixtures::Write(QDir(page.programFolder).filePath("sub/in_sub.jpg"), fixtures::Jpeg());
    page.disk->ResetDiskFolder();
    QTRY_VERIFY(page.Settled(page.programFolder));
    const QString sub = QDir(page.programFolder).filePath("sub");
    page.disk->Dir1().SetPath(sub);
    page.disk->Dir1().SetPath(QDir(page.programFolder).filePath("missing"));
    QTRY_VERIFY(page.Settled(sub));
    QTRY_COMPARE(page.Files(), QStringList{"in_sub.jpg"});
}

void DiskNavigationTest::diskTabReturnsToAppFolder()
{
    Page page;
    page.disk->ResetDiskFolder();
    page.Drive1->setCurrentIndex(page.Drive1->findText(page.volumeB.path()));
    page.disk->Dir1().SetPath(page.volumeB.filePath("pics"));
    QTRY_VERIFY(page.Settled(page.volumeB.filePath("pics")));

    page.AppFolder.clear(); // set afresh by the reset
    QTemporaryDir card;
    page.laterVolumes << card.path();
    page.disk->ResetDiskFolder();
    QCOMPARE(page.AppFolder, page.programFolder);
    QTRY_VERIFY(page.Drive1->findText(card.path()) >= 0);
    QCOMPARE(page.Drive1->currentText(), page.volumeA.path());
    QTRY_VERIFY(page.Settled(page.programFolder));
    QVERIFY(page.disk->File1().FileName().isEmpty());
}

void DiskNavigationTest::brokenFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("picture");
    const QByteArray jpeg = fixtures::Jpeg(320, 240);
    QTest::newRow("truncated") << "truncated.jpg" << jpeg.left(jpeg.size() / 2) << true;
    QTest::newRow("zero bytes") << "zero_bytes.jpg" << QByteArray() << false;
    QTest::newRow("huge header") << "huge_header.jpg" << fixtures::HugeHeaderJpeg() << false;
    QTest::newRow("non-ASCII name") << QStringLiteral("Überfall_東京.jpg") << jpeg << true;
    QTest::newRow("removed after listing") << "removed.jpg" << QByteArray() << false;
}

void DiskNavigationTest::brokenFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, picture);
    Page page;
    const QString path = QDir(page.programFolder).filePath(name);
    fixtures::Write(path, bytes);
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{name});
    if (name == QLatin1String("removed.jpg"))
        QFile::remove(path);

    QSignalSpy shown(&page.disk->Image2(), &PictureView::Shown);
    page.Click(name);
    QVERIFY(shown.wait());
    QCOMPARE(shown.first().first().toBool(), picture);
    const QSize expected = picture ? page.Image2->size() : PlaceholderBitmap(101).size();
    QCOMPARE(page.Image2->pixmap().size(), expected);
}

void DiskNavigationTest::folderBoxOpensActivatedFolder()
{
    Page page;
    page.disk->ResetDiskFolder();
    const QAbstractItemModel* folders = page.Dir1->model();
    QTRY_COMPARE(folders->index(folders->rowCount() - 1, 0).data().toString(), QStringLiteral("sub"));
    const QModelIndex sub = folders->index(folders->rowCount() - 1, 0);
    QSignalSpy shown(&page.disk->Image2(), &PictureView::Shown);
    emit page.Dir1->activated(sub); // double click or Enter
    QCOMPARE(page.disk->Dir1().Path(), QDir(page.programFolder).filePath("sub"));
    QCOMPARE(shown.size(), 1); // Dir1_Change ran
    QTRY_COMPARE(page.disk->File1().Folder(), QDir(page.programFolder).filePath("sub"));
    // the parent is now the entry above the open folder
    QCOMPARE(page.Dir1->currentIndex().data().toString(), QStringLiteral("sub"));
    QCOMPARE(page.Dir1->currentIndex().siblingAtRow(page.Dir1->currentIndex().row() - 1)
                 .data().toString(),
             QStringLiteral("app"));
}

// A user who downloads a new picture and clicks the selected "downloaded.jpg"
// again sees the new one; a box that grows gets the picture decoded anew for
// its size instead of a small decode stretched.
void DiskNavigationTest::shownPictureFollowsClicksAndBoxSize()
{
    Page page;
    const QString path = QDir(page.programFolder).filePath("downloaded.jpg");
    const auto write = [&](QColor colour) {
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(colour);
        picture.save(path, "JPEG");
    };
    const auto centre = [&] {
        return page.Image2->pixmap().toImage().pixelColor(page.Image2->pixmap().rect().center());
    };
    write(Qt::red);
    page.disk->ResetDiskFolder();
    QTRY_COMPARE(page.Files(), QStringList{"downloaded.jpg"});
    QSignalSpy shown(&page.disk->Image2(), &PictureView::Shown);
    page.Click("downloaded.jpg");
    QTRY_COMPARE(shown.size(), 1);
    QVERIFY(centre().red() > 200 && centre().blue() < 50);
    write(Qt::blue);
    page.Click("downloaded.jpg");
    QTRY_COMPARE(shown.size(), 2);
    QVERIFY(centre().blue() > 200 && centre().red() < 50);

    QVERIFY(page.Image2->pixmap().width() < 600);
    page.Image2->resize(600, 450);
    QTRY_VERIFY(page.Image2->pixmap().width() >= 600);
}

// The folder the page starts in: beside a portable program, never in an install
// prefix's bin/, writable or not.
void DiskNavigationTest::appFolderOfInstalledCopy()
{
    QTemporaryDir prefix;
    const QString bin = prefix.filePath("bin"), data = prefix.filePath("data");
    QVERIFY(QDir(prefix.path()).mkpath("bin"));
    QCOMPARE(ChooseAppFolder(bin, data), bin);
    QVERIFY(QDir(prefix.path()).mkpath("share/applications"));
    fixtures::Write(prefix.filePath("share/applications/q815evm.desktop"), "[Desktop Entry]\n");
    QCOMPARE(ChooseAppFolder(bin, data), data);
}

QTEST_MAIN(DiskNavigationTest)
#include "test_disk_navigation.moc"
