#include "app/MainWindow.h"

#include "app/ApplicationName.h"
#include "app/TabStrip.h"
#include "app/Twips.h"
#include "app/pages/ControlBuilder.h"
#include "app/pages/Page.h"
#include "board/BoardInformation.h"
#include "board/TestConsole.h"
#include "camera/CameraSettings.h"
#include "camera/LiveCapture.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureDownload.h"
#include "common/AppPaths.h"
#include "common/StringTable.h"
#include "firmware/FilePipes.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"
#include "link/InputGate.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

MainWindow::MainWindow(BoardLink& link, ToolState& tool, QWidget* parent)
    : QWidget(parent), Link(link), Tool(tool)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Form1"));
    SetMessageSink(nullptr);
    assembler_ = new PictureAssembler(Link, this);
    pictureDownload_ =
        new PictureDownload(Link, *assembler_, Tool.AppFolder, Tool.ImageBitmapRef, this);
    cameraSettings_ = new CameraSettings(Link, this);
    boardInformation_ = new BoardInformation(Link, this);
    testConsole_ = new TestConsole(Link, this);
    liveCapture_ = new LiveCapture(Link, *assembler_, this);
    AssemblePages();
    ConnectLink();
    const auto show = [this](const QString& text) { ShowMessage(text); };
    connect(pictureDownload_, &PictureDownload::MessageRequested, this, show);
    connect(testConsole_, &TestConsole::MessageRequested, this, show);
    connect(liveCapture_, &LiveCapture::MessageRequested, this, show);
    // Keys could still reach the covered speed list while the live view runs.
    connect(liveCapture_, &LiveCapture::RunningChanged, lstBaud,
            [this](bool running) { lstBaud->setEnabled(!running); });
    connect(lstBaud, &QComboBox::activated, this, &MainWindow::lstBaud_Click);
}

MainWindow::~MainWindow() = default;

void MainWindow::AssemblePages()
{
    resize(TwipsToPixels(12420), TwipsToPixels(8475));
    // The design places are sized for 8-point captions; larger desktop fonts
    // would clip them. The face stays the desktop's.
    QFont captions = font();
    captions.setPointSize(8);
    setFont(captions);

    const QList<TabPage> pages = TabPages();
    QStringList tabs;
    for (const TabPage& page : pages)
        tabs << page.tab;
    TabStrip1 = new TabStrip(tabs, this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setGeometry(TwipsRect(0, 0, 12255, 8175));
    connect(TabStrip1, &TabStrip::Click, this, &MainWindow::TabStrip1_Click);

    // One page a tab, in tab order; each builds and owns its controls.
    const PageFeatures features{*pictureDownload_, *cameraSettings_, *boardInformation_,
                                *testConsole_,     *liveCapture_,    Tool,
                                TabStrip1->Bar()};
    for (const TabPage& page : pages)
        Frame1.append(page.make(page, features, this));
    for (int i = 0; i < Frame1.size(); ++i) {
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        Frame1[i]->setProperty("controlArray", QStringLiteral("Frame1"));
        Frame1[i]->setProperty("controlIndex", i);
        Frame1[i]->setVisible(i == 0);
        connect(Frame1[i], &Page::LeaveReady, this, &MainWindow::TabStrip1_Click);
    }

    BuildControls(this, WindowRows(*this));
    // The speed list belongs with the camera settings: it shows over the "Unit"
    // page and the other pages cover it.
    lstBaud->stackUnder(Frame1[1]);
}

void MainWindow::ConnectLink()
{
    connect(&Link, &BoardLink::StatusBoxChanged, this, &MainWindow::ShowLinkState);
    connect(&Link, &BoardLink::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(&Link, &BoardLink::MessageRequested, this,
            [this](const QString& text) { ShowMessage(text); });
}

bool MainWindow::Form_Load()
{
    Tool.ImageBitmapRef = 101;
    const std::int16_t ImageIconRef = 109;
    lstBaud->clear();
    for (const char* speed : UartSpeedEntries)
        lstBaud->addItem(QString::fromLatin1(speed));
    lstBaud->setCurrentIndex(-1);
    lstBaud->setEditText(QStringLiteral("Combo1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon%1.png").arg(ImageIconRef)));
    Tool.AppFolder = ProgramFolder();
    for (Page* page : std::as_const(Frame1))
        page->Loaded(); // the "Disk" page points its boxes at AppFolder
    setWindowTitle(QString::fromLatin1(CaptionLinked));
    Tool.ReadFilePath = JoinPath(Tool.AppFolder, QStringLiteral("readfile.jpg"));
    CurrentTab = 1;
    // Each part of the link starts with its own write tags and buffer sizes.

    const std::int32_t failure = Link.CreateObjects();
    if (failure != 0) {
        ShowMessage(LoadResString(StringBase + 107) + QStringLiteral("\r\n") +
                    QString::number(failure));
        return false;
    }
    filePipes_ = new FilePipes(
        Link, [this] { return Tool.ReadFilePath; }, this);
    connect(assembler_, &PictureAssembler::FileChunkStored, filePipes_, &FilePipes::SaveFileChunk);
    Link.StartLink();
    return true;
}

void MainWindow::Form_Activate()
{
    assembler_->StartOver(PictureAssembler::DownloadSize);
    Link.DownLoadCommand(ReadChipIdCommand());
}

void MainWindow::TabStrip1_Click()
{
    const int i = TabStrip1->SelectedIndex();
    if (i == CurrentTab && !Frame1[i - 1]->RunsAgain())
        return;
    // A page that cannot let go yet switches when it raises LeaveReady.
    if (i != CurrentTab && !Frame1[CurrentTab - 1]->Leave())
        return;
    Frame1[CurrentTab - 1]->setVisible(false);
    Frame1[i - 1]->setVisible(true);
    CurrentTab = std::int16_t(i);
    Frame1[i - 1]->Shown();
    Q_EMIT TabShown(i);
}

// An entry was chosen in the speed list's open list.
void MainWindow::lstBaud_Click()
{
    cameraSettings_->SetUartSpeed(lstBaud->currentIndex());
}

void MainWindow::SetMessageSink(std::function<void(const QString&)> sink)
{
    if (!sink)
        sink = [this](const QString& text) { DefaultShowMessage(text); };
    showMessage_ = std::move(sink);
}

void MainWindow::NameBoard(const QString& text)
{
    TxtUSB->setToolTip(text);
}

void MainWindow::ShowLinkState(int state)
{
    // A box that told of the unplug (or of what failed with it) says that the
    // board is back rather than outlive the replug unchanged.
    for (OpenBox& open : openBoxes_) {
        if (state == 2) {
            open.boardLeft = true;
        } else if (state == 1 && open.boardLeft) {
            open.boardLeft = false;
            open.box->setText(open.box->text() + QStringLiteral("\n\nThe board is plugged in "
                                                                "again: USB OK."));
        }
    }
    if (state == 1) {
        TxtUSB->setText(LoadResString(StringBase + 83));
        SetBackground(TxtUSB, QColor(0, 255, 0));
    } else if (state == 2) {
        NameBoard({});
        TxtUSB->setText(LoadResString(StringBase + 81));
        SetBackground(TxtUSB, QColor(255, 0, 0));
    }
}

void MainWindow::DefaultShowMessage(const QString& text)
{
    // A box that comes up during a wait (an unplug, say) must take its OK.
    const InputGate::Lifted answerable;
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, this);
    const auto open = openBoxes_.insert(openBoxes_.end(), {&box, !Link.Linked()});
    box.exec();
    openBoxes_.erase(open);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        // Right after the window is first shown, without waiting for focus.
        QTimer::singleShot(0, this, &MainWindow::Form_Activate);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Link.Shutdown();
    event->accept();
}
