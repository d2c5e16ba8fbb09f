#pragma once
// Touch where the desk was drawn for a mouse: a finger held still on a place whose right button
// opens a menu acts as the right button there, and a finger dragged over a list or grid scrolls it
// with momentum while a tap still picks the entry under it.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QAbstractItemView;
class QWidget;

class LongPress : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultDelayMs = 800;
    explicit LongPress(QObject* parent = nullptr);

    // A left press on w held still for the delay becomes a right press and release at the same
    // place; the left button's own release is then swallowed. accepts may turn a place down.
    void watch(QWidget* w, std::function<bool(const QPoint&)> accepts = {});
    void setDelay(int ms) { m_timer.setInterval(ms); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fire();
    QHash<QObject*, std::function<bool(const QPoint&)>> m_accepts;
    QTimer m_timer;
    QPointer<QWidget> m_target;
    QPoint m_pos, m_global;
    bool m_fired = false;
};

namespace TouchScroll {
// A finger (or a held mouse button) dragged over the view scrolls it kinetically.
void enable(QAbstractItemView* view);
}
