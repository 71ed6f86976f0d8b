#pragma once
// Picture download: "Get Pic SPI" fetches the camera's JPEG from the board block
// by block, "Get Pic UART" as one stream; either way it ends up in
// "downloaded.jpg" in the program's folder and in the picture box Image1.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class BoardLink;
class QAbstractButton;
class QFile;
class QLabel;
class QProgressBar;

// The controls of the "Unit" tab that a download touches.
struct PictureDownloadView {
    QLabel* Image1 = nullptr;                  // shows the picture unscaled
    QProgressBar* ProgPicDwnld = nullptr;      // blocks of an SPI download; full at the end
    QAbstractButton* cmdDwnldPic = nullptr;    // "Get Pic SPI"
    QAbstractButton* cmdDwnldPicSer = nullptr; // "Get Pic UART"
};

class PictureDownload : public QObject {
    Q_OBJECT
public:
    using MessageHook = std::function<void(const QString&)>;

    // AppFolder and ImageBitmapRef are the window's fields, read at each
    // download; they must outlive this object. The view's buttons are connected
    // to the click handlers here.
    PictureDownload(BoardLink& link, const QString& AppFolder, const std::int16_t& ImageBitmapRef,
                    MessageHook showMessage, const PictureDownloadView& view,
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
    void Finish();
    void End(const QString& message);
    QString PicturePath() const;

    BoardLink& link_;
    const QString& appFolder_;
    const std::int16_t& imageBitmapRef_;
    MessageHook showMessage_;
    PictureDownloadView view_;

    bool running_ = false;
    std::int32_t length_ = 0; // L of the running download
    std::unique_ptr<QFile> file_;
};
