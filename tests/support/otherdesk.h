#pragma once
// Another desk on the same salon server: a connection of its own to one of the desk's own databases,
// writing while the desk under test works, or cutting the desk's connections as a failed line would.

#include <QString>
#include <atomic>
#include <thread>

struct pg_conn;

class OtherDesk
{
public:
    // "Cari.Mdb", "Stok.Mdb" or "Salonya.Mdb" on the server SALONYA_SERVER names; !ok() without one.
    explicit OtherDesk(const QString& ownFile);
    ~OtherDesk();
    bool ok() const { return m_conn != nullptr; }
    bool exec(const QString& sql);
    // Takes the advisory lock in a transaction of its own; once someone waits for it (or at commit() when
    // nobody does), writes sql and commits from a thread, as a desk one step ahead in the same work.
    bool lockThenWrite(qint64 lock, const QString& sql);
    void commit();
    // Ends every other connection to the database, the desk's among them.
    bool cutOthers();

private:
    pg_conn* m_conn = nullptr;
    std::thread m_commit;
    std::atomic<bool> m_commitNow = false;
};
