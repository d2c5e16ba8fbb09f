#pragma once
// Start-up of the main screen: the load handler before the first show, and the once-only work of the
// first activation (colours, window place, data-folder choice, the three imports, button captions,
// grid layouts, fonts, ready state).

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class Salonya;
struct PendingMarks;

Q_DECLARE_LOGGING_CATEGORY(lcStartup)

class Startup : public QObject
{
    Q_OBJECT
public:
    explicit Startup(Salonya* form);

    // Before the form is shown. False when the own databases cannot be used (the form's
    // fatalError() says why); the program must then end.
    bool load();
    // The activation handler; does its work once per run.
    void activate();
    bool isReady() const;
    // The imports' marks still to be written back after ready.
    bool marksPending() const { return !m_marks.empty(); }

    // Milliseconds since the process started.
    static qint64 processUptimeMs();

    // The imports, each a step of activation; public so tests can run them on their own fixtures.
    void importStock();
    void importCustomers();
    void importEmployees();

    // "Tarih=#mm/dd/yyyy#" for a day.
    static QString dateCriterion(const QDate& day);

signals:
    void ready();

private:
    template <typename F> void step(const char* name, F&& f);
    void applyColours();
    void placeWindow();
    void chooseDataFolder();
    // False when an own database is damaged and no good backup was put back; why says so.
    bool checkOwnDatabases(const QString& dir, QString* why);
    // The imports' marks on the accounting files, written after ready so a busy file never holds it up.
    void queueMarks(std::shared_ptr<PendingMarks> marks);
    void writeMarks();
    void writeMarkStep();

    Salonya* f;
    bool m_activating = false;
    std::vector<std::shared_ptr<PendingMarks>> m_marks;
    QTimer m_markTimer;
    QElapsedTimer m_marksWaited;
};
