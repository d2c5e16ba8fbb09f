#include "database.h"

#include "pgengine.h"
#include "turkish.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTimer>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

int trCollate(void*, int la, const void* a, int lb, const void* b)
{
    return Turkish::compareUtf8({static_cast<const char*>(a), size_t(la)}, {static_cast<const char*>(b), size_t(lb)});
}

// like(pattern, text): SQLite calls it for "text LIKE pattern".
void jetLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int pn = sqlite3_value_bytes(argv[0]);
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int tn = sqlite3_value_bytes(argv[1]);
    if (!p || !t) { sqlite3_result_null(ctx); return; }
    sqlite3_result_int(ctx, Turkish::likeUtf8({p, size_t(pn)}, {t, size_t(tn)}) ? 1 : 0);
}

void jetLeft(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    const auto* s = reinterpret_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const int bytes = sqlite3_value_bytes16(argv[0]);
    const QString text = QString::fromUtf16(s, bytes / 2);
    const int n = qMax(0, sqlite3_value_int(argv[1]));
    const QString head = text.left(n);
    sqlite3_result_text16(ctx, head.utf16(), int(head.size() * 2), SQLITE_TRANSIENT);
}

// Connections are shared per file so that every data source on one file sees the others' writes at once.
QMap<QString, std::weak_ptr<Database>>& registry()
{
    static QMap<QString, std::weak_ptr<Database>> r;
    return r;
}

} // namespace

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

Database::~Database()
{
    m_listen.reset();
    m_pg.reset();
    for (sqlite3_stmt* st : std::as_const(m_statements))
        sqlite3_finalize(st);
    sqlite3_close_v2(m_db);
    registry().remove(m_path);
}

void Database::registerFunctions(sqlite3* db)
{
    sqlite3_create_collation(db, "TR", SQLITE_UTF8, nullptr, trCollate);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, jetLike, nullptr, nullptr);
    sqlite3_create_function(db, "jetleft", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, jetLeft, nullptr, nullptr);
}

std::shared_ptr<Database> Database::open(const QString& path, bool create, QString* error)
{
    // With a server set, the desk's own three databases live there; every other file stays a file.
    if (const QString schema = Pg::schemaFor(path); !schema.isEmpty()) {
        if (const QString server = Pg::serverSetting(); !server.isEmpty()) {
            const QString key = QStringLiteral("pg:%1/%2").arg(server, schema);
            if (auto existing = registry().value(key).lock()) return existing;
            auto conn = Pg::Connection::open(server, schema, create, error);
            if (!conn) return {};
            auto shared = std::shared_ptr<Database>(new Database(nullptr, key));
            shared->m_pg = std::move(conn);
            registry().insert(key, shared);
            return shared;
        }
    }
    const QString key = QFileInfo(path).absoluteFilePath();
    if (auto existing = registry().value(key).lock()) return existing;
    if (!create && !QFileInfo::exists(key)) {
        if (error) *error = QStringLiteral("Veritabanı bulunamadı: %1").arg(QDir::toNativeSeparators(key));
        return {};
    }
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(key.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error) *error = QStringLiteral("Veritabanı açılamadı: %1 (%2)").arg(QDir::toNativeSeparators(key), reason(rc));
        sqlite3_close_v2(db);
        return {};
    }
    sqlite3_extended_result_codes(db, 1);
    // A misspelt column in double quotes must be an error, not quietly a string literal.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Another desk or the register may hold the lock for a moment; wait a little, never forever.
    sqlite3_busy_timeout(db, 2000);
    // A start-up import touches every page of the card files in one transaction; a page cache that
    // holds them avoids re-reading and spilling pages half-way through.
    sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    registerFunctions(db);
    // Reading the schema proves this is a database and not some other file.
    if (const int read = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr); read != SQLITE_OK) {
        if (error) *error = QStringLiteral("Veritabanı okunamadı: %1 (%2)").arg(QDir::toNativeSeparators(key), reason(read));
        sqlite3_close_v2(db);
        return {};
    }
    auto shared = std::shared_ptr<Database>(new Database(db, key));
    registry().insert(key, shared);
    return shared;
}

QString Database::reason(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_FULL: return QStringLiteral("disk dolu");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("dosya başka bir program tarafından kullanılıyor");
    case SQLITE_NOTADB: return QStringLiteral("dosya bir veritabanı değil");
    case SQLITE_CORRUPT: return QStringLiteral("dosya bozuk");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("dosyaya yazma izni yok");
    case SQLITE_CANTOPEN: return QStringLiteral("dosya açılamıyor");
    case SQLITE_IOERR: return QStringLiteral("disk okunurken ya da yazılırken hata oldu");
    case SQLITE_NOMEM: return QStringLiteral("bellek yetmedi");
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT: return QStringLiteral("işlem yarıda kesildi");
    default: return QStringLiteral("veritabanı hatası %1").arg(rc);
    }
}

QString Database::lastError() const { return m_pg ? m_pg->lastError() : QString::fromUtf8(sqlite3_errmsg(m_db)); }

sqlite3_stmt* Database::prepare(const QString& sql, QString* error)
{
    if (m_pg) {
        if (error) *error = QStringLiteral("sunucudaki veritabanında SQLite komutu [") + sql + u']';
        return nullptr;
    }
    if (sqlite3_stmt* st = m_statements.value(sql)) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        return st;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &st, &tail) != SQLITE_OK) {
        if (error) *error = lastError() + QStringLiteral(" [") + sql + u']';
        sqlite3_finalize(st);
        return nullptr;
    }
    // SQLite would quietly run only the first statement; a text that does not end there is an error.
    if (!QByteArray(tail).trimmed().isEmpty()) {
        if (error) *error = QStringLiteral("birden çok komut [") + sql + u']';
        sqlite3_finalize(st);
        return nullptr;
    }
    if (m_statements.size() > 256) { // typed searches make many texts; keep the cache bounded
        for (sqlite3_stmt* old : std::as_const(m_statements)) sqlite3_finalize(old);
        m_statements.clear();
    }
    m_statements.insert(sql, st);
    return st;
}

bool Database::exec(const QString& sql, QString* error)
{
    if (m_pg) return m_pg->exec(sql, error);
    char* msg = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
        if (error) *error = QString::fromUtf8(msg) + QStringLiteral(" [") + sql + u']';
        sqlite3_free(msg);
        return false;
    }
    return true;
}

const QList<Database::Column>* Database::columns(const QString& table, QString* error)
{
    const QString key = table.toLower();
    auto it = m_columns.find(key);
    if (it != m_columns.end()) return &it.value();
    if (m_pg) {
        // The row identity is no field; the column comment keeps the name's case.
        Query q = run(QStringLiteral(
            "SELECT a.attname, format_type(a.atttypid, NULL), col_description(a.attrelid, a.attnum) FROM pg_attribute a"
            " WHERE a.attrelid = to_regclass(?) AND a.attnum > 0 AND NOT a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum"),
                      {table});
        QList<Column> cols;
        while (q.next()) {
            const QString comment = q.value(2).toString();
            cols.append({comment.isEmpty() ? q.value(0).toString() : comment, Pg::Connection::declaredType(q.value(1).toString())});
        }
        if (!q.ok()) { if (error) *error = q.error(); return nullptr; }
        if (cols.isEmpty()) {
            if (error) *error = QStringLiteral("Tablo bulunamadı: %1").arg(table);
            return nullptr;
        }
        return &m_columns.insert(key, cols).value();
    }
    sqlite3_stmt* st = prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), error);
    if (!st) return nullptr;
    bindValue(st, 1, table);
    QList<Column> cols;
    while (sqlite3_step(st) == SQLITE_ROW)
        cols.append({columnValue(st, 0).toString(), columnValue(st, 1).toString().toUpper()});
    sqlite3_reset(st);
    if (cols.isEmpty()) {
        if (error) *error = QStringLiteral("Tablo bulunamadı: %1").arg(table);
        return nullptr;
    }
    return &m_columns.insert(key, cols).value();
}

bool Database::copyIn(const QString& sql, const QByteArray& rows, QString* error)
{
    if (m_pg) return m_pg->copyIn(sql, rows, error);
    if (error) *error = QStringLiteral("gömülü veritabanında COPY [") + sql + u']';
    return false;
}

qint64 Database::serverChanges(bool exact) { return m_pg ? m_pg->changeCount(exact) : -1; }

bool Database::inTransaction() const { return m_pg ? m_pg->inTransaction() : sqlite3_get_autocommit(m_db) == 0; }

void Database::follow(const QString& channel, std::function<void()> changed)
{
    if (!m_pg) return;
    if (!exec(QStringLiteral("LISTEN ") + channel, nullptr)) return;
    // Notices arrive on the socket, or wait in libpq after a statement of ours read them along.
    m_listen = std::make_unique<QTimer>();
    QObject::connect(m_listen.get(), &QTimer::timeout, m_listen.get(), [this, channel, changed] {
        if (m_pg->takeOthersChanged(channel)) changed(); // our own writes are on our screen already
    });
    m_listen->start(500);
}

Query Database::run(const QString& sql, const QVariantList& params, bool insertId)
{
    Query q;
    q.m_db = this;
    if (m_pg) {
        Pg::Result r = m_pg->run(insertId ? sql + QStringLiteral(" RETURNING rowid") : sql, params, &q.m_error);
        q.m_ok = r != nullptr;
        if (!r) return q;
        q.m_changes = QByteArray(PQcmdTuples(r.get())).toLongLong();
        if (insertId && PQntuples(r.get()) == 1) q.m_lastId = QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
        q.m_pg = r.release();
        return q;
    }
    q.m_st = prepare(sql, &q.m_error);
    q.m_ok = q.m_st != nullptr;
    for (int i = 0; q.m_ok && i < params.size(); ++i)
        bindValue(q.m_st, i + 1, params[i]);
    q.m_lastId = insertId ? -1 : 0;
    return q;
}

Query::Query(Query&& o) noexcept { *this = std::move(o); }

Query& Query::operator=(Query&& o) noexcept
{
    if (this == &o) return *this;
    release();
    m_db = o.m_db; m_st = std::exchange(o.m_st, nullptr); m_pg = std::exchange(o.m_pg, nullptr);
    m_row = o.m_row; m_ok = o.m_ok; m_done = o.m_done; m_error = o.m_error; m_changes = o.m_changes; m_lastId = o.m_lastId;
    return *this;
}

Query::~Query() { release(); }

void Query::release()
{
    if (m_st) sqlite3_reset(m_st); // the statement stays in its connection's cache
    if (m_pg) PQclear(m_pg);
    m_st = nullptr;
    m_pg = nullptr;
}

bool Query::next()
{
    if (!m_ok || m_done) return false;
    if (m_pg) {
        if (++m_row < PQntuples(m_pg)) return true;
        m_done = true;
        return false;
    }
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) return true;
    m_done = true;
    if (rc != SQLITE_DONE) {
        m_ok = false;
        m_error = m_db->lastError();
    } else {
        sqlite3* h = sqlite3_db_handle(m_st);
        m_changes = sqlite3_changes(h);
        if (m_lastId < 0) m_lastId = sqlite3_last_insert_rowid(h);
    }
    sqlite3_reset(m_st);
    return false;
}

bool Query::finish()
{
    while (next()) {}
    return m_ok;
}

QVariant Query::value(int col) const
{
    if (m_pg) return m_row >= 0 && m_row < PQntuples(m_pg) ? Pg::Connection::value(m_pg, m_row, col) : QVariant();
    return m_st ? columnValue(m_st, col) : QVariant();
}

int Query::columnCount() const
{
    if (m_pg) return PQnfields(m_pg);
    return m_st ? sqlite3_column_count(m_st) : 0;
}

QString Query::columnName(int col) const
{
    if (m_pg) return QString::fromUtf8(PQfname(m_pg, col));
    return m_st ? QString::fromUtf8(sqlite3_column_name(m_st, col)) : QString();
}

bool bindValue(sqlite3_stmt* st, int index, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return sqlite3_bind_null(st, index) == SQLITE_OK;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(st, index, v.toBool() ? 1 : 0) == SQLITE_OK;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return sqlite3_bind_int64(st, index, v.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, index, v.toDouble()) == SQLITE_OK;
    case QMetaType::QDate:
        return bindValue(st, index, v.toDate().toString(Qt::ISODate));
    case QMetaType::QDateTime:
        return bindValue(st, index, v.toDateTime().date().toString(Qt::ISODate));
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    default: {
        const QByteArray s = v.toString().toUtf8();
        return sqlite3_bind_text(st, index, s.constData(), int(s.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    }
}

QVariant columnValue(sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                          sqlite3_column_bytes(st, col)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, col)), sqlite3_column_bytes(st, col)));
    default: return QVariant();
    }
}

Transaction::Transaction(Database* db, bool immediate) : m_db(db ? db->shared_from_this() : nullptr)
{
    if (!db) { m_error = QStringLiteral("veritabanı yok"); return; }
    if (db->inTransaction()) { m_ok = true; return; } // joins the outer transaction
    m_owner = true;
    m_ok = db->exec(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"), &m_error);
}

Transaction::~Transaction()
{
    if (m_owner && m_ok && !m_done) {
        QString ignored;
        m_db->exec(QStringLiteral("ROLLBACK"), &ignored);
    }
}

bool Transaction::commit(QString* error)
{
    if (!m_ok) { if (error) *error = m_error; return false; }
    m_done = true;
    if (!m_owner) return true;
    if (!m_db->exec(QStringLiteral("COMMIT"), &m_error)) {
        QString ignored;
        m_db->exec(QStringLiteral("ROLLBACK"), &ignored);
        if (error) *error = m_error;
        return false;
    }
    return true;
}
