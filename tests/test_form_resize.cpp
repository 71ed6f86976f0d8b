// The window follows the resize rules: the minimum size, the height that follows
// the width, and the controls that grow with it.
#include "WindowFixture.h"
#include "app/ResizeLayout.h"
#include "app/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class FormResizeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void heightFollowsWidth_data();
    void heightFollowsWidth();
    void tooSmallSnapsToTheMinimum_data();
    void tooSmallSnapsToTheMinimum();
    void maximisedWindowKeepsItsSize();
};

namespace {
double OuterWidth(const QWidget& w)
{
    return PixelsToTwips(w.frameGeometry().width());
}
double OuterHeight(const QWidget& w)
{
    return PixelsToTwips(w.frameGeometry().height());
}
// Resizes to an outer size in twips and lets the layout settle.
void ResizeOuter(QWidget& w, double width, double height)
{
    const QSize decoration = w.frameGeometry().size() - w.size();
    w.resize(TwipsToPixels(width) - decoration.width(), TwipsToPixels(height) - decoration.height());
    QCoreApplication::processEvents();
}
} // namespace

void FormResizeTest::heightFollowsWidth_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("wider") << 15000.0 << 9000.0;
    QTest::newRow("only the height enlarged") << 12420.0 << 12000.0;
}

void FormResizeTest::heightFollowsWidth()
{
    QFETCH(double, width);
    QFETCH(double, height);
    WindowFixture f;
    f.window.show();
    ResizeOuter(f.window, width, height);
    const double outerWidth = OuterWidth(f.window);
    QCOMPARE(outerWidth, width);
    QTRY_COMPARE(f.window.frameGeometry().height(), TwipsToPixels(HeightForWidth(outerWidth)));

    // The pictures keep the ratio, and the controls around them follow.
    auto* image1 = f.Get<QLabel>("Image1");
    auto* image2 = f.Get<QLabel>("Image2");
    QVERIFY(std::abs(image1->width() - image1->height() * LayoutRatio) <= 1.0);
    QVERIFY(std::abs(image2->width() - image2->height() * LayoutRatio) <= 1.0);
    const int extra = TwipsToPixels(std::abs(HeightForWidth(outerWidth) - MinimumOuterHeight));
    QVERIFY(std::abs(image1->geometry().bottom() - f.Get<QWidget>("ProgPicDwnld")->y() -
                     (TwipsToPixels(240 + 5545) - TwipsToPixels(5520))) <= 2);
    QVERIFY(std::abs(f.Get<QLabel>("txtBRSerialNumber")->y() - TwipsToPixels(5280) - extra) <= 1);
    // TxtUSB keeps its distance from the right edge.
    QCOMPARE(f.window.TxtUSB->x(), TwipsToPixels(outerWidth - MinimumOuterWidth + 9240));
}

void FormResizeTest::tooSmallSnapsToTheMinimum_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("height below the minimum on a wide window") << 16000.0 << 6000.0;
    QTest::newRow("width below the minimum") << 9000.0 << 9000.0;
}

void FormResizeTest::tooSmallSnapsToTheMinimum()
{
    QFETCH(double, width);
    QFETCH(double, height);
    WindowFixture f;
    f.window.show();
    ResizeOuter(f.window, width, height);
    QTRY_COMPARE(OuterWidth(f.window), 11040.0);
    QCOMPARE(f.window.frameGeometry().height(), TwipsToPixels(7125));
    // At the minimum size the controls have the sizes of the design's layout
    // (the rest of its figures are the resize arithmetic's test).
    QCOMPARE(f.Get<QWidget>("TabStrip1")->height(), TwipsToPixels(6615));
    QCOMPARE(f.Get<QLabel>("Image1")->height(), TwipsToPixels(5545));
    QCOMPARE(f.Get<QLabel>("Image1")->width(), TwipsToPixels(5550 * LayoutRatio));
    QCOMPARE(f.window.TxtUSB->x(), TwipsToPixels(9240));
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
    const double extra = std::abs(HeightForWidth(OuterWidth(f.window)) - MinimumOuterHeight);
    QCOMPARE(f.Get<QWidget>("TabStrip1")->height(), TwipsToPixels(extra + 6615));
}

QTEST_MAIN(FormResizeTest)
#include "test_form_resize.moc"
