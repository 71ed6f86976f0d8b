#pragma once
// Picture download: "Get Pic SPI" fetches the camera's JPEG from the board block
// by block, "Get Pic UART" as one stream; either way it ends up in
// "downloaded.jpg" in the program's folder, and the picture goes out to be shown.
// The same downloads can keep the picture in memory instead (live view, shell).
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class BoardLink;
struct PictureRoute;
class QFile;

class PictureDownload : public QObject {
    Q_OBJECT
public:
    // AppFolder and ImageBitmapRef are the window's fields, read at each
    // download; they must outlive this object.
    PictureDownload(BoardLink& link, const QString& AppFolder, const std::int16_t& ImageBitmapRef,
                    QObject* parent = nullptr);
    ~PictureDownload() override;

    // Each is refused while a download runs.
    void DownLoadPicSPI();
    void DownLoadPic12();
    void DownLoadPicUART();
    // The same board exchanges as DownLoadPicSPI and DownLoadPicUART; the
    // picture's L bytes go out with PictureFetched, no file is touched.
    void FetchSPI();
    void FetchUART();

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
    // The L bytes of a picture fetched to memory.
    void PictureFetched(const QByteArray& picture);
    // A message box with only an OK button; the console echoes again by then.
    void MessageRequested(const QString& text);
    // A download ended, with a picture or with a message.
    void DownloadEnded();

private:
    void DownLoadBlocks(bool toFile, const PictureRoute& route);
    void DownLoadStream(bool toFile);
    bool Begin(bool toFile);
    bool TakeLength(const QString& R);
    void Finish(int maximum);
    void End(const QString& message);
    QString EnsureFolderOfFile() const;
    QString PicturePath() const;

    BoardLink& link_;
    const QString& appFolder_;
    const std::int16_t& imageBitmapRef_;

    bool running_ = false;
    bool toFile_ = true;      // the running download writes "downloaded.jpg"
    std::int32_t length_ = 0; // L of the running download
    std::unique_ptr<QFile> file_;
};
