#include "inputgate.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "scanreader.h"

#include <QApplication>
#include <QWindow>

namespace {

// Touches are not held back: the clicks made from them are.
bool isHeldBack(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

bool isUserInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return true;
    default:
        return isHeldBack(t);
    }
}

} // namespace

InputGate::InputGate(Salonya* form) : QObject(form), f(*form)
{
    setObjectName(QStringLiteral("InputGate"));
    connect(f.startup(), &Startup::ready, this, &InputGate::open);
    m_reader = new ScanReader([this](QObject* to, QEvent* event) { replay(to, event); }, this);
    m_reader->readLimits();
    connect(m_reader, &ScanReader::scanned, this, &InputGate::scan);
    // Keys a person typed, handed on by the reader's own timer: what came during their handlers follows them.
    connect(m_reader, &ScanReader::timedOut, this, &InputGate::drain);
    qApp->installEventFilter(this);
}

InputGate::~InputGate() { qApp->removeEventFilter(this); }

void InputGate::open()
{
    // What was typed or touched while start-up worked is still queued: it goes with the closed gate.
    QCoreApplication::processEvents();
    m_open = true;
    // The filter installed last runs first: from now on the gate decides before the wheel hook and any
    // other application filter, which then see an event once, when it is delivered.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

bool InputGate::isFormWindow(const QObject* o) const
{
    return o->isWindowType() && o == f.windowHandle();
}

bool InputGate::isForm(const QObject* o) const
{
    if (isFormWindow(o)) return true;
    if (!o->isWidgetType()) return false;
    // isAncestorOf stops at window borders: the form's message boxes and pop-ups stay usable.
    const auto* w = static_cast<const QWidget*>(o);
    return w == &f || f.isAncestorOf(w);
}

bool InputGate::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(event->type())) return false;
    if (!m_open) return isForm(watched);
    if (event == m_passing || !isFormWindow(watched)) return false;
    // A menu or a dialog opened by a handler has its own loop and needs its input now.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
    if (!isHeldBack(event->type())) return false;
    if (m_depth > 0) {
        // A copy keeps what the platform said, spontaneity included: a held-back press still gives focus.
        m_held.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
        return true;
    }
    deliver(watched, event);
    drain();
    return true;
}

void InputGate::drain()
{
    if (m_depth > 0) return; // the handler on the stack drains when it returns
    while (!m_held.empty()) {
        Held next = std::move(m_held.front());
        m_held.pop_front();
        if (!next.to) continue;
        if (next.read) pass(next.to, next.event.get());
        else deliver(next.to, next.event.get());
    }
}

void InputGate::deliver(QObject* to, QEvent* event)
{
    if (!m_reader->offer(to, event)) pass(to, event);
}

void InputGate::replay(QObject* to, QEvent* event)
{
    // Let go while a handler waits (its timer ran): the key waits its turn like any other.
    if (m_depth > 0) m_held.push_back({to, std::unique_ptr<QEvent>(event->clone()), true});
    else pass(to, event);
}

void InputGate::scan(const QString& code)
{
    ++m_depth;
    emit scanned(code);
    --m_depth;
}

void InputGate::pass(QObject* to, QEvent* event)
{
    QEvent* outer = m_passing;
    m_passing = event;
    ++m_depth;
    QCoreApplication::instance()->notify(to, event);
    --m_depth;
    m_passing = outer;
}
