// Start-up cost on a big salon: 100 000 customer cards, 20 000 stock cards, 30 employees.
// Prints the first start (empty own databases) and a repeat start to the ready state, each beside the
// floor this work can cost in SQLite, measured in the same run, and the peak memory.
#include "benchsalon.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

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
    return startBenchDesk(form) ? t.elapsed() : -1;
}

bool exec(sqlite3* db, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s: %s\n", sql, msg);
    sqlite3_free(msg);
    return false;
}

// The least this work can cost in SQLite: the same rows by plain INSERT ... SELECT into tables with the
// same columns and ordinary (binary) indexes on their key columns, plus the write-back of every source
// mark as an UPDATE by rowid, all in one transaction. Runs on copies of the untouched accounting files.
qint64 floorCopy(const QString& folder, const QString& prefix)
{
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open((folder + QStringLiteral("/Cari.Mdb")).toUtf8().constData(), &db);
    exec(db, "PRAGMA cache_size=-65536"); // the same page cache the desk gives its connections
    const QByteArray attach = QStringLiteral("ATTACH '%1' AS src; ATTACH '%2' AS stok; ATTACH '%3' AS own_stok;")
                                  .arg(prefix + QStringLiteral("Cari.mdb"), prefix + QStringLiteral("Stok.mdb"),
                                       folder + QStringLiteral("/Stok.Mdb")).toUtf8();
    bool ok = exec(db, attach.constData())
        && exec(db, "CREATE TABLE own_stok.StokKartlar (StokKod TEXT, StokAdi TEXT, Barkod TEXT, Fiyat CURRENCY DEFAULT 0,"
                    " Gurup TEXT, StokGizle INTEGER DEFAULT 0);"
                    "CREATE INDEX own_stok.StokKod_ix ON StokKartlar (StokKod);"
                    "CREATE TABLE main.CariKartlar (CariKod TEXT, Unvan TEXT, KartNo TEXT, Alan3 TEXT, Alan4 TEXT, Alan5 TEXT,"
                    " Alan6 TEXT, Alan7 TEXT, Alan8 TEXT, Alan9 TEXT, Telefon TEXT, Adres TEXT, Sehir TEXT, Alan13 TEXT,"
                    " Alan14 TEXT, Alan15 TEXT, Gurup TEXT, Yeni INTEGER DEFAULT 0);"
                    "CREATE INDEX main.CariKod_ix ON CariKartlar (CariKod);"
                    "CREATE TABLE main.Eleman (Eleman TEXT); CREATE INDEX main.Eleman_ix ON Eleman (Eleman);")
        && exec(db, "BEGIN")
        && exec(db, "INSERT INTO own_stok.StokKartlar (StokKod, StokAdi, Barkod, Fiyat, Gurup) "
                    "SELECT StokKod, StokAdi, BarkodNo, SatisFiyati, StokGrubu FROM stok.StokKartlar WHERE StokGizle=0")
        && exec(db, "INSERT INTO main.CariKartlar (CariKod, Unvan, KartNo, Telefon, Adres, Sehir, Gurup) "
                    "SELECT CariKod, Unvan, KartNumarasi, Telefon, Adres, Sehir, Gurup FROM src.CariKartlar "
                    "WHERE HesKullan=0 AND substr(CariKod,1,1)<>'='")
        && exec(db, "INSERT INTO main.Eleman (Eleman) SELECT DISTINCT Unvan FROM src.CariKartlar WHERE Gurup='Eleman'");
    // The marks, one UPDATE per imported record.
    const char* marks[][2] = {{"SELECT rowid FROM stok.StokKartlar WHERE StokGizle=0", "UPDATE stok.StokKartlar SET Aktarim=0 WHERE rowid=?"},
                              {"SELECT rowid FROM src.CariKartlar WHERE HesKullan=0 AND substr(CariKod,1,1)<>'='",
                               "UPDATE src.CariKartlar SET Guncel=0 WHERE rowid=?"}};
    for (const auto& m : marks) {
        sqlite3_stmt* sel = nullptr;
        sqlite3_stmt* upd = nullptr;
        ok = ok && sqlite3_prepare_v2(db, m[0], -1, &sel, nullptr) == SQLITE_OK && sqlite3_prepare_v2(db, m[1], -1, &upd, nullptr) == SQLITE_OK;
        std::vector<sqlite3_int64> ids;
        while (ok && sqlite3_step(sel) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(sel, 0));
        for (sqlite3_int64 id : ids) {
            sqlite3_bind_int64(upd, 1, id);
            ok = ok && sqlite3_step(upd) == SQLITE_DONE;
            sqlite3_reset(upd);
        }
        sqlite3_finalize(sel);
        sqlite3_finalize(upd);
    }
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok ? t.elapsed() : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);
    QApplication app(argc, argv);
    if (!writeBenchDemo(root, 100000, 20000, 30)) return 1;

    // The floor runs on copies of the accounting files as the generator left them (marks set).
    const QString floorDir = root + QStringLiteral("/floor");
    QDir().mkpath(floorDir);
    const QString floorPrefix = floorDir + QStringLiteral("/01");
    const QString prefix = benchPrefix(root);
    QFile::copy(prefix + QStringLiteral("Stok.mdb"), floorPrefix + QStringLiteral("Stok.mdb"));
    QFile::copy(prefix + QStringLiteral("Cari.mdb"), floorPrefix + QStringLiteral("Cari.mdb"));

    const qint64 first = startToReady();
    const qint64 repeat = startToReady();
    const qint64 floor = floorCopy(floorDir, floorPrefix);
    std::printf("first start: %lld ms\n", first);
    std::printf("repeat start: %lld ms\n", repeat);
    std::printf("floor (INSERT ... SELECT, binary key indexes, marks as UPDATEs, one transaction): %lld ms\n", floor);
    if (floor > 0) {
        std::printf("first start ratio: %.2f\n", double(first) / double(floor));
        std::printf("repeat start ratio: %.2f\n", double(repeat) / double(floor));
    }
    std::printf("peak memory: %ld MB\n", peakMemoryMb());
    return first > 0 && repeat > 0 && floor > 0 ? 0 : 1;
}
