#pragma once
// Picture download: "Get Pic SPI" fetches the camera's JPEG from the board block
// by block, "Get Pic UART" as one stream; either way the picture buffer is
// written to "downloaded.jpg" in the program's folder, and the picture goes out
// to be shown.
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class BoardLink;
class PictureAssembler;
class QFile;
struct PictureRoute;

class PictureDownload : public QObject {
    Q_OBJECT
public:
    // AppFolder and ImageBitmapRef are the window's fields, read at each
    // download; they must outlive this object, as must link and assembler.
    PictureDownload(BoardLink& link, PictureAssembler& assembler, const QString& AppFolder,
                    const std::int16_t& ImageBitmapRef, QObject* parent = nullptr);
    ~PictureDownload() override;

    // Each is refused while a picture is being fetched.
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

private:
    void DownLoad(const PictureRoute& route);
    QString PicturePath() const;

    BoardLink& link_;
    PictureAssembler& assembler_;
    const QString& appFolder_;
    const std::int16_t& imageBitmapRef_;
    bool running_ = false;
};
