#include "app/pages/UnitPage.h"

#include "app/LayoutStep.h"
#include "app/pages/ControlBuilder.h"
#include "camera/CameraSettings.h"
#include "camera/PictureDownload.h"
#include "link/BoardProtocol.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QProgressBar>

UnitPage::UnitPage(const TabPage& tab, PictureDownload& download, CameraSettings& settings,
                   QWidget* parent)
    : Page(tab, parent), download_(download), settings_(settings)
{
    BuildControls(this, UnitPageRows(*this));
    connect(cmdDwnldPic, &QAbstractButton::clicked, this, &UnitPage::cmdDwnldPic_Click);
    connect(cmdDwnldPicSer, &QAbstractButton::clicked, this, &UnitPage::cmdDwnldPicSer_Click);
    // The buttons refuse clicks while a download runs.
    connect(&download, &PictureDownload::RunningChanged, this, [this](bool running) {
        cmdDwnldPic->setEnabled(!running);
        cmdDwnldPicSer->setEnabled(!running);
    });
    connect(&download, &PictureDownload::Progress, this, [this](int value, int maximum) {
        ProgPicDwnld->setRange(0, maximum);
        ProgPicDwnld->setValue(value);
    });
    connect(&download, &PictureDownload::PictureShown, this,
            [this](const QImage& picture) { Image1->setPixmap(QPixmap::fromImage(picture)); });

    connect(Option1, &QButtonGroup::idClicked, this, &UnitPage::Option1_Click);
    connect(cmdSpiReset, &QAbstractButton::clicked, this, &UnitPage::cmdSpiReset_Click);
}

void UnitPage::cmdDwnldPic_Click()
{
    download_.DownLoadPicSPI();
}

void UnitPage::cmdDwnldPicSer_Click()
{
    download_.DownLoadPicUART();
}

// Index: which of the eleven size buttons.
void UnitPage::Option1_Click(int Index)
{
    settings_.SetPictureSize(Index);
}

void UnitPage::cmdSpiReset_Click()
{
    settings_.ResetSpi();
}

void UnitPage::ApplyLayout(const ResizeLayout& layout)
{
    SetSize(this, layout.unit.frame);
    // The progress bar keeps its distance above the picture's bottom edge.
    SetTop(ProgPicDwnld, layout.unit.ProgPicDwnldTop);
    SetHeight(Image1, layout.unit.Image1Height);
    SetWidth(Image1, layout.unit.Image1Width);
}

// The row tables are laid out by hand, one control a line.
// clang-format off

QList<ControlRow> UnitPageRows(UnitControls& c)
{
    QList<ControlRow> rows = {
        {"cmdDwnldPicSer", Kind::Button, "Get Pic UART", 240, 360, 1455, 375,
         Into(c.cmdDwnldPicSer)},
        {"cmdDwnldPic", Kind::Button, "Get Pic SPI", 240, 840, 1455, 375, Into(c.cmdDwnldPic)},
        {"cmdSpiReset", Kind::Button, "SPI Send Reset", 240, 1320, 1455, 375, Into(c.cmdSpiReset)},
        {"Label19", Kind::Label, "SPI SIZE SETTINGS", 240, 2040, 1695, 255},
    };
    int index = 0;
    for (const char* size : PictureSizeCaptions) {
        rows.append({"Option1", Kind::Option, size, 240, 2280 + 360 * index, 1335, 375,
                     Into(c.Option1), {}, index});
        ++index;
    }
    rows += QList<ControlRow>{
        {"ProgPicDwnld", Kind::ProgressBar, "", 120, 7200, 1935, 255, Into(c.ProgPicDwnld),
         {.speak = "Picture download progress"}},
        {"Image1", Kind::Picture, "", 2160, 240, 9630, 7230, Into(c.Image1),
         {.speak = "Camera picture"}},
    };
    return rows;
}
// clang-format on
