#include "app/TabStrip.h"

#include <QMouseEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

TabStrip::TabStrip(const QStringList& captions, QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this))
{
    bar_->setObjectName(QStringLiteral("TabStrip1Tabs"));
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    for (const QString& caption : captions)
        bar_->addTab(caption);
    // currentChanged misses a click on the tab already shown, which must count.
    bar_->installEventFilter(this);
    connect(bar_, &QTabBar::currentChanged, this, [this] { Q_EMIT Click(); });
}

int TabStrip::SelectedIndex() const
{
    return bar_->currentIndex() + 1;
}

void TabStrip::Select(int index)
{
    if (index - 1 == bar_->currentIndex())
        Q_EMIT Click();
    else
        bar_->setCurrentIndex(index - 1);
}

bool TabStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            bar_->tabAt(mouse->position().toPoint()) == bar_->currentIndex() &&
            bar_->currentIndex() >= 0) {
            Q_EMIT Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TabStrip::resizeEvent(QResizeEvent* /*event*/)
{
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
}

void TabStrip::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    const int barHeight = bar_->sizeHint().height();
    option.rect = QRect(0, barHeight - 1, width(), height() - barHeight + 1);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = bar_->sizeHint();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}
