#pragma once
// The desk's own databases on a PostgreSQL server: one libpq connection per database, each database
// a schema ("Cari.Mdb" is cari), the same Turkish comparison as the embedded files through an ICU collation.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct pg_conn;
struct pg_result;

namespace Pg {

// The server's connection string: SALONYA_SERVER, else "Sunucu" under [Salonya] in the settings; empty = embedded files.
QString serverSetting();
// Schema of one of the desk's own files ("Cari.Mdb" -> "cari"); empty for any other file.
QString schemaFor(const QString& path);

struct ResultDeleter { void operator()(pg_result* r) const; };
using Result = std::unique_ptr<pg_result, ResultDeleter>;

class Connection
{
public:
    ~Connection();
    // Connects and points the search path at the schema; creates it (and the collation) when create is set.
    static std::unique_ptr<Connection> open(const QString& conninfo, const QString& schema, bool create, QString* error);

    // Runs one statement; "?" placeholders outside quotes become $1, $2 ... Rows are read whole.
    Result run(const QString& sql, const QVariantList& params, QString* error);
    // Runs a script of statements without parameters; CREATE TABLE texts get the server's types.
    bool exec(const QString& sql, QString* error);
    bool inTransaction() const;
    QString lastError() const;

    // Committed writes to this schema's tables, ours and other desks' (each table's trigger announces
    // them): a count that moves with every one. Exact, it asks the server once, so that every commit
    // finished before the call is counted; else it counts what has arrived. -1 when the server is gone.
    qint64 changeCount(bool exact);
    // True once after another desk wrote to what the channel announces (Database::follow).
    bool takeOthersChanged(const QString& channel);
    // Rows for COPY FROM STDIN in text format, sent in one go; false with the reason on failure.
    bool copyIn(const QString& sql, const QByteArray& rows, QString* error);
    QString schema() const { return m_schema; }
    pg_conn* handle() const { return m_conn; }

    static QVariant value(pg_result* r, int row, int col);
    // The embedded engine's declared type of a server column type, so fields convert alike.
    static QString declaredType(const QString& serverType);
    // An SQLite-style CREATE TABLE in the server's types, with the hidden row identity column.
    static QString serverDdl(const QString& sql);
    static QString numbered(const QString& sql);

private:
    Connection(pg_conn* c, QString schema) : m_conn(c), m_schema(std::move(schema)) {}
    // A connection the server or the network dropped is made again before the next statement.
    bool reconnect();
    QString failure(const QString& sql) const;
    // True when sql may run: a transaction lost with the connection takes nothing more but its rollback.
    bool beforeStatement(const QString& sql, QString* error, bool* done);
    void afterFailure(bool wasInTransaction);
    // Counts the announcements libpq has read so far.
    void drain();
    QStringList m_channels;
    QStringList m_othersChanged;
    qint64 m_changes = 0;
    bool m_lostInTransaction = false;
    pg_conn* m_conn = nullptr;
    QString m_schema;
};

} // namespace Pg
