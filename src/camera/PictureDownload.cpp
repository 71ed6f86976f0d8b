#include "camera/PictureDownload.h"

#include "common/AppPaths.h"
#include "camera/LengthReply.h"
#include "common/FileWrite.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr int StreamQuietLimitMs = 3000;
constexpr int ProgressIntervalMs = 16; // about one screen refresh

} // namespace

PictureDownload::PictureDownload(BoardLink& link, const QString& AppFolder,
                                 const std::int16_t& ImageBitmapRef, QObject* parent)
    : QObject(parent), link_(link), appFolder_(AppFolder), imageBitmapRef_(ImageBitmapRef)
{
}

PictureDownload::~PictureDownload() = default;

void PictureDownload::DownLoadPicSPI()
{
    DownLoadBlocks(true, SpiRoute());
}

void PictureDownload::DownLoadPic12()
{
    DownLoadBlocks(true, Pic12Route());
}

void PictureDownload::DownLoadPicUART()
{
    DownLoadStream(true);
}

void PictureDownload::FetchSPI()
{
    DownLoadBlocks(false, SpiRoute());
}

void PictureDownload::FetchUART()
{
    DownLoadStream(false);
}

// Asks for the length, then for L div 512 + 1 blocks of 512 bytes; each block
// reply carries its bytes from index 9 on. When L is a multiple of 512 the last
// request copies nothing. Block replies are not examined: one that does not
// come copies the zeros of the emptied reply buffer and the download goes on.
void PictureDownload::DownLoadBlocks(bool toFile, const PictureRoute& route)
{
    if (!Begin(toFile))
        return;
    if (!route.capture.isEmpty())
        link_.DownLoadCommand(route.capture);
    if (const QString error = EnsureFolderOfFile(); !error.isEmpty())
        return End(error);
    if (!TakeLength(link_.DownLoadCommand(route.length)))
        return;

    const int blocks = BlockRequestCount(length_);
    Q_EMIT Progress(0, blocks);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    qsizetype remaining = length_;
    int block = 0;
    for (qsizetype offset = 0; offset <= length_; offset += PictureBlockSize) {
        link_.DownLoadCommand(route.data);
        if (link_.ShuttingDown())
            return End({});
        // Reply bytes 9 to 9 + count - 1 go to PictureBuffer at offset.
        link_.StoreReplyBytes(BlockHeaderSize, offset, std::min(remaining, PictureBlockSize));
        remaining -= PictureBlockSize;
        ++block;
        // The bar repaints at once on every step; more than one step per
        // screen refresh would cost more than the blocks themselves.
        if (sinceProgress.elapsed() >= ProgressIntervalMs) {
            Q_EMIT Progress(block, blocks);
            sinceProgress.restart();
        }
    }
    Finish(blocks);
}

// Asks for the length, then for the picture as one stream of raw bytes.
void PictureDownload::DownLoadStream(bool toFile)
{
    if (!Begin(toFile))
        return;
    if (const QString error = EnsureFolderOfFile(); !error.isEmpty())
        return End(error);
    const PictureRoute route = UartRoute();
    const QString R = link_.DownLoadCommand(route.length);
    // The stream that follows is stored from index 0, over the length reply.
    link_.RestartPictureFill();
    if (!TakeLength(R))
        return;
    link_.DownLoadCommand(route.data);
    // The receive path goes on storing the stream's chunks while this waits,
    // like the reply wait, for as long as the picture is not complete, each
    // read comes back full and the board is never quiet for 3 seconds.
    link_.AwaitStreamTail(length_, StreamQuietLimitMs);
    if (link_.ShuttingDown())
        return End({});
    Finish(1);
}

// Start of every download; false (and nothing done) while one runs.
bool PictureDownload::Begin(bool toFile)
{
    if (running_)
        return false;
    running_ = true;
    toFile_ = toFile;
    Q_EMIT RunningChanged(true);
    Q_EMIT Progress(0, 1);
    link_.BeginPictureCapture();
    return true;
}

// Checks the length reply and opens the picture file. False when the download
// has ended here (with its message).
bool PictureDownload::TakeLength(const QString& R)
{
    const LengthCheck check = CheckLengthReply(R);
    if (!check.Ok()) {
        End(check.Message);
        return false;
    }
    length_ = check.L;
    // A picture longer than the buffer keeps every byte.
    link_.ReservePicture(length_);
    if (!toFile_)
        return true;
    file_ = std::make_unique<QFile>(PicturePath());
    if (const QString error = OpenForOverwrite(*file_); !error.isEmpty()) {
        End(error);
        return false;
    }
    return true;
}

// Writes the whole buffer to the file and shows the picture, or the built-in
// bitmap when the file does not decode; the bar of maximum steps is full.
void PictureDownload::Finish(int maximum)
{
    if (!toFile_) {
        Q_EMIT Progress(maximum, maximum);
        Q_EMIT PictureFetched(link_.Picture().left(length_));
        return End({});
    }
    if (const QString error = WriteFromStart(*file_, link_.Picture()); !error.isEmpty())
        return End(error);
    QImage picture;
    if (!picture.load(PicturePath()))
        picture.load(QStringLiteral(":/bitmap%1.png").arg(imageBitmapRef_));
    Q_EMIT PictureShown(picture);
    Q_EMIT Progress(maximum, maximum);
    End({});
}

// Every way out: the console echoes again before any message is shown.
void PictureDownload::End(const QString& message)
{
    file_.reset();
    link_.EndPictureCapture();
    running_ = false;
    Q_EMIT RunningChanged(false);
    // A window that is closing asks nobody anything: every exchange after its
    // close says "No USB".
    if (!message.isEmpty() && !link_.ShuttingDown())
        Q_EMIT MessageRequested(message);
    Q_EMIT DownloadEnded();
}

QString PictureDownload::EnsureFolderOfFile() const
{
    return toFile_ ? EnsureFolder(appFolder_) : QString();
}

QString PictureDownload::PicturePath() const
{
    return JoinPath(appFolder_, QString::fromLatin1(PictureFileName));
}
