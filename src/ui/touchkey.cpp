#include "touchkey.h"

#include <QMouseEvent>
#include <QPainter>

TouchKey::TouchKey(int index, QWidget* parent) : QLabel(parent), m_index(index)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAlignment(Qt::AlignCenter);
    setObjectName(QStringLiteral("Label1"));
    setProperty("Index", index);
}

void TouchKey::mousePressEvent(QMouseEvent* e)
{
    m_pressed = e->button() == Qt::LeftButton;
    e->accept();
}

void TouchKey::mouseReleaseEvent(QMouseEvent* e)
{
    const bool fire = m_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_pressed = false;
    e->accept();
    if (fire) emit touched(m_index);
}

void TouchKey::mouseMoveEvent(QMouseEvent* e)
{
    emit hovered(m_index);
    QLabel::mouseMoveEvent(e);
}

void TouchKey::enterEvent(QEnterEvent* e)
{
    emit hovered(m_index);
    QLabel::enterEvent(e);
}

void TouchKey::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e); // the key's face and border
    QPainter p(this);
    const QRect area = contentsRect().adjusted(2, 0, -2, 0);
    QFont f = font();
    while (f.pixelSize() > 8 && QFontMetrics(f).horizontalAdvance(text()) > area.width()) f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(area, int(alignment()), text());
}
