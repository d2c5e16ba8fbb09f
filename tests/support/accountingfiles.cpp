#include "accountingfiles.h"

#include <QDir>
#include <QFileInfo>
#include "data/database.h"
#include "data/pgengine.h"

#include <QRegularExpression>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace AccountingFiles {
namespace {

bool run(sqlite3* db, const QString& sql, QString* error)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
        if (error) *error = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
        sqlite3_free(msg);
        return false;
    }
    return true;
}

bool bind(sqlite3_stmt* st, int i, const QVariant& v)
{
    if (v.isNull()) return sqlite3_bind_null(st, i) == SQLITE_OK;
    if (v.typeId() == QMetaType::Double) return sqlite3_bind_double(st, i, v.toDouble()) == SQLITE_OK;
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) return sqlite3_bind_int64(st, i, v.toLongLong()) == SQLITE_OK;
    const QByteArray s = v.toString().toUtf8();
    return sqlite3_bind_text(st, i, s.constData(), int(s.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

// named: position -> "name type"; the rest become strange filler columns.
bool writeTable(const QString& path, const QString& table, int columns, QMap<int, QString> named,
                const QList<Row>& rows, QString* error, const Layout& layout)
{
    for (auto it = layout.declared.begin(); it != layout.declared.end(); ++it) named[it.key()] = it.value();
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) { if (error) *error = QStringLiteral("open"); return false; }
    QStringList defs;
    for (int i = 0; i < columns; ++i)
        defs << named.value(i, QStringLiteral("Qx%1_yabanci TEXT").arg(i, 2, 10, QChar(u'0')));
    if (layout.withoutRowid) defs << QStringLiteral("PRIMARY KEY (%1)").arg(defs[0].section(u' ', 0, 0));
    bool ok = run(db, QStringLiteral("CREATE TABLE \"%1\" (%2)%3").arg(table, defs.join(u','), layout.withoutRowid ? QStringLiteral(" WITHOUT ROWID") : QString()), error)
        && run(db, QStringLiteral("BEGIN"), error);
    sqlite3_stmt* st = nullptr;
    QStringList marks(columns, QStringLiteral("?"));
    ok = ok && sqlite3_prepare_v2(db, QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(table, marks.join(u',')).toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
    for (const Row& r : rows) {
        if (!ok) break;
        sqlite3_reset(st);
        for (int i = 0; i < columns; ++i) bind(st, i + 1, r.value(i, (i == 13 || i == 26 || i == 31 || i == 45) ? QVariant(0) : QVariant(QString())));
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    sqlite3_finalize(st);
    ok = ok && run(db, QStringLiteral("COMMIT"), error);
    sqlite3_close(db);
    return ok;
}

// The desk's own three databases go through the engine the desk runs on: the file, or the salon server.
bool isOwn(const QString& path) { return !Pg::schemaFor(path).isEmpty(); }

std::shared_ptr<Database> openOwn(const QString& path, QString* error)
{
    QString why;
    auto db = Database::open(path, false, &why);
    if (!db) qWarning() << "own database:" << why;
    if (error) *error = why;
    return db;
}

// The server folds column names to lower case; its column comments keep the names the desk knows.
QString deskName(Database& db, const QString& name)
{
    Query q = db.run(QStringLiteral("SELECT col_description(a.attrelid, a.attnum) FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
                                    " WHERE c.relnamespace = to_regnamespace(current_schema()) AND c.relkind = 'r' AND a.attnum > 0 AND a.attname = ?"
                                    " AND col_description(a.attrelid, a.attnum) IS NOT NULL LIMIT 1"),
                     {name});
    const QString comment = q.next() ? q.value(0).toString() : QString();
    return comment.isEmpty() ? name : comment;
}

QList<QVariantList> selectOwn(const QString& path, const QString& sql, QStringList* names)
{
    QList<QVariantList> out;
    auto db = openOwn(path, nullptr);
    if (!db) return out;
    Query q = db->run(sql);
    // "SELECT *" on the server brings its hidden row identity last; an SQLite file shows none.
    static const QRegularExpression star(QStringLiteral("^\\s*SELECT\\s+\\*"), QRegularExpression::CaseInsensitiveOption);
    const int columns = q.columnCount() - (db->onServer() && star.match(sql).hasMatch() ? 1 : 0);
    for (int c = 0; names && c < columns; ++c)
        *names << (db->onServer() ? deskName(*db, q.columnName(c)) : q.columnName(c));
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < columns; ++c) row << q.value(c);
        out << row;
    }
    if (!q.ok()) qWarning() << "own database:" << q.error();
    return out;
}

// Every row of a query, by position; the column names go to names.
QList<QVariantList> select(const QString& path, const QString& sql, QStringList* names = nullptr)
{
    if (isOwn(path)) return selectOwn(path, sql, names);
    QList<QVariantList> out;
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        Database::registerFunctions(db); // the desk's own files compare text the Turkish way
        sqlite3_busy_timeout(db, 2000); // a desk still committing holds the file for a moment
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
            for (int c = 0; names && c < sqlite3_column_count(st); ++c)
                *names << QString::fromUtf8(sqlite3_column_name(st, c));
            while (sqlite3_step(st) == SQLITE_ROW) {
                QVariantList row;
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    switch (sqlite3_column_type(st, c)) {
                    case SQLITE_INTEGER: row << qlonglong(sqlite3_column_int64(st, c)); break;
                    case SQLITE_FLOAT: row << sqlite3_column_double(st, c); break;
                    case SQLITE_NULL: row << QVariant(); break;
                    default: row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
                    }
                }
                out << row;
            }
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

} // namespace

bool writeStock(const QString& path, const QList<Row>& rows, QString* error, const Layout& layout)
{
    return writeTable(path, u"StokKartlar"_s, 32, {{0, u"StokKod TEXT"_s}, {1, u"StokAdi TEXT"_s}, {13, u"Qx13_bayrak INTEGER"_s},
                      {16, u"Qx16_fiyat REAL"_s}, {31, u"StokGizle INTEGER"_s}}, rows, error, layout);
}

bool writeCards(const QString& path, const QList<Row>& rows, QString* error, const Layout& layout)
{
    return writeTable(path, u"CariKartlar"_s, 46, {{0, u"CariKod TEXT"_s}, {1, u"Unvan TEXT"_s}, {26, u"Qx26_bayrak INTEGER"_s},
                      {44, u"Gurup TEXT"_s}, {45, u"HesKullan INTEGER"_s}}, rows, error, layout);
}

bool writeSlots(const QString& path, const QList<QVariantMap>& rows, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) return false;
    bool ok = run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS \"Müsteri\" (Kayit INTEGER PRIMARY KEY AUTOINCREMENT, Qx01_urun TEXT,"
                                     " MusLbl INTEGER, \"Müsteri\" TEXT, Barkod TEXT, Miktar REAL, Fiyat REAL, Tutar REAL,"
                                     " eLEMAN TEXT, RowSay INTEGER, Peron INTEGER)"), error);
    for (const QVariantMap& r : rows) {
        if (!ok) break;
        QStringList names, marks;
        for (auto it = r.begin(); it != r.end(); ++it) { names << u'"' + it.key() + u'"'; marks << QStringLiteral("?"); }
        sqlite3_stmt* st = nullptr;
        ok = sqlite3_prepare_v2(db, QStringLiteral("INSERT INTO \"Müsteri\" (%1) VALUES (%2)").arg(names.join(u','), marks.join(u',')).toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
        int i = 1;
        for (const QVariant& v : r) bind(st, i++, v);
        ok = ok && sqlite3_step(st) == SQLITE_DONE;
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return ok;
}

QVariantList column(const QString& path, const QString& table, int position, const QString& orderBy)
{
    QVariantList out;
    for (const QVariantList& row : select(path, QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, orderBy)))
        out << row.value(position);
    return out;
}

int count(const QString& path, const QString& sql)
{
    const QList<QVariantList> r = select(path, sql);
    return r.isEmpty() ? -1 : r[0].value(0).toInt();
}

QList<QVariantMap> rows(const QString& path, const QString& sql)
{
    QStringList names;
    QList<QVariantMap> out;
    for (const QVariantList& row : select(path, sql, &names)) {
        QVariantMap named;
        for (int c = 0; c < names.size(); ++c) named.insert(names[c], row[c]);
        out << named;
    }
    return out;
}

bool exec(const QString& path, const QString& sql, QString* error)
{
    if (isOwn(path)) {
        auto db = openOwn(path, error);
        return db && db->exec(sql, error);
    }
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    if (!ok && error) *error = QString::fromUtf8(sqlite3_errmsg(db));
    if (ok) Database::registerFunctions(db);
    ok = ok && sqlite3_busy_timeout(db, 2000) == SQLITE_OK && run(db, sql, error); // the desk may be writing the same file
    sqlite3_close(db);
    return ok;
}

} // namespace AccountingFiles
