#include "slotsender.h"

#include "slotdb.h"
#include "app/hostpaths.h"
#include "data/jet.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cmath>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcSlots, "salonya.checkout")

namespace {

const char* const kSchema = "kasa";

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

QString quotedIdent(const QString& name)
{
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// A missing slot file must be reported, never created empty by SQLite.
QString checkSlotFile(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists()) return QStringLiteral("Kasa dosyası bulunamadı: %1").arg(native(path));
    if (!fi.isFile()) return QStringLiteral("Kasa dosyası açılamadı: %1").arg(native(path));
    return {};
}

// Atomic commit over attached files works only with rollback journals; a file left in WAL mode is
// switched back (that needs nobody else to have it open, else it fails as busy).
bool ensureRollbackJournal(SlotDb& db, const QString& schema)
{
    QString mode;
    {
        SlotStatement st(db, QStringLiteral("PRAGMA %1.journal_mode").arg(schema));
        if (!st.next()) return false;
        mode = st.value(0).toString().toLower();
    }
    if (mode == u"delete" || mode == u"truncate" || mode == u"persist") return true;
    SlotStatement st(db, QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(schema));
    return st.next() && st.value(0).toString().compare(u"delete", Qt::CaseInsensitive) == 0;
}

double round4(double v) { return std::round(v * 10000.0) / 10000.0; }

bool isOpenLine(const QVariant& yeni) { return !yeni.isNull() && yeni.toDouble() == 1.0; }

} // namespace

SlotSender::SlotSender(QString ticketFile, QString slotFile)
    : m_ticketFile(std::move(ticketFile)), m_slotFile(std::move(slotFile))
{
}

QString SlotSender::slotFileOf(const QString& veriYolu)
{
    // "C:\DefteryaData\01" -> "C:\DefteryaData\\Müsteri.mdb": the doubled separator names the same file.
    return HostPaths::toLocal(HostPaths::folderOfPrefix(veriYolu) + QStringLiteral("\\Müsteri.mdb"));
}

int SlotSender::firstFreeSlot(const QString& slotFile, int busyTimeoutMs, QString* message)
{
    if (const QString why = checkSlotFile(slotFile); !why.isEmpty()) { *message = why; return -1; }
    SlotDb db;
    // Read-write even for reading: only such a connection can roll back a journal a crashed writer left.
    if (db.open(slotFile, false, busyTimeoutMs)) {
        SlotStatement st(db, QStringLiteral("SELECT DISTINCT MusLbl FROM \"Müsteri\" WHERE MusLbl IN (1,2,3)"));
        bool taken[SlotCount + 1] = {};
        while (st.next()) taken[qBound(0, st.value(0).toInt(), SlotCount)] = true;
        if (!st.failed()) {
            for (int n = 1; n <= SlotCount; ++n)
                if (!taken[n]) return n;
            return 0;
        }
    }
    qCWarning(lcSlots).noquote() << "slot file unreadable:" << slotFile << db.error();
    *message = db.code() == SQLITE_BUSY || db.code() == SQLITE_LOCKED
        ? QStringLiteral("Kasa dosyası kilitli, biraz sonra tekrar deneyin.")
        : QStringLiteral("Kasa dosyası okunamadı: %1").arg(native(slotFile));
    return -1;
}

SlotSender::Result SlotSender::send(const QList<qint64>& lineIds) { return run(QString(), lineIds); }

SlotSender::Result SlotSender::sendRecordSource(const QString& recordSource) { return run(recordSource, {}); }

QString SlotSender::failure(Step step, const SlotDb& db) const
{
    qCWarning(lcSlots).noquote() << "send failed at step" << int(step) << db.code() << db.error();
    const QString slot = native(m_slotFile);
    switch (db.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Kasa dosyası kilitli, biraz sonra tekrar deneyin.");
    case SQLITE_FULL:
        return QStringLiteral("Disk dolu, hesap kasaya gönderilemedi.");
    case SQLITE_READONLY:
        return sqlite3_db_readonly(db.handle(), "main") == 1
            ? QStringLiteral("Adisyon dosyası salt okunur: %1").arg(native(m_ticketFile))
            : QStringLiteral("Kasa dosyası salt okunur: %1").arg(slot);
    default: break;
    }
    switch (step) {
    case Step::OpenTicket: return QStringLiteral("Adisyon dosyası açılamadı: %1").arg(native(m_ticketFile));
    case Step::AttachSlot: return QStringLiteral("Kasa dosyası açılamadı: %1").arg(slot);
    case Step::ReadSlots: return QStringLiteral("Kasa dosyası okunamadı: %1").arg(slot);
    case Step::ReadLines: return QStringLiteral("Adisyon satırları okunamadı: %1").arg(db.error());
    case Step::WriteSlot: return QStringLiteral("Kasa dosyasına yazılamadı: %1").arg(slot);
    case Step::MarkLine: return QStringLiteral("Adisyon satırları kapatılamadı: %1").arg(db.error());
    case Step::Lock:
    case Step::Commit: break;
    }
    return QStringLiteral("Hesap kasaya gönderilemedi: %1").arg(db.error());
}

SlotSender::Result SlotSender::run(const QString& recordSource, const QList<qint64>& lineIds)
{
    Result r;
    r.message = checkSlotFile(m_slotFile);
    if (!r.message.isEmpty()) return r;

    // A connection of its own: the attached slot file and the write lock stay out of the data sources'.
    SlotDb db;
    if (!db.open(m_ticketFile, false, m_busyMs)) { r.message = failure(Step::OpenTicket, db); return r; }
    const QString schema = QString::fromLatin1(kSchema);
    if (!db.attach(m_slotFile, schema)) { r.message = failure(Step::AttachSlot, db); return r; }
    if (sqlite3_db_readonly(db.handle(), kSchema) == 1) {
        r.message = QStringLiteral("Kasa dosyası salt okunur: %1").arg(native(m_slotFile));
        return r;
    }
    if (!ensureRollbackJournal(db, QStringLiteral("main")) || !ensureRollbackJournal(db, schema)) {
        r.message = failure(Step::Lock, db);
        return r;
    }
    // The write lock on both files comes before the slots are read. Closing the connection
    // without a commit rolls everything back, so each failure below just returns.
    if (!db.exec(QStringLiteral("BEGIN IMMEDIATE"))) { r.message = failure(Step::Lock, db); return r; }

    int slot = 0;
    {
        SlotStatement st(db, QStringLiteral("SELECT DISTINCT MusLbl FROM kasa.\"Müsteri\" WHERE MusLbl IN (1,2,3)"));
        bool taken[SlotCount + 1] = {};
        while (st.next()) taken[qBound(0, st.value(0).toInt(), SlotCount)] = true;
        if (st.failed()) { r.message = failure(Step::ReadSlots, db); return r; }
        for (int n = SlotCount; n >= 1; --n)
            if (!taken[n]) slot = n;
    }
    if (slot == 0) {
        r.outcome = Outcome::Full;
        return r;
    }

    // The register's first column after the key is written by position; its name is the file's.
    QString firstColumn;
    {
        SlotStatement st(db, QStringLiteral("PRAGMA kasa.table_info(\"Müsteri\")"));
        while (st.next())
            if (st.value(0).toInt() == 1) firstColumn = st.value(1).toString();
        if (st.failed() || firstColumn.isEmpty()) { r.message = failure(Step::ReadSlots, db); return r; }
    }

    QString table = QStringLiteral("Salonya");
    QList<qint64> ids = lineIds;
    if (!recordSource.isEmpty()) {
        const Jet::RecordSource rs = Jet::parseRecordSource(recordSource);
        if (!rs.ok) {
            r.message = QStringLiteral("Adisyon satırları okunamadı: %1").arg(rs.error);
            return r;
        }
        table = rs.table;
        SlotStatement st(db, QStringLiteral("SELECT rowid FROM main.%1 %2").arg(quotedIdent(table), rs.tail.text));
        for (int i = 0; i < rs.tail.params.size(); ++i) st.bind(i + 1, rs.tail.params[i]);
        while (st.next()) ids << st.value(0).toLongLong();
        if (st.failed()) { r.message = failure(Step::ReadLines, db); return r; }
    }

    SlotStatement line(db, QStringLiteral("SELECT Islem, Miktar, Fiyat, Gurup, Barkod, Unvan, Eleman, Yeni FROM main.%1 WHERE rowid=?")
                               .arg(quotedIdent(table)));
    SlotStatement insert(db, QStringLiteral("INSERT INTO kasa.\"Müsteri\" (%1, MusLbl, \"Müsteri\", Barkod, Miktar, Fiyat, Tutar,"
                                            " eLEMAN, RowSay, Peron) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)")
                                 .arg(quotedIdent(firstColumn)));
    SlotStatement mark(db, QStringLiteral("UPDATE main.%1 SET Yeni=0 WHERE rowid=? AND Yeni=1").arg(quotedIdent(table)));
    if (!line.ok()) { r.message = failure(Step::ReadLines, db); return r; }
    if (!insert.ok()) { r.message = failure(Step::WriteSlot, db); return r; }
    if (!mark.ok()) { r.message = failure(Step::MarkLine, db); return r; }

    int rowSay = 0;
    for (const qint64 id : std::as_const(ids)) {
        line.bind(1, id);
        const bool found = line.next();
        if (line.failed()) { r.message = failure(Step::ReadLines, db); return r; }
        if (!found || !isOpenLine(line.value(7))) { line.reset(); continue; }
        const QVariant price = line.value(2);
        QVariant quantity = line.value(1);
        QVariant amount;
        if (!quantity.isNull()) {
            double q = quantity.toDouble();
            if (line.value(3).toBool()) q /= 1000.0; // dye is weighed in grams; the register counts kilograms
            quantity = q;
            if (!price.isNull()) amount = round4(price.toDouble() * q);
        }
        ++rowSay;
        insert.bind(1, line.value(0));
        insert.bind(2, slot);
        insert.bind(3, line.value(5));
        insert.bind(4, line.value(4));
        insert.bind(5, quantity);
        insert.bind(6, price);
        insert.bind(7, amount);
        insert.bind(8, line.value(6));
        insert.bind(9, rowSay);
        line.reset();
        if (!insert.run()) { r.message = failure(Step::WriteSlot, db); return r; }
        mark.bind(1, id);
        if (!mark.run()) { r.message = failure(Step::MarkLine, db); return r; }
        if (sqlite3_changes(db.handle()) != 1) {
            r.message = QStringLiteral("Adisyon satırları kapatılamadı: satır %1").arg(id);
            return r;
        }
    }
    if (!db.exec(QStringLiteral("COMMIT"))) {
        r.message = failure(Step::Commit, db);
        return r;
    }
    r.outcome = Outcome::Sent;
    r.lines = rowSay;
    r.slot = rowSay > 0 ? slot : 0;
    return r;
}
