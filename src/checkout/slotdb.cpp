#include "slotdb.h"

#include "data/database.h"

#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

SlotDb::~SlotDb()
{
    if (m_db) sqlite3_close_v2(m_db);
}

QByteArray SlotDb::uri(const QString& path, bool readOnly)
{
    // mode=rw/ro: a missing file is an error instead of a new empty database.
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + (readOnly ? "?mode=ro" : "?mode=rw");
}

bool SlotDb::fail(int rc)
{
    m_code = rc & 0xff;
    m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return false;
}

bool SlotDb::open(const QString& path, bool readOnly, int busyTimeoutMs)
{
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(uri(path, readOnly).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const bool ok = fail(rc);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return ok;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    Database::registerFunctions(m_db);
    // Reading the schema proves the file is a database (a folder or a stray file is not).
    return exec(QStringLiteral("SELECT count(*) FROM main.sqlite_master"));
}

bool SlotDb::attach(const QString& path, const QString& schema)
{
    SlotStatement st(*this, QStringLiteral("ATTACH DATABASE ? AS ") + schema);
    if (!st.ok()) return false;
    st.bind(1, QString::fromUtf8(uri(path, false)));
    return st.run() && exec(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema));
}

bool SlotDb::exec(const QString& sql)
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? true : fail(rc);
}

SlotStatement::SlotStatement(SlotDb& db, const QString& sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.m_db, utf8.constData(), int(utf8.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) {
        db.fail(rc);
        sqlite3_finalize(m_st);
        m_st = nullptr;
        m_failed = true;
    }
}

SlotStatement::~SlotStatement() { sqlite3_finalize(m_st); }

void SlotStatement::bind(int index, const QVariant& value) { bindValue(m_st, index, value); }

bool SlotStatement::next()
{
    if (!m_st) return false;
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_db.fail(rc);
    }
    return false;
}

bool SlotStatement::run()
{
    if (!m_st) return false;
    m_failed = false;
    next();
    const bool ok = m_st && !m_failed;
    reset();
    return ok;
}

void SlotStatement::reset()
{
    if (!m_st) return;
    sqlite3_reset(m_st);
    sqlite3_clear_bindings(m_st);
}

QVariant SlotStatement::value(int col) const { return columnValue(m_st, col); }
