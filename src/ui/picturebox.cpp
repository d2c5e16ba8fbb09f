#include "picturebox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {}

void PictureBox::setPicture(const QImage& image)
{
    m_image = image;
    update();
}

void PictureBox::clearPicture()
{
    m_image = QImage();
    update();
}

void PictureBox::paintEvent(QPaintEvent* e)
{
    QLabel::paintEvent(e); // frame and background from the style
    QPainter p(this);
    const QRect area = rect().adjusted(6, 6, -6, -6);
    if (m_image.isNull()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(area, Qt::AlignCenter, QStringLiteral("FOTOĞRAF YOK"));
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize s = m_image.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - s.width()) / 2, area.y() + (area.height() - s.height()) / 2, s.width(), s.height());
    p.drawImage(target, m_image);
}
