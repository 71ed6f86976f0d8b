#pragma once
// Live capture: the camera's pictures one after another, fetched like "Get Pic
// SPI" or "Get Pic UART" at the camera's current size, kept in memory (never in
// "downloaded.jpg") and, when asked, saved as numbered files in a folder of
// their own. Each frame is started from the event loop by a zero-time timer,
// so the window paints and follows the board between and during frames. A
// frame is checked, decoded and shown while the next one waits for the board's
// first reply, so that this work costs the frame rate nothing.
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <deque>

class BoardLink;
class PictureAssembler;

struct LiveCounts {
    qint64 shown = 0;   // good frames shown
    qint64 bad = 0;     // frames that were no whole JPEG
    int perSecond = 0;  // good frames shown during the last second
    double lastMs = -1; // how long the last good frame took, first request to last byte
};

class LiveCapture : public QObject {
    Q_OBJECT
public:
    enum class Way { SPI, UART };

    // Frames go through assembler, which the window's download shares.
    LiveCapture(BoardLink& link, PictureAssembler& assembler, QObject* parent = nullptr);

    // Starts capturing; saveFolder empty: frames are not saved. Refused while
    // it runs; a save folder that cannot be created is a message, no start.
    void Start(Way way, const QString& saveFolder);
    // Stops after the frame in flight, or at once between frames.
    void Stop();
    bool Running() const { return running_; }
    const LiveCounts& Counts() const { return counts_; }

Q_SIGNALS:
    void RunningChanged(bool running);
    // A good frame, decoded.
    void FrameShown(const QImage& frame);
    void CountsChanged(const LiveCounts& counts);
    // Why capturing stopped when it was not asked to (a failed frame, a frame
    // that cannot be saved); at most one per run.
    void MessageRequested(const QString& text);

private:
    void NextFrame();
    void TakeFrame(const QByteArray& picture);
    void ShowFrame();
    QString SaveFrame(const QByteArray& picture);
    void StopWith(const QString& message);
    void FrameEnded();
    void Finish();

    BoardLink& link_;
    PictureAssembler& assembler_;
    QTimer next_;
    QTimer show_;
    QByteArray fetched_;   // the last frame, not shown yet
    double fetchedMs_ = 0; // how long it took

    Way way_ = Way::SPI;
    QString saveFolder_;
    bool running_ = false;
    bool inFrame_ = false;
    bool stopping_ = false;
    bool waiting_ = false;   // the next frame waits for another exchange to end
    bool unplugged_ = false; // the board left during the run
    QString message_;        // shown when the run has ended
    LiveCounts counts_;
    QElapsedTimer clock_;         // since the start of the run
    qint64 frameStartNs_ = 0;     // on clock_
    std::deque<qint64> recentNs_; // when the frames of the last second were shown
    QString lastName_;            // of the last saved frame, and how many shared its millisecond
    int sameName_ = 0;
};
