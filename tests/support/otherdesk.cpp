#include "otherdesk.h"

#include <QFileInfo>
#include <QtGlobal>
#include <chrono>
#include <libpq-fe.h>

namespace {
bool run(pg_conn* c, const QByteArray& sql, bool* rows = nullptr)
{
    PGresult* r = PQexec(c, sql.constData());
    const ExecStatusType st = PQresultStatus(r);
    if (rows) *rows = PQntuples(r) > 0;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) qWarning("other desk: %s", PQerrorMessage(c));
    PQclear(r);
    return st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
}
} // namespace

OtherDesk::OtherDesk(const QString& ownFile)
{
    const QByteArray server = qgetenv("SALONYA_SERVER");
    if (server.isEmpty()) return;
    m_conn = PQconnectdb(server.constData());
    if (PQstatus(m_conn) != CONNECTION_OK || !exec(QStringLiteral("SET search_path TO ") + QFileInfo(ownFile).completeBaseName().toLower())) {
        PQfinish(m_conn);
        m_conn = nullptr;
    }
}

OtherDesk::~OtherDesk()
{
    commit();
    PQfinish(m_conn);
}

void OtherDesk::commit()
{
    m_commitNow = true;
    if (m_commit.joinable()) m_commit.join(); // the connection is the committing thread's until it is done
}

bool OtherDesk::exec(const QString& sql)
{
    commit();
    return m_conn && run(m_conn, sql.toUtf8());
}

bool OtherDesk::lockThenWrite(qint64 lock, const QString& sql)
{
    if (!exec(QStringLiteral("BEGIN; SELECT pg_advisory_xact_lock(%1)").arg(lock))) return false;
    m_commitNow = false;
    const QByteArray waiting = QStringLiteral("SELECT 1 FROM pg_locks WHERE locktype='advisory' AND objid=%1 AND NOT granted").arg(lock).toUtf8();
    m_commit = std::thread([this, waiting, write = sql.toUtf8()] {
        for (bool someone = false; !someone && !m_commitNow; std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            run(m_conn, waiting, &someone);
        run(m_conn, run(m_conn, write) ? "COMMIT" : "ROLLBACK");
    });
    return true;
}

bool OtherDesk::cutOthers()
{
    return exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname=current_database() AND pid<>pg_backend_pid()"));
}
