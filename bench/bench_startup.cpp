// Start-up cost on a big salon: 100 000 customer cards, 20 000 stock cards, 30 employees.
// Prints the first start (empty own databases) and a repeat start to the ready state, peak memory,
// and the set-based SQL copy of the same rows as the floor this work can cost.
#include "app/salonya.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/schema.h"
#include "demosalon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sqlite3.h>

namespace {

long peakMemoryMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

qint64 startToReady()
{
    QElapsedTimer t;
    t.start();
    Salonya form;
    if (!form.startup()->load()) { std::fprintf(stderr, "load failed: %s\n", qPrintable(form.fatalError())); return -1; }
    form.show();
    if (!QTest::qWaitFor([&] { return form.startup()->isReady(); }, 120000)) return -1;
    return t.elapsed();
}

bool exec(sqlite3* db, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s: %s\n", sql, msg);
    sqlite3_free(msg);
    return false;
}

// The same rows into fresh copies of the own tables (same columns and indexes), set-based.
qint64 setBasedCopy(const QString& folder, const QString& prefix)
{
    QString err;
    if (!Schema::ensureOwnDatabases(folder, &err)) return -1;
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open((folder + QStringLiteral("/Cari.Mdb")).toUtf8().constData(), &db);
    Database::registerFunctions(db);
    exec(db, "PRAGMA cache_size=-65536"); // the same page cache the desk gives its connections
    const QByteArray attach = QStringLiteral("ATTACH '%1' AS src; ATTACH '%2' AS stok; ATTACH '%3' AS own_stok;")
                                  .arg(prefix + QStringLiteral("Cari.mdb"), prefix + QStringLiteral("Stok.mdb"),
                                       folder + QStringLiteral("/Stok.Mdb")).toUtf8();
    bool ok = exec(db, attach.constData()) && exec(db, "BEGIN")
        && exec(db, "INSERT INTO own_stok.StokKartlar (StokKod, StokAdi, Barkod, Fiyat, Gurup) "
                    "SELECT StokKod, StokAdi, BarkodNo, SatisFiyati, StokGrubu FROM stok.StokKartlar WHERE StokGizle=0")
        && exec(db, "INSERT INTO main.CariKartlar (CariKod, Unvan, KartNo, Telefon, Adres, Sehir, Gurup) "
                    "SELECT CariKod, Unvan, KartNumarasi, Telefon, Adres, Sehir, Gurup FROM src.CariKartlar "
                    "WHERE HesKullan=0 AND substr(CariKod,1,1)<>'='")
        && exec(db, "INSERT INTO main.Eleman (Eleman) SELECT DISTINCT Unvan FROM src.CariKartlar WHERE Gurup='Eleman'")
        && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok ? t.elapsed() : -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SALONYA_NETWORK", "0");
    QTemporaryDir dir;
    qputenv("SALONYA_PROGRAM_DIR", (dir.path() + QStringLiteral("/program")).toUtf8());
    qputenv("SALONYA_DRIVES", (dir.path() + QStringLiteral("/drives")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);

    Demo::DemoOptions o;
    o.prefix = dir.path() + QStringLiteral("/drives/C/DefteryaData/01");
    o.customers = 100000;
    o.stock = 20000;
    o.employees = 30;
    QString err;
    if (!Demo::writeDemoSalon(o, &err)) { std::fprintf(stderr, "demo: %s\n", qPrintable(err)); return 1; }

    const qint64 first = startToReady();
    const qint64 repeat = startToReady();
    const qint64 copy = setBasedCopy(dir.path() + QStringLiteral("/copy"), o.prefix);
    std::printf("first start: %lld ms\n", first);
    std::printf("repeat start: %lld ms\n", repeat);
    std::printf("peak memory: %ld MB\n", peakMemoryMb());
    std::printf("set-based SQL copy: %lld ms\n", copy);
    if (copy > 0) std::printf("ratio: first %.1fx, repeat %.1fx\n", double(first) / copy, double(repeat) / copy);
    return first > 0 && repeat > 0 && copy > 0 ? 0 : 1;
}
