#pragma once
// The picture box of the "Disk" page: a label that stretches its picture,
// showing what a StoredPicture gives it and telling it the box's size.
#include <QObject>

class QImage;
class QLabel;
class StoredPicture;

class PictureView : public QObject {
    Q_OBJECT
public:
    // Shows `picture` in `box`; becomes a child of `box`.
    PictureView(QLabel* box, StoredPicture* picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const QImage& picture, bool stored);

    QLabel* box_;
    StoredPicture* picture_;
};
