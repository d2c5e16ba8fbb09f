#include "titledframe.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>

TitledFrame::TitledFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TitledFrame::event(QEvent* e)
{
    const bool done = QGroupBox::event(e);
    // A style sheet with rounded or see-through borders takes the attribute away again.
    if (e->type() == QEvent::Polish || e->type() == QEvent::StyleChange) setAttribute(Qt::WA_OpaquePaintEvent);
    return done;
}

void TitledFrame::paintEvent(QPaintEvent* e)
{
    {
        // What Qt would have painted under a frame that is not opaque: the form, then the styled back.
        QPainter p(this);
        p.setClipRegion(e->region());
        const QWidget* under = parentWidget() ? parentWidget() : this;
        p.fillRect(rect(), under->palette().brush(under->backgroundRole()));
        if (testAttribute(Qt::WA_StyledBackground)) {
            QStyleOption opt;
            opt.initFrom(this);
            style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
        }
    }
    QGroupBox::paintEvent(e);
}
