#pragma once
// A push button whose caption wraps onto more lines when the button is too
// narrow for it, as "Clear Output Window" and "Select File" need.
#include <QPushButton>

class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
