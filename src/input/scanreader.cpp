#include "scanreader.h"

#include "app/settings.h"

#include <QKeyEvent>
#include <algorithm>
#include <cmath>

namespace {

// Scanners end a code with Return, keypad Enter, CR or LF (Ctrl+J).
bool isEnd(const QKeyEvent* k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->text() == u"\r" || k->text() == u"\n"
        || (k->key() == Qt::Key_J && k->modifiers().testFlag(Qt::ControlModifier));
}

bool isModifier(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

// A key held down repeats by itself: never a scanner's.
bool isCharacter(const QKeyEvent* k)
{
    if (k->text().isEmpty() || k->isAutoRepeat()) return false;
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    return std::all_of(k->text().cbegin(), k->text().cend(), [](QChar c) { return c.isPrint(); });
}

} // namespace

ScanReader::ScanReader(Replay replay, QObject* parent) : QObject(parent), m_replay(std::move(replay))
{
    setObjectName(QStringLiteral("ScanReader"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        release();
        emit timedOut();
    });
}

void ScanReader::readLimits()
{
    const auto stored = [](const char* key, double def) {
        const double v = Settings::toNumber(Settings::get(QString::fromLatin1(key)), def);
        return std::isfinite(v) ? std::clamp(v, 0.0, 1000.0) : def;
    };
    setLimits(int(stored("BarkodAralik", kBurstDefault)), int(stored("ElleAralik", kPersonDefault)));
}

void ScanReader::setLimits(int burstMs, int personMs)
{
    m_burst = std::clamp(burstMs, 5, 100);
    // A person's key waits at most this long; it can never be shorter than a scanner's gap.
    m_person = std::clamp(personMs, m_burst, 300);
}

bool ScanReader::offer(QObject* to, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return takeKey(to, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        release(); // what was typed before a touch is handled before it
        return false;
    default:
        return false;
    }
}

bool ScanReader::takeKey(QObject* to, QKeyEvent* k)
{
    const quint64 t = k->timestamp();
    const auto within = [&](int ms) { return t >= m_last && t - m_last <= quint64(ms); };
    const bool inBurst = within(m_burst);
    if (k->type() == QEvent::KeyRelease) {
        if (!k->isAutoRepeat() && m_swallow.removeOne(k->key())) return true;
        if (m_held.empty()) return false;
        hold(to, k);
        return true;
    }
    // A key pressed again was released where the reader could not see it.
    m_swallow.removeAll(k->key());
    if (isEnd(k)) {
        // Some scanners pause before their suffix; the burst already told them from a person.
        if (m_code.size() >= kMinLength && within(m_person)) {
            const QString code = m_code;
            swallowHeld(k);
            m_last = t;
            m_afterScan = true;
            emit scanned(code);
            return true;
        }
        if (m_afterScan && m_held.empty() && inBurst) { // the LF of CR LF
            m_swallow << k->key();
            m_afterScan = false;
            return true;
        }
        release();
        return false;
    }
    if (isModifier(k->key())) {
        if (m_held.empty()) return false;
        hold(to, k);
        return true;
    }
    m_afterScan = false;
    if (!isCharacter(k)) {
        release();
        return false;
    }
    if (!m_held.empty() && !inBurst) release();
    hold(to, k);
    m_code += k->text();
    m_last = t;
    m_timer.start(m_person);
    return true;
}

void ScanReader::hold(QObject* to, QEvent* event) { m_held.push_back({to, std::unique_ptr<QEvent>(event->clone())}); }

void ScanReader::swallowHeld(const QKeyEvent* end)
{
    m_timer.stop();
    m_code.clear();
    QList<int> down; // pressed within the scan, their releases not yet come
    for (const Held& h : m_held) {
        const auto* e = static_cast<const QKeyEvent*>(h.event.get());
        if (e->type() == QEvent::KeyPress) down << e->key();
        else down.removeOne(e->key());
    }
    m_swallow << down << end->key();
    m_held.clear();
}

void ScanReader::release()
{
    m_timer.stop();
    m_code.clear();
    // Taken out first: a handler of a replayed key may let events run, this timer's among them.
    std::deque<Held> held;
    held.swap(m_held);
    for (Held& h : held)
        if (h.to) m_replay(h.to, h.event.get());
}
