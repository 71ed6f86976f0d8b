#pragma once
// The picture of the "Disk" page: a stored picture, decoded on a worker thread
// at the size of the box that shows it (again when the box grows), or the
// program's placeholder bitmap. Only the newest request is shown; a picture
// that cannot be read gives the placeholder.
#include "browser/LatestJobThread.h"

#include <QImage>
#include <QObject>
#include <memory>

class StoredPicture : public QObject {
    Q_OBJECT
public:
    explicit StoredPicture(QObject* parent = nullptr);
    ~StoredPicture() override;

    // The box's size, and its device pixels per pixel. A picture decoded for a
    // smaller box would be stretched, and blurred, when the box grows: it is
    // decoded again for the new size. A shrinking box scales it down.
    void SetBoxSize(const QSize& size, qreal pixelRatio = 1.0);
    // The placeholder: bitmap resource number `bitmapRef`, at once.
    void ShowPlaceholder(int bitmapRef);
    // The picture in `path`; the placeholder `bitmapRef` when it cannot be read.
    void ShowPicture(const QString& path, int bitmapRef);

Q_SIGNALS:
    // What the box is to show: a stored picture decoded for the box's size in
    // device pixels (stored), or the placeholder (!stored).
    void Shown(const QImage& picture, bool stored);

private:
    void Decode();
    void Apply(const QImage& picture, int bitmapRef);

    QString path_; // the picture shown or on its way; empty for the placeholder
    int bitmapRef_ = 0;
    QSize boxSize_;
    qreal pixelRatio_ = 1.0;
    QSize decodedFor_; // the box size that the picture was decoded for
    std::unique_ptr<LatestJobThread> worker_;
};

// The placeholder bitmap number `bitmapRef` from the program's resources.
QImage PlaceholderBitmap(int bitmapRef);
