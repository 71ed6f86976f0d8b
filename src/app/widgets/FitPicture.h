#pragma once
// A picture box that shows its picture as large as fits, keeping its aspect,
// centred. A new picture only schedules a repaint: pictures that come faster
// than the screen refreshes cost no scaling.
#include <QImage>
#include <QWidget>

class FitPicture : public QWidget {
    Q_OBJECT
public:
    explicit FitPicture(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
