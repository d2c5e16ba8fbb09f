#pragma once
// One connection per database, shared by every data source on it: an SQLite file with the Turkish
// collation and the Jet functions registered and statements cached, or, for the desk's own three
// databases when a server is set, a schema on the salon's PostgreSQL server (pgengine.h).

#include "jet.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class QTimer;

struct sqlite3;
struct sqlite3_stmt;

namespace Pg { class Connection; struct ResultDeleter; }
struct pg_result;
class Database;

// A statement run on either engine: bound at once, rows read in order, fields by position.
class Query
{
public:
    Query() = default;
    Query(Query&& o) noexcept;
    Query& operator=(Query&& o) noexcept;
    ~Query();
    // The next row; false at the end or on an error (see ok()).
    bool next();
    // Runs a statement that returns no rows to its end.
    bool finish();
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QVariant value(int col) const;
    int columnCount() const;
    // A result column's name as the engine gives it (the server's are lower case).
    QString columnName(int col) const;
    // Rows a write changed, and the row identity an insert gave.
    qint64 changes() const { return m_changes; }
    qint64 lastId() const { return m_lastId; }

private:
    friend class Database;
    void release();
    Database* m_db = nullptr;
    sqlite3_stmt* m_st = nullptr;
    pg_result* m_pg = nullptr;
    int m_row = -1;
    bool m_ok = false;
    bool m_done = false;
    QString m_error;
    qint64 m_changes = 0;
    qint64 m_lastId = 0;
};

class Database : public std::enable_shared_from_this<Database>
{
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (or shares) the connection to a file. A missing file is an error unless create is set.
    static std::shared_ptr<Database> open(const QString& path, bool create, QString* error);
    // Registers the collation and Jet functions on a connection opened elsewhere.
    static void registerFunctions(sqlite3* db);

    // A SQLite result code in the words the desk shows the user.
    static QString reason(int rc);

    // The SQLite handle; null for a database on the server.
    sqlite3* handle() const { return m_db; }
    bool onServer() const { return m_pg != nullptr; }
    Jet::Dialect dialect() const { return m_pg ? Jet::Dialect::Postgres : Jet::Dialect::Sqlite; }
    // Runs a statement with "?" parameters on whichever engine holds the database. An insert asked
    // for its identity reports it in lastId().
    Query run(const QString& sql, const QVariantList& params = {}, bool insertId = false);
    QString path() const { return m_path; }
    QString lastError() const;

    // A cached prepared statement, reset and with its bindings cleared.
    sqlite3_stmt* prepare(const QString& sql, QString* error);
    bool exec(const QString& sql, QString* error);

    // On a salon server: COPY ... FROM STDIN with rows in its text format, sent in one go.
    bool copyIn(const QString& sql, const QByteArray& rows, QString* error);

    // Column names and declared types of a table, by position.
    struct Column { QString name; QString type; };
    const QList<Column>* columns(const QString& table, QString* error);
    void forgetSchema() { m_columns.clear(); }

    bool inTransaction() const;
    // On a salon server: a count that moves with every committed write to this database, this desk's
    // or another's; -1 on an embedded file or when the server cannot be reached. Not exact, it may lag
    // behind commits that just ended, which is safe only as the label of rows read after it.
    qint64 serverChanges(bool exact = true);

    // On a salon server: calls changed() within a second of another desk's change of the table the
    // channel names ("salonya", the ticket book). Nothing on an embedded file, which only this desk writes.
    void follow(const QString& channel, std::function<void()> changed);

private:
    explicit Database(sqlite3* db, QString path);
    sqlite3* m_db = nullptr;
    std::unique_ptr<Pg::Connection> m_pg;
    std::unique_ptr<QTimer> m_listen;
    QString m_path;
    QHash<QString, sqlite3_stmt*> m_statements;
    QHash<QString, QList<Column>> m_columns;
};

// Binds a QVariant to a statement parameter (1-based).
bool bindValue(sqlite3_stmt* st, int index, const QVariant& v);
QVariant columnValue(sqlite3_stmt* st, int col);

// RAII transaction: rolls back unless committed. Nested use on the same connection joins the outer one.
// It keeps its connection alive, so closing the data sources on that file first is harmless.
class Transaction
{
public:
    explicit Transaction(Database* db, bool immediate = false);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool active() const { return m_ok; }
    bool commit(QString* error = nullptr);
    QString error() const { return m_error; }

private:
    std::shared_ptr<Database> m_db;
    bool m_owner = false;
    bool m_ok = false;
    bool m_done = false;
    QString m_error;
};
