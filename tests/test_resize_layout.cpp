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
    const ResizeLayout wider = ComputeResizeLayout(HeightForWidth(14000), 14000);
    QVERIFY(std::abs(14000 - wider.TabStrip1Width - 47) < 2);
}

// Every value at the minimum size, where the extra height and width are 0.
void ResizeLayoutTest::atMinimumSize()
{
    const ResizeLayout m = ComputeResizeLayout(7125, 11040);
    const UnitLayout& unit = m.unit;
    const DiskLayout& disk = m.disk;
    QCOMPARE(QList<double>({m.TabStrip1Height, unit.frame.height, disk.frame.height,
                            m.live.frame.height, unit.Image1Height, disk.File1Height,
                            disk.Image2Height, m.live.imgLiveHeight}),
             QList<double>({6615, 5895, 5895, 5895, 5545, 3660, 5535, 5125}));
    QCOMPARE(QList<double>({unit.ProgPicDwnldTop, disk.txtBRTaxiNumberTop,
                            disk.txtBRSerialNumberTop, disk.txtBRUserStringTop,
                            disk.txtBrTrigTypeTop, m.live.lblLiveStatusTop, m.TxtUSBLeft}),
             QList<double>({5520, 5040, 5280, 5040, 4800, 5445, 9240}));
    QList<long> widths;
    for (double width :
         {unit.Image1Width, unit.frame.width, disk.frame.width, m.live.frame.width,
          m.TabStrip1Width, disk.Image2Width, m.live.imgLiveWidth, m.live.lblLiveStatusWidth})
        widths << std::lround(width);
    QCOMPARE(widths, QList<long>({7183, 10753, 10753, 10753, 10993, 7170, 7183, 7183}));
}

void ResizeLayoutTest::veryWideWindowDoesNotOverflow()
{
    const double width = 60000; // beyond 11040 + 32767
    const std::int32_t height = HeightForWidth(width);
    QVERIFY(height > 32767);
    const ResizeLayout layout = ComputeResizeLayout(height, width);
    QCOMPARE(layout.TxtUSBLeft, 9240.0 + 60000 - 11040);
    QVERIFY(layout.unit.Image1Height > 32767);
}

void ResizeLayoutTest::widthsUseReportedHeights()
{
    // A control on a 15-twip pixel grid reports its height rounded to the grid.
    auto grid = [](double twips) { return std::round(twips / 15) * 15; };
    const ResizeLayout layout = ComputeResizeLayout(7125, 11040, grid);
    QCOMPARE(layout.unit.Image1Width, 5550 * LayoutRatio);
    QCOMPARE(layout.unit.frame.width, grid(5550 * LayoutRatio) + 3570);
}

QTEST_GUILESS_MAIN(ResizeLayoutTest)
#include "test_resize_layout.moc"
