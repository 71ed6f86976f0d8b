// The window's controls: the looks that features rely on, the tab switching
// rule, and controls that neither overlap nor clip their captions.
#include "WindowFixture.h"
#include "app/ConsoleView.h"
#include "app/ResizeLayout.h"
#include "app/TabStrip.h"
#include "app/Twips.h"
#include "app/pages/ClickLabel.h"
#include "app/pages/Page.h"
#include "app/widgets/FittingText.h"
#include "browser/TriggerType.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>

class WindowControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void lookThatFeaturesRelyOn();
    void recordLabelsLieOverThePictureAndFit();
    void clickLabelActsLikeAButton();

    void startsAtTheDesignSizeShowingTheUnitPage();
    void speedListShowsOverTheUnitPageOnly();
    void tabClick_data();
    void tabClick();

    void controlsDoNotOverlap();
    void captionsFitTheirPlaces();

private:
    std::unique_ptr<WindowFixture> f_; // no board plugged
    MainWindow* window_ = nullptr;
};

namespace {

// The frames' children that are controls (not the lines nor the frames' own parts).
QList<QWidget*> ControlsOf(const QWidget* frame)
{
    QList<QWidget*> controls;
    for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().startsWith(QStringLiteral("Line")))
            controls << child;
    }
    return controls;
}

} // namespace

void WindowControlsTest::init()
{
    f_ = std::make_unique<WindowFixture>(usb::EndpointLayout::Full, false);
    window_ = &f_->window;
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void WindowControlsTest::cleanup()
{
    QVERIFY2(f_->messages.isEmpty(), qPrintable(f_->messages.join(u'|')));
    f_.reset();
}

void WindowControlsTest::lookThatFeaturesRelyOn()
{
    QVERIFY(!window_->findChild<QLabel*>(QStringLiteral("Image1"))->hasScaledContents());
    QVERIFY(window_->findChild<QLabel*>(QStringLiteral("Image2"))->hasScaledContents());
    // The console inserts the chunks of one frame at once; Empty() drops what
    // is not shown yet; a console at its end stays at its end.
    ConsoleView* console = Control<ConsoleView>(*window_, "Outputwindow");
    console->AppendChunk(QStringLiteral("lost"));
    console->Empty();
    QSignalSpy changes(console->document(), &QTextDocument::contentsChange);
    console->AppendChunk(QStringLiteral("a\r\nb"));
    console->AppendChunk(QStringLiteral("c\r"));
    QTRY_COMPARE(console->toPlainText(), QStringLiteral("a\nb\nc\n\n"));
    QCOMPARE(changes.size(), 1);
    console->AppendChunk(QStringLiteral("x\r\n").repeated(300));
    console->Flush();
    QCOMPARE(console->verticalScrollBar()->value(), console->verticalScrollBar()->maximum());
}

void WindowControlsTest::recordLabelsLieOverThePictureAndFit()
{
    // Each with the widest text of its fixed-width field, which must fit whole,
    // in a smaller font where the desktop's face is wider.
    const std::pair<const char*, const char*> records[] = {
        {"TxtBrDate", "28/08/2009"}, {"TxtBrTime", "23:58:58"}, {"TxtBrNumber", "88888888"},
        {"txtBrTrigType", "Serial"}, {"txtBRTaxiNumber", ""},   {"txtBRSerialNumber", "88888888"},
        {"txtBRUserString", ""},
    };
    QWidget* disk = window_->Frame(1);
    auto* image2 = disk->findChild<QLabel*>(QStringLiteral("Image2"));
    const auto fits = [](QLabel* label) {
        return label->fontMetrics().horizontalAdvance(label->text()) <=
               label->contentsRect().width();
    };
    for (const auto& [name, widest] : records) {
        auto* label = disk->findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label != nullptr, name);
        // Drawn over Image2, so the picture shows around the text.
        QVERIFY(!label->autoFillBackground());
        QVERIFY(image2->geometry().intersects(label->geometry()));
        QCOMPARE(disk->childAt(label->geometry().center()), label);
        SetFittingText(label, QString::fromLatin1(widest));
        QVERIFY2(fits(label), name);
    }
    // Long texts shrink to fit; a short one gets the label's own size back.
    auto* trigger = disk->findChild<QLabel*>(QStringLiteral("txtBrTrigType"));
    const qreal designPoints = trigger->font().pointSizeF();
    for (const QString& text : {QStringLiteral("0123456789ABCDEF"), TriggerType(2)}) {
        SetFittingText(trigger, text);
        QCOMPARE(trigger->text(), text);
        QVERIFY2(fits(trigger), qPrintable(text));
    }
    SetFittingText(trigger, QString(24, QLatin1Char('W'))); // too wide even at 8 points
    QVERIFY(trigger->font().stretch() < QFont::Unstretched);
    SetFittingText(trigger, QStringLiteral("Serial"));
    QCOMPARE(trigger->font().pointSizeF(), designPoints);
    QCOMPARE(trigger->font().stretch(), int(QFont::Unstretched));
}

void WindowControlsTest::clickLabelActsLikeAButton()
{
    Control<TabStrip>(*window_, "TabStrip1")->Select(3);
    auto* label = window_->findChild<ClickLabel*>(QStringLiteral("cmd18"));
    QSignalSpy clicks(label, &ClickLabel::clicked);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    // Pressed on the label, released outside: no click.
    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(-5, -5));
    QTest::mouseClick(label, Qt::RightButton);
    QTest::keyClick(label, Qt::Key_A);
    QCOMPARE(clicks.size(), 1);
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(label, Qt::Key_Space);
    QTest::keyClick(label, Qt::Key_Return);
    QCOMPARE(clicks.size(), 3);
}

void WindowControlsTest::startsAtTheDesignSizeShowingTheUnitPage()
{
    // The design width; the height follows the outer width as soon as the
    // window is shown.
    QCOMPARE(PixelsToTwips(window_->width()), 12420.0);
    const QRect outer = window_->frameGeometry();
    QCOMPARE(outer.height(), TwipsToPixels(HeightForWidth(PixelsToTwips(outer.width()))));
    QCOMPARE(Control<TabStrip>(*window_, "TabStrip1")->SelectedIndex(), 1);
    QVERIFY(window_->Frame(0)->isVisible());
    // The status box lies over the tab row, above the frames.
    QCOMPARE(window_->childAt(Control<QLineEdit>(*window_, "TxtUSB")->geometry().center()),
             Control<QLineEdit>(*window_, "TxtUSB"));
}

void WindowControlsTest::speedListShowsOverTheUnitPageOnly()
{
    auto* speeds = f_->Get<QComboBox>("lstBaud");
    const auto speedListOnTop = [&] {
        QWidget* hit = window_->childAt(speeds->geometry().center());
        return hit == speeds || speeds->isAncestorOf(hit);
    };
    QVERIFY(speedListOnTop());
    for (int tab = 2; tab <= 7; ++tab) {
        Control<TabStrip>(*window_, "TabStrip1")->Select(tab);
        QVERIFY2(!speedListOnTop(), qPrintable(QString::number(tab)));
    }
    Control<TabStrip>(*window_, "TabStrip1")->Select(1);
    QVERIFY(speedListOnTop());
}

void WindowControlsTest::tabClick_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("runs"); // the frame steps run and TabShown is raised

    QTest::newRow("Unit to Test") << 1 << 7 << true;
    QTest::newRow("Disk to Information") << 2 << 3 << true;
    // Which tabs run again on a second click.
    const bool again[] = {true, false, true, false, true, true, false};
    for (int tab = 1; tab <= 7; ++tab)
        QTest::addRow("tab %d again", tab) << tab << tab << again[tab - 1];
}

// Clicks on the tab bar, which tells of no change when the shown tab is clicked.
void WindowControlsTest::tabClick()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, runs);
    QTabBar* bar = Control<TabStrip>(*window_, "TabStrip1")->Bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(from - 1).center());
    QCOMPARE(window_->ShownTab(), from);
    QSignalSpy shown(window_, &MainWindow::TabShown);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(to - 1).center());
    QCOMPARE(shown.size(), runs ? 1 : 0);
    if (runs)
        QCOMPARE(shown.constFirst().constFirst().toInt(), to);
    QCOMPARE(window_->ShownTab(), to);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(window_->Frame(i)->isVisible(), i == to - 1);
}

void WindowControlsTest::controlsDoNotOverlap()
{
    // The design lets neighbouring boxes share one pixel row or column; only
    // the record labels lie over a picture on purpose.
    const auto overPicture = [](const QWidget* a, const QWidget* b) {
        const bool aImage = a->objectName() == QStringLiteral("Image2");
        const bool bImage = b->objectName() == QStringLiteral("Image2");
        const auto isRecord = [](const QWidget* w) {
            return w->objectName().startsWith(QStringLiteral("TxtBr")) ||
                   w->objectName().startsWith(QStringLiteral("txtBr"), Qt::CaseInsensitive);
        };
        return (aImage && isRecord(b)) || (bImage && isRecord(a));
    };
    for (int page = 0; page < 7; ++page) {
        const QWidget* frame = window_->Frame(page);
        const QList<QWidget*> controls = ControlsOf(frame);
        for (int i = 0; i < controls.size(); ++i) {
            QVERIFY(frame->rect().contains(controls[i]->geometry()));
            for (int j = i + 1; j < controls.size(); ++j) {
                const QRect shared = controls[i]->geometry() & controls[j]->geometry();
                if (shared.isEmpty() || overPicture(controls[i], controls[j]))
                    continue;
                QVERIFY2(shared.width() <= 1 || shared.height() <= 1,
                         qPrintable(controls[i]->objectName() + QStringLiteral(" and ") +
                                    controls[j]->objectName()));
            }
        }
    }
}

void WindowControlsTest::captionsFitTheirPlaces()
{
    // Fonts differ between desktops; the captions must still fit at the
    // window's own caption size.
    for (QLabel* label : window_->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->objectName()));
        QVERIFY2(label->fontMetrics().height() <= label->height() + 1,
                 qPrintable(label->objectName()));
    }
    for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty())
            continue;
        const QRect area = button->rect().adjusted(3, 1, -3, -1);
        const QRect needed = button->fontMetrics().boundingRect(
            area, Qt::AlignCenter | Qt::TextWordWrap, button->text());
        const int indicator =
            qobject_cast<QRadioButton*>(button)
                ? button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                      button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                : 0;
        QVERIFY2(needed.width() + indicator <= area.width() && needed.height() <= area.height() + 2,
                 qPrintable(button->objectName()));
    }
}

QTEST_MAIN(WindowControlsTest)
#include "test_window_controls.moc"
