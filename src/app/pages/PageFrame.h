#pragma once
// One frame of Frame1: the page that a tab shows. A frame with a caption is
// drawn as a titled box; one without is plain. Frames fill their background,
// so the shown frame hides whatever window control lies below it.
#include <QFrame>

class PageFrame : public QFrame {
    Q_OBJECT
public:
    explicit PageFrame(const QString& title, QWidget* parent = nullptr);
    QString Title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};
