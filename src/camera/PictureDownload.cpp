#include "camera/PictureDownload.h"

#include "camera/PictureAssembler.h"
#include "camera/PictureFetch.h"
#include "common/AppPaths.h"
#include "common/FileWrite.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

#include <QFile>

PictureDownload::PictureDownload(BoardLink& link, PictureAssembler& assembler,
                                 const QString& AppFolder, const std::int16_t& ImageBitmapRef,
                                 QObject* parent)
    : QObject(parent), link_(link), assembler_(assembler), appFolder_(AppFolder),
      imageBitmapRef_(ImageBitmapRef)
{
}

PictureDownload::~PictureDownload() = default;

void PictureDownload::DownLoadPicSPI()
{
    DownLoad(SpiRoute());
}

void PictureDownload::DownLoadPic12()
{
    DownLoad(Pic12Route());
}

void PictureDownload::DownLoadPicUART()
{
    DownLoad(UartRoute());
}

// Fetches the picture, writes the whole buffer to the file and shows the
// picture, or the built-in bitmap when the file does not decode. The folder
// is made before the length request and the file opened once the length is
// known, so that neither costs a block request when it fails.
void PictureDownload::DownLoad(const PictureRoute& route)
{
    if (running_ || assembler_.Busy())
        return;
    running_ = true;
    Q_EMIT RunningChanged(true);
    Q_EMIT Progress(0, 1);
    QFile file(PicturePath());
    FetchSteps steps;
    steps.beforeLength = [this] { return EnsureFolder(appFolder_); };
    steps.lengthKnown = [&file](qsizetype) { return OpenForOverwrite(file); };
    steps.progress = [this](int value, int maximum) { Q_EMIT Progress(value, maximum); };
    const PictureResult result = FetchPicture(link_, assembler_, route, steps);

    QString message = result.message;
    if (result.Fetched()) {
        message = WriteFromStart(file, result.buffer);
        file.close();
    }
    if (result.Fetched() && message.isEmpty()) {
        QImage picture;
        if (!picture.load(PicturePath()))
            picture.load(QStringLiteral(":/bitmap%1.png").arg(imageBitmapRef_));
        Q_EMIT PictureShown(picture);
        Q_EMIT Progress(result.steps, result.steps);
    }
    running_ = false;
    Q_EMIT RunningChanged(false);
    // A window that is closing asks nobody anything: every exchange after its
    // close says "No USB".
    if (!message.isEmpty() && result.outcome != Outcome::Closed && !link_.ShuttingDown())
        Q_EMIT MessageRequested(message);
}

QString PictureDownload::PicturePath() const
{
    return JoinPath(appFolder_, QString::fromLatin1(PictureFileName));
}
