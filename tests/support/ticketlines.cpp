#include "ticketlines.h"

#include "data/database.h"

using namespace Qt::StringLiterals;

namespace TicketLines {

QList<qint64> write(const QString& salonyaFile, const QList<Line>& lines)
{
    QString error;
    auto db = Database::open(salonyaFile, false, &error); // the file, or the ticket book on a salon server
    if (!db) return {};
    Transaction tx(db.get(), true);
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
