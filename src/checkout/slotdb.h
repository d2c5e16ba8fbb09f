#pragma once
// A private SQLite connection for the checkout and the register side, apart from the connections
// the data sources share: it may attach the slot file and hold a write lock without the grids
// reading through it. Never creates a file; waits for another writer's lock only a bounded time.

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class SlotDb
{
public:
    SlotDb() = default;
    ~SlotDb();
    SlotDb(const SlotDb&) = delete;
    SlotDb& operator=(const SlotDb&) = delete;

    // Opens an existing database file; false with the SQLite result code in code().
    bool open(const QString& path, bool readOnly, int busyTimeoutMs);
    // Attaches another existing file under a schema name (read-write, never created).
    bool attach(const QString& path, const QString& schema);
    bool exec(const QString& sql);

    sqlite3* handle() const { return m_db; }
    int code() const { return m_code; }       // primary result code of the last failure
    QString error() const { return m_error; } // SQLite's words for it

    // The sqlite URI of a local path, for opening with a mode.
    static QByteArray uri(const QString& path, bool readOnly);

private:
    friend class SlotStatement;
    bool fail(int rc);
    sqlite3* m_db = nullptr;
    int m_code = 0;
    QString m_error;
};

// A prepared statement on a SlotDb, finalized when it goes.
class SlotStatement
{
public:
    SlotStatement(SlotDb& db, const QString& sql);
    ~SlotStatement();
    SlotStatement(const SlotStatement&) = delete;
    SlotStatement& operator=(const SlotStatement&) = delete;

    bool ok() const { return m_st != nullptr; }
    void bind(int index, const QVariant& value); // 1-based
    // Steps once: true on a row; false when done or failed (failed() tells).
    bool next();
    bool failed() const { return m_failed; }
    // Runs a statement that returns no rows; resets it for the next use.
    bool run();
    void reset();
    QVariant value(int col) const;

private:
    SlotDb& m_db;
    sqlite3_stmt* m_st = nullptr;
    bool m_failed = false;
};
