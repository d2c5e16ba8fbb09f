#include "desktouch.h"

#include "touchgestures.h"
#include "app/resizefrm.h"
#include "app/salonya.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QPushButton>

DeskTouch::DeskTouch(Salonya* form) : QObject(form), m_longPress(new LongPress(this))
{
    setObjectName(QStringLiteral("DeskTouch"));
    for (QPushButton* b : std::as_const(form->Command1)) m_longPress->watch(b);
    m_longPress->watch(form->UrunlerFrm, [form](const QPoint& p) { return form->UrunlerFrm->childAt(p) == nullptr; });
    m_longPress->watch(form, [form](const QPoint& p) { return form->childAt(p) == nullptr; });
    for (QWidget* c : ResizeFrm::controlsOf(form))
        if (auto* view = qobject_cast<QAbstractItemView*>(c)) TouchScroll::enable(view);
}
