#include "userfocus.h"

#include <QFocusEvent>
#include <QPointer>
#include <QWidget>
#include <utility>

namespace {
// The control whose handlers last heard that it got the focus, and not yet that it lost it.
QPointer<QWidget> heard;
// A control pressed while its window was inactive: the focus follows with the activation.
QPointer<QWidget> pressed;

bool byPlatform(const QFocusEvent* e) { return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason; }

void tellLost(QWidget* w) { QMetaObject::invokeMethod(w, "lostFocus", Qt::DirectConnection); }
} // namespace

namespace UserFocus {

bool leaving(QWidget* w, const QFocusEvent* e)
{
    if (byPlatform(e) || w != heard) return false;
    heard = nullptr;
    return true;
}

// The handlers hear that w has the focus now, after the control they knew of lost it.
static bool hear(QWidget* w)
{
    if (QPointer<QWidget> left = std::exchange(heard, nullptr)) tellLost(left);
    heard = w;
    return true;
}

bool arriving(QWidget* w, const QFocusEvent* e)
{
    // It came back, or the platform gave it to a control nobody touched.
    if (byPlatform(e) && std::exchange(pressed, nullptr) != w) return false;
    return hear(w);
}

bool touched(QWidget* w)
{
    if (!w->hasFocus()) {
        pressed = w;
        return false;
    }
    return heard != w && hear(w);
}

} // namespace UserFocus
