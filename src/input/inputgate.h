#pragma once
// Guards the main screen's handlers against touches and keys at the wrong moment: before start-up is
// ready they are dropped (never queued for later), and afterwards a touch or key that arrives while
// another is still being handled (a wait inside a handler lets events run) is held back and handled
// after it, in order. Keys on their way to the screen pass the scan reader: a barcode scanner's burst
// is one scan, wherever the focus is, and never reaches a field.

#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>

class QEvent;
class Salonya;
class ScanReader;

class InputGate : public QObject
{
    Q_OBJECT
public:
    // Watches every event of the application; the form's pop-ups and dialogs are left alone.
    explicit InputGate(Salonya* form);
    ~InputGate() override;

    ScanReader* reader() const { return m_reader; }

signals:
    // A scanner's code; handled like any input, so what comes during its waits is held back.
    void scanned(const QString& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void open();
    bool isForm(const QObject* o) const;
    bool isFormWindow(const QObject* o) const;
    void deliver(QObject* to, QEvent* event);
    void drain();
    void pass(QObject* to, QEvent* event);
    void replay(QObject* to, QEvent* event);
    void scan(const QString& code);

    struct Held {
        QPointer<QObject> to;
        std::unique_ptr<QEvent> event;
        bool read = false; // the scan reader let it go already
    };
    Salonya& f;
    bool m_open = false;
    int m_depth = 0;
    QEvent* m_passing = nullptr;
    std::deque<Held> m_held;
    ScanReader* m_reader = nullptr;
};
