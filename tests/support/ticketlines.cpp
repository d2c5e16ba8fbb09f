#include "ticketlines.h"

#include "data/database.h"

#include <sqlite3.h>

namespace TicketLines {
namespace {

struct Conn {
    sqlite3* db = nullptr;
    explicit Conn(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            db = nullptr;
            return;
        }
        sqlite3_busy_timeout(db, 5000);
        Database::registerFunctions(db);
    }
    ~Conn() { sqlite3_close(db); }
};

} // namespace

QList<qint64> write(const QString& salonyaFile, const QList<Line>& lines, QString* error)
{
    QList<qint64> ids;
    Conn c(salonyaFile);
    auto fail = [&](const char* what) {
        if (error) *error = QString::fromUtf8(what) + u' ' + (c.db ? QString::fromUtf8(sqlite3_errmsg(c.db)) : QString());
        return QList<qint64>();
    };
    if (!c.db) return fail("open");
    sqlite3_stmt* st = nullptr;
    if (sqlite3_exec(c.db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(c.db, "INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Gurup, Tarih, Eleman, Yeni, Barkod, Unvan, Tutar)"
                                    " VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1, &st, nullptr) != SQLITE_OK)
        return fail("prepare");
    for (const Line& l : lines) {
        sqlite3_reset(st);
        const QVariant gurup = l.gurup.isNull() ? QVariant() : QVariant(l.gurup.toBool() ? 1 : 0);
        const QVariantList values{l.islem, l.miktar, l.fiyat, l.cari, gurup, l.tarih, l.eleman, l.yeni, l.barkod, l.unvan, l.tutar};
        for (int i = 0; i < values.size(); ++i) bindValue(st, i + 1, values[i]);
        if (sqlite3_step(st) != SQLITE_DONE) { sqlite3_finalize(st); return fail("insert"); }
        ids << sqlite3_last_insert_rowid(c.db);
    }
    sqlite3_finalize(st);
    if (sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return fail("commit");
    return ids;
}

Line line(const QString& islem, double miktar, double fiyat, const QString& cari, const QString& unvan, const QString& eleman)
{
    Line l;
    l.islem = islem;
    l.miktar = miktar;
    l.fiyat = fiyat;
    l.tutar = miktar * fiyat;
    l.cari = cari;
    l.unvan = unvan;
    l.eleman = eleman;
    l.barkod = QStringLiteral("869") + islem.right(3);
    return l;
}

QVariantMap takenSlot(int slot)
{
    return {{QStringLiteral("Qx01_urun"), QStringLiteral("Fön")}, {QStringLiteral("MusLbl"), slot},
            {QStringLiteral("Müsteri"), QStringLiteral("ESKİ MÜŞTERİ %1").arg(slot)}, {QStringLiteral("RowSay"), 1},
            {QStringLiteral("Peron"), 0}};
}

} // namespace TicketLines
