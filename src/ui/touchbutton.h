#pragma once
// A large touch button whose caption wraps and, when long, shrinks to fit the button.

#include <QPushButton>

class TouchButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TouchButton(const QString& text, QWidget* parent = nullptr);

signals:
    void rightPressed();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};
