#pragma once
// Start-up of the main screen: the load handler before the first show, and the once-only work of the
// first activation (colours, window place, data-folder choice, the three imports, button captions,
// grid layouts, fonts, ready state).

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>

class Salonya;

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

    Salonya* f;
    bool m_activating = false;
};
