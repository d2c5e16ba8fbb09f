#include "registerslots.h"

#include "slotdb.h"
#include "slotsender.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace RegisterSlots {
namespace {

bool openSlots(SlotDb& db, const QString& slotFile, int busyTimeoutMs, QString* error)
{
    const QFileInfo fi(slotFile);
    if (!fi.isFile()) {
        *error = QStringLiteral("Kasa dosyası bulunamadı: %1").arg(QDir::toNativeSeparators(slotFile));
        return false;
    }
    if (db.open(slotFile, false, busyTimeoutMs)) return true;
    *error = QStringLiteral("Kasa dosyası açılamadı: %1 (%2)").arg(QDir::toNativeSeparators(slotFile), db.error());
    return false;
}

QString failure(const SlotDb& db, const QString& what)
{
    if (db.code() == SQLITE_BUSY || db.code() == SQLITE_LOCKED)
        return QStringLiteral("Kasa dosyası kilitli, biraz sonra tekrar deneyin.");
    return what + QStringLiteral(" (") + db.error() + u')';
}

} // namespace

bool read(const QString& slotFile, QList<Line>* lines, QString* error, int busyTimeoutMs)
{
    SlotDb db;
    if (!openSlots(db, slotFile, busyTimeoutMs, error)) return false;
    // The first column after the key holds the line's name; read it by position.
    SlotStatement st(db, QStringLiteral("SELECT * FROM \"Müsteri\" WHERE MusLbl IN (1,2,3) ORDER BY MusLbl, RowSay, rowid"));
    if (!st.ok()) { *error = failure(db, QStringLiteral("Kasa dosyası okunamadı")); return false; }
    QList<Line> out;
    while (st.next()) {
        Line l;
        l.name = st.value(1).toString();
        l.slot = st.value(2).toInt();
        l.customer = st.value(3).toString();
        l.barcode = st.value(4).toString();
        l.quantity = st.value(5);
        l.price = st.value(6);
        l.amount = st.value(7);
        l.employee = st.value(8).toString();
        l.rowSay = st.value(9).toInt();
        out << l;
    }
    if (st.failed()) { *error = failure(db, QStringLiteral("Kasa dosyası okunamadı")); return false; }
    *lines = out;
    return true;
}

int pay(const QString& slotFile, int slot, QString* error, int busyTimeoutMs)
{
    if (slot < 1 || slot > SlotSender::SlotCount) {
        *error = QStringLiteral("Kasa numarası 1, 2 ya da 3 olmalı: %1").arg(slot);
        return -1;
    }
    SlotDb db;
    if (!openSlots(db, slotFile, busyTimeoutMs, error)) return -1;
    if (!db.exec(QStringLiteral("BEGIN IMMEDIATE"))) { *error = failure(db, QStringLiteral("Kasa dosyası kilitlenemedi")); return -1; }
    SlotStatement st(db, QStringLiteral("DELETE FROM \"Müsteri\" WHERE MusLbl=?"));
    st.bind(1, slot);
    if (!st.run()) { *error = failure(db, QStringLiteral("Kasa boşaltılamadı")); return -1; }
    const int removed = sqlite3_changes(db.handle());
    if (!db.exec(QStringLiteral("COMMIT"))) { *error = failure(db, QStringLiteral("Kasa boşaltılamadı")); return -1; }
    return removed;
}

} // namespace RegisterSlots
