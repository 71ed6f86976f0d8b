// The window follows the resize rules: the minimum size, the height that follows
// the width, and the controls that grow with it (the arithmetic's own figures are
// test_resize_layout's).
#include "WindowFixture.h"
#include "app/ResizeLayout.h"
#include "app/Twips.h"

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

    // Each control that grows or moves keeps its rule: tops and heights follow the
    // extra height, widths the width of Image1, the pictures keep the ratio.
    const double extra = outerHeight - MinimumOuterHeight;
    const auto at = [&](const char* name) { return f.Get<QWidget>(name)->geometry(); };
    const std::tuple<const char*, int (QRect::*)() const, double> rules[] = {
        {"ProgPicDwnld", &QRect::y, 5520},    {"TabStrip1", &QRect::height, 6615},
        {"Frame1_0", &QRect::height, 5895},   {"Frame1_1", &QRect::height, 5895},
        {"Frame1_3", &QRect::height, 5895},   {"Image1", &QRect::height, 5545},
        {"File1", &QRect::height, 3660},      {"Image2", &QRect::height, 5535},
        {"txtBRTaxiNumber", &QRect::y, 5040}, {"txtBRSerialNumber", &QRect::y, 5280},
        {"txtBRUserString", &QRect::y, 5040}, {"txtBrTrigType", &QRect::y, 4800},
        {"imgLive", &QRect::height, 5125},    {"lblLiveStatus", &QRect::y, 5445}};
    for (const auto& [name, edge, twips] : rules)
        QVERIFY2(std::abs((at(name).*edge)() - TwipsToPixels(twips + extra)) <= 1, name);
    const std::pair<const char*, int> widths[] = {{"Frame1_0", 3570}, {"Frame1_1", 3570},
                                                  {"Frame1_3", 3570}, {"TabStrip1", 3810},
                                                  {"imgLive", 0},     {"lblLiveStatus", 0}};
    for (const auto& [name, beyond] : widths)
        QVERIFY2(qAbs(at(name).width() - at("Image1").width() - TwipsToPixels(beyond)) <= 1, name);
    for (const char* picture : {"Image1", "Image2"})
        QVERIFY(std::abs(at(picture).width() - at(picture).height() * LayoutRatio) <= 1.0);
    // TxtUSB keeps its distance from the right edge.
    QCOMPARE(at("TxtUSB").x(), TwipsToPixels(expectedWidth - MinimumOuterWidth + 9240));
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
