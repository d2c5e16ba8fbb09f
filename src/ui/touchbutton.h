#pragma once
// A large touch button whose caption wraps and, when long, shrinks to fit the button. It never holds
// the focus, so a key (a scanner's Enter, a space) can never press it; a touch still takes the focus
// from the field that had it, as a touch anywhere else would.

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

private:
    QString m_fittedFor;
    QFont m_fitted;
};
