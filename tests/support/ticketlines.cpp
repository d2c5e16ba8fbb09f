#include "ticketlines.h"

#include "checkout/slotdb.h"
#include "data/database.h"
#include "data/pgengine.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace TicketLines {

QList<qint64> write(const QString& salonyaFile, const QList<Line>& lines)
{
    if (!Pg::serverSetting().isEmpty()) { // the ticket book on a salon server
        QString error;
        auto db = Database::open(salonyaFile, false, &error);
        if (!db) return {};
        Transaction tx(db.get());
        QList<qint64> ids;
        for (const Line& l : lines) {
            const QVariant gurup = l.gurup.isNull() ? QVariant() : QVariant(l.gurup.toBool() ? 1 : 0);
            Query q = db->run(u"INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Gurup, Tarih, Eleman, Yeni, Barkod, Unvan, Tutar) VALUES (?,?,?,?,?,?,?,?,?,?,?)"_s,
                              {l.islem, l.miktar, l.fiyat, l.cari, gurup, l.tarih, l.eleman, l.yeni, l.barkod, l.unvan, l.tutar}, true);
            if (!q.finish()) return {};
            ids << q.lastId();
        }
        return tx.commit() ? ids : QList<qint64>();
    }
    SlotDb db;
    if (!db.open(salonyaFile, false, 5000) || !db.exec(QStringLiteral("BEGIN"))) return {};
    SlotStatement st(db, u"INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Gurup, Tarih, Eleman, Yeni, Barkod, Unvan, Tutar) VALUES (?,?,?,?,?,?,?,?,?,?,?)"_s);
    QList<qint64> ids;
    for (const Line& l : lines) {
        const QVariant gurup = l.gurup.isNull() ? QVariant() : QVariant(l.gurup.toBool() ? 1 : 0);
        const QVariantList values{l.islem, l.miktar, l.fiyat, l.cari, gurup, l.tarih, l.eleman, l.yeni, l.barkod, l.unvan, l.tutar};
        for (int i = 0; i < values.size(); ++i) st.bind(i + 1, values[i]);
        if (!st.run()) return {};
        ids << sqlite3_last_insert_rowid(db.handle());
    }
    return db.exec(QStringLiteral("COMMIT")) ? ids : QList<qint64>();
}

Line line(const QString& islem, double miktar, double fiyat, const QString& cari, const QString& unvan, const QString& eleman)
{
    return {.islem = islem, .miktar = miktar, .fiyat = fiyat, .cari = cari, .eleman = eleman,
            .barkod = QStringLiteral("869") + islem.right(3), .unvan = unvan, .tutar = miktar * fiyat};
}

QVariantMap takenSlot(int slot)
{
    return {{u"Qx01_urun"_s, u"Fön"_s}, {u"MusLbl"_s, slot}, {u"Müsteri"_s, u"ESKİ MÜŞTERİ %1"_s.arg(slot)}, {u"RowSay"_s, 1}, {u"Peron"_s, 0}};
}

} // namespace TicketLines
