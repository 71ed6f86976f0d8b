// Reading folders for the file and folder boxes, the path arithmetic of the
// folder and drive boxes, and decoding stored pictures for the picture box: the
// scaled decode, and files that are broken in the ways stored files break.
#include "PictureFixtures.h"
#include "browser/DriveList.h"
#include "browser/FolderPath.h"
#include "browser/FolderScan.h"
#include "browser/PictureDecode.h"

#include <QTemporaryDir>
#include <QTest>

class FolderScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pattern_data();
    void pattern();
    void scanListsMatchingFilesOnly();
    void scanSubfolders();
    void unreadableFolders();
    void ancestors_data();
    void ancestors();
    void volumeOfPath_data();
    void volumeOfPath();
    void decode_data();
    void decode();
    void missingFile();
};

void FolderScanTest::pattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("upper case extension") << "*.jpg"
                                          << "A.JPG" << true;
    QTest::newRow("jpeg is another extension") << "*.jpg"
                                               << "a.jpeg" << false;
    QTest::newRow("extension must end the name") << "*.jpg"
                                                 << "a.jpg.bak" << false;
    QTest::newRow("boot image") << "usb_boot_*.bin"
                                << "usb_boot_v12.bin" << true;
    QTest::newRow("question mark is one character") << "?.jpg"
                                                    << "ab.jpg" << false;
}

void FolderScanTest::pattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(NamePattern(pattern).Matches(name), matches);
}

void FolderScanTest::scanListsMatchingFilesOnly()
{
    QTemporaryDir dir;
    for (const char* name : {"b.jpg", "C.jpg", "A.JPG", "c.png", "notes.txt", ".hidden.jpg"})
        fixtures::Write(dir.filePath(name), "x");
    fixtures::Write(dir.filePath(QStringLiteral("Überfall_東京.jpg")), "x");
    QDir(dir.path()).mkdir("folder.jpg");
    QFile::link(dir.filePath("b.jpg"), dir.filePath("link_to_b.jpg"));
    QFile::link(dir.filePath("gone.jpg"), dir.filePath("dangling.jpg"));

    const FolderScan scan = ScanFiles(dir.path(), "*.jpg");
    QVERIFY(scan.ok);
    // Sorted whatever the case.
    QCOMPARE(scan.names, QStringList({"A.JPG", "b.jpg", "C.jpg", "link_to_b.jpg",
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

// A missing folder, a file, an empty path.
void FolderScanTest::unreadableFolders()
{
    QTemporaryDir dir;
    fixtures::Write(dir.filePath("file.jpg"), "x");
    for (const QString& folder : {dir.filePath("missing"), dir.filePath("file.jpg"), QString()}) {
        QVERIFY2(!ScanFiles(folder, "*.jpg").ok, qPrintable(folder));
        QVERIFY2(!ScanSubfolders(folder).ok, qPrintable(folder));
    }
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
    QTest::newRow("drive letter") << "C:/Data/pics"
                                  << QStringList{"C:/", "C:/Data", "C:/Data/pics"};
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
    QTest::newRow("root volume") << "/etc/x"
                                 << "/";
    QTest::newRow("deepest mount wins") << "/media/usb/pics"
                                        << "/media/usb";
    QTest::newRow("mount point itself") << "/media/usb"
                                        << "/media/usb";
    QTest::newRow("name prefix is not a parent") << "/media/usb2/x"
                                                 << "/media/usb2";
    QTest::newRow("sibling with longer name") << "/homework"
                                              << "/";
    QTest::newRow("relative path") << "pics"
                                   << "";
}

void FolderScanTest::volumeOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, volume);
    QCOMPARE(VolumeOfPath(path, {"/", "/media/usb", "/media/usb2", "/home"}), volume);
}

void FolderScanTest::decode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("picture"); // false: no picture, the placeholder is shown

    const QByteArray jpeg = fixtures::Jpeg(640, 480);
    QTest::newRow("valid") << "valid.jpg" << jpeg << true;
    QTest::newRow("upper case extension") << "VALID.JPG" << jpeg << true;
    QTest::newRow("non-ASCII name") << QStringLiteral("Überfall_東京_ß.jpg") << jpeg << true;
    QTest::newRow("truncated: the first half is shown")
        << "truncated.jpg" << jpeg.left(jpeg.size() / 2) << true;
    QTest::newRow("junk after the end marker")
        << "junk_after_end.jpg" << jpeg + QByteArray(4000, '\x5A') << true;
    QTest::newRow("zero bytes") << "zero_bytes.jpg" << QByteArray() << false;
    QTest::newRow("header only") << "header_only.jpg" << jpeg.left(20) << false;
    QTest::newRow("header claims 65000 x 65000")
        << "huge_header.jpg" << fixtures::HugeHeaderJpeg() << false;
    QTest::newRow("text named .jpg")
        << "not_a_picture.jpg" << QByteArray("hello, world\n") << false;
    QTest::newRow("PNG named .jpg") << "png_inside.jpg" << [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(32, 32, QImage::Format_RGB32).save(&buffer, "PNG");
        return png;
    }() << true;
}

void FolderScanTest::decode()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, picture);
    QTemporaryDir dir;
    fixtures::Write(dir.filePath(name), bytes);

    const QSize boxSize(478, 369);
    const QImage decoded = DecodePicture(dir.filePath(name), boxSize);
    QCOMPARE(!decoded.isNull(), picture);
    if (picture)
        QCOMPARE(decoded.size(), boxSize); // stretched to the box, as it is shown
}

void FolderScanTest::missingFile()
{
    QTemporaryDir dir;
    QVERIFY(DecodePicture(dir.filePath("gone.jpg"), QSize(100, 100)).isNull());
}

QTEST_GUILESS_MAIN(FolderScanTest)
#include "test_folder_scan.moc"
