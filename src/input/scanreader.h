#pragma once
// Tells a barcode scanner from a person on the same keyboard: a burst of at least four characters, each
// within the burst limit of the one before, ended by Enter, CR or LF within the person limit, is one scan.
// Key presses that could still start a burst are kept back, at most the person limit, then handed on
// as typed, in order. Times are the events' own (the X server's), so input that waited while the desk
// was busy is judged by when it was typed.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QKeyEvent;

class ScanReader : public QObject
{
    Q_OBJECT
public:
    // Hands a kept-back event on to the target it was on its way to.
    using Replay = std::function<void(QObject* to, QEvent* event)>;

    static constexpr int kMinLength = 4;
    static constexpr int kBurstDefault = 30;  // ms; setting "BarkodAralik"
    static constexpr int kPersonDefault = 60; // ms; setting "ElleAralik"

    explicit ScanReader(Replay replay, QObject* parent = nullptr);

    // From the settings, each clamped: the burst limit to 5..100 ms, the person limit to the burst limit..300 ms.
    void readLimits();
    void setLimits(int burstMs, int personMs);
    int burstMs() const { return m_burst; }
    int personMs() const { return m_person; }

    // An input event on its way to the desk. True when the reader keeps it: held back, or part of a scan.
    bool offer(QObject* to, QEvent* event);
    // Hands on what is held back, as typed.
    void release();

signals:
    void scanned(const QString& code);
    // What was held back went on by itself, the person limit having passed.
    void timedOut();

private:
    bool takeKey(QObject* to, QKeyEvent* key);
    void hold(QObject* to, QEvent* event);
    bool endsScan(const QKeyEvent* key) const;
    void swallowHeld(const QKeyEvent* end);

    struct Held {
        QPointer<QObject> to;
        std::unique_ptr<QEvent> event;
    };
    Replay m_replay;
    int m_burst = kBurstDefault;
    int m_person = kPersonDefault;
    std::deque<Held> m_held; // presses and releases, in the order they came
    QString m_code;          // the text of the held presses
    quint64 m_last = 0;      // time of the last character held, or of the last scan's end
    bool m_afterScan = false; // a CR of CR LF ended a scan: its LF ends nothing more
    QList<int> m_swallow;    // keys of a scan whose releases are still to come
    QTimer m_timer;
};
