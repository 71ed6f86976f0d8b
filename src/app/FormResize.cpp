// The window's resize layout: the rules are the arithmetic of ResizeLayout; the
// window applies them to its own controls, and each page to its own.
#include "app/MainWindow.h"

#include "app/LayoutStep.h"
#include "app/TabStrip.h"
#include "app/pages/Page.h"

#include <QLineEdit>
#include <QResizeEvent>

namespace {

// Sizes on the pixel grid, reported back in twips as a control reports them.
double ReportedTwips(double twips)
{
    return PixelsToTwips(TwipsToPixels(twips));
}

} // namespace

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void MainWindow::Form_Resize()
{
    if (InResize)
        return;
    InResize = true;

    // Outer size: the window with its frame, as the window system reports it.
    const auto outerWidth = [this] { return PixelsToTwips(frameGeometry().width()); };
    const auto outerHeight = [this] { return PixelsToTwips(frameGeometry().height()); };
    const auto setOuterHeight = [this](double twips) {
        const int decoration = frameGeometry().height() - height();
        resize(width(), std::max(1, TwipsToPixels(twips) - decoration));
    };
    const auto setOuterWidth = [this](double twips) {
        const int decoration = frameGeometry().width() - width();
        resize(std::max(1, TwipsToPixels(twips) - decoration), height());
    };
    // A minimised, maximised or full-screen window refuses size changes.
    const bool sizeFixed =
        windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);

    if (!sizeFixed && BelowMinimumSize(outerWidth(), outerHeight())) {
        setOuterHeight(MinimumOuterHeight);
        setOuterWidth(MinimumOuterWidth);
    }
    const std::int32_t newHeight = HeightForWidth(outerWidth());
    if (!sizeFixed)
        setOuterHeight(newHeight);

    const ResizeLayout layout = ComputeResizeLayout(newHeight, outerWidth(), ReportedTwips);
    SetHeight(TabStrip1, layout.TabStrip1Height);
    for (Page* page : std::as_const(Frame1))
        page->ApplyLayout(layout);
    SetWidth(TabStrip1, layout.TabStrip1Width);
    SetLeft(TxtUSB, layout.TxtUSBLeft);
    InResize = false;
}
