#include "slotsender.h"

#include "slotdb.h"
#include "app/hostpaths.h"
#include "data/database.h"
#include "data/jet.h"
#include "data/pgengine.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>
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

// The ticket book's name in the send log: made once and kept in the book itself, so it survives a moved
// folder or a new machine name, and a restored file still owns its unfinished sends. On a salon server
// every desk shares the book and so its name: any desk finishes an unfinished send of the book.
bool deskId(Database& ticket, QString* id, QString* error)
{
    const auto read = [&] {
        Query q = ticket.run(QStringLiteral("SELECT Kimlik FROM SalonyaMasa WHERE Kimlik<>'' ORDER BY rowid LIMIT 1"));
        if (q.next()) *id = q.value(0).toString();
        *error = q.error();
        return !id->isEmpty();
    };
    if (read()) return true;
    Transaction tx(&ticket, true);
    // Two desks' first sends on one server: the second waits and finds the name made.
    if (ticket.onServer() && !ticket.run(QStringLiteral("SELECT pg_advisory_xact_lock(7204)")).finish()) return false;
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!tx.active() || !ticket.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS SalonyaMasa (Kimlik TEXT)"), error)
        || !ticket.run(QStringLiteral("INSERT INTO SalonyaMasa (Kimlik) SELECT %1 WHERE NOT EXISTS (SELECT 1 FROM SalonyaMasa)")
                           .arg(Jet::quote(made))).finish()
        || !tx.commit(error)) {
        if (error->isEmpty()) *error = tx.active() ? ticket.lastError() : tx.error();
        return false;
    }
    return read();
}

// A lost server connection, in the words the engine gives it (the next statement connects again).
bool connectionLost(const Database* db, const QString& error)
{
    return db && db->onServer() && error.contains(QStringLiteral("bağlantısı koptu"));
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
    switch (db.code()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("Kasa dosyası kilitli, biraz sonra tekrar deneyin.");
    case SQLITE_FULL: return QStringLiteral("Disk dolu, hesap kasaya gönderilemedi.");
    case SQLITE_READONLY: return QStringLiteral("Kasa dosyası salt okunur: %1").arg(slot);
    default: break;
    }
    switch (step) {
    case Step::OpenSlot: return QStringLiteral("Kasa dosyası açılamadı: %1").arg(slot);
    case Step::ReadSlots: return QStringLiteral("Kasa dosyası okunamadı: %1").arg(slot);
    case Step::WriteSlot: return QStringLiteral("Kasa dosyasına yazılamadı: %1").arg(slot);
    default: break;
    }
    return QStringLiteral("Hesap kasaya gönderilemedi: %1").arg(db.error());
}

QString SlotSender::ticketFailure(Step step, const Database* db, const QString& error) const
{
    qCWarning(lcSlots).noquote() << "send failed at step" << int(step) << error;
    if (connectionLost(db, error))
        return step == Step::MarkLine ? QStringLiteral("sunucu bağlantısı koptu")
                                      : QStringLiteral("Sunucu bağlantısı koptu, hesap kasaya gönderilmedi. Bağlantı gelince tekrar deneyin.");
    switch (db && db->handle() ? sqlite3_errcode(db->handle()) & 0xff : 0) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("Adisyon dosyası kilitli, biraz sonra tekrar deneyin.");
    case SQLITE_FULL: return QStringLiteral("Disk dolu, hesap kasaya gönderilemedi.");
    case SQLITE_READONLY: return QStringLiteral("Adisyon dosyası salt okunur: %1").arg(native(m_ticketFile));
    default: break;
    }
    switch (step) {
    case Step::OpenTicket:
        return db && db->onServer() ? QStringLiteral("Sunucudaki adisyon defteri açılamadı: %1").arg(error)
               : QStringLiteral("Adisyon dosyası açılamadı: %1").arg(native(m_ticketFile));
    case Step::MarkLine: return QStringLiteral("Adisyon satırları kapatılamadı: %1").arg(error);
    default: return QStringLiteral("Adisyon satırları okunamadı: %1").arg(error);
    }
}

bool SlotSender::open(SlotDb& kasa, std::shared_ptr<Database>& ticket, QString* desk, QString* message) const
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
    // The ticket book on the connection the desk's data sources share: its file, or the salon server.
    QString why;
    ticket = Database::open(m_ticketFile, false, &why);
    if (!ticket) {
        *message = Pg::serverSetting().isEmpty() || Pg::schemaFor(m_ticketFile).isEmpty()
            ? QStringLiteral("Adisyon dosyası açılamadı: %1").arg(native(m_ticketFile))
            : QStringLiteral("Sunucudaki adisyon defteri açılamadı: %1").arg(why);
        return false;
    }
    // Closing lines inside someone else's transaction would not be final when the log entries go.
    if (ticket->inTransaction()) { *message = QStringLiteral("Adisyon dosyası kilitli, biraz sonra tekrar deneyin."); return false; }
    if (!deskId(*ticket, desk, &why)) { *message = ticketFailure(Step::OpenTicket, ticket.get(), why); return false; }
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

int SlotSender::finish(SlotDb& kasa, const std::shared_ptr<Database>& ticket, const QString& desk, QString* message) const
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
    {
        Transaction tx(ticket.get(), true);
        QString why = tx.error();
        bool ok = tx.active();
        for (const Entry& e : std::as_const(entries)) {
            if (!ok) break;
            Query mark = ticket->run(QStringLiteral("UPDATE Salonya SET Yeni=0 WHERE rowid=? AND Yeni=1 AND Islem IS NOT DISTINCT FROM ?"),
                                     {e.line, e.islem});
            ok = mark.finish();
            if (!ok) why = mark.error();
            closed += ok ? int(mark.changes()) : 0;
        }
        if (!ok || !tx.commit(&why)) {
            *message = ticketFailure(Step::MarkLine, ticket.get(), why);
            return -1;
        }
    }
    if (closed > 0) qCInfo(lcSlots, "an unfinished send closed: %d lines", closed);
    QList<qint64> ids;
    for (const Entry& e : std::as_const(entries)) ids << e.line;
    dropLog(kasa, desk, ids);
    return closed;
}

int SlotSender::finishUnfinished(QString* message)
{
    SlotDb kasa;
    std::shared_ptr<Database> ticket;
    QString desk;
    if (!open(kasa, ticket, &desk, message)) return -1;
    return finish(kasa, ticket, desk, message);
}

SlotSender::Result SlotSender::run(const QString& recordSource, const QList<qint64>& lineIds)
{
    Result r;
    SlotDb kasa;
    std::shared_ptr<Database> ticket;
    QString desk;
    if (!open(kasa, ticket, &desk, &r.message)) return r;
    if (finish(kasa, ticket, desk, &r.message) < 0) return r;

    // The lines, from the ticket book; read again under the slot file's lock before they go.
    QString table = QStringLiteral("Salonya");
    QList<qint64> ids = lineIds;
    if (!recordSource.isEmpty()) {
        const Jet::RecordSource rs = Jet::parseRecordSource(recordSource, ticket->dialect());
        if (!rs.ok) {
            r.message = QStringLiteral("Adisyon satırları okunamadı: %1").arg(rs.error);
            return r;
        }
        table = rs.table;
        Query q = ticket->run(QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedIdent(table), rs.tail.text), rs.tail.params);
        while (q.next()) ids << q.value(0).toLongLong();
        if (!q.ok()) { r.message = ticketFailure(Step::ReadLines, ticket.get(), q.error()); return r; }
    }
    QList<Outgoing> out;
    for (const qint64 id : std::as_const(ids)) {
        Query line = ticket->run(QStringLiteral("SELECT Islem, Miktar, Fiyat, Gurup, Barkod, Unvan, Eleman, Yeni FROM %1 WHERE rowid=?")
                                     .arg(quotedIdent(table)), {id});
        const bool found = line.next();
        if (!line.ok()) { r.message = ticketFailure(Step::ReadLines, ticket.get(), line.error()); return r; }
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
    // Another desk on the same ticket book may have sent these lines since they were read. Under this
    // lock no send can write or drop a log entry, and a sent line keeps its entry until it is closed in
    // the book (entries are dropped only after the close commits; a closed line stays closed). So a line
    // open in the book now and without an entry has gone to no slot, and nobody can send it before we commit.
    if (!out.isEmpty()) {
        QSet<qint64> logged, open;
        {
            SlotStatement st(kasa, QStringLiteral("SELECT Satir FROM main.%1 WHERE Masa=?").arg(kLog));
            st.bind(1, desk);
            while (st.next()) logged << st.value(0).toLongLong();
            if (st.failed()) { r.message = failure(Step::ReadSlots, kasa); rollback(); return r; }
        }
        QStringList idList;
        for (const Outgoing& o : std::as_const(out)) idList << QString::number(o.id);
        Query q = ticket->run(QStringLiteral("SELECT rowid FROM %1 WHERE Yeni=1 AND rowid IN (%2)").arg(quotedIdent(table), idList.join(u',')));
        while (q.next()) open << q.value(0).toLongLong();
        if (!q.ok()) { r.message = ticketFailure(Step::ReadLines, ticket.get(), q.error()); rollback(); return r; }
        out.removeIf([&](const Outgoing& o) { return logged.contains(o.id) || !open.contains(o.id); });
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

    // The ticket is at the register now; close its lines in the book, then drop the log entries.
    QString why;
    bool ok = false;
    {
        Transaction tx(ticket.get(), true);
        why = tx.error();
        ok = tx.active();
        for (const qint64 id : std::as_const(sent)) {
            if (!ok) break;
            Query mark = ticket->run(QStringLiteral("UPDATE %1 SET Yeni=0 WHERE rowid=? AND Yeni=1").arg(quotedIdent(table)), {id});
            ok = mark.finish();
            if (!ok) why = mark.error();
        }
        if (ok) ok = tx.commit(&why);
        if (!ok) why = ticketFailure(Step::MarkLine, ticket.get(), why);
    }
    if (!ok) {
        // Lost with the server, the close may have committed all the same: the next send finds it so.
        r.message = QStringLiteral("Hesap %1. kasaya gönderildi, fakat adisyon kapatılamadı (%2). Adisyon bir sonraki gönderimde"
                                   " ya da program açılırken kapanır; kasaya ikinci kez gitmez.").arg(slot).arg(why);
        return r;
    }
    dropLog(kasa, desk, sent);
    return r;
}
