#include "captureview.h"

#include <QPainter>

CaptureView::CaptureView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("capwnd"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptureView::setFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

void CaptureView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_frame.isNull()) p.fillRect(rect(), Qt::black);
    else p.drawImage(rect(), m_frame);
}
