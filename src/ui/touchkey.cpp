#include "touchkey.h"

#include <QMouseEvent>

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
