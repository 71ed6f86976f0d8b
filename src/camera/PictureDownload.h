#pragma once
// Picture download: "Get Pic SPI" fetches the camera's JPEG from the board block
// by block, "Get Pic UART" as one stream; either way it ends up in
// "downloaded.jpg" in the program's folder, and the picture goes out to be shown.
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class BoardLink;
class QFile;

class PictureDownload : public QObject {
    Q_OBJECT
public:
    // AppFolder and ImageBitmapRef are the window's fields, read at each
    // download; they must outlive this object.
    PictureDownload(BoardLink& link, const QString& AppFolder, const std::int16_t& ImageBitmapRef,
                    QObject* parent = nullptr);
    ~PictureDownload() override;

    void cmdDwnldPic_Click();
    void cmdDwnldPicSer_Click();

    // Each is refused while a download runs.
    void DownLoadPicSPI();
    void DownLoadPic12();
    void DownLoadPicUART();

    bool Running() const { return running_; }

Q_SIGNALS:
    // A download began (true) or ended (false): the download buttons refuse
    // clicks meanwhile.
    void RunningChanged(bool running);
    // value of maximum: the blocks of an SPI download; full at the end.
    void Progress(int value, int maximum);
    // The downloaded picture, or the placeholder bitmap when the file does not
    // decode; shown unscaled.
    void PictureShown(const QImage& picture);
    // A message box with only an OK button; the console echoes again by then.
    void MessageRequested(const QString& text);
    // A download ended, with a picture or with a message.
    void DownloadEnded();

private:
    void DownLoadBlocks(const QString& captureCommand, const QString& lengthCommand,
                        const QString& blockCommand);
    bool Begin();
    bool TakeLength(const QString& R);
    void CopyBlock(qsizetype offset, qsizetype count);
    bool StreamContinues() const;
    void AwaitStreamTail();
    void Finish(int maximum);
    void End(const QString& message);
    QString PicturePath() const;

    BoardLink& link_;
    const QString& appFolder_;
    const std::int16_t& imageBitmapRef_;

    bool running_ = false;
    std::int32_t length_ = 0; // L of the running download
    std::unique_ptr<QFile> file_;
};
