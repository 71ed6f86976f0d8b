#pragma once
// TabStrip1: a row of tabs over a panel; the frames of the pages lie on the
// panel and are shown and hidden by the window, not by the strip.
#include <QWidget>

class QTabBar;

class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(const QStringList& captions, QWidget* parent = nullptr);
    int SelectedIndex() const; // 1-based
    void Select(int index);    // 1-based; raises Click like a user's click
    QTabBar* Bar() const { return bar_; }

Q_SIGNALS:
    // A tab was clicked, also the one already shown.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabBar* bar_;
};
