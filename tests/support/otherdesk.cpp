#include "otherdesk.h"

#include <QFileInfo>
#include <chrono>
#include <libpq-fe.h>

OtherDesk::OtherDesk(const QString& ownFile)
{
    const QByteArray server = qgetenv("SALONYA_SERVER");
    if (server.isEmpty()) return;
    m_conn = PQconnectdb(server.constData());
    const QString schema = QFileInfo(ownFile).completeBaseName().toLower();
    if (PQstatus(m_conn) != CONNECTION_OK || !exec(QStringLiteral("SET search_path TO ") + schema)) {
        m_error = QString::fromUtf8(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
    }
}

OtherDesk::~OtherDesk()
{
    commit();
    if (m_conn) PQfinish(m_conn);
}

void OtherDesk::commit()
{
    m_commitNow = true;
    if (m_commit.joinable()) m_commit.join(); // the connection is the committing thread's until it is done
}

QVariant OtherDesk::value(const QString& sql)
{
    if (!m_conn) return {};
    commit();
    PGresult* r = PQexec(m_conn, sql.toUtf8().constData());
    QVariant v;
    const ExecStatusType st = PQresultStatus(r);
    if (st == PGRES_TUPLES_OK && PQntuples(r) > 0 && !PQgetisnull(r, 0, 0)) v = QString::fromUtf8(PQgetvalue(r, 0, 0));
    if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) m_error = QString::fromUtf8(PQerrorMessage(m_conn));
    PQclear(r);
    return v;
}

bool OtherDesk::exec(const QString& sql)
{
    m_error.clear();
    value(sql);
    return m_conn && m_error.isEmpty();
}

bool OtherDesk::lockThenWrite(qint64 lock, const QString& sql)
{
    if (m_commit.joinable() || !exec(QStringLiteral("BEGIN"))) return false;
    if (!exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(lock))) {
        exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    m_commitNow = false;
    const QByteArray waiting = QStringLiteral("SELECT 1 FROM pg_locks WHERE locktype='advisory' AND objid=%1 AND NOT granted").arg(lock).toUtf8();
    m_commit = std::thread([this, waiting, write = sql.toUtf8()] {
        while (!m_commitNow) {
            PGresult* r = PQexec(m_conn, waiting.constData());
            const bool someone = PQntuples(r) > 0;
            PQclear(r);
            if (someone) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        PGresult* r = PQexec(m_conn, write.constData());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        PQclear(PQexec(m_conn, ok ? "COMMIT" : "ROLLBACK"));
    });
    return true;
}

bool OtherDesk::cutOthers()
{
    return exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                               " WHERE datname=current_database() AND pid<>pg_backend_pid()"));
}
