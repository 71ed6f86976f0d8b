// Decoding stored pictures for the picture box: the scaled decode, and files
// that are broken in the ways stored files break.
#include "browser/PictureDecode.h"
#include "PictureFixtures.h"

#include <QTemporaryDir>
#include <QTest>

class PictureDecodeTest : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void missingFile();
};

void PictureDecodeTest::decode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("picture"); // false: no picture, the placeholder is shown

    const QByteArray jpeg = fixtures::Jpeg(640, 480);
    QTest::newRow("valid") << "valid.jpg" << jpeg << true;
    QTest::newRow("upper case extension") << "VALID.JPG" << jpeg << true;
    QTest::newRow("non-ASCII name") << QStringLiteral("Überfall_東京_ß.jpg") << jpeg << true;
    QTest::newRow("truncated: the first half is shown") << "truncated.jpg" << jpeg.left(jpeg.size() / 2)
                                                         << true;
    QTest::newRow("junk after the end marker")
        << "junk_after_end.jpg" << jpeg + QByteArray(4000, '\x5A') << true;
    QTest::newRow("zero bytes") << "zero_bytes.jpg" << QByteArray() << false;
    QTest::newRow("header only") << "header_only.jpg" << jpeg.left(20) << false;
    QTest::newRow("header claims 65000 x 65000")
        << "huge_header.jpg" << fixtures::HugeHeaderJpeg() << false;
    QTest::newRow("text named .jpg") << "not_a_picture.jpg" << QByteArray("hello, world\n") << false;
    QTest::newRow("PNG named .jpg") << "png_inside.jpg" << [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(32, 32, QImage::Format_RGB32).save(&buffer, "PNG");
        return png;
    }() << true;
}

void PictureDecodeTest::decode()
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

void PictureDecodeTest::missingFile()
{
    QTemporaryDir dir;
    QVERIFY(DecodePicture(dir.filePath("gone.jpg"), QSize(100, 100)).isNull());
}

QTEST_GUILESS_MAIN(PictureDecodeTest)
#include "test_picture_decode.moc"
