// The resize arithmetic: minimum size, the height that follows the width, and
// the places of the controls that grow with the window.
#include "app/ResizeLayout.h"

#include <QTest>
#include <cmath>

class ResizeLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void minimumSize_data();
    void minimumSize();
    void heightForWidth_data();
    void heightForWidth();
    void atMinimumSize();
    void widerWindow();
    void veryWideWindowDoesNotOverflow();
    void widthsUseReportedHeights();
};

namespace {
double Value(const LayoutAssignments& steps, const char* control, LayoutProperty property)
{
    double value = std::nan("");
    for (const LayoutAssignment& step : steps)
        if (qstrcmp(step.control, control) == 0 && step.property == property)
            value = step.value; // the last assignment wins
    return value;
}
} // namespace

void ResizeLayoutTest::minimumSize_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("snap");
    QTest::newRow("exactly the minimum") << 11040.0 << 7125.0 << false;
    QTest::newRow("height too small on a wide window") << 15000.0 << 7124.0 << true;
    QTest::newRow("width too small on a tall window") << 11039.0 << 9000.0 << true;
}

void ResizeLayoutTest::minimumSize()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, snap);
    QCOMPARE(BelowMinimumSize(width, height), snap);
}

void ResizeLayoutTest::heightForWidth_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("minimum width") << 11040.0 << 7125;
    QTest::newRow("design width") << 12420.0 << 8191;
    // 1810 + 5460 * k / 2 gives a quotient of exactly 4215 * k / 2.
    QTest::newRow("half rounds down to even") << 1810.0 + 5460.0 * 2.5 << 10538;
    QTest::newRow("half rounds up to even") << 1810.0 + 5460.0 * 3.5 << 14752;
}

void ResizeLayoutTest::heightForWidth()
{
    QFETCH(double, width);
    QFETCH(int, height);
    QCOMPARE(HeightForWidth(width), height);
}

void ResizeLayoutTest::atMinimumSize()
{
    const LayoutAssignments steps = ComputeResizeLayout(7125, 11040);
    QCOMPARE(Value(steps, "Frame1_1", LayoutProperty::Height), 5895.0);
    QCOMPARE(Value(steps, "ProgPicDwnld", LayoutProperty::Top), 5520.0);
    QCOMPARE(std::lround(Value(steps, "Frame1_0", LayoutProperty::Width)), 10753L);
    QCOMPARE(std::lround(Value(steps, "TabStrip1", LayoutProperty::Width)), 10993L);
    QCOMPARE(std::lround(Value(steps, "Image2", LayoutProperty::Width)), 7170L);
    QCOMPARE(Value(steps, "txtBrTrigType", LayoutProperty::Top), 4800.0);
    // The order of the steps is part of the rule.
    QCOMPARE(steps[4].control, "Image1");
    QCOMPARE(steps[7].property, LayoutProperty::Width);
}

void ResizeLayoutTest::widerWindow()
{
    const double width = 14000;
    const std::int32_t height = HeightForWidth(width);
    const LayoutAssignments steps = ComputeResizeLayout(height, width);
    const double extra = height - 7125;
    QCOMPARE(Value(steps, "TxtUSB", LayoutProperty::Left), 9240.0 + 2960);
    QCOMPARE(Value(steps, "txtBRSerialNumber", LayoutProperty::Top), 5280 + extra);
    // Both pictures keep the aspect ratio; the tab strip ends about 47 twips
    // short of the window's outer width.
    QCOMPARE(Value(steps, "Image1", LayoutProperty::Width),
             Value(steps, "Image1", LayoutProperty::Height) * LayoutRatio);
    QVERIFY(std::abs(width - Value(steps, "TabStrip1", LayoutProperty::Width) - 47) < 2);
}

void ResizeLayoutTest::veryWideWindowDoesNotOverflow()
{
    const double width = 60000; // beyond 11040 + 32767
    const std::int32_t height = HeightForWidth(width);
    QVERIFY(height > 32767);
    const LayoutAssignments steps = ComputeResizeLayout(height, width);
    QCOMPARE(Value(steps, "TxtUSB", LayoutProperty::Left), 9240.0 + 60000 - 11040);
    QVERIFY(Value(steps, "Image1", LayoutProperty::Height) > 32767);
}

void ResizeLayoutTest::widthsUseReportedHeights()
{
    // A control on a 15-twip pixel grid reports its height rounded to the grid.
    auto grid = [](double twips) { return std::round(twips / 15) * 15; };
    const LayoutAssignments steps = ComputeResizeLayout(7125, 11040, grid);
    QCOMPARE(Value(steps, "Image1", LayoutProperty::Width), 5550 * LayoutRatio);
    QCOMPARE(Value(steps, "Frame1_0", LayoutProperty::Width), grid(5550 * LayoutRatio) + 3570);
}

QTEST_GUILESS_MAIN(ResizeLayoutTest)
#include "test_resize_layout.moc"
