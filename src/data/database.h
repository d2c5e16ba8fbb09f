#pragma once
// One SQLite connection per database file, shared by every data source on that file,
// with the Turkish collation and the Jet functions registered and statements cached.

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class Statement;

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

    sqlite3* handle() const { return m_db; }
    QString path() const { return m_path; }
    QString lastError() const;

    // A cached prepared statement, reset and with its bindings cleared.
    sqlite3_stmt* prepare(const QString& sql, QString* error);
    bool exec(const QString& sql, QString* error);

    // Column names and declared types of a table, by position.
    struct Column { QString name; QString type; };
    const QList<Column>* columns(const QString& table, QString* error);
    void forgetSchema() { m_columns.clear(); }

    bool inTransaction() const;

private:
    explicit Database(sqlite3* db, QString path);
    sqlite3* m_db = nullptr;
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
