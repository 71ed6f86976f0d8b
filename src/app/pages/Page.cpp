#include "app/pages/Page.h"

#include "app/Twips.h"

Page::Page(const TabPage& tab, QWidget* parent)
    : PageFrame(tab.frameTitle, parent), runsAgain_(tab.runsAgain)
{
    setGeometry(TwipsRect(120, 360, tab.width, tab.height));
}
