#include "userfocus.h"

#include <QFocusEvent>
#include <QPointer>
#include <QWidget>

namespace {
// The control that had the focus when the window or a pop-up took it.
QPointer<QWidget> away;

bool byPlatform(const QFocusEvent* e) { return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason; }
} // namespace

namespace UserFocus {

bool leaving(QWidget* w, const QFocusEvent* e)
{
    if (!byPlatform(e)) return true;
    away = w;
    return false;
}

bool arriving(QWidget* w, const QFocusEvent* e)
{
    QPointer<QWidget> left = away;
    away = nullptr;
    if (left == w && byPlatform(e)) return false; // it only came back
    if (left) QMetaObject::invokeMethod(left, "lostFocus", Qt::DirectConnection);
    return true;
}

} // namespace UserFocus
