#include "slotsender.h"

#include "slotdb.h"
#include "app/hostpaths.h"
#include "data/jet.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUuid>
#include <cmath>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcSlots, "salonya.checkout")

namespace {

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

// A file on a share must not be in WAL mode (its index lives in shared memory of one machine); a file
// left so is switched back (that needs nobody else to have it open, else it fails as busy).
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

const QString kLog = QString::fromLatin1(SlotSender::LogTable);

bool tableExists(SlotDb& db, const QString& name, bool* exists)
{
    SlotStatement st(db, QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type='table' AND name=?"));
    st.bind(1, name);
    *exists = st.next() && st.value(0).toInt() > 0;
    return !st.failed();
}

// This desk's name in the send log: made once and kept in its own ticket file, so it survives a
// moved folder or a new machine name, and a restored file still owns its unfinished sends.
bool deskId(SlotDb& ticket, QString* id)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool exists = false;
        if (!tableExists(ticket, QStringLiteral("SalonyaMasa"), &exists)) return false;
        if (exists) {
            SlotStatement st(ticket, QStringLiteral("SELECT Kimlik FROM SalonyaMasa WHERE Kimlik<>'' LIMIT 1"));
            if (st.next()) {
                *id = st.value(0).toString();
                return true;
            }
            if (st.failed()) return false;
        }
        if (attempt > 0) break;
        const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (!ticket.exec(QStringLiteral("BEGIN IMMEDIATE"))) return false;
        if (!ticket.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS SalonyaMasa (Kimlik TEXT)"))
            || !ticket.exec(QStringLiteral("INSERT INTO SalonyaMasa (Kimlik) SELECT '%1' WHERE NOT EXISTS (SELECT 1 FROM SalonyaMasa)").arg(made))
            || !ticket.exec(QStringLiteral("COMMIT"))) {
            ticket.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return false;
}

struct Entry {
    qint64 line = 0;
    QVariant islem;
};

// A line to send, as its slot row will hold it.
struct Outgoing {
    qint64 id = 0;
    QVariant islem, quantity, price, amount, unvan, barkod, eleman;
};

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
    const bool ticketSide = step == Step::OpenTicket || step == Step::ReadLines || step == Step::MarkLine;
    switch (db.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ticketSide ? QStringLiteral("Adisyon dosyası kilitli, biraz sonra tekrar deneyin.")
                          : QStringLiteral("Kasa dosyası kilitli, biraz sonra tekrar deneyin.");
    case SQLITE_FULL:
        return QStringLiteral("Disk dolu, hesap kasaya gönderilemedi.");
    case SQLITE_READONLY:
        return ticketSide ? QStringLiteral("Adisyon dosyası salt okunur: %1").arg(native(m_ticketFile))
                          : QStringLiteral("Kasa dosyası salt okunur: %1").arg(slot);
    default: break;
    }
    switch (step) {
    case Step::OpenTicket: return QStringLiteral("Adisyon dosyası açılamadı: %1").arg(native(m_ticketFile));
    case Step::OpenSlot: return QStringLiteral("Kasa dosyası açılamadı: %1").arg(slot);
    case Step::ReadSlots: return QStringLiteral("Kasa dosyası okunamadı: %1").arg(slot);
    case Step::ReadLines: return QStringLiteral("Adisyon satırları okunamadı: %1").arg(db.error());
    case Step::WriteSlot: return QStringLiteral("Kasa dosyasına yazılamadı: %1").arg(slot);
    case Step::MarkLine: return QStringLiteral("Adisyon satırları kapatılamadı: %1").arg(db.error());
    case Step::Lock:
    case Step::Commit: break;
    }
    return QStringLiteral("Hesap kasaya gönderilemedi: %1").arg(db.error());
}

bool SlotSender::open(SlotDb& kasa, SlotDb& ticket, QString* desk, QString* message) const
{
    *message = checkSlotFile(m_slotFile);
    if (!message->isEmpty()) return false;
    // Each file on a connection of its own: no transaction ever spans both.
    if (!kasa.open(m_slotFile, false, m_busyMs)) { *message = failure(Step::OpenSlot, kasa); return false; }
    if (sqlite3_db_readonly(kasa.handle(), "main") == 1) {
        *message = QStringLiteral("Kasa dosyası salt okunur: %1").arg(native(m_slotFile));
        return false;
    }
    if (!ensureRollbackJournal(kasa, QStringLiteral("main"))) { *message = failure(Step::Lock, kasa); return false; }
    if (!ticket.open(m_ticketFile, false, m_busyMs) || !deskId(ticket, desk)) { *message = failure(Step::OpenTicket, ticket); return false; }
    return true;
}

bool SlotSender::dropLog(SlotDb& kasa, const QString& desk, const QList<qint64>& ids) const
{
    if (ids.isEmpty()) return true;
    bool ok = kasa.exec(QStringLiteral("BEGIN IMMEDIATE"));
    {
        SlotStatement del(kasa, QStringLiteral("DELETE FROM main.%1 WHERE Masa=? AND Satir=?").arg(kLog));
        for (const qint64 id : ids) {
            if (!ok) break;
            del.bind(1, desk);
            del.bind(2, id);
            ok = del.run();
        }
    }
    ok = ok && kasa.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        // Harmless: the entries name closed lines, and the next send or start-up drops them.
        qCWarning(lcSlots).noquote() << "send log not cleared:" << kasa.error();
        kasa.exec(QStringLiteral("ROLLBACK"));
    }
    return ok;
}

int SlotSender::finish(SlotDb& kasa, SlotDb& ticket, const QString& desk, QString* message) const
{
    bool exists = false;
    if (!tableExists(kasa, kLog, &exists)) { *message = failure(Step::ReadSlots, kasa); return -1; }
    if (!exists) return 0;
    QList<Entry> entries;
    {
        SlotStatement st(kasa, QStringLiteral("SELECT Satir, Islem FROM main.%1 WHERE Masa=?").arg(kLog));
        st.bind(1, desk);
        while (st.next()) entries << Entry{st.value(0).toLongLong(), st.value(1)};
        if (st.failed()) { *message = failure(Step::ReadSlots, kasa); return -1; }
    }
    if (entries.isEmpty()) return 0;
    // These lines are in a slot (or were paid): close them. The name guards against a reused row number.
    int closed = 0;
    bool ok = ticket.exec(QStringLiteral("BEGIN IMMEDIATE"));
    {
        SlotStatement mark(ticket, QStringLiteral("UPDATE main.Salonya SET Yeni=0 WHERE rowid=? AND Yeni=1 AND Islem IS ?"));
        for (const Entry& e : std::as_const(entries)) {
            if (!ok) break;
            mark.bind(1, e.line);
            mark.bind(2, e.islem);
            ok = mark.run();
            closed += ok ? sqlite3_changes(ticket.handle()) : 0;
        }
    }
    ok = ok && ticket.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        *message = failure(Step::MarkLine, ticket);
        ticket.exec(QStringLiteral("ROLLBACK"));
        return -1;
    }
    if (closed > 0) qCInfo(lcSlots, "an unfinished send closed: %d lines", closed);
    QList<qint64> ids;
    for (const Entry& e : std::as_const(entries)) ids << e.line;
    dropLog(kasa, desk, ids);
    return closed;
}

int SlotSender::finishUnfinished(QString* message)
{
    SlotDb kasa, ticket;
    QString desk;
    if (!open(kasa, ticket, &desk, message)) return -1;
    return finish(kasa, ticket, desk, message);
}

SlotSender::Result SlotSender::run(const QString& recordSource, const QList<qint64>& lineIds)
{
    Result r;
    SlotDb kasa, ticket;
    QString desk;
    if (!open(kasa, ticket, &desk, &r.message)) return r;
    if (finish(kasa, ticket, desk, &r.message) < 0) return r;

    // The lines, from the desk's own file (only this desk writes it).
    QString table = QStringLiteral("Salonya");
    QList<qint64> ids = lineIds;
    if (!recordSource.isEmpty()) {
        const Jet::RecordSource rs = Jet::parseRecordSource(recordSource);
        if (!rs.ok) {
            r.message = QStringLiteral("Adisyon satırları okunamadı: %1").arg(rs.error);
            return r;
        }
        table = rs.table;
        SlotStatement st(ticket, QStringLiteral("SELECT rowid FROM main.%1 %2").arg(quotedIdent(table), rs.tail.text));
        for (int i = 0; i < rs.tail.params.size(); ++i) st.bind(i + 1, rs.tail.params[i]);
        while (st.next()) ids << st.value(0).toLongLong();
        if (st.failed()) { r.message = failure(Step::ReadLines, ticket); return r; }
    }
    QList<Outgoing> out;
    {
        SlotStatement line(ticket, QStringLiteral("SELECT Islem, Miktar, Fiyat, Gurup, Barkod, Unvan, Eleman, Yeni FROM main.%1 WHERE rowid=?")
                                       .arg(quotedIdent(table)));
        for (const qint64 id : std::as_const(ids)) {
            line.bind(1, id);
            const bool found = line.next();
            if (line.failed()) { r.message = failure(Step::ReadLines, ticket); return r; }
            if (found && isOpenLine(line.value(7))) {
                Outgoing o{id, line.value(0), line.value(1), line.value(2), {}, line.value(5), line.value(4), line.value(6)};
                if (!o.quantity.isNull()) {
                    double q = o.quantity.toDouble();
                    if (line.value(3).toBool()) q /= 1000.0; // dye is weighed in grams; the register counts kilograms
                    o.quantity = q;
                    if (!o.price.isNull()) o.amount = round4(o.price.toDouble() * q);
                }
                out << o;
            }
            line.reset();
        }
    }

    // The slot file alone, under its write lock from before the slots are read: the slot rows and
    // the log entries commit together or not at all, decided by that file's own journal.
    if (!kasa.exec(QStringLiteral("BEGIN IMMEDIATE"))) { r.message = failure(Step::Lock, kasa); return r; }
    const auto rollback = [&kasa] { kasa.exec(QStringLiteral("ROLLBACK")); };
    int slot = 0;
    {
        SlotStatement st(kasa, QStringLiteral("SELECT DISTINCT MusLbl FROM main.\"Müsteri\" WHERE MusLbl IN (1,2,3)"));
        bool taken[SlotCount + 1] = {};
        while (st.next()) taken[qBound(0, st.value(0).toInt(), SlotCount)] = true;
        if (st.failed()) { r.message = failure(Step::ReadSlots, kasa); rollback(); return r; }
        for (int n = SlotCount; n >= 1; --n)
            if (!taken[n]) slot = n;
    }
    if (slot == 0) {
        rollback();
        r.outcome = Outcome::Full;
        return r;
    }

    // The register's first column after the key is written by position; its name is the file's.
    QString firstColumn;
    {
        SlotStatement st(kasa, QStringLiteral("PRAGMA main.table_info(\"Müsteri\")"));
        while (st.next())
            if (st.value(0).toInt() == 1) firstColumn = st.value(1).toString();
        if (st.failed() || firstColumn.isEmpty()) { r.message = failure(Step::ReadSlots, kasa); rollback(); return r; }
    }
    if (!kasa.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS main.%1 (Masa TEXT NOT NULL, Satir INTEGER NOT NULL, Islem TEXT,"
                                   " MusLbl INTEGER, Zaman TEXT); CREATE INDEX IF NOT EXISTS main.%1_ix ON %1 (Masa, Satir)").arg(kLog))) {
        r.message = failure(Step::WriteSlot, kasa);
        rollback();
        return r;
    }
    QList<qint64> sent;
    {
        SlotStatement insert(kasa, QStringLiteral("INSERT INTO main.\"Müsteri\" (%1, MusLbl, \"Müsteri\", Barkod, Miktar, Fiyat, Tutar,"
                                                   " eLEMAN, RowSay, Peron) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)")
                                        .arg(quotedIdent(firstColumn)));
        SlotStatement log(kasa, QStringLiteral("INSERT INTO main.%1 (Masa, Satir, Islem, MusLbl, Zaman) VALUES (?, ?, ?, ?, datetime('now'))").arg(kLog));
        if (!insert.ok() || !log.ok()) { r.message = failure(Step::WriteSlot, kasa); rollback(); return r; }
        for (const Outgoing& o : std::as_const(out)) {
            insert.bind(1, o.islem);
            insert.bind(2, slot);
            insert.bind(3, o.unvan);
            insert.bind(4, o.barkod);
            insert.bind(5, o.quantity);
            insert.bind(6, o.price);
            insert.bind(7, o.amount);
            insert.bind(8, o.eleman);
            insert.bind(9, int(sent.size()) + 1);
            log.bind(1, desk);
            log.bind(2, o.id);
            log.bind(3, o.islem);
            log.bind(4, slot);
            if (!insert.run() || !log.run()) { r.message = failure(Step::WriteSlot, kasa); rollback(); return r; }
            sent << o.id;
        }
    }
    if (!kasa.exec(QStringLiteral("COMMIT"))) {
        r.message = failure(Step::Commit, kasa);
        rollback();
        return r;
    }
    r.outcome = Outcome::Sent;
    r.lines = int(sent.size());
    r.slot = sent.isEmpty() ? 0 : slot;
    if (sent.isEmpty()) return r;

    // The ticket is at the register now; close its lines here, then drop the log entries.
    bool ok = ticket.exec(QStringLiteral("BEGIN IMMEDIATE"));
    {
        SlotStatement mark(ticket, QStringLiteral("UPDATE main.%1 SET Yeni=0 WHERE rowid=? AND Yeni=1").arg(quotedIdent(table)));
        for (const qint64 id : std::as_const(sent)) {
            if (!ok) break;
            mark.bind(1, id);
            ok = mark.run();
        }
    }
    ok = ok && ticket.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        const QString why = failure(Step::MarkLine, ticket);
        ticket.exec(QStringLiteral("ROLLBACK"));
        r.message = QStringLiteral("Hesap %1. kasaya gönderildi, fakat adisyon kapatılamadı (%2). Adisyon bir sonraki gönderimde"
                                   " ya da program açılırken kapanır; kasaya ikinci kez gitmez.").arg(slot).arg(why);
        return r;
    }
    dropLog(kasa, desk, sent);
    return r;
}
