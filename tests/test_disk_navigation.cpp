// Browsing stored pictures: the drive, folder and file lists linked to the
// picture and its record, over two pretend volumes in temporary folders; then
// the "Disk" page's boxes and labels bound to them.
#include "PictureFixtures.h"
#include "app/pages/DiskPage.h"
#include "browser/DiskNavigation.h"
#include "browser/FileList.h"
#include "browser/FolderList.h"
#include "browser/StoredPicture.h"
#include "common/AppPaths.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

const QString CameraName = QStringLiteral("Q8150001_00004711_20071105_142507_T_3_X00_"
                                          "TX-0042 CITYCAB     _Shift 2 driver 17___.jpg");

// The navigation with no window, and what it asked to be shown.
struct Disk {
    QTemporaryDir volumeA, volumeB;
    QStringList laterVolumes; // mounted while the program runs; read by the drive list's worker
    QString AppFolder;
    QString programFolder = volumeA.filePath("app");
    std::int16_t ImageBitmapRef = 101;
    DiskNavigation nav{AppFolder, ImageBitmapRef, [this] { return programFolder; },
                       [this] {
                           return QStringList{volumeA.path(), volumeB.path(),
                                              volumeB.filePath("no_medium")} +
                                  laterVolumes;
                       }};
    QSignalSpy shown{&nav.Image2(), &StoredPicture::Shown}; // (picture, stored)
    QSignalSpy cleared{&nav, &DiskNavigation::RecordCleared};

    Disk()
    {
        QDir(volumeA.path()).mkpath("app/sub");
        QDir(volumeB.path()).mkpath("pics");
        nav.Image2().SetBoxSize({120, 90});
        if (!QTest::qWaitFor([this] { return !nav.Drive1().Volumes().isEmpty(); }, 5000))
            qWarning("the drive list was not read");
    }
    QString Sub() const { return QDir(programFolder).filePath("sub"); }
    void Put(const QString& name)
    {
        fixtures::Write(QDir(programFolder).filePath(name), fixtures::Jpeg());
    }
    QStringList Files() const { return nav.File1().Names(); }
    // Selects the entry `name`, as the user does in the file box.
    void Select(const QString& name)
    {
        const int row = int(Files().indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        nav.File1().Selection()->setCurrentIndex(nav.File1().Model()->index(row),
                                                 QItemSelectionModel::ClearAndSelect);
    }
    bool Settled(const QString& folder) const
    {
        return nav.File1().Folder() == folder && nav.Dir1().Path() == folder;
    }
    bool LastShownStored() const { return shown.last().at(1).toBool(); }
};

// The "Disk" page over the volumes of `volumes`, shown.
struct ShownPage {
    QString AppFolder;
    const std::int16_t ImageBitmapRef = 101;
    DiskPage page;
    explicit ShownPage(const QStringList& volumes)
        : page(TabPages()[1], AppFolder, ImageBitmapRef, nullptr, [volumes] { return volumes; })
    {
        page.show();
    }
    QStringList Captions() const
    {
        QStringList texts;
        for (QLabel* label : {page.TxtBrDate, page.TxtBrTime, page.TxtBrNumber, page.txtBrTrigType,
                              page.txtBRTaxiNumber, page.txtBRSerialNumber, page.txtBRUserString})
            texts << label->text();
        return texts;
    }
};

} // namespace

class DiskNavigationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resetListsPicturesOfAppFolder();
    void folderAndDriveChangesClearTheView();
    void driveListIsReadBesideTheWindow();
    void unreadableFoldersLeaveTheLists();
    void driveKeepsItsFolderUntilReset();
    void pageBindsBoxesAndRecordLabels();
    void shownPictureFollowsClicksAndBoxSize();
};

// The pictures of the program's folder; one removed after it was listed gives
// the placeholder, a name that is not ASCII reaches the file.
void DiskNavigationTest::resetListsPicturesOfAppFolder()
{
    Disk disk;
    const QString kept = QStringLiteral("Überfall_東京.jpg");
    for (const QString& name : {kept, QStringLiteral("removed.JPG"), QStringLiteral("notes.txt")})
        disk.Put(name);
    disk.nav.ResetDiskFolder();
    QCOMPARE(disk.AppFolder, disk.programFolder);
    QTRY_COMPARE(disk.Files(), QStringList({"removed.JPG", kept}));
    QVERIFY(disk.Settled(disk.programFolder));
    QCOMPARE(disk.nav.Drive1().Value(), disk.volumeA.path());
    QVERIFY(disk.nav.File1().FileName().isEmpty());
    // the folders from the root down to the open one, then its one subfolder
    const QStandardItemModel* folders = disk.nav.Dir1().Model();
    QTRY_COMPARE(folders->item(folders->rowCount() - 1)->text(), QStringLiteral("sub"));
    QCOMPARE(disk.nav.Dir1().Selection()->currentIndex().row(), folders->rowCount() - 2);
    QCOMPARE(folders->item(folders->rowCount() - 2)->text(), QStringLiteral("app"));

    QFile::remove(QDir(disk.programFolder).filePath("removed.JPG"));
    const std::pair<QString, bool> cases[] = {{kept, true}, {"removed.JPG", false}};
    for (const auto& [name, stored] : cases) {
        disk.shown.clear();
        disk.Select(name);
        QTRY_COMPARE(disk.shown.size(), 1);
        QCOMPARE(disk.LastShownStored(), stored);
    }
}

// Another folder clears the record and shows the placeholder at once, even
// when it holds the same file; another drive does so twice (through
// FolderChanged, then at the end of DriveChanged).
void DiskNavigationTest::folderAndDriveChangesClearTheView()
{
    Disk disk;
    disk.Put(CameraName);
    disk.Put("sub/" + CameraName);
    fixtures::Write(disk.volumeB.filePath("on_b.jpg"), fixtures::Jpeg());
    disk.nav.ResetDiskFolder();
    QTRY_COMPARE(disk.Files(), QStringList{CameraName});
    disk.Select(CameraName);
    disk.shown.clear();
    disk.cleared.clear();
    disk.nav.Dir1().SetPath(disk.Sub());
    QCOMPARE(disk.cleared.size(), 1);
    QCOMPARE(disk.shown.size(), 1);
    QVERIFY(!disk.LastShownStored());
    QCOMPARE(disk.shown.last().first().value<QImage>().size(), PlaceholderBitmap(101).size());
    QTRY_VERIFY(disk.Settled(disk.Sub()));
    QTRY_COMPARE(disk.Files(), QStringList{CameraName});
    QVERIFY(disk.nav.File1().FileName().isEmpty());

    disk.Select(CameraName);
    disk.shown.clear();
    disk.cleared.clear();
    disk.nav.Drive1().Pick(disk.volumeB.path());
    QTRY_COMPARE(disk.Files(), QStringList{"on_b.jpg"});
    QVERIFY(disk.Settled(disk.volumeB.path()));
    QCOMPARE(disk.cleared.size(), 2);
    QCOMPARE(disk.shown.size(), 2);
    QVERIFY(!disk.shown.at(0).at(1).toBool() && !disk.LastShownStored());
}

// A volume that takes its time to answer does not hold up the window; what was
// asked of the list meanwhile is taken up when the answer comes.
void DiskNavigationTest::driveListIsReadBesideTheWindow()
{
    QTemporaryDir a, b;
    std::atomic<bool> answer{false};
    DriveList drives([&] {
        while (!answer)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return QStringList{a.path(), b.path()};
    });
    const QString folder = b.filePath(QStringLiteral("pics"));
    drives.SetValue(folder);
    drives.RememberFolder(folder);
    QVERIFY(drives.Volumes().isEmpty());
    answer = true;
    QTRY_COMPARE(drives.Value(), b.path());
    QCOMPARE(drives.CurrentFolder(b.path()), folder);
    QCOMPARE(drives.Volumes().size(), 2);
}

// A drive without a medium, and a folder that vanished after it was listed:
// the lists stay as they were, and the selected file is shown again.
void DiskNavigationTest::unreadableFoldersLeaveTheLists()
{
    Disk disk;
    disk.Put("a.jpg");
    disk.nav.ResetDiskFolder();
    QTRY_COMPARE(disk.Files(), QStringList{"a.jpg"});
    disk.Select("a.jpg");

    QSignalSpy listed(&disk.nav.File1(), &FileList::Listed);
    const QString noMedium = disk.volumeB.filePath("no_medium");
    disk.nav.Drive1().Pick(noMedium);
    QVERIFY(listed.wait());
    QCOMPARE(listed.last().first().toBool(), false);
    QCOMPARE(disk.nav.Drive1().Value(), noMedium);
    QTRY_VERIFY(disk.Settled(disk.programFolder));
    QCOMPARE(disk.Files(), QStringList{"a.jpg"});
    QCOMPARE(disk.nav.File1().FileName(), QStringLiteral("a.jpg"));

    QSignalSpy folderListed(&disk.nav.Dir1(), &FolderList::Listed);
    QDir(disk.Sub()).removeRecursively();
    listed.clear();
    disk.shown.clear();
    disk.nav.Dir1().SetPath(disk.Sub());
    QTRY_VERIFY(!folderListed.isEmpty() && !listed.isEmpty());
    QCOMPARE(listed.last().first().toBool(), false);
    QVERIFY(disk.Settled(disk.programFolder));
    QCOMPARE(disk.nav.File1().FileName(), QStringLiteral("a.jpg"));
    QTRY_VERIFY(!disk.shown.isEmpty() && disk.LastShownStored()); // shown again
    QCOMPARE(disk.shown.last().first().value<QImage>().size(), QSize(120, 90));

    // A folder opened and, before it has been read, one that cannot be: the
    // lists go back to the first one, not to where they were before both.
    QVERIFY(QDir().mkpath(disk.Sub()));
    disk.Put("sub/in_sub.jpg");
    disk.nav.Dir1().SetPath(disk.Sub());
    disk.nav.Dir1().SetPath(QDir(disk.programFolder).filePath("missing"));
    QTRY_VERIFY(disk.Settled(disk.Sub()));
    QTRY_COMPARE(disk.Files(), QStringList{"in_sub.jpg"});
}

// Each volume keeps the folder last shown on it, until a reset takes the lists
// back to the program's folder.
void DiskNavigationTest::driveKeepsItsFolderUntilReset()
{
    Disk disk;
    disk.nav.ResetDiskFolder();
    const QString pics = disk.volumeB.filePath("pics");
    disk.nav.Dir1().SetPath(pics);
    QCOMPARE(disk.nav.Drive1().Value(), disk.volumeA.path()); // the folder list leads nowhere
    disk.nav.Drive1().Pick(disk.volumeB.path());
    QTRY_VERIFY(disk.Settled(pics));
    disk.nav.Drive1().Pick(disk.volumeA.path());
    QTRY_VERIFY(disk.Settled(disk.programFolder));
    disk.nav.Drive1().Pick(disk.volumeB.path());
    QTRY_VERIFY(disk.Settled(pics));

    disk.AppFolder.clear(); // set afresh by the reset
    QTemporaryDir card;
    disk.laterVolumes << card.path();
    disk.nav.ResetDiskFolder();
    QCOMPARE(disk.AppFolder, disk.programFolder);
    QTRY_VERIFY(disk.nav.Drive1().Volumes().contains(card.path()));
    QCOMPARE(disk.nav.Drive1().Value(), disk.volumeA.path());
    QTRY_VERIFY(disk.Settled(disk.programFolder));
    QVERIFY(disk.nav.File1().FileName().isEmpty());
}

// The page: its boxes show the lists and pass the user's picks on, and the
// record of the selected picture goes to its seven labels.
void DiskNavigationTest::pageBindsBoxesAndRecordLabels()
{
    QTemporaryDir volume;
    ShownPage fixture({volume.path(), volume.filePath("sub")});
    DiskPage& page = fixture.page;
    page.Shown();
    QCOMPARE(fixture.AppFolder, ProgramFolder());
    QTRY_COMPARE(page.Drive1->count(), 2);
    QDir(volume.path()).mkpath("sub");
    fixtures::Write(volume.filePath("sub/" + CameraName), fixtures::Jpeg());
    page.Drive1->setCurrentIndex(1); // the user's pick
    QTRY_COMPARE(page.File1->model()->rowCount(), 1);
    QCOMPARE(page.Disk().Dir1().Path(), volume.filePath("sub"));
    page.File1->setCurrentIndex(page.File1->model()->index(0, 0));
    QCOMPARE(fixture.Captions(),
             QStringList({"05/11/2007", "14:25:07", "00004711", "Meter Button",
                          "TX-0042 CITYCAB     ", "Q8150001", "Shift 2 driver 17___"}));
    // Opening the folder above (double click or Enter) clears all but two.
    const QModelIndex above =
        page.Dir1->currentIndex().siblingAtRow(page.Dir1->currentIndex().row() - 1);
    Q_EMIT page.Dir1->activated(above);
    QCOMPARE(page.Disk().Dir1().Path(), volume.path());
    QCOMPARE(fixture.Captions(),
             QStringList({"", "", "", "", "TX-0042 CITYCAB     ", "", "Shift 2 driver 17___"}));
    QCOMPARE(page.Image2->pixmap().size(), PlaceholderBitmap(101).size());
    page.Disk().Drive1().SetValue(volume.filePath("x"));
    QCOMPARE(page.Drive1->currentText(), volume.path());
}

// A user who downloads a new picture and clicks the selected "downloaded.jpg"
// again sees the new one; a box that grows gets the picture decoded anew for
// its size instead of a small decode stretched.
void DiskNavigationTest::shownPictureFollowsClicksAndBoxSize()
{
    QTemporaryDir folder;
    ShownPage fixture({folder.path()});
    DiskPage& page = fixture.page;
    const QString path = folder.filePath("downloaded.jpg");
    const auto write = [&](QColor colour) {
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(colour);
        picture.save(path, "JPEG");
    };
    const auto centre = [&] {
        return page.Image2->pixmap().toImage().pixelColor(page.Image2->pixmap().rect().center());
    };
    const auto click = [&] {
        const QRect place = page.File1->visualRect(page.File1->model()->index(0, 0));
        QTest::mouseClick(page.File1->viewport(), Qt::LeftButton, {}, place.center());
    };
    write(Qt::red);
    page.Disk().Dir1().SetPath(folder.path());
    QTRY_COMPARE(page.File1->model()->rowCount(), 1);
    QSignalSpy shown(&page.Disk().Image2(), &StoredPicture::Shown);
    click();
    QTRY_COMPARE(shown.size(), 1);
    QVERIFY(centre().red() > 200 && centre().blue() < 50);
    write(Qt::blue);
    click();
    QTRY_COMPARE(shown.size(), 2);
    QVERIFY(centre().blue() > 200 && centre().red() < 50);

    QVERIFY(page.Image2->pixmap().width() < 600);
    page.Image2->resize(600, 450);
    QTRY_VERIFY(page.Image2->pixmap().width() >= 600);
}

QTEST_MAIN(DiskNavigationTest)
#include "test_disk_navigation.moc"
