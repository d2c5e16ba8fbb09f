// What the daily backup costs the desk at 100 000 customers and 1 000 000 ticket lines: the ready
// state with and without the day's backup due, the longest stall of the event loop while the backup
// runs, and how long the backup takes.
#include "app/backup.h"
#include "app/hostpaths.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/schema.h"
#include "demosalon.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

struct Start {
    qint64 readyMs = -1;
    qint64 backupMs = -1;
    qint64 longestStallMs = -1;
};

// Start to ready; then the longest gap between ticks of a 1 ms timer while the backup runs (or, with
// none due, for the given time), i.e. how long a touch could wait.
Start start(qint64 watchMs)
{
    Start r;
    QElapsedTimer t;
    t.start();
    Salonya form;
    if (!form.startup()->load()) return r;
    form.show();
    if (!QTest::qWaitFor([&] { return form.startup()->isReady(); }, 300000)) return r;
    r.readyMs = t.elapsed();
    Backup* b = form.findChild<Backup*>();
    const bool backingUp = b && b->isRunning();
    QElapsedTimer gap, whole;
    gap.start();
    whole.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { r.longestStallMs = qMax(r.longestStallMs, gap.restart()); });
    tick.start(1);
    while (backingUp ? b->isRunning() : whole.elapsed() < watchMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (backingUp) r.backupMs = whole.elapsed();
    return r;
}

bool fillTickets(const QString& file, int lines)
{
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    Database::registerFunctions(db);
    const QByteArray sql = QStringLiteral(
        "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1)"
        " INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Gurup, Tarih, Eleman, Yeni, Barkod, Unvan, Tutar)"
        " SELECT 'Hizmet ' || (i % 400), 1, 100 + i % 50, 'M' || (i % 100000), 0, date('2020-01-01', '+' || (i / 500) || ' days'),"
        " 'Eleman ' || (i % 30), 0, '869' || i, 'MÜŞTERİ ' || (i % 100000), 100 FROM n; COMMIT;").arg(lines).toUtf8();
    char* msg = nullptr;
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &msg) == SQLITE_OK;
    if (!ok) std::fprintf(stderr, "tickets: %s\n", msg);
    sqlite3_free(msg);
    sqlite3_close(db);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SALONYA_NETWORK", "0");
    QTemporaryDir dir;
    const QString program = dir.path() + QStringLiteral("/program");
    qputenv("SALONYA_PROGRAM_DIR", program.toUtf8());
    qputenv("SALONYA_DRIVES", (dir.path() + QStringLiteral("/drives")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);

    Demo::DemoOptions o;
    o.prefix = dir.path() + QStringLiteral("/drives/C/DefteryaData/01");
    o.customers = 100000;
    o.stock = 20000;
    o.employees = 30;
    QString err;
    if (!Demo::writeDemoSalon(o, &err) || !Schema::ensureOwnDatabases(program, &err)) {
        std::fprintf(stderr, "salon: %s\n", qPrintable(err));
        return 1;
    }
    if (!fillTickets(program + QStringLiteral("/Salonya.Mdb"), 1000000)) return 1;

    const QString today = Backup::folderOf(program, QDate::currentDate());
    start(0); // the first start imports the cards and takes the day's backup
    QDir(today).removeRecursively();
    const Start with = start(0); // the backup due again
    const Start without = start(with.backupMs); // taken already: the same time watched without it
    qint64 bytes = 0;
    for (const QFileInfo& fi : QDir(today).entryInfoList(QDir::Files)) bytes += fi.size();
    std::printf("ready, backup due: %lld ms\n", with.readyMs);
    std::printf("ready, backup taken already: %lld ms\n", without.readyMs);
    std::printf("longest event-loop stall while the backup ran: %lld ms (as long without a backup: %lld ms)\n",
                with.longestStallMs, without.longestStallMs);
    std::printf("backup: %lld ms, %lld MB\n", with.backupMs, bytes / (1024 * 1024));
    return with.readyMs > 0 && without.readyMs > 0 && with.backupMs > 0 ? 0 : 1;
}
