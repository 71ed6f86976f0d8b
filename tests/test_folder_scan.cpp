// Reading folders for the file and folder boxes, and the path arithmetic of
// the folder and drive boxes.
#include "browser/DriveList.h"
#include "browser/FolderPath.h"
#include "browser/FolderScan.h"
#include "PictureFixtures.h"

#include <QTemporaryDir>
#include <QTest>

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void pattern_data();
    void pattern();
    void sortIgnoresCase();
    void scanListsMatchingFilesOnly();
    void scanSubfolders();
    void unreadableFolders_data();
    void unreadableFolders();
    void ancestors_data();
    void ancestors();
    void volumeOfPath_data();
    void volumeOfPath();
};

void FolderScanTest::pattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("jpg") << "*.jpg" << "a.jpg" << true;
    QTest::newRow("upper case extension") << "*.jpg" << "A.JPG" << true;
    QTest::newRow("jpeg is another extension") << "*.jpg" << "a.jpeg" << false;
    QTest::newRow("extension must end the name") << "*.jpg" << "a.jpg.bak" << false;
    QTest::newRow("bare extension") << "*.jpg" << ".jpg" << true;
    QTest::newRow("non-ASCII name") << "*.jpg" << QStringLiteral("Überfall_東京.jpg") << true;
    QTest::newRow("boot image") << "usb_boot_*.bin" << "usb_boot_v12.bin" << true;
    QTest::newRow("boot prefix missing") << "usb_boot_*.bin" << "boot_01.bin" << false;
    QTest::newRow("question mark is one character") << "?.jpg" << "ab.jpg" << false;
}

void FolderScanTest::pattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(NamePattern(pattern).Matches(name), matches);
}

void FolderScanTest::sortIgnoresCase()
{
    QStringList names{"c.jpg", "B.jpg", "a.JPG", "b2.jpg", "A.jpg"};
    SortNamesIgnoringCase(names);
    QCOMPARE(names, QStringList({"A.jpg", "a.JPG", "B.jpg", "b2.jpg", "c.jpg"}));
}

void FolderScanTest::scanListsMatchingFilesOnly()
{
    QTemporaryDir dir;
    for (const char* name : {"b.jpg", "A.JPG", "c.png", "notes.txt", ".hidden.jpg"})
        fixtures::Write(dir.filePath(name), "x");
    fixtures::Write(dir.filePath(QStringLiteral("Überfall_東京.jpg")), "x");
    QDir(dir.path()).mkdir("folder.jpg");
    QFile::link(dir.filePath("b.jpg"), dir.filePath("link_to_b.jpg"));
    QFile::link(dir.filePath("gone.jpg"), dir.filePath("dangling.jpg"));

    const FolderScan scan = ScanFiles(dir.path(), "*.jpg");
    QVERIFY(scan.ok);
    QCOMPARE(scan.names, QStringList({"A.JPG", "b.jpg", "link_to_b.jpg",
                                      QStringLiteral("Überfall_東京.jpg")}));
}

void FolderScanTest::scanSubfolders()
{
    QTemporaryDir dir;
    for (const char* name : {"beta", "Alpha", ".cache"})
        QDir(dir.path()).mkdir(name);
    fixtures::Write(dir.filePath("file"), "x");
    const FolderScan scan = ScanSubfolders(dir.path());
    QVERIFY(scan.ok);
    QCOMPARE(scan.names, QStringList({"Alpha", "beta"}));
}

void FolderScanTest::unreadableFolders_data()
{
    QTest::addColumn<QString>("leaf"); // inside a fresh temporary folder
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("a file, not a folder") << "file.jpg";
    QTest::newRow("empty path") << "";
}

void FolderScanTest::unreadableFolders()
{
    QFETCH(QString, leaf);
    QTemporaryDir dir;
    fixtures::Write(dir.filePath("file.jpg"), "x");
    const QString folder = leaf.isEmpty() ? QString() : dir.filePath(leaf);
    QVERIFY(!ScanFiles(folder, "*.jpg").ok);
    QVERIFY(!ScanSubfolders(folder).ok);
}

void FolderScanTest::ancestors_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("ancestors");
    QTest::newRow("root") << "/" << QStringList{"/"};
    QTest::newRow("nested") << "/home/ann" << QStringList{"/", "/home", "/home/ann"};
    QTest::newRow("trailing separator and dots")
        << "/home/./x/../ann/" << QStringList{"/", "/home", "/home/ann"};
#ifdef Q_OS_WIN
    QTest::newRow("drive letter") << "C:/Data/pics" << QStringList{"C:/", "C:/Data", "C:/Data/pics"};
#endif
    QTest::newRow("relative") << "pics/today" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void FolderScanTest::ancestors()
{
    QFETCH(QString, path);
    QFETCH(QStringList, ancestors);
    QCOMPARE(FolderAncestors(path), ancestors);
}

void FolderScanTest::volumeOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("volume");
    QTest::newRow("root volume") << "/etc/x" << "/";
    QTest::newRow("deepest mount wins") << "/media/usb/pics" << "/media/usb";
    QTest::newRow("mount point itself") << "/media/usb" << "/media/usb";
    QTest::newRow("name prefix is not a parent") << "/media/usb2/x" << "/media/usb2";
    QTest::newRow("sibling with longer name") << "/homework" << "/";
    QTest::newRow("relative path") << "pics" << "";
}

void FolderScanTest::volumeOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, volume);
    QCOMPARE(VolumeOfPath(path, {"/", "/media/usb", "/media/usb2", "/home"}), volume);
}

QTEST_GUILESS_MAIN(FolderScanTest)
#include "test_folder_scan.moc"
