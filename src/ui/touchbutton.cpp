#include "touchbutton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

TouchButton::TouchButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { setFocusPolicy(Qt::NoFocus); }

void TouchButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButton, opt);

    const QRect area = rect().adjusted(6, 4, -6, -4);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    QFont f = font();
    // Shrink step by step until the wrapped caption fits; a word never gets cut.
    for (int px = f.pixelSize(); px > 8; --px) {
        f.setPixelSize(px);
        const QFontMetrics fm(f);
        const QRect need = fm.boundingRect(area, flags, text());
        bool wordsFit = true;
        for (const QString& w : text().split(u' ', Qt::SkipEmptyParts))
            if (fm.horizontalAdvance(w) > area.width()) { wordsFit = false; break; }
        if (wordsFit && need.height() <= area.height() && need.width() <= area.width()) break;
    }
    p.setFont(f);
    p.setPen(opt.palette.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(area, flags, text());
}

void TouchButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton) {
        emit rightPressed();
        e->accept();
        return;
    }
    QWidget* focused = QApplication::focusWidget();
    if (e->button() == Qt::LeftButton && focused && focused->window() == window()) focused->clearFocus();
    QPushButton::mousePressEvent(e);
}
