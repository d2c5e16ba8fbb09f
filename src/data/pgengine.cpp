#include "pgengine.h"

#include "app/settings.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <libpq-fe.h>

Q_LOGGING_CATEGORY(lcServer, "salonya.server", QtWarningMsg)

namespace Pg {
namespace {

// The server's notices ("collation already exists, skipping") are the desk's log, not the terminal's.
void logNotice(void*, const PGresult* r)
{
    const QByteArray severity = PQresultErrorField(r, PG_DIAG_SEVERITY_NONLOCALIZED);
    const QString text = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    if (severity == "WARNING") qCWarning(lcServer).noquote() << text;
    else qCInfo(lcServer).noquote() << text;
}

// Type OIDs of the values the desk reads (pg_type.h is a server header).
enum : Oid { BoolOid = 16, ByteaOid = 17, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, Float4Oid = 700, Float8Oid = 701, NumericOid = 1700 };

QString quoteLiteral(const QString& s)
{
    QString v = s;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

// One column definition of an embedded-style CREATE TABLE in the server's terms. Every text compares
// the Turkish way on the server, as the Jet dialect wants of any column.
QString serverColumn(const QString& def, QString* name)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\"[^\"]+\"|\\w+)\\s*(\\w*)(.*)$"),
                                       QRegularExpression::DotMatchesEverythingOption | QRegularExpression::UseUnicodePropertiesOption);
    const auto m = re.match(def);
    if (!m.hasMatch()) return def;
    *name = m.captured(1);
    if (name->startsWith(u'"')) *name = name->mid(1, name->size() - 2);
    const QString type = m.captured(2).toUpper();
    QString rest = m.captured(3);
    rest.remove(QRegularExpression(QStringLiteral("\\bCOLLATE\\s+TR\\b"), QRegularExpression::CaseInsensitiveOption));
    QString server;
    if (type.startsWith(u"CURRENCY") || type == u"MONEY") server = QStringLiteral("numeric(19,4)");
    else if (type == u"DOUBLE" || type == u"REAL" || type == u"FLOAT") server = QStringLiteral("double precision");
    else if (type.startsWith(u"BOOL") || type == u"BIT" || type == u"YESNO") server = QStringLiteral("smallint");
    else if (type.startsWith(u"INT")) server = QStringLiteral("integer");
    else if (type == u"DATE") server = QStringLiteral("date");
    else if (type == u"TEXT" || type.isEmpty()) server = QStringLiteral("text COLLATE tr_ci");
    else server = type;
    return u'"' + name->toLower() + QStringLiteral("\" ") + server + rest;
}

} // namespace

void ResultDeleter::operator()(pg_result* r) const { PQclear(r); }

QString serverSetting()
{
    const QByteArray env = qgetenv("SALONYA_SERVER");
    if (!env.isNull()) return QString::fromUtf8(env).trimmed();
    return Settings::get(QStringLiteral("Sunucu")).trimmed();
}

QString schemaFor(const QString& path)
{
    const QString file = QFileInfo(path).fileName().toLower();
    if (file == u"cari.mdb") return QStringLiteral("cari");
    if (file == u"stok.mdb") return QStringLiteral("stok");
    if (file == u"salonya.mdb") return QStringLiteral("salonya");
    return {};
}

Connection::~Connection() { PQfinish(m_conn); }

std::unique_ptr<Connection> Connection::open(const QString& conninfo, const QString& schema, bool create, QString* error)
{
    pg_conn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        if (error) *error = QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(conninfo, QString::fromUtf8(PQerrorMessage(c)).trimmed());
        PQfinish(c);
        return {};
    }
    PQsetClientEncoding(c, "UTF8");
    PQsetNoticeReceiver(c, logNotice, nullptr);
    std::unique_ptr<Connection> conn(new Connection(c, schema));
    QString err;
    Result has = conn->run(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname=?"), {schema}, &err);
    if (!has) { if (error) *error = err; return {}; }
    if (PQntuples(has.get()) == 0 && !create) {
        if (error) *error = QStringLiteral("Veritabanı bulunamadı: %1 (sunucuda)").arg(schema);
        return {};
    }
    if (create) {
        // Two desks starting together must not both create: the lock makes the second wait and find it made.
        // Every table's trigger (serverDdl) announces its schema's writes through the function.
        const QString make = QStringLiteral(
            "BEGIN; SELECT pg_advisory_xact_lock(7201);"
            " CREATE COLLATION IF NOT EXISTS public.tr_ci (provider = icu, locale = 'tr-TR-u-ks-level1', deterministic = false);"
            " CREATE COLLATION IF NOT EXISTS public.tr_det (provider = icu, locale = 'tr-TR');"
            " CREATE SCHEMA IF NOT EXISTS %1;"
            " CREATE OR REPLACE FUNCTION %1.degisim() RETURNS trigger LANGUAGE plpgsql AS"
            " $$BEGIN PERFORM pg_notify(TG_TABLE_SCHEMA, ''); RETURN NULL; END$$; COMMIT").arg(schema);
        if (!conn->exec(make, error)) return {};
    }
    if (!conn->exec(QStringLiteral("SET search_path TO %1, public").arg(schema), error)) return {};
    if (!conn->exec(QStringLiteral("LISTEN ") + schema, error)) return {};
    return conn;
}

QString Connection::lastError() const { return QString::fromUtf8(PQerrorMessage(m_conn)).trimmed(); }

bool Connection::inTransaction() const
{
    // A connection lost outside a transaction is in none: the next BEGIN must be a real one.
    const PGTransactionStatusType st = PQtransactionStatus(m_conn);
    return m_lostInTransaction || st == PQTRANS_ACTIVE || st == PQTRANS_INTRANS || st == PQTRANS_INERROR;
}

bool Connection::beforeStatement(const QString& sql, QString* error, bool* done)
{
    *done = false;
    if (m_lostInTransaction) {
        // The server rolled the transaction back with the connection; what the owner would still write
        // would land outside it on a new connection, and its commit would report the lost part as written.
        if (sql.trimmed().compare(QLatin1String("ROLLBACK"), Qt::CaseInsensitive) == 0) {
            m_lostInTransaction = false;
            *done = true;
            return true;
        }
        if (error) *error = failure(sql);
        return false;
    }
    if (!reconnect()) { if (error) *error = failure(sql); return false; }
    return true;
}

void Connection::afterFailure(bool wasInTransaction)
{
    if (wasInTransaction && PQstatus(m_conn) == CONNECTION_BAD) m_lostInTransaction = true;
}

QString Connection::numbered(const QString& sql)
{
    // Embedded texts: "?" placeholders, "COLLATE TR" (every server text column has it already), jetleft,
    // identifiers in any case (the server's are lower case) and SQLite's write-lock BEGIN.
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype j = sql.indexOf(c, i + 1);
            const qsizetype end = j < 0 ? sql.size() - 1 : j;
            const QString part = sql.mid(i, end - i + 1);
            out += c == u'"' ? part.toLower() : part;
            i = end;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
        } else {
            out += c;
        }
    }
    static const QRegularExpression collate(QStringLiteral("\\s+COLLATE\\s+TR\\b(?!-)"));
    out.remove(collate);
    static const QRegularExpression left(QStringLiteral("\\bjetleft\\s*\\("));
    out.replace(left, QStringLiteral("left("));
    if (out.trimmed().compare(QLatin1String("BEGIN IMMEDIATE"), Qt::CaseInsensitive) == 0) out = QStringLiteral("BEGIN");
    return out;
}

QString Connection::serverDdl(const QString& sql)
{
    static const QRegularExpression create(QStringLiteral("CREATE\\s+TABLE\\s+(IF\\s+NOT\\s+EXISTS\\s+)?(\"[^\"]+\"|\\w+)\\s*\\("),
                                           QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString out;
    qsizetype from = 0;
    auto m = create.match(sql, from);
    while (m.hasMatch()) {
        out += sql.mid(from, m.capturedStart() - from);
        // The column list up to the matching parenthesis; commas inside parentheses belong to a column.
        qsizetype depth = 1, i = m.capturedEnd();
        QStringList defs;
        qsizetype start = i;
        for (; i < sql.size() && depth > 0; ++i) {
            const QChar c = sql[i];
            if (c == u'\'') { i = sql.indexOf(u'\'', i + 1); if (i < 0) return sql; continue; }
            if (c == u'(') ++depth;
            else if (c == u')' && --depth == 0) { defs << sql.mid(start, i - start); break; }
            else if (c == u',' && depth == 1) { defs << sql.mid(start, i - start); start = i + 1; }
        }
        if (depth != 0) return sql;
        QString table = m.captured(2);
        if (table.startsWith(u'"')) table = table.mid(1, table.size() - 2);
        QStringList columns, comments;
        for (const QString& d : std::as_const(defs)) {
            QString name;
            columns << serverColumn(d, &name);
            // The server folds names to lower case; the comment keeps the name the desk shows.
            comments << QStringLiteral("COMMENT ON COLUMN \"%1\".\"%2\" IS %3").arg(table.toLower(), name.toLower(), quoteLiteral(name));
        }
        // The row identity the data sources edit by; never a field by position.
        columns << QStringLiteral("rowid bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
        // Each write announces itself, so the data sources can keep their keysets (changeCount()).
        out += QStringLiteral("CREATE TABLE %1\"%2\" (%3); %4; CREATE OR REPLACE TRIGGER \"%2_degisim\" AFTER INSERT OR UPDATE"
                              " OR DELETE OR TRUNCATE ON \"%2\" FOR EACH STATEMENT EXECUTE FUNCTION degisim()")
                   .arg(m.captured(1), table.toLower(), columns.join(QStringLiteral(", ")), comments.join(QStringLiteral("; ")));
        from = i + 1;
        m = create.match(sql, from);
    }
    out += sql.mid(from);
    // The data sources select row identities in an index's order: with the identity in the index, the
    // server answers from the index alone. Indexes on plain columns only; an expression is left as it is.
    static const QRegularExpression index(QStringLiteral("(\\bCREATE\\s+(?:UNIQUE\\s+)?INDEX\\b[^;(]*\\([^;()]*\\))(?=\\s*(?:;|$))"),
                                          QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    out.replace(index, QStringLiteral("\\1 INCLUDE (rowid)"));
    return out;
}

bool Connection::reconnect()
{
    if (PQstatus(m_conn) != CONNECTION_BAD) return true;
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK) return false;
    ++m_changes; // what was announced while the line was down never reached us
    for (const QString& channel : std::as_const(m_channels))
        if (!m_othersChanged.contains(channel)) m_othersChanged << channel;
    QStringList setup{QStringLiteral("SET search_path TO %1, public").arg(m_schema)};
    for (const QString& channel : std::as_const(m_channels)) setup << QStringLiteral("LISTEN ") + channel;
    Result r(PQexec(m_conn, setup.join(u';').toUtf8().constData()));
    return r && PQresultStatus(r.get()) == PGRES_COMMAND_OK;
}

QString Connection::failure(const QString& sql) const
{
    // A write lost with the connection is not tried again: the server may have taken it before the line
    // went down. The user is told, and the next statement finds the server again.
    if (PQstatus(m_conn) == CONNECTION_BAD)
        return QStringLiteral("Sunucu bağlantısı koptu; son işlem yazılmamış olabilir, listeyi kontrol edip yeniden deneyin (%1)").arg(lastError());
    return lastError() + QStringLiteral(" [") + sql + u']';
}

bool Connection::exec(const QString& sql, QString* error)
{
    bool done = false;
    if (!beforeStatement(sql, error, &done)) return false;
    if (done) return true;
    const bool wasInTransaction = inTransaction();
    if (sql.startsWith(QLatin1String("LISTEN ")) && !m_channels.contains(sql.mid(7))) m_channels << sql.mid(7);
    const QString text = numbered(serverDdl(sql));
    Result r(PQexec(m_conn, text.toUtf8().constData()));
    const ExecStatusType st = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        afterFailure(wasInTransaction);
        if (error) *error = failure(sql);
        return false;
    }
    ++m_changes; // scripts write, or end a transaction; a table without the trigger is ours alone
    return true;
}

Result Connection::run(const QString& sql, const QVariantList& params, QString* error)
{
    bool done = false;
    if (!beforeStatement(sql, error, &done) || done) return {};
    const bool wasInTransaction = inTransaction();
    const QByteArray text = numbered(sql).toUtf8();
    QList<QByteArray> values;
    std::vector<const char*> ptrs;
    std::vector<int> lengths, formats;
    values.reserve(params.size());
    for (const QVariant& v : params) {
        if (!v.isValid() || v.isNull()) { values << QByteArray(); ptrs.push_back(nullptr); lengths.push_back(0); formats.push_back(0); continue; }
        QByteArray b;
        int format = 0;
        switch (v.typeId()) {
        case QMetaType::Bool: b = v.toBool() ? "1" : "0"; break;
        case QMetaType::Double:
        case QMetaType::Float: b = QByteArray::number(v.toDouble(), 'g', 17); break;
        case QMetaType::QDate: b = v.toDate().toString(Qt::ISODate).toUtf8(); break;
        case QMetaType::QDateTime: b = v.toDateTime().date().toString(Qt::ISODate).toUtf8(); break;
        case QMetaType::QByteArray: b = v.toByteArray(); format = 1; break;
        default: b = v.toString().toUtf8(); break;
        }
        values << b;
        ptrs.push_back(values.last().constData());
        lengths.push_back(int(b.size()));
        formats.push_back(format);
    }
    Result r(PQexecParams(m_conn, text.constData(), int(ptrs.size()), nullptr, ptrs.data(), lengths.data(), formats.data(), 0));
    const ExecStatusType st = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        afterFailure(wasInTransaction);
        if (error) *error = failure(sql);
        return {};
    }
    if (qstrncmp(PQcmdStatus(r.get()), "SELECT", 6) != 0) ++m_changes;
    return r;
}

void Connection::drain()
{
    PQconsumeInput(m_conn);
    while (PGnotify* n = PQnotifies(m_conn)) {
        ++m_changes;
        const QString channel = QString::fromUtf8(n->relname);
        if (n->be_pid != PQbackendPID(m_conn) && !m_othersChanged.contains(channel)) m_othersChanged << channel;
        PQfreemem(n);
    }
}

qint64 Connection::changeCount(bool exact)
{
    if (!reconnect()) return -1;
    // The server sends what was announced before its answer to any statement, even an empty one.
    if (exact)
        if (Result r(PQexec(m_conn, "")); !r || PQresultStatus(r.get()) != PGRES_EMPTY_QUERY) return -1;
    drain();
    return m_changes;
}

bool Connection::takeOthersChanged(const QString& channel)
{
    drain();
    return m_othersChanged.removeAll(channel) > 0;
}

bool Connection::copyIn(const QString& sql, const QByteArray& rows, QString* error)
{
    if (!reconnect()) { if (error) *error = failure(sql); return false; }
    Result start(PQexec(m_conn, numbered(sql).toUtf8().constData()));
    if (!start || PQresultStatus(start.get()) != PGRES_COPY_IN) { if (error) *error = failure(sql); return false; }
    const bool sent = PQputCopyData(m_conn, rows.constData(), int(rows.size())) == 1;
    const bool ended = PQputCopyEnd(m_conn, sent ? nullptr : "gönderilemedi") == 1;
    bool ok = sent && ended;
    while (Result r{PQgetResult(m_conn)})
        ok = ok && PQresultStatus(r.get()) == PGRES_COMMAND_OK;
    if (!ok) { if (error) *error = failure(sql); return false; }
    ++m_changes;
    return true;
}

QVariant Connection::value(pg_result* r, int row, int col)
{
    if (PQgetisnull(r, row, col)) return QVariant();
    const char* v = PQgetvalue(r, row, col);
    const int len = PQgetlength(r, row, col);
    switch (PQftype(r, col)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid: return QVariant(qlonglong(QByteArray::fromRawData(v, len).toLongLong()));
    case Float4Oid:
    case Float8Oid:
    case NumericOid: return QVariant(QByteArray::fromRawData(v, len).toDouble());
    case BoolOid: return QVariant(qlonglong(v[0] == 't' ? 1 : 0));
    case ByteaOid: {
        size_t n = 0;
        unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(v), &n);
        QByteArray b(reinterpret_cast<const char*>(raw), qsizetype(n));
        PQfreemem(raw);
        return b;
    }
    default: return QVariant(QString::fromUtf8(v, len));
    }
}

QString Connection::declaredType(const QString& serverType)
{
    if (serverType == u"numeric") return QStringLiteral("CURRENCY");
    if (serverType == u"smallint") return QStringLiteral("BOOLEAN");
    if (serverType == u"integer" || serverType == u"bigint") return QStringLiteral("INTEGER");
    if (serverType == u"double precision") return QStringLiteral("DOUBLE");
    if (serverType == u"date") return QStringLiteral("DATE");
    if (serverType == u"text") return QStringLiteral("TEXT");
    return serverType.toUpper();
}

} // namespace Pg
