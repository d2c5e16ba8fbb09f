#include "touchkey.h"

#include "captionfit.h"

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
    p.setFont(CaptionFit::fitted(font(), [&](const QFontMetrics& fm) { return fm.horizontalAdvance(text()) <= area.width(); }));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(area, int(alignment()), text());
}
