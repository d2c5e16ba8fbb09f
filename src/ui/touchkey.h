#pragma once
// A key of the on-screen keyboard: a label that reacts to touch and hover and never takes the focus,
// so the field being typed into keeps it.

#include <QLabel>

class TouchKey : public QLabel
{
    Q_OBJECT
public:
    TouchKey(int index, QWidget* parent = nullptr);
    int index() const { return m_index; }

signals:
    void touched(int index);
    void hovered(int index);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    // On a small screen a long caption ("Geri Al", "Sil") is drawn smaller rather than cut off.
    void paintEvent(QPaintEvent* e) override;

private:
    int m_index;
    bool m_pressed = false;
};
