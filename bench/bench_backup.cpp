// What the daily backup costs the desk at 100 000 customers and 1 000 000 ticket lines: the ready
// state with and without the day's backup due (rounds of both, each kind first in turn), the longest
// stall of the event loop while the backup runs, and how long the backup takes.
#include "benchsalon.h"

#include "app/backup.h"
#include "data/database.h"
#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

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
    if (!startBenchDesk(form)) return r;
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

qint64 median(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

QString joined(const std::vector<qint64>& v)
{
    QStringList parts;
    for (qint64 x : v) parts << QString::number(x);
    return parts.join(QStringLiteral(" "));
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);
    QApplication app(argc, argv);
    const QString program = root + QStringLiteral("/program");
    QString err;
    if (!writeBenchDemo(root, 100000, 20000, 30) || !Schema::ensureOwnDatabases(program, &err)) {
        std::fprintf(stderr, "salon: %s\n", qPrintable(err));
        return 1;
    }
    if (!fillTickets(program + QStringLiteral("/Salonya.Mdb"), 1000000)) return 1;

    const QString today = Backup::folderOf(program, QDate::currentDate());
    if (start(0).readyMs < 0) return 1; // the first start imports the cards and takes the day's backup
    constexpr int kRounds = 5;
    std::vector<qint64> due, taken, stalls, stallsWithout, backups;
    qint64 watchMs = 2000;
    for (int round = 0; round < kRounds; ++round) {
        // In turn first and second, so what one start leaves behind (a warm cache, pages being
        // written back) falls on both kinds alike.
        Start with, without;
        if (round % 2) without = start(watchMs); // taken already: watched as long as the last backup took
        QDir(today).removeRecursively();
        with = start(0); // the backup due again
        watchMs = with.backupMs;
        if (round % 2 == 0) without = start(watchMs);
        if (with.readyMs < 0 || without.readyMs < 0 || with.backupMs < 0) return 1;
        due.push_back(with.readyMs);
        taken.push_back(without.readyMs);
        stalls.push_back(with.longestStallMs);
        stallsWithout.push_back(without.longestStallMs);
        backups.push_back(with.backupMs);
    }
    qint64 bytes = 0;
    for (const QFileInfo& fi : QDir(today).entryInfoList(QDir::Files)) bytes += fi.size();
    std::printf("rounds: %d (a start with the backup due and one with it taken, each first in turn)\n", kRounds);
    std::printf("ready, backup due: median %lld ms (%s)\n", median(due), qPrintable(joined(due)));
    std::printf("ready, backup taken already: median %lld ms (%s)\n", median(taken), qPrintable(joined(taken)));
    std::printf("ready delay of a due backup: %lld ms (difference of the medians)\n", median(due) - median(taken));
    std::printf("longest event-loop stall while the backup ran: median %lld ms, worst %lld ms (as long without a backup: median %lld ms)\n",
                median(stalls), *std::max_element(stalls.begin(), stalls.end()), median(stallsWithout));
    std::printf("backup: median %lld ms, %lld MB\n", median(backups), bytes / (1024 * 1024));
    return 0;
}
