#include "titledframe.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>

TitledFrame::TitledFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
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
