#include "wheel.h"

#include "resizefrm.h"
#include "salonya.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWindow>

Wheel::Wheel(Salonya* form) : QObject(form), f(form) { setObjectName(QStringLiteral("Wheel")); }

void Wheel::HookWheel(Salonya& form)
{
    Wheel* w = form.findChild<Wheel*>(QString(), Qt::FindDirectChildrenOnly);
    if (!w) w = new Wheel(&form);
    // The form's native window is made and remade as its flags change; the application sees every one.
    qApp->removeEventFilter(w);
    qApp->installEventFilter(w);
}

void Wheel::UnhookWheel(Salonya& form)
{
    if (Wheel* w = form.findChild<Wheel*>(QString(), Qt::FindDirectChildrenOnly)) qApp->removeEventFilter(w);
}

bool Wheel::PointInWindow(const QWidget* w, const QPoint& global)
{
    const QRect r = w->isWindow() ? w->frameGeometry() : QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    return global.x() >= r.left() && global.x() <= r.left() + r.width() && global.y() >= r.top()
        && global.y() <= r.top() + r.height();
}

bool Wheel::MouseWheel(int, int rotation, int x, int y)
{
    const QPoint at(x, y);
    for (QWidget* c : ResizeFrm::controlsOf(f)) {
        if (!c->isVisible() || !PointInWindow(c, at)) continue;
        if (!qobject_cast<QAbstractItemView*>(c)) continue; // other controls do not end the search
        QWidget* target = QApplication::focusWidget();
        if (rotation != 0 && target) {
            const int key = rotation > 0 ? Qt::Key_Up : Qt::Key_Down;
            // Sent, not posted: the arrow has been handled when the wheel turn returns.
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QApplication::sendEvent(target, &release);
        }
        return true;
    }
    return false;
}

bool Wheel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || watched != f->windowHandle()) return false;
    auto* we = static_cast<QWheelEvent*>(event);
    const QPoint at = we->globalPosition().toPoint();
    if (!PointInWindow(f, at)) return false;
    const int turn = we->angleDelta().y();
    if ((turn > 0 && m_rest < 0) || (turn < 0 && m_rest > 0)) m_rest = 0; // a change of direction starts afresh
    m_rest += turn;
    const int keyState = int(we->buttons()) | int(we->modifiers());
    bool overList = false;
    if (m_rest / Notch == 0) overList = MouseWheel(keyState, 0, at.x(), at.y());
    for (; m_rest / Notch != 0; m_rest -= m_rest > 0 ? Notch : -Notch)
        overList = MouseWheel(keyState, m_rest > 0 ? Notch : -Notch, at.x(), at.y());
    // When the arrow moved a focused list or grid, the view scrolling as well would push that row away;
    // otherwise the list under the pointer scrolls as usual.
    return overList && qobject_cast<QAbstractItemView*>(QApplication::focusWidget());
}
