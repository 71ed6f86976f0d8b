#include "camera/LiveCapture.h"

#include "camera/JpegFrame.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureFetch.h"
#include "common/AppPaths.h"
#include "common/FileWrite.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <utility>

namespace {

constexpr qint64 SecondNs = 1000000000;

QString Stopped(const QString& why)
{
    return QStringLiteral("Live capture stopped: %1").arg(why);
}

} // namespace

LiveCapture::LiveCapture(BoardLink& link, PictureAssembler& assembler, QObject* parent)
    : QObject(parent), link_(link), assembler_(assembler)
{
    next_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, &LiveCapture::NextFrame);
    show_.setSingleShot(true);
    connect(&show_, &QTimer::timeout, this, &LiveCapture::ShowFrame);
    // A frame never nests in another exchange's wait, nor in another fetch: it
    // starts once that is over.
    const auto resume = [this] {
        if (waiting_ && running_)
            next_.start(0);
    };
    connect(&link_, &BoardLink::ReplyWaitEnded, this, resume);
    connect(&assembler_, &PictureAssembler::Released, this, resume);
    // An unplugged board sends no more frames; the status box says "USB OFF".
    connect(&link_, &BoardLink::Unplugged, this, [this] {
        unplugged_ = running_;
        Stop();
    });
}

void LiveCapture::Start(Way way, const QString& saveFolder)
{
    if (running_)
        return;
    if (!saveFolder.isEmpty()) {
        if (const QString error = EnsureFolder(saveFolder); !error.isEmpty()) {
            Q_EMIT MessageRequested(error + QStringLiteral(" Choose another folder for the "
                                                           "saved frames."));
            return;
        }
    }
    ShowFrame(); // the last run's last frame, when its turn has not come yet
    way_ = way;
    saveFolder_ = saveFolder;
    counts_ = {};
    recentNs_.clear();
    message_.clear();
    stopping_ = false;
    running_ = true;
    unplugged_ = false;
    clock_.start();
    Q_EMIT RunningChanged(true);
    Q_EMIT CountsChanged(counts_);
    next_.start(0);
}

void LiveCapture::Stop()
{
    if (!running_)
        return;
    stopping_ = true;
    if (!inFrame_)
        Finish();
}

// The first reason wins; the run ends after the frame in flight.
void LiveCapture::StopWith(const QString& message)
{
    if (!running_)
        return;
    if (message_.isEmpty() && !stopping_)
        message_ = message;
    Stop();
}

void LiveCapture::NextFrame()
{
    if (!running_)
        return;
    if (stopping_ || link_.ShuttingDown())
        return Finish();
    waiting_ = link_.Waiting() || assembler_.Busy();
    if (waiting_)
        return;
    inFrame_ = true;
    frameStartNs_ = clock_.nsecsElapsed();
    // The last frame's turn comes in this one's first wait for the board.
    if (!fetched_.isEmpty())
        show_.start(0);
    const PictureResult result =
        FetchPicture(link_, assembler_, way_ == Way::SPI ? SpiRoute() : UartRoute());
    if (result.outcome == Outcome::Unplugged)
        unplugged_ = true;
    if (result.Fetched())
        TakeFrame(result.Picture());
    else if (!result.message.isEmpty())
        StopWith(Stopped(result.message));
    else
        Stop();
    FrameEnded();
}

void LiveCapture::TakeFrame(const QByteArray& picture)
{
    // A frame whose every reply was there before its wait began gave the last
    // one no turn: it comes now.
    if (!fetched_.isEmpty())
        ShowFrame();
    fetchedMs_ = double(clock_.nsecsElapsed() - frameStartNs_) / 1e6;
    fetched_ = picture;
}

void LiveCapture::ShowFrame()
{
    if (fetched_.isEmpty())
        return;
    const QByteArray picture = std::exchange(fetched_, QByteArray());
    QImage frame;
    if (!IsWholeJpeg(picture) || !frame.loadFromData(picture, "JPEG")) {
        ++counts_.bad;
        return Q_EMIT CountsChanged(counts_);
    }
    if (!saveFolder_.isEmpty()) {
        if (const QString error = SaveFrame(picture); !error.isEmpty())
            StopWith(Stopped(error));
    }
    const qint64 now = clock_.nsecsElapsed();
    recentNs_.push_back(now);
    while (recentNs_.front() <= now - SecondNs)
        recentNs_.pop_front();
    ++counts_.shown;
    // A frame left from a run that has ended is shown, but nothing runs now.
    counts_.perSecond = running_ ? int(recentNs_.size()) : 0;
    counts_.lastMs = fetchedMs_;
    Q_EMIT FrameShown(frame);
    Q_EMIT CountsChanged(counts_);
}

// live_YYYYMMDD_HHMMSS_mmm.jpg; frames of the same millisecond get _2, _3 ...
QString LiveCapture::SaveFrame(const QByteArray& picture)
{
    QString name = QStringLiteral("live_") +
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz"));
    sameName_ = name == lastName_ ? sameName_ + 1 : 1;
    lastName_ = name;
    if (sameName_ > 1)
        name += QStringLiteral("_%1").arg(sameName_);
    QFile file(JoinPath(saveFolder_, name + QStringLiteral(".jpg")));
    QString error = OpenForOverwrite(file);
    if (error.isEmpty())
        error = WriteFromStart(file, picture);
    if (error.isEmpty())
        return {};
    return QStringLiteral("the frames cannot be saved in the folder \"%1\" (%2). Choose "
                          "another folder or clear \"Save frames\".")
        .arg(QDir::toNativeSeparators(saveFolder_), error);
}

// Every frame ends here, with a picture or with a message; the next one (or
// the end of the run) starts from the event loop.
void LiveCapture::FrameEnded()
{
    inFrame_ = false;
    if (running_)
        next_.start(0);
}

void LiveCapture::Finish()
{
    next_.stop();
    if (!fetched_.isEmpty())
        show_.start(0);
    running_ = false;
    stopping_ = false;
    // No frame comes any more: the rate of the last second is over.
    recentNs_.clear();
    counts_.perSecond = 0;
    Q_EMIT CountsChanged(counts_);
    Q_EMIT RunningChanged(false);
    // A closing window ends the frame in flight with "No USB": nobody is to see
    // it. Nor after an unplug during the run, which the status box shows.
    if (const QString message = std::exchange(message_, QString());
        !message.isEmpty() && !link_.ShuttingDown() && !unplugged_)
        Q_EMIT MessageRequested(message);
}
