#include "app/pages/Page.h"

#include "app/Twips.h"
#include "app/pages/ControlBuilder.h"

Page::Page(const TabPage& tab, QWidget* parent) : PageFrame(tab.frameTitle, parent)
{
    setGeometry(TwipsRect(120, 360, tab.width, tab.height));
    BuildControls(this, tab.rows());
}
