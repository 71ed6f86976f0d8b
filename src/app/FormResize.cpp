// The window's resize layout: the rules are the arithmetic of ResizeLayout; this
// applies them to the window and its controls.
#include "app/MainWindow.h"

#include "app/ResizeLayout.h"
#include "app/Twips.h"

#include <QResizeEvent>

namespace {

// Sizes on the pixel grid, reported back in twips as a control reports them.
double ReportedTwips(double twips)
{
    return PixelsToTwips(TwipsToPixels(twips));
}

void Apply(QWidget* control, LayoutProperty property, double twips)
{
    const int pixels = TwipsToPixels(twips);
    switch (property) {
    case LayoutProperty::Top:
        control->move(control->x(), pixels);
        break;
    case LayoutProperty::Left:
        control->move(pixels, control->y());
        break;
    case LayoutProperty::Height:
        control->resize(control->width(), pixels);
        break;
    case LayoutProperty::Width:
        control->resize(pixels, control->height());
        break;
    }
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

    const LayoutAssignments steps = ComputeResizeLayout(newHeight, outerWidth(), ReportedTwips);
    for (const LayoutAssignment& step : steps) {
        QWidget* control = findChild<QWidget*>(QString::fromLatin1(step.control));
        if (control != nullptr)
            Apply(control, step.property, step.value);
    }
    InResize = false;
}
