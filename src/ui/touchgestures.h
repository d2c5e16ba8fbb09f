#pragma once
// Touch where the desk was drawn for a mouse: a finger held still on a place whose right button
// opens a menu acts as the right button there, and a finger dragged over a list or grid scrolls it
// with momentum while a tap still picks the entry under it.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAbstractItemView;
class QMouseEvent;
class QWidget;

class LongPress : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultDelayMs = 800;
    explicit LongPress(QObject* parent = nullptr);

    // A left press on w held still for the delay becomes a right press and release at the same
    // place, with the keys held at the press; the left button's own release is then swallowed.
    // accepts may turn a place down.
    void watch(QWidget* w, std::function<bool(const QPoint&)> accepts = {});
    void setDelay(int ms) { m_delay = ms; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fire();
    void arm(int ms);
    QHash<QObject*, std::function<bool(const QPoint&)>> m_accepts;
    QTimer m_timer;
    QElapsedTimer m_started; // of the timer: a timeout that comes late means the desk was held up
    int m_delay = DefaultDelayMs;
    QPointer<QWidget> m_target;
    QPoint m_pos, m_global;
    Qt::KeyboardModifiers m_modifiers;
    bool m_fired = false;
};

// Tells a tap on an item of a view from a finger that drags over it: the view hands its left presses,
// moves and releases here instead of moving its current item at the press. A drag that a scroller takes
// over ends in a release far off the view, so it never counts as a tap.
class TapTracker
{
public:
    void press(const QAbstractItemView* view, const QMouseEvent* e);
    // On the move: true while the finger is down (the view must not move its current item).
    bool move(const QMouseEvent* e);
    // The item tapped; invalid when the finger dragged or let go off the item it pressed.
    QModelIndex release(const QAbstractItemView* view, const QMouseEvent* e);

private:
    QPersistentModelIndex m_pressed;
    QPoint m_pos;
    bool m_down = false;
    bool m_dragged = false;
};

namespace TouchScroll {
// A finger (or a held mouse button) dragged over the view scrolls it kinetically.
void enable(QAbstractItemView* view);
}
