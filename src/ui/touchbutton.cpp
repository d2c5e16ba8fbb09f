#include "touchbutton.h"

#include "captionfit.h"

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
    // Fitted again only when the caption, the size or the font changed: painting is frequent.
    const QString key = text() + QString::number(area.width()) + u'x' + QString::number(area.height()) + font().key();
    if (key != m_fittedFor) {
        m_fittedFor = key;
        m_fitted = CaptionFit::fitted(font(), [&](const QFontMetrics& fm) {
            // The wrapped caption fits and no word gets cut.
            for (const QString& w : text().split(u' ', Qt::SkipEmptyParts))
                if (fm.horizontalAdvance(w) > area.width()) return false;
            const QRect need = fm.boundingRect(area, flags, text());
            return need.height() <= area.height() && need.width() <= area.width();
        });
    }
    const QFont& f = m_fitted;
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
