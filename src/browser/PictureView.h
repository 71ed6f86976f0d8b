#pragma once
// The picture box of the "Disk" page: shows a stored picture, decoded on a
// worker thread at the box's size (again when the box grows), or the
// program's placeholder bitmap.
// Only the newest request is shown; a picture that cannot be read shows the
// placeholder.
#include "browser/LatestJobThread.h"

#include <QObject>
#include <QPixmap>
#include <memory>

class QLabel;

class PictureView : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `box` (a label that stretches its picture).
    explicit PictureView(QLabel* box);
    ~PictureView() override;

    // The placeholder: bitmap resource number `bitmapRef`, shown at once.
    void ShowPlaceholder(int bitmapRef);
    // The picture in `path`; the placeholder `bitmapRef` when it cannot be read.
    void ShowPicture(const QString& path, int bitmapRef);

signals:
    // The box now shows a picture (true) or the placeholder (false).
    void Shown(bool picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Decode();
    void Apply(quint64 request, const QImage& picture, int bitmapRef);

    QLabel* box_;
    QString path_;     // the picture shown or on its way; empty for the placeholder
    int bitmapRef_ = 0;
    QSize decodedFor_; // the box size that the picture was decoded for
    quint64 request_ = 0;
    std::unique_ptr<LatestJobThread> worker_;
};

// The placeholder bitmap number `bitmapRef` from the program's resources.
QPixmap PlaceholderBitmap(int bitmapRef);
