// "Live Images": the controls in a column at the left like on the "Unit" page,
// the picture beside them and the status line under it; the resize layout
// grows the picture and moves the status line with the window.
#include "app/pages/LivePage.h"

#include "app/LayoutStep.h"
#include "app/pages/ControlBuilder.h"
#include "app/widgets/BoxText.h"
#include "app/widgets/FitPicture.h"
#include "camera/LiveCapture.h"
#include "common/AppPaths.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>

// The row tables are laid out by hand, one control a line.
// clang-format off

QList<ControlRow> LivePageRows(LiveControls& c)
{
    return {
        {"cmdLive", Kind::Button, "Start", 240, 360, 1455, 375, Into(c.cmdLive)},
        {"optLiveWay", Kind::Option, "SPI", 240, 960, 1335, 375, Into(c.optLiveWay), {}, 0},
        {"optLiveWay", Kind::Option, "UART", 240, 1320, 1335, 375, Into(c.optLiveWay), {}, 1},
        {"chkLiveSave", Kind::CheckBox, "Save frames", 240, 1920, 1695, 375, Into(c.chkLiveSave)},
        {"txtLiveFolder", Kind::TextBox, "", 240, 2280, 1815, 375, Into(c.txtLiveFolder),
         {.speak = "Folder of the saved frames"}},
        {"imgLive", Kind::FitPicture, "", 2160, 240, 9630, 6700, Into(c.imgLive),
         {.speak = "Live picture"}},
        {"lblLiveStatus", Kind::Label, "", 2160, 7200, 9630, 255, Into(c.lblLiveStatus),
         {.speak = "Live status"}},
    };
}
// clang-format on

LivePage::LivePage(const TabPage& tab, LiveCapture& live, const QString& AppFolder, QWidget* tabRow,
                   QWidget* parent)
    : Page(tab, parent), live_(live), appFolder_(AppFolder), tabRow_(tabRow)
{
    BuildControls(this, LivePageRows(*this));
    optLiveWay->button(0)->setChecked(true);
    ShowCounts(live_.Counts());
    connect(cmdLive, &QAbstractButton::clicked, this, &LivePage::cmdLive_Click);
    connect(&live_, &LiveCapture::RunningChanged, this, &LivePage::ShowRunning);
    connect(&live_, &LiveCapture::CountsChanged, this, &LivePage::ShowCounts);
    connect(&live_, &LiveCapture::FrameShown, imgLive, &FitPicture::SetPicture);
}

void LivePage::Shown()
{
    if (txtLiveFolder->text().isEmpty())
        ShowFromStart(txtLiveFolder, JoinPath(appFolder_, QStringLiteral("live")));
}

bool LivePage::Leave()
{
    live_.Stop();
    leaving_ = live_.Running();
    return !leaving_;
}

void LivePage::ApplyLayout(const ResizeLayout& layout)
{
    const LiveLayout& live = layout.live;
    SetSize(this, live.frame);
    SetHeight(imgLive, live.imgLiveHeight);
    SetWidth(imgLive, live.imgLiveWidth);
    SetTop(lblLiveStatus, live.lblLiveStatusTop);
    SetWidth(lblLiveStatus, live.lblLiveStatusWidth);
}

void LivePage::cmdLive_Click()
{
    if (live_.Running())
        return live_.Stop();
    Shown(); // the default folder, also when the box was emptied
    const auto way = optLiveWay->checkedId() == 1 ? LiveCapture::Way::UART : LiveCapture::Way::SPI;
    live_.Start(way, chkLiveSave->isChecked() ? txtLiveFolder->text() : QString());
}

void LivePage::ShowRunning(bool running)
{
    cmdLive->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
    chkLiveSave->setEnabled(!running);
    txtLiveFolder->setEnabled(!running);
    for (QAbstractButton* option : optLiveWay->buttons())
        option->setEnabled(!running);
    if (running)
        passed_ = std::make_unique<InputGate::Passed>([this](QObject* receiver, QEvent* event) {
            return ReachesStopOrTabs(receiver, event);
        });
    else
        passed_.reset();
    if (!running && std::exchange(leaving_, false))
        Q_EMIT LeaveReady();
}

void LivePage::ShowCounts(const LiveCounts& counts)
{
    const QString last =
        counts.lastMs < 0 ? QStringLiteral("-") : QString::number(counts.lastMs, 'f', 1);
    lblLiveStatus->setText(QStringLiteral("Frames %1    %2 fps    Bad %3    Last frame %4 ms")
                               .arg(counts.shown)
                               .arg(counts.perSecond)
                               .arg(counts.bad)
                               .arg(last));
}

bool LivePage::ReachesStopOrTabs(QObject* receiver, QEvent* event) const
{
    const auto within = [this](const QWidget* widget) {
        return widget != nullptr &&
               (widget == cmdLive || widget == tabRow_ || cmdLive->isAncestorOf(widget) ||
                tabRow_->isAncestorOf(widget));
    };
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return within(widget);
    // The window system hands input to the window first, which passes it on to
    // the widget under the pointer or with the keyboard focus.
    QWidget* top = window();
    if (receiver == nullptr || receiver != top->windowHandle())
        return false;
    if (event->isSinglePointEvent()) {
        const QPointF at = static_cast<QSinglePointEvent*>(event)->globalPosition();
        return within(top->childAt(top->mapFromGlobal(at.toPoint())));
    }
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
                     event->type() == QEvent::ShortcutOverride;
    return key && within(top->focusWidget());
}
