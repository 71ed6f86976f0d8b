// The resize arithmetic: minimum size, the height that follows the width, and
// the places of the controls that grow with the window.
#include "app/ResizeLayout.h"

#include <QTest>
#include <cmath>

class ResizeLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void minimumAndHeight();
    void atMinimumSize();
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

// The window follows these at other sizes in test_form_resize; here the edges.
void ResizeLayoutTest::minimumAndHeight()
{
    QVERIFY(!BelowMinimumSize(11040, 7125)); // exactly the minimum
    QVERIFY(BelowMinimumSize(15000, 7124));
    QVERIFY(BelowMinimumSize(11039, 9000));
    QCOMPARE(HeightForWidth(11040), 7125);
    QCOMPARE(HeightForWidth(12420), 8191);
    // 1810 + 5460 * k / 2 gives a quotient of exactly 4215 * k / 2: halves go to even.
    QCOMPARE(HeightForWidth(1810.0 + 5460.0 * 2.5), 10538);
    QCOMPARE(HeightForWidth(1810.0 + 5460.0 * 3.5), 14752);
    // Wider, the tab strip still ends about 47 twips short of the outer width.
    const LayoutAssignments wider = ComputeResizeLayout(HeightForWidth(14000), 14000);
    QVERIFY(std::abs(14000 - Value(wider, "TabStrip1", LayoutProperty::Width) - 47) < 2);
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
