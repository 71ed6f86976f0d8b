#include "app/MainWindow.h"

#include "app/AppPaths.h"
#include "app/ConsoleView.h"
#include "app/StringTable.h"
#include "app/TabStrip.h"
#include "app/Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace {

const QStringList TabCaptions = {
    QStringLiteral("Unit"),          QStringLiteral("Disk"),   QStringLiteral("Information"),
    QStringLiteral("Live Images"),   QStringLiteral("Configuration"),
    QStringLiteral("Update"),        QStringLiteral("Test"),
};

const QStringList BaudRates = {
    QStringLiteral("7200"),   QStringLiteral("14400"),  QStringLiteral("28800"),
    QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("230400"),
    QStringLiteral("460800"), QStringLiteral("921600"),
};

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

} // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Q815EVM");
}

MainWindow::MainWindow(usb::UsbBackend& backend, QWidget* parent)
    : QWidget(parent), Link(backend)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Form1"));
    ShowMessage = [this](const QString& text) { DefaultShowMessage(text); };
    BuildControls();
    ConnectLink();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls()
{
    resize(TwipsToPixels(12420), TwipsToPixels(8475));
    TabStrip1 = new TabStrip(TabCaptions, this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setGeometry(TwipsRect(0, 0, 12255, 8175));
    connect(TabStrip1, &TabStrip::Click, this, &MainWindow::TabStrip1_Click);

    for (int i = 0; i < int(Frame1.size()); ++i) {
        Frame1[i] = new QFrame(this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        Frame1[i]->setGeometry(i == 4 ? TwipsRect(120, 360, 12015, 7695)
                                      : TwipsRect(120, 360, 12135, 7815));
        Frame1[i]->setVisible(i == 0);
    }

    Outputwindow = new ConsoleView(Frame1[6]);
    Outputwindow->setObjectName(QStringLiteral("Outputwindow"));
    Outputwindow->setGeometry(TwipsRect(240, 360, 5055, 5055));

    lstBaud = new QComboBox(this);
    lstBaud->setObjectName(QStringLiteral("lstBaud"));
    lstBaud->setGeometry(TwipsRect(3600, 6000, 1215, 315));
    lstBaud->setEditable(true);
    lstBaud->setEditText(QStringLiteral("Combo1"));

    TxtUSB = new QLineEdit(QStringLiteral("USB Status"), this);
    TxtUSB->setObjectName(QStringLiteral("TxtUSB"));
    TxtUSB->setGeometry(TwipsRect(9240, 40, 1095, 350));
    TxtUSB->setAlignment(Qt::AlignCenter);
    TxtUSB->setReadOnly(true);
    TxtUSB->setAccessibleName(QStringLiteral("USB status"));
    SetBackground(TxtUSB, QColor(0xFF, 0x80, 0x80));
}

void MainWindow::ConnectLink()
{
    connect(&Link, &BoardLink::StatusBoxChanged, this, &MainWindow::ShowLinkState);
    connect(&Link, &BoardLink::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(&Link, &BoardLink::ConsoleAppended, Outputwindow, &ConsoleView::AppendChunk);
    connect(&Link, &BoardLink::ConsoleEmptied, Outputwindow, &ConsoleView::Empty);
    connect(&Link, &BoardLink::MessageBoxRequested, this,
            [this](const QString& text) { ShowMessage(text); });
}

bool MainWindow::Form_Load()
{
    ImageBitmapRef = 101;
    ImageIconRef = 109;
    lstBaud->clear();
    lstBaud->addItems(BaudRates);
    lstBaud->setCurrentIndex(-1);
    lstBaud->setEditText(QStringLiteral("Combo1"));
    setWindowIcon(QIcon(QStringLiteral(":/icon%1.png").arg(ImageIconRef)));
    AppFolder = ProgramFolder();
    setWindowTitle(QString::fromLatin1(CaptionLinked));
    ReadFilePath = JoinPath(AppFolder, QStringLiteral("readfile.jpg"));
    CurrentTab = 1;
    Link.WriteStatusWanted = true;
    Link.WriteTag = 0;
    Link.DownloadWriteTag = 0;
    Link.InBufferSize = 63360;
    Link.FileInBufferSize = 63360;

    const std::int32_t failure = Link.CreateObjects();
    if (failure != 0) {
        ShowMessage(LoadResString(StringBase + 107) + QStringLiteral("\r\n") +
                    QString::number(failure));
        return false;
    }
    Link.StartLink();
    return true;
}

void MainWindow::Form_Activate()
{
    Link.PictureBuffer = QByteArray(65356, '\0');
    Link.DownLoadCommand(QStringLiteral("C:20"));
}

void MainWindow::TabStrip1_Click()
{
    const int i = TabStrip1->SelectedIndex();
    if (i == CurrentTab && i != 1 && i != 3 && i != 5 && i != 6)
        return;
    Frame1[CurrentTab - 1]->setVisible(false);
    Frame1[i - 1]->setVisible(true);
    CurrentTab = std::int16_t(i);
}

void MainWindow::ShowLinkState(int state)
{
    if (state == 1) {
        TxtUSB->setText(LoadResString(StringBase + 83));
        SetBackground(TxtUSB, QColor(0, 255, 0));
    } else if (state == 2) {
        TxtUSB->setText(LoadResString(StringBase + 81));
        SetBackground(TxtUSB, QColor(255, 0, 0));
    }
}

void MainWindow::DefaultShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, this);
    box.exec();
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
