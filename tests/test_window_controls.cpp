// The window's controls: every control that a feature reaches by name, its
// kind, text and place; the looks that features rely on; tab order and
// accessible names; the tab switching rule; captions that fit their places.
#include "app/ConsoleView.h"
#include "app/MainWindow.h"
#include "app/ResizeLayout.h"
#include "app/TabStrip.h"
#include "app/Twips.h"
#include "app/pages/ClickLabel.h"
#include "app/pages/PageFrame.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBus.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTabBar>
#include <QTest>

class WindowControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void controlByName_data();
    void controlByName();
    void optionButtonsFormOneGroupInIndexOrder();
    void lookThatFeaturesRelyOn();
    void recordLabelsLieOverThePicture();
    void selectFileButtonShowsItsColour();
    void rectanglesOnTheInformationPage();
    void clickLabelActsLikeAButton();

    void startsAtTheDesignSizeShowingTheUnitPage();
    void speedListShowsOverTheUnitPageOnly();
    void tabClick_data();
    void tabClick();
    void mouseClickOnTheShownTab();

    void tabOrder_data();
    void tabOrder();
    void everyBoxHasAnAccessibleName();
    void controlsDoNotOverlap();
    void captionsFitTheirPlaces();

private:
    usb::VirtualBus* bus_ = nullptr;
    usb::SimBackend* backend_ = nullptr;
    MainWindow* window_ = nullptr;
};

namespace {

QString TextOf(const QObject* control)
{
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return box->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return list->currentText();
    if (const auto* console = qobject_cast<const QPlainTextEdit*>(control))
        return console->toPlainText();
    return {};
}

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
    bus_ = new usb::VirtualBus;
    backend_ = new usb::SimBackend(*bus_);
    window_ = new MainWindow(*backend_);
    window_->ShowMessage = [](const QString& text) { QFAIL(qPrintable(text)); };
    QVERIFY(window_->Form_Load());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void WindowControlsTest::cleanup()
{
    delete window_;
    delete backend_;
    delete bus_;
}

void WindowControlsTest::controlByName_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("frame"); // -1: on the window itself
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char* name, const char* kind, int frame, const char* text, int left,
                        int top, int width, int height) {
        QTest::newRow(name) << QString::fromLatin1(kind) << frame << QString::fromLatin1(text)
                            << QRect(left, top, width, height);
    };
    row("TxtUSB", "QLineEdit", -1, "USB OFF", 9240, 40, 1095, 350);
    row("lstBaud", "QComboBox", -1, "Combo1", 3600, 6000, 1215, 315);

    row("cmdDwnldPicSer", "QPushButton", 0, "Get Pic UART", 240, 360, 1455, 375);
    row("cmdDwnldPic", "QPushButton", 0, "Get Pic SPI", 240, 840, 1455, 375);
    row("cmdSpiReset", "QPushButton", 0, "SPI Send Reset", 240, 1320, 1455, 375);
    row("Label19", "QLabel", 0, "SPI SIZE SETTINGS", 240, 2040, 1695, 255);
    row("Option1_0", "QRadioButton", 0, "80x60", 240, 2280, 1335, 375);
    row("Option1_10", "QRadioButton", 0, "160x128", 240, 5880, 1335, 375);
    row("ProgPicDwnld", "QProgressBar", 0, "", 120, 7200, 1935, 255);
    row("Image1", "QLabel", 0, "", 2160, 240, 9630, 7230);

    row("Dir1", "QListView", 1, "", 120, 240, 3135, 1440);
    row("Drive1", "QComboBox", 1, "", 120, 1800, 1335, 315);
    row("File1", "QListView", 1, "", 120, 2160, 3135, 3600);
    row("Image2", "QLabel", 1, "", 3360, 240, 7140, 5535);
    row("TxtBrDate", "QLabel", 1, "", 4080, 240, 1935, 375);
    row("TxtBrTime", "QLabel", 1, "", 6360, 240, 1455, 375);
    row("TxtBrNumber", "QLabel", 1, "", 8160, 240, 1695, 375);
    row("txtBrTrigType", "QLabel", 1, " ", 6000, 4800, 1935, 495);
    row("txtBRTaxiNumber", "QLabel", 1, "", 3480, 5040, 2535, 615);
    row("txtBRSerialNumber", "QLabel", 1, "", 6120, 5280, 1695, 375);
    row("txtBRUserString", "QLabel", 1, "", 7920, 5040, 2535, 615);

    row("LblHWInfo", "QLabel", 2, "HARDWARE COMPONENT INFORMATION", 1200, 360, 3375, 255);
    row("LblCPU", "QLabel", 2, "CPU ID", 480, 840, 1215, 255);
    row("TxtCPU_ID", "QLineEdit", 2, "", 1920, 840, 3255, 375);
    row("TxtCPU_Ver", "QLineEdit", 2, "", 1920, 1200, 2295, 375);
    row("TxtCPU_Rev", "QLineEdit", 2, "", 4200, 1200, 975, 375);
    row("lblSoftVer", "QLabel", 2, "Software Version", 480, 1920, 2175, 255);
    row("TxtSoftVer", "QLineEdit", 2, "", 4200, 1920, 975, 375);
    row("cmd0c", "ClickLabel", 2, "COMMAND 0C", 5880, 3000, 1815, 255);
    row("TxtCMD0C", "QLineEdit", 2, "", 7800, 3000, 2535, 375);
    row("cmd23", "ClickLabel", 2, "COMMAND 23", 5880, 4800, 1815, 255);
    row("TxtCMD23", "QLineEdit", 2, "", 7800, 4800, 2535, 375);
    row("cmdEntry", "QLineEdit", 2, "CLICK ON COMMAND", 7560, 5520, 2895, 495);
    row("Label18", "QLabel", 2, "RETURN", 5880, 6000, 1815, 255);
    row("retString", "QLineEdit", 2, "", 7800, 6000, 2535, 375);

    row("Outputwindow", "ConsoleView", 6, "", 240, 360, 5055, 5055);
    row("Clear", "QPushButton", 6, "Clear Output Window", 5400, 360, 1215, 495);
    row("TxtDEBUG", "QLineEdit", 6, "", 7800, 720, 2415, 420);
    row("TxtSerialEntry", "QLineEdit", 6, "31000000", 7800, 1560, 1455, 420);
    row("cmdDnldFirmware", "QPushButton", 6, "FIRMWARE", 7800, 5040, 1095, 255);
    row("cmdDnldBootLoader", "QPushButton", 6, "LOADER", 7800, 5400, 1095, 255);
    row("Label9", "QLabel", 6, "File list of all usb_boot_xx.bin files available", 240, 5640, 3735,
        375);
    row("tstProgState", "QLineEdit", 6, "Flash Program", 7800, 5880, 2175, 495);
    row("fllstusbboot", "QListView", 6, "", 240, 6000, 3735, 870);
    row("cmdSelusbboot", "QPushButton", 6, "Select File", 4200, 6000, 615, 855);
    row("CmdCommandLine", "QLineEdit", 6, "C:40", 240, 7080, 6015, 390);
}

void WindowControlsTest::controlByName()
{
    QFETCH(QString, kind);
    QFETCH(int, frame);
    QFETCH(QString, text);
    QFETCH(QRect, twips);

    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const auto found = window_->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QWidget* control = found.constFirst();
    QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
    QWidget* expectedParent = frame < 0 ? static_cast<QWidget*>(window_) : window_->Frame1[frame];
    QCOMPARE(control->parentWidget(), expectedParent);
    // Start-up points the disk boxes at the program's folder, which shows its
    // drive and clears the record view; the others keep their design text.
    if (name != QLatin1String("Drive1") && name != QLatin1String("txtBrTrigType"))
        QCOMPARE(TextOf(control), text);
    // The resize layout moves some controls away from their design place as
    // soon as the window is shown; its own test covers those.
    for (const LayoutAssignment& step : ComputeResizeLayout(MinimumOuterHeight, MinimumOuterWidth))
        if (name == QLatin1String(step.control))
            return;
    QCOMPARE(control->geometry(),
             TwipsRect(twips.left(), twips.top(), twips.width(), twips.height()));
}

void WindowControlsTest::optionButtonsFormOneGroupInIndexOrder()
{
    const QStringList captions = {"80x60",   "88x72", "160x120", "176x144", "320x240", "352x288",
                                  "640x480", "80x64", "128x96",  "128x128", "160x128"};
    auto* group = window_->findChild<QButtonGroup*>(QStringLiteral("Option1"));
    QVERIFY(group != nullptr);
    QVERIFY(group->exclusive());
    QCOMPARE(group->buttons().size(), captions.size());
    QCOMPARE(group->checkedButton(), nullptr);
    for (int index = 0; index < captions.size(); ++index) {
        auto* option = window_->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(index));
        QVERIFY(option != nullptr);
        QCOMPARE(option->text(), captions.at(index));
        QCOMPARE(group->id(option), index);
        QCOMPARE(option->property("controlArray").toString(), QStringLiteral("Option1"));
        QCOMPARE(option->property("controlIndex").toInt(), index);
        QCOMPARE(option->geometry(), TwipsRect(240, 2280 + 360 * index, 1335, 375));
    }
    window_->findChild<QRadioButton*>(QStringLiteral("Option1_3"))->click();
    window_->findChild<QRadioButton*>(QStringLiteral("Option1_9"))->click();
    QCOMPARE(group->checkedId(), 9);
    QCOMPARE(window_->Frame1[5]->property("controlIndex").toInt(), 5);
}

void WindowControlsTest::lookThatFeaturesRelyOn()
{
    window_->TabStrip1->Select(7);
    auto* serial = window_->findChild<QLineEdit*>(QStringLiteral("TxtSerialEntry"));
    QCOMPARE(serial->maxLength(), 8);
    serial->clear();
    QTest::keyClicks(serial, QStringLiteral("123456789"));
    QCOMPARE(serial->text(), QStringLiteral("12345678"));

    QCOMPARE(window_->TxtUSB->alignment(), Qt::AlignCenter);
    auto* entry = window_->findChild<QLineEdit*>(QStringLiteral("cmdEntry"));
    QCOMPARE(entry->alignment(), Qt::AlignCenter);
    QCOMPARE(entry->font().families().constFirst(), QStringLiteral("MS Serif"));

    auto* image1 = window_->findChild<QLabel*>(QStringLiteral("Image1"));
    auto* image2 = window_->findChild<QLabel*>(QStringLiteral("Image2"));
    QVERIFY(!image1->hasScaledContents());
    QVERIFY(image2->hasScaledContents());
    QCOMPARE(image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(image1->pixmap().size(), QSize(720, 540));
    QCOMPARE(image2->pixmap().size(), QSize(720, 540));

    QCOMPARE(window_->Outputwindow->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(window_->Outputwindow->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(window_->Outputwindow->font().families().constFirst(), QStringLiteral("Terminal"));

    QCOMPARE(window_->findChild<QWidget*>(QStringLiteral("File1"))->property("pattern"),
             QVariant(QStringLiteral("*.jpg")));
    QCOMPARE(window_->findChild<QWidget*>(QStringLiteral("fllstusbboot"))->property("pattern"),
             QVariant(QStringLiteral("usb_boot_*.bin")));
    QCOMPARE(window_->findChild<QProgressBar*>(QStringLiteral("ProgPicDwnld"))->value(), 0);

    // Frames 0 and 1 have no caption; the others carry theirs.
    QStringList titles;
    for (QFrame* frame : window_->Frame1)
        titles << static_cast<PageFrame*>(frame)->Title();
    QCOMPARE(titles,
             (QStringList{"", "", "Information", "Images", "Configuration", "Update", "Test"}));
    QCOMPARE(window_->Frame1[4]->geometry(), TwipsRect(120, 360, 12015, 7695));
    QCOMPARE(window_->Frame1[3]->geometry(), TwipsRect(120, 360, 12135, 7815));
}

void WindowControlsTest::recordLabelsLieOverThePicture()
{
    struct Record {
        const char* name;
        int points;
        Qt::Alignment align;
        bool wrap;
        const char* widest; // the widest text of its fixed-width field, must fit
    };
    const Record records[] = {
        {"TxtBrDate", 18, Qt::AlignHCenter, false, "28/08/2009"},
        {"TxtBrTime", 18, Qt::AlignLeft, false, "23:58:58"},
        {"TxtBrNumber", 18, Qt::AlignLeft, false, "88888888"},
        {"txtBrTrigType", 18, Qt::AlignHCenter, false, "Serial"},
        {"txtBRTaxiNumber", 12, Qt::AlignLeft, true, ""},
        {"txtBRSerialNumber", 18, Qt::AlignHCenter, false, "88888888"},
        {"txtBRUserString", 12, Qt::AlignRight, true, ""},
    };
    QWidget* disk = window_->Frame1[1];
    auto* image2 = disk->findChild<QLabel*>(QStringLiteral("Image2"));
    for (const Record& record : records) {
        auto* label = disk->findChild<QLabel*>(QString::fromLatin1(record.name));
        QVERIFY2(label != nullptr, record.name);
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSize(), record.points);
        QCOMPARE(label->font().families().constFirst(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, record.align);
        QCOMPARE(label->wordWrap(), record.wrap);
        QVERIFY(!label->autoFillBackground());
        // Drawn over Image2: within it and above it, so the picture shows around the text.
        QVERIFY(image2->geometry().intersects(label->geometry()));
        QCOMPARE(disk->childAt(label->geometry().center()), label);
        const QString widest = QString::fromLatin1(record.widest);
        QVERIFY2(label->fontMetrics().horizontalAdvance(widest) <= label->width(),
                 record.name);
    }
}

void WindowControlsTest::selectFileButtonShowsItsColour()
{
    window_->TabStrip1->Select(7);
    auto* button = window_->findChild<QPushButton*>(QStringLiteral("cmdSelusbboot"));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, QColor(0, 255, 0));
    button->setPalette(palette);
    const QImage picture = button->grab().toImage();
    // Sample beside the caption, inside the bevel.
    const QColor colour = picture.pixelColor(picture.width() / 2, 4);
    QVERIFY2(colour.green() > 200 && colour.green() - colour.red() > 100 &&
                 colour.green() - colour.blue() > 100,
             qPrintable(colour.name()));
}

void WindowControlsTest::rectanglesOnTheInformationPage()
{
    // Each rectangle is four one-pixel lines along its edges.
    QWidget* information = window_->Frame1[2];
    QList<QRect> lines;
    for (int n = 1; n <= 8; ++n) {
        auto* line = information->findChild<QFrame*>(QStringLiteral("Line%1").arg(n));
        QVERIFY(line != nullptr);
        lines << line->geometry();
    }
    const auto boxOf = [](const QList<QRect>& edges) {
        QRect box;
        for (const QRect& edge : edges) {
            if (edge.width() != 1 && edge.height() != 1)
                return QRect();
            box = box.united(edge);
        }
        return box;
    };
    QCOMPARE(boxOf(lines.mid(0, 4)), QRect(QPoint(16, 32), QPoint(368, 296)));
    QCOMPARE(boxOf(lines.mid(4, 4)), QRect(QPoint(384, 32), QPoint(696, 360)));
}

void WindowControlsTest::clickLabelActsLikeAButton()
{
    window_->TabStrip1->Select(3);
    auto* label = window_->findChild<ClickLabel*>(QStringLiteral("cmd18"));
    QSignalSpy clicks(label, &ClickLabel::clicked);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    // Pressed on the label, released outside: no click.
    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(clicks.size(), 1);
    QTest::mouseClick(label, Qt::RightButton);
    QCOMPARE(clicks.size(), 1);
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(label, Qt::Key_Space);
    QTest::keyClick(label, Qt::Key_Return);
    QCOMPARE(clicks.size(), 3);
    QTest::keyClick(label, Qt::Key_A);
    QCOMPARE(clicks.size(), 3);
}

void WindowControlsTest::startsAtTheDesignSizeShowingTheUnitPage()
{
    // The design width; the height follows the outer width as soon as the
    // window is shown.
    QCOMPARE(PixelsToTwips(window_->width()), 12420.0);
    const QRect outer = window_->frameGeometry();
    QCOMPARE(outer.height(), TwipsToPixels(HeightForWidth(PixelsToTwips(outer.width()))));
    QCOMPARE(window_->TabStrip1->SelectedIndex(), 1);
    QCOMPARE(window_->CurrentTab, 1);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(window_->Frame1[i]->isVisible(), i == 0);
    // The status box lies over the tab row, above the frames.
    QCOMPARE(window_->childAt(window_->TxtUSB->geometry().center()), window_->TxtUSB);
}

void WindowControlsTest::speedListShowsOverTheUnitPageOnly()
{
    const QPoint centre = window_->lstBaud->geometry().center();
    const auto speedListOnTop = [&] {
        QWidget* hit = window_->childAt(centre);
        return hit == window_->lstBaud || window_->lstBaud->isAncestorOf(hit);
    };
    QVERIFY(speedListOnTop());
    for (int tab = 2; tab <= 7; ++tab) {
        window_->TabStrip1->Select(tab);
        QVERIFY2(!speedListOnTop(), qPrintable(QString::number(tab)));
    }
    window_->TabStrip1->Select(1);
    QVERIFY(speedListOnTop());
}

void WindowControlsTest::tabClick_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("runs"); // the frame steps run and TabShown is raised

    QTest::newRow("Unit to Test") << 1 << 7 << true;
    QTest::newRow("Disk to Information") << 2 << 3 << true;
    QTest::newRow("Test to Unit") << 7 << 1 << true;
    QTest::newRow("Configuration to Live Images") << 5 << 4 << true;
    QTest::newRow("Unit again") << 1 << 1 << true;
    QTest::newRow("Disk again") << 2 << 2 << false;
    QTest::newRow("Information again") << 3 << 3 << true;
    QTest::newRow("Live Images again") << 4 << 4 << false;
    QTest::newRow("Configuration again") << 5 << 5 << true;
    QTest::newRow("Update again") << 6 << 6 << true;
    QTest::newRow("Test again") << 7 << 7 << false;
}

void WindowControlsTest::tabClick()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, runs);

    window_->TabStrip1->Select(from);
    QCOMPARE(window_->CurrentTab, from);
    QSignalSpy shown(window_, &MainWindow::TabShown);
    window_->TabStrip1->Select(to);

    QCOMPARE(shown.size(), runs ? 1 : 0);
    if (runs)
        QCOMPARE(shown.constFirst().constFirst().toInt(), to);
    QCOMPARE(window_->CurrentTab, to);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(window_->Frame1[i]->isVisible(), i == to - 1);
}

void WindowControlsTest::mouseClickOnTheShownTab()
{
    QTabBar* bar = window_->TabStrip1->Bar();
    QSignalSpy shown(window_, &MainWindow::TabShown);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    QCOMPARE(shown.size(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    QCOMPARE(shown.size(), 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(shown.size(), 3);
    QVERIFY(window_->Frame1[1]->isVisible());
    QVERIFY(!window_->Frame1[2]->isVisible());
}

void WindowControlsTest::tabOrder_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("Unit") << 0 << QStringList{"cmdDwnldPicSer", "cmdDwnldPic", "cmdSpiReset",
                                              "Option1_0",      "Option1_1",   "Option1_2",
                                              "Option1_3",      "Option1_4",   "Option1_5",
                                              "Option1_6",      "Option1_7",   "Option1_8",
                                              "Option1_9",      "Option1_10"};
    QTest::newRow("Disk") << 1 << QStringList{"Dir1", "Drive1", "File1"};
    QStringList information = {"TxtCPU_ID", "TxtCPU_Ver", "TxtCPU_Rev", "TxtSoftVer"};
    for (const char* code :
         {"01", "04", "05", "06", "08", "09", "0c", "0d", "0e", "10", "18", "23"})
        information << QStringLiteral("cmd") + QLatin1StringView(code)
                    << QStringLiteral("TxtCMD") + QString::fromLatin1(code).toUpper();
    information << "cmdEntry"
                << "retString";
    QTest::newRow("Information") << 2 << information;
    QTest::newRow("Test") << 6
                          << QStringList{"Outputwindow",      "CmdCommandLine", "Clear",
                                         "TxtDEBUG",          "TxtSerialEntry", "cmdDnldFirmware",
                                         "cmdDnldBootLoader", "tstProgState",   "fllstusbboot",
                                         "cmdSelusbboot"};
}

void WindowControlsTest::tabOrder()
{
    QFETCH(int, frame);
    QFETCH(QStringList, order);

    QWidget* page = window_->Frame1[frame];
    QWidget* first = page->findChild<QWidget*>(order.constFirst());
    QVERIFY(first != nullptr);
    // Follow the focus chain from the first control, keeping this page's
    // focusable controls (the chain also runs through their inner parts).
    QStringList visited;
    QWidget* widget = first;
    do {
        if (widget->parentWidget() == page && (widget->focusPolicy() & Qt::TabFocus) &&
            !visited.contains(widget->objectName()))
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first && visited.size() < order.size());
    QCOMPARE(visited, order);
}

void WindowControlsTest::everyBoxHasAnAccessibleName()
{
    const QList<QWidget*> boxes = window_->findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* box : boxes) {
        const bool isBox = qobject_cast<QLineEdit*>(box) || qobject_cast<QPlainTextEdit*>(box) ||
                           qobject_cast<QListView*>(box) || qobject_cast<QComboBox*>(box);
        if (!isBox || box->objectName().isEmpty())
            continue;
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
        ++checked;
    }
    // 2 on the window, 3 on "Disk", 18 on "Information", 6 on "Test".
    QCOMPARE(checked, 29);
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
    for (QFrame* frame : window_->Frame1) {
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
