// The window follows the resize rules: the minimum size, the height that follows
// the width, and the controls that grow with it (the arithmetic's own figures are
// test_resize_layout's).
#include "WindowFixture.h"
#include "app/ResizeLayout.h"
#include "app/Twips.h"

#include <QLabel>
#include <QTest>

class FormResizeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void outerSize_data();
    void outerSize();
    void maximisedWindowKeepsItsSize();
};

void FormResizeTest::outerSize_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("expectedWidth");
    QTest::newRow("wider") << 15000.0 << 9000.0 << 15000.0;
    QTest::newRow("only the height enlarged") << 12420.0 << 12000.0 << 12420.0;
    QTest::newRow("height below the minimum on a wide window") << 16000.0 << 6000.0 << 11040.0;
    QTest::newRow("width below the minimum") << 9000.0 << 9000.0 << 11040.0;
}

void FormResizeTest::outerSize()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, expectedWidth);
    WindowFixture f;
    f.window.show();
    const QSize decoration = f.window.frameGeometry().size() - f.window.size();
    f.window.resize(TwipsToPixels(width) - decoration.width(),
                    TwipsToPixels(height) - decoration.height());
    QTRY_COMPARE(PixelsToTwips(f.window.frameGeometry().width()), expectedWidth);
    const double outerHeight = HeightForWidth(expectedWidth);
    QTRY_COMPARE(f.window.frameGeometry().height(), TwipsToPixels(outerHeight));

    // The pictures keep the ratio, and the controls around them follow.
    const double extra = outerHeight - MinimumOuterHeight;
    auto* image1 = f.Get<QLabel>("Image1");
    QCOMPARE(image1->height(), TwipsToPixels(5545 + extra));
    QVERIFY(std::abs(image1->width() - image1->height() * LayoutRatio) <= 1.0);
    QVERIFY(std::abs(f.Get<QLabel>("Image2")->width() -
                     f.Get<QLabel>("Image2")->height() * LayoutRatio) <= 1.0);
    QCOMPARE(f.Get<QWidget>("TabStrip1")->height(), TwipsToPixels(6615 + extra));
    QVERIFY(std::abs(f.Get<QLabel>("txtBRSerialNumber")->y() - TwipsToPixels(5280 + extra)) <= 1);
    // TxtUSB keeps its distance from the right edge.
    QCOMPARE(Control<QLineEdit>(f.window, "TxtUSB")->x(),
             TwipsToPixels(expectedWidth - MinimumOuterWidth + 9240));
}

void FormResizeTest::maximisedWindowKeepsItsSize()
{
    WindowFixture f;
    f.window.showMaximized();
    QCoreApplication::processEvents();
    const QSize before = f.window.size();
    f.window.Form_Resize();
    QCOMPARE(f.window.size(), before);
    // The controls are laid out for the height that the width implies.
    const double extra = std::abs(HeightForWidth(PixelsToTwips(f.window.frameGeometry().width())) -
                                  MinimumOuterHeight);
    QCOMPARE(f.Get<QWidget>("TabStrip1")->height(), TwipsToPixels(extra + 6615));
}

QTEST_MAIN(FormResizeTest)
#include "test_form_resize.moc"
