#pragma once
// Daily backup of the desk's own databases: at the first start of a day, after the ready state, a
// worker thread copies "Cari.Mdb", "Stok.Mdb" and "Salonya.Mdb" with SQLite's online backup into
// "Yedek/<yyyy-mm-dd>" of the program folder and keeps the last 14 days; on a salon server it keeps
// the server's dump of the three schemas there instead. A failure is logged and
// told once; the desk goes on.

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>

class QThread;
class QWidget;

class Backup : public QObject
{
    Q_OBJECT
public:
    static constexpr int KeepDays = 14;
    // The day's file when the databases live on a salon server (pg_dump's own format).
    static constexpr auto ServerDump = "Salonya.dump";

    // Messages go over `window`, which also owns the backup.
    Backup(QString programDir, QWidget* window);
    ~Backup() override; // stops a running copy and waits for it

    // Starts the day's backup on a worker thread unless it was taken already; false when not started.
    bool startIfDue(const QDate& day = QDate::currentDate());
    bool isRunning() const;

    // The whole backup of one day on the calling thread: empty when done (or done before), else why, in Turkish.
    static QString run(const QString& programDir, const QDate& day, const std::atomic_bool* cancel = nullptr);
    static QString folderOf(const QString& programDir, const QDate& day);
    // The days backed up in "Yedek", oldest first: folders (not links) named by a real date that hold
    // nothing but the desk's own database files.
    static QList<QDate> days(const QString& programDir);

signals:
    void finished(const QString& error);

private:
    QString m_dir;
    QWidget* m_window;
    QThread* m_thread = nullptr;
    QString m_error;
    std::atomic_bool m_cancel{false};
};
