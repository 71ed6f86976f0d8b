// The virtual camera's test picture: a JPEG at each of the eleven sizes that the
// length reply's four hex digits can announce, different from frame to frame.
#include "camera/TestPicture.h"
#include "link/usb/VirtualBoard.h"

#include <QImage>
#include <QTest>

class TestPictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everySize_data();
    void everySize();
    void framesDiffer();
};

void TestPictureTest::everySize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (int index = 0; index < 11; ++index) {
        const usb::PictureSize size = usb::PictureSizeForIndex(index);
        QTest::addRow("%dx%d", size.width, size.height) << size.width << size.height;
    }
}

void TestPictureTest::everySize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray jpeg = RenderTestPicture(width, height, 1);
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    QVERIFY(jpeg.size() <= 0xFFFF);
    const QImage image = QImage::fromData(jpeg, "JPEG");
    QCOMPARE(image.size(), QSize(width, height));
    // Colour bars along the bottom edge: the first is light grey, the last blue.
    const QColor first = image.pixelColor(width / 14, height - 2);
    const QColor last = image.pixelColor(width - width / 14, height - 2);
    QVERIFY2(qAbs(first.red() - first.blue()) < 40 && first.red() > 150, qPrintable(first.name()));
    QVERIFY2(last.blue() > 150 && last.red() < 60, qPrintable(last.name()));
}

void TestPictureTest::framesDiffer()
{
    const QImage one = QImage::fromData(RenderTestPicture(320, 240, 1), "JPEG");
    const QImage two = QImage::fromData(RenderTestPicture(320, 240, 2), "JPEG");
    QVERIFY(!one.isNull());
    QVERIFY(one != two);
}

QTEST_MAIN(TestPictureTest)
#include "test_test_picture.moc"
