#include "touchgestures.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QScroller>
#include <utility>

namespace {
// A finger is never perfectly still; beyond this it is a drag, not a hold.
constexpr int kStillPx = 12;
// A timeout later than this was not on time: input may be waiting unread behind it.
constexpr int kLateMs = 100;
constexpr int kLookAgainMs = 50;
}

LongPress::LongPress(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LongPress::fire);
}

void LongPress::watch(QWidget* w, std::function<bool(const QPoint&)> accepts)
{
    m_accepts.insert(w, std::move(accepts));
    w->installEventFilter(this);
    connect(w, &QObject::destroyed, this, [this, w] { m_accepts.remove(w); });
}

bool LongPress::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || e->source() == Qt::MouseEventSynthesizedByApplication) return false;
        const auto accepts = m_accepts.value(w);
        if (accepts && !accepts(e->position().toPoint())) return false;
        m_target = w;
        m_pos = e->position().toPoint();
        m_global = e->globalPosition().toPoint();
        m_modifiers = e->modifiers();
        m_fired = false;
        arm(m_delay);
        return false;
    }
    case QEvent::MouseMove:
        if (w != m_target) return false;
        if (m_timer.isActive() && (static_cast<QMouseEvent*>(event)->position().toPoint() - m_pos).manhattanLength() > kStillPx)
            m_timer.stop();
        return m_fired; // after the hold the button must not take the finger back
    case QEvent::MouseButtonRelease:
        if (w != m_target || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
        m_timer.stop();
        m_target = nullptr;
        if (m_fired) {
            m_fired = false;
            return true; // the hold was the right button, not a touch
        }
        return false;
    case QEvent::Hide:
        if (w == m_target) m_timer.stop();
        return false;
    default: return false;
    }
}

void LongPress::arm(int ms)
{
    m_timer.start(ms);
    m_started.start();
}

void LongPress::fire()
{
    QWidget* w = m_target;
    if (!w) return;
    // Held up past the timeout (a busy machine), the desk may not have read the release of a plain
    // touch yet: it looks again shortly, after that input, and a touch stays a touch.
    if (m_started.elapsed() > m_timer.interval() + kLateMs) {
        arm(kLookAgainMs);
        return;
    }
    m_fired = true;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setDown(false);
    QMouseEvent press(QEvent::MouseButtonPress, m_pos, m_pos, m_global, Qt::RightButton, Qt::RightButton, m_modifiers,
                      Qt::MouseEventSynthesizedByApplication);
    QApplication::sendEvent(w, &press);
    if (!m_target) return;
    QMouseEvent release(QEvent::MouseButtonRelease, m_pos, m_pos, m_global, Qt::RightButton, Qt::NoButton, m_modifiers,
                        Qt::MouseEventSynthesizedByApplication);
    QApplication::sendEvent(w, &release);
}

void TapTracker::press(const QAbstractItemView* view, const QMouseEvent* e)
{
    m_down = true;
    m_dragged = false;
    m_pos = e->position().toPoint();
    m_pressed = view->indexAt(m_pos);
}

bool TapTracker::move(const QMouseEvent* e)
{
    if (!m_down) return false;
    if ((e->position().toPoint() - m_pos).manhattanLength() > kStillPx) m_dragged = true;
    return true;
}

QModelIndex TapTracker::release(const QAbstractItemView* view, const QMouseEvent* e)
{
    const bool down = std::exchange(m_down, false);
    const QPoint at = e->position().toPoint();
    if (!down || m_dragged || (at - m_pos).manhattanLength() > kStillPx || !view->viewport()->rect().contains(at)) return {};
    const QModelIndex i = view->indexAt(at);
    return i.isValid() && i == m_pressed ? i : QModelIndex();
}

namespace TouchScroll {

void enable(QAbstractItemView* view)
{
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(view->viewport(), QScroller::LeftMouseButtonGesture);
    QScroller* s = QScroller::scroller(view->viewport());
    QScrollerProperties p = s->scrollerProperties();
    const QVariant off = QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff);
    p.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy, off);
    p.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy, off);
    s->setScrollerProperties(p);
}

} // namespace TouchScroll
