#include "datasource.h"

#include "jet.h"
#include "turkish.h"

#include <QDate>
#include <QDateTime>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcData, "salonya.data")

namespace {

enum class Kind { Other, Currency, Boolean, Date };

Kind kindOf(const QString& declared)
{
    if (declared.startsWith(QLatin1String("CURRENCY")) || declared.startsWith(QLatin1String("MONEY"))) return Kind::Currency;
    if (declared.startsWith(QLatin1String("BOOL")) || declared == QLatin1String("BIT") || declared == QLatin1String("YESNO"))
        return Kind::Boolean;
    if (declared.startsWith(QLatin1String("DATE"))) return Kind::Date;
    return Kind::Other;
}

// Keysets smaller than this are cheaper to read again than to keep. The kept sets are bounded by their
// keys (24 MB) more than by their number, so typed names cannot push the whole list out.
constexpr size_t kKeepFrom = 256;
constexpr size_t kKeptKeysMax = 3'000'000;
constexpr size_t kKeptSetsMax = 64;

// The written rows a kept list takes in; beyond this it is read again. The log of written rows holds
// a few times that (an import of a whole card file would otherwise fill memory with it).
constexpr size_t kReplayMax = 1000;
constexpr size_t kLoggedMax = 4 * kReplayMax;

QString quotedIdent(const QString& n)
{
    QString s = n;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// A record source sorted by one column, and whether its condition begins with a Like on that column
// that narrows the rest of it.
struct Shape {
    bool sorted = false;
    QString table, where, column;
    bool descending = false;
    QString pattern, rest;
    bool narrows = false;
};

Shape shapeOf(const QString& jet)
{
    constexpr auto opts = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption
        | QRegularExpression::UseUnicodePropertiesOption;
    static const QRegularExpression sorted(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)(?:\\s+where\\s+(.*?))?\\s+order\\s+by\\s+([^\\W\\d]\\w*)(?:\\s+(asc|desc))?\\s*$"), opts);
    static const QRegularExpression like(QStringLiteral("^(\\w+)\\s+like\\s+'((?:[^']|'')*)'(?:\\s+and\\s+(.+))?$"), opts);
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    // "A Like 'x' And B Or C" selects C's rows too: only a plain conjunction narrows.
    static const QRegularExpression wider(QStringLiteral("\\b(or|group|having|union|limit)\\b"), opts);
    Shape sh;
    const auto m = sorted.match(jet);
    if (!m.hasMatch()) return sh;
    sh.sorted = true;
    sh.table = m.captured(1);
    sh.where = m.captured(2).trimmed();
    sh.column = m.captured(3);
    sh.descending = m.captured(4).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
    const auto l = like.match(sh.where);
    if (l.hasMatch() && l.captured(1).compare(sh.column, Qt::CaseInsensitive) == 0) {
        sh.rest = l.captured(3).trimmed();
        sh.pattern = l.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"));
        sh.narrows = !QString(sh.rest).replace(literal, QString()).contains(wider);
    }
    return sh;
}

QString sortedSource(const QString& table, const QString& where, const QString& column, bool descending)
{
    return QStringLiteral("Select * From ") + table + (where.isEmpty() ? QString() : QStringLiteral(" Where ") + where)
        + QStringLiteral(" Order By ") + column + (descending ? QStringLiteral(" Desc") : QStringLiteral(" Asc"));
}

// The kept sets' name for a translated record source: keywords in any case are the same query.
QString queryKey(const Jet::RecordSource& rs)
{
    QString query = QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedIdent(rs.table), rs.tail.text);
    for (QChar& c : query)
        if (c.unicode() < 0x80) c = c.toLower();
    for (const QVariant& p : rs.tail.params) query += QChar(0x1F) + p.toString();
    return query;
}

} // namespace

struct DataSource::ChangeLog {
    std::shared_ptr<Database> db;
    qint64 first = 0; // number of the oldest change held
    qint64 count = 0; // number of the next change
    std::vector<std::pair<QString, qint64>> rows;
    QByteArray lastTable;
    QString lastName;
    ~ChangeLog() { sqlite3_update_hook(db->handle(), nullptr, nullptr); }
};

std::shared_ptr<DataSource::ChangeLog> DataSource::changeLogFor(const std::shared_ptr<Database>& db)
{
    static QHash<sqlite3*, std::weak_ptr<ChangeLog>> logs;
    if (auto log = logs.value(db->handle()).lock()) return log;
    auto log = std::make_shared<ChangeLog>();
    log->db = db;
    // Rows replaced by a unique index's conflict are not reported; the desk's tables have no such index.
    sqlite3_update_hook(db->handle(), [](void* ctx, int, const char*, const char* table, sqlite3_int64 row) {
        auto* l = static_cast<ChangeLog*>(ctx);
        if (l->rows.size() >= kLoggedMax) {
            l->rows.clear();
            l->first = l->count;
        }
        if (l->lastTable != table) {
            l->lastTable = table;
            l->lastName = QString::fromUtf8(table);
        }
        l->rows.emplace_back(l->lastName, row);
        ++l->count;
    }, log.get());
    logs.removeIf([](const auto& entry) { return entry.value().expired(); });
    logs.insert(db->handle(), log);
    return log;
}

DataSource::DataSource(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

DataSource::~DataSource() = default;

void DataSource::setDatabaseName(const QString& path)
{
    if (path == m_path && m_db) return;
    close();
    m_log.reset();
    m_db.reset();
    m_kept.clear();
    m_path = path;
}

void DataSource::setRecordSource(const QString& jet) { m_recordSource = jet; }

bool DataSource::fail(const QString& message)
{
    m_error = message;
    qCWarning(lcData).noquote() << objectName() << message;
    emit failed(message);
    return false;
}

bool DataSource::ensureOpen()
{
    if (m_db) return true;
    if (m_path.isEmpty()) return fail(QStringLiteral("Veritabanı adı verilmemiş"));
    QString err;
    m_db = Database::open(m_path, false, &err);
    if (!m_db) return fail(err);
    if (m_db->handle()) m_log = changeLogFor(m_db);
    return true;
}

bool DataSource::refresh()
{
    if (m_mode != EditMode::None) cancelUpdate();
    m_keys.clear();
    m_cur = -1;
    m_deleted = false;
    m_noMatch = false;
    m_open = false;
    m_error.clear();
    auto done = [this](bool ok) {
        if (!ok) keepRows({}, std::nullopt);
        emit requeried();
        if (!m_keys.empty()) emit reposition();
        return ok;
    };
    if (!ensureOpen()) return done(false);
    const Jet::RecordSource rs = Jet::parseRecordSource(m_recordSource, m_db->dialect());
    if (!rs.ok) return done(fail(rs.error));
    QString err;
    const QList<Database::Column>* cols = m_db->columns(rs.table, &err);
    if (!cols) return done(fail(err));
    if (rs.table.compare(m_table, Qt::CaseInsensitive) != 0 || m_columns.size() != cols->size()) {
        m_columns = *cols;
        m_fieldByName.clear();
        for (int i = 0; i < m_columns.size(); ++i)
            m_fieldByName.insert(m_columns[i].name.toLower(), i);
    }
    m_table = rs.table;
    std::optional<Stamp> taken;
    if (!readKeys(m_recordSource, rs, &m_keys, &err, &taken)) {
        m_keys.clear();
        return done(fail(err));
    }
    keepRows(m_table, taken);
    m_open = true;
    m_cur = m_keys.empty() ? -1 : 0;
    return done(true);
}

bool DataSource::readKeys(const QString& source, const Jet::RecordSource& rs, std::vector<qint64>* keys, QString* error,
                          std::optional<Stamp>* taken)
{
    const QString query = queryKey(rs);
    Stamp before; // taken first: a commit during the read makes the kept set look older, never newer
    // A server is asked for its count only when a kept set could answer.
    const bool stamped = stamp(&before, !m_kept.empty());
    if (taken && stamped) *taken = before;
    // Kept texts are ordered the embedded way; a server orders by its own collation.
    const Shape shape = stamped && !m_db->onServer() ? shapeOf(source) : Shape();
    if (stamped) {
        catchUp(before);
        if (const KeptKeys* k = kept(query)) {
            *keys = k->keys;
            return true;
        }
        if (shape.sorted) {
            // The same rows the other way round.
            const Jet::RecordSource other =
                Jet::parseRecordSource(sortedSource(shape.table, shape.where, shape.column, !shape.descending), m_db->dialect());
            if (const KeptKeys* k = other.ok ? kept(queryKey(other)) : nullptr) {
                keys->assign(k->keys.rbegin(), k->keys.rend());
                return true;
            }
            // Kept as well, for the same search run again (Geri Al brings a text back).
            if (shape.narrows && narrowKept(shape.table, shape.rest, shape.column, shape.pattern, shape.descending, keys)) {
                keepKeys({query, rs.table, before, m_log ? m_log->count : 0, *keys, nullptr});
                return true;
            }
        }
    }
    KeptKeys read{query, rs.table, before, m_log ? m_log->count : 0, {}, nullptr};
    if (shape.sorted && !shape.narrows) {
        // A whole list keeps its sort column's texts, for the searches that narrow it.
        read.texts = std::make_shared<SortTexts>();
        read.texts->column = shape.column;
        read.texts->descending = shape.descending;
        read.texts->where = shape.where;
        const QString withTexts = QStringLiteral("SELECT rowid, %1 FROM %2 %3").arg(quotedIdent(shape.column), quotedIdent(rs.table), rs.tail.text);
        if (!readSorted(withTexts, rs.tail.params, &read, error)) return false;
    } else {
        Query q = m_db->run(QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedIdent(rs.table), rs.tail.text), rs.tail.params);
        while (q.next())
            read.keys.push_back(q.value(0).toLongLong());
        if (!q.ok()) {
            *error = q.error();
            return false;
        }
    }
    *keys = read.keys;
    if (stamped) keepKeys(std::move(read));
    return true;
}

bool DataSource::readSorted(const QString& sql, const QVariantList& params, KeptKeys* into, QString* error)
{
    sqlite3_stmt* st = m_db->prepare(sql, error);
    if (!st) return false;
    for (int i = 0; i < params.size(); ++i)
        bindValue(st, i + 1, params[i]);
    SortTexts& t = *into->texts;
    enum { Before, Within, After, Mixed } block = Before;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const size_t row = into->keys.size();
        into->keys.push_back(sqlite3_column_int64(st, 0));
        if (sqlite3_column_type(st, 1) == SQLITE_TEXT) {
            if (block == Before) t.from = row;
            else if (block == After) block = Mixed;
            if (block != Mixed) block = Within;
            t.bytes.append(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)), size_t(sqlite3_column_bytes(st, 1)));
        } else if (block == Within) {
            block = After;
            t.to = row;
        }
        t.ends.push_back(uint32_t(t.bytes.size()));
    }
    if (rc != SQLITE_DONE) *error = QString::fromUtf8(sqlite3_errmsg(m_db->handle()));
    sqlite3_reset(st);
    if (block == Within) t.to = into->keys.size();
    // Texts that do not lie together, or a list of no texts at all, cannot be searched by their order.
    if (block == Mixed || (block == Before && !into->keys.empty()) || t.bytes.size() > UINT32_MAX / 2) into->texts.reset();
    return rc == SQLITE_DONE;
}

DataSource::KeptKeys* DataSource::kept(const QString& query)
{
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->query != query) continue;
        m_kept.splice(m_kept.begin(), m_kept, it);
        return &m_kept.front();
    }
    return nullptr;
}

bool DataSource::narrowKept(const QString& table, const QString& rest, const QString& column, const QString& pattern,
                            bool descending, std::vector<qint64>* keys)
{
    // The record source runs as a range of the sort order from the pattern's head, then the Like
    // itself (â sorts as a, but Like tells them apart); the kept list gives the same rows in the
    // same order. Without a head the Like also matches numbers, which the texts do not hold.
    const QString head = Turkish::likePrefix(pattern);
    if (head.isEmpty()) return false;
    const KeptKeys* base = nullptr;
    for (const bool desc : {false, true}) {
        const Jet::RecordSource rs = Jet::parseRecordSource(sortedSource(table, rest, column, desc), m_db->dialect());
        if (rs.ok) base = kept(queryKey(rs));
        if (base) break;
    }
    if (!base || !base->texts) return false;
    const SortTexts& t = *base->texts;
    const size_t n = t.to - t.from;
    auto rowOf = [&](size_t rank) { return t.descending ? t.to - 1 - rank : t.from + rank; };
    auto firstFrom = [&](const QByteArray& bound) {
        size_t lo = 0, hi = n;
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (Turkish::compareUtf8(t.at(rowOf(mid)), {bound.constData(), size_t(bound.size())}) < 0) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    };
    const size_t first = firstFrom(head.toUtf8());
    const size_t last = firstFrom((head + QChar(0xDBFF) + QChar(0xDFFF)).toUtf8());
    const QByteArray like = pattern.toUtf8();
    const std::string_view p(like.constData(), size_t(like.size()));
    keys->clear();
    for (size_t i = 0; i < last - first; ++i) {
        const size_t row = rowOf(descending ? last - 1 - i : first + i);
        if (Turkish::likeUtf8(p, t.at(row))) keys->push_back(base->keys[row]);
    }
    return true;
}

bool DataSource::keepAhead(const QString& source)
{
    if (!ensureOpen()) return false;
    const Jet::RecordSource rs = Jet::parseRecordSource(source, m_db->dialect());
    std::vector<qint64> keys;
    QString err;
    return rs.ok && readKeys(source, rs, &keys, &err);
}

bool DataSource::stamp(Stamp* out, bool exact)
{
    // Inside a transaction a write can still be rolled back without changing either count.
    if (m_db->inTransaction()) return false;
    if (m_db->onServer()) {
        *out = {m_db->serverChanges(exact), 0, 0};
        return out->dataVersion >= 0;
    }
    QString err;
    sqlite3_stmt* st = m_db->prepare(QStringLiteral("SELECT (SELECT data_version FROM pragma_data_version),"
                                                    " (SELECT schema_version FROM pragma_schema_version)"), &err);
    if (!st) return false;
    const bool ok = sqlite3_step(st) == SQLITE_ROW;
    out->dataVersion = ok ? sqlite3_column_int64(st, 0) : -1;
    out->schema = ok ? sqlite3_column_int64(st, 1) : -1;
    sqlite3_reset(st);
    out->changes = sqlite3_total_changes64(m_db->handle());
    return ok;
}

void DataSource::catchUp(const Stamp& now)
{
    const qint64 logged = m_log ? m_log->count : 0;
    for (auto it = m_kept.begin(); it != m_kept.end();) {
        KeptKeys& k = *it;
        const std::optional<std::vector<qint64>> rows = writtenSince(k.stamp, k.logged, now, k.table);
        if (rows && (rows->empty() || (k.texts && replay(k, *rows)))) {
            k.stamp = now;
            k.logged = logged;
            ++it;
        } else {
            it = m_kept.erase(it);
        }
    }
}

std::optional<std::vector<qint64>> DataSource::writtenSince(const Stamp& then, qint64 logged, const Stamp& now,
                                                            const QString& table) const
{
    if (then == now) return std::vector<qint64>{};
    // Another connection's commit or a new table definition can have changed anything; this
    // connection's own writes are known row by row, when every one of them was logged.
    if (!m_log || then.dataVersion != now.dataVersion || then.schema != now.schema || logged < m_log->first
        || now.changes - then.changes != m_log->count - logged)
        return std::nullopt;
    std::vector<qint64> rows;
    for (size_t i = size_t(logged - m_log->first); i < m_log->rows.size(); ++i)
        if (m_log->rows[i].first.compare(table, Qt::CaseInsensitive) == 0) rows.push_back(m_log->rows[i].second);
    return rows;
}

void DataSource::keepRows(const QString& table, const std::optional<Stamp>& now)
{
    // A server's count is not asked for every re-query, so its rows are always read anew.
    std::optional<std::vector<qint64>> written;
    if (now && m_rowsStamp && m_db && !m_db->onServer() && table.compare(m_rowsTable, Qt::CaseInsensitive) == 0)
        written = writtenSince(*m_rowsStamp, m_rowsLogged, *now, table);
    if (written) {
        for (qint64 id : *written) m_rows.remove(id);
    } else {
        m_rows.clear();
    }
    m_rowsStamp = now;
    m_rowsLogged = m_log ? m_log->count : 0;
    m_rowsTable = table;
}

bool DataSource::replay(KeptKeys& k, const std::vector<qint64>& written)
{
    SortTexts& t = *k.texts;
    std::vector<qint64> rows = written;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() > kReplayMax) return false;
    if (t.from == t.to && !k.keys.empty()) return false;
    // The written rows that the record source selects now, with their texts, in the list's order.
    QString where = QStringLiteral("rowid=?");
    QVariantList params{qlonglong(0)};
    if (!t.where.isEmpty()) {
        const Jet::Sql w = Jet::translate(t.where, m_db->dialect());
        if (!w.ok) return false;
        where += QStringLiteral(" AND (") + w.text + u')';
        params += w.params;
    }
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(quotedIdent(t.column), quotedIdent(k.table), where);
    std::vector<std::pair<std::string, qint64>> added;
    for (const qint64 r : rows) {
        params[0] = qlonglong(r);
        Query q = m_db->run(sql, params);
        if (q.next()) {
            const QVariant v = q.value(0);
            if (v.typeId() != QMetaType::QString) return false; // its place among numbers or nulls is not worth working out
            added.emplace_back(v.toString().toStdString(), r);
        }
        if (!q.ok()) return false;
    }
    auto before = [&](std::string_view a, qint64 ra, std::string_view b, qint64 rb) {
        const int c = Turkish::compareUtf8(a, b);
        const bool less = c < 0 || (c == 0 && ra < rb);
        const bool same = c == 0 && ra == rb;
        return !same && (t.descending ? !less : less);
    };
    std::sort(added.begin(), added.end(), [&](const auto& a, const auto& b) { return before(a.first, a.second, b.first, b.second); });
    // One pass: the written rows leave their old places and come back at their new ones.
    std::vector<qint64> keys;
    auto texts = std::make_shared<SortTexts>();
    texts->column = t.column;
    texts->descending = t.descending;
    texts->where = t.where;
    keys.reserve(k.keys.size() + added.size());
    texts->ends.reserve(keys.capacity());
    texts->bytes.reserve(t.bytes.size());
    auto put = [&](qint64 key, std::string_view text) {
        keys.push_back(key);
        texts->bytes.append(text);
        texts->ends.push_back(uint32_t(texts->bytes.size()));
    };
    auto next = added.begin();
    for (size_t i = 0; i <= k.keys.size(); ++i) {
        if (i == t.from) texts->from = keys.size();
        if (i >= t.from && i <= t.to)
            for (; next != added.end() && (i == t.to || before(next->first, next->second, t.at(i), k.keys[i])); ++next)
                put(next->second, next->first);
        if (i == t.to) texts->to = keys.size();
        if (i < k.keys.size() && !std::binary_search(rows.begin(), rows.end(), k.keys[i])) put(k.keys[i], t.at(i));
    }
    k.keys = std::move(keys);
    k.texts = std::move(texts);
    return true;
}

void DataSource::keepKeys(KeptKeys read)
{
    if (read.keys.size() < kKeepFrom || read.keys.size() > kKeptKeysMax) return;
    m_kept.remove_if([&](const KeptKeys& k) { return k.query == read.query; });
    // One list keeps its texts: the newest one read whole.
    if (read.texts)
        for (KeptKeys& k : m_kept) k.texts.reset();
    m_kept.push_front(std::move(read));
    size_t total = 0, sets = 0;
    for (auto it = m_kept.begin(); it != m_kept.end();) {
        if (!it->texts && (total + it->keys.size() > kKeptKeysMax || sets >= kKeptSetsMax)) {
            it = m_kept.erase(it);
            continue;
        }
        total += it->keys.size();
        ++sets;
        ++it;
    }
}

void DataSource::close()
{
    if (m_mode != EditMode::None) cancelUpdate();
    if (m_open) emit beforeUpdate(ActionClose);
    const bool had = !m_keys.empty();
    m_keys.clear();
    m_kept.clear();
    m_rows.clear();
    m_rowsStamp.reset();
    m_cur = -1;
    m_open = false;
    m_log.reset();
    m_db.reset(); // lets the file go when nobody else uses it
    if (had) emit requeried();
}

bool DataSource::bof() const { return m_keys.empty() || m_cur < 0; }
bool DataSource::eof() const { return m_keys.empty() || m_cur >= int(m_keys.size()); }

int DataSource::position() const
{
    if (m_deleted || bof() || eof()) return -1;
    return m_cur;
}

bool DataSource::setCurrent(int row, Action action)
{
    if (m_mode != EditMode::None) cancelUpdate();
    emit beforeUpdate(action);
    const int n = int(m_keys.size());
    m_cur = qBound(-1, row, n);
    m_deleted = false;
    if (m_cur >= 0 && m_cur < n) emit reposition();
    return m_cur >= 0 && m_cur < n;
}

bool DataSource::moveFirst() { return m_keys.empty() ? false : setCurrent(0, ActionMoveFirst); }
bool DataSource::moveLast() { return m_keys.empty() ? false : setCurrent(int(m_keys.size()) - 1, ActionMoveLast); }

bool DataSource::moveNext()
{
    if (m_deleted) return setCurrent(m_cur, ActionMoveNext); // the row after the deleted one slid into its place
    if (eof()) return fail(QStringLiteral("Kayıt sonunda ileri gidilemez"));
    return setCurrent(m_cur + 1, ActionMoveNext);
}

bool DataSource::movePrevious()
{
    if (m_deleted) return setCurrent(m_cur - 1, ActionMovePrevious);
    if (bof()) return fail(QStringLiteral("Kayıt başında geri gidilemez"));
    return setCurrent(m_cur - 1, ActionMovePrevious);
}

bool DataSource::moveTo(int row)
{
    if (row < 0 || row >= int(m_keys.size())) return false;
    if (row == m_cur && !m_deleted) return true;
    return setCurrent(row, ActionMoveNext);
}

std::vector<qint64> DataSource::matching(const QString& criterion)
{
    std::vector<qint64> ids;
    if (!m_open || !m_db) { fail(QStringLiteral("Kayıt kümesi açık değil")); return ids; }
    const Jet::Sql where = Jet::translate(criterion, m_db->dialect());
    if (!where.ok) { fail(where.error); return ids; }
    Query q = m_db->run(QStringLiteral("SELECT rowid FROM %1 WHERE %2").arg(quotedIdent(m_table), where.text), where.params);
    while (q.next())
        ids.push_back(q.value(0).toLongLong());
    if (!q.ok()) { fail(q.error()); ids.clear(); }
    return ids;
}

int DataSource::locate(const QString& criterion)
{
    int best = -1;
    m_findFailed = false;
    const QString before = m_error;
    m_error.clear();
    std::vector<qint64> ids = matching(criterion);
    m_findFailed = !m_error.isEmpty();
    if (!m_findFailed) m_error = before;
    // The first listed row among the matches: one pass over the keyset, no index of all rows.
    if (ids.size() == 1) {
        const auto at = std::find(m_keys.begin(), m_keys.end(), ids.front());
        if (at != m_keys.end()) best = int(at - m_keys.begin());
    } else if (!ids.empty()) {
        std::sort(ids.begin(), ids.end());
        for (size_t i = 0; i < m_keys.size() && best < 0; ++i)
            if (std::binary_search(ids.begin(), ids.end(), m_keys[i])) best = int(i);
    }
    return best;
}

bool DataSource::findFirst(const QString& criterion)
{
    if (m_mode != EditMode::None) cancelUpdate();
    const int p = locate(criterion);
    // A find that could not run is an error, not "no match": callers must not add a duplicate on it.
    m_noMatch = p < 0 && !m_findFailed;
    if (p < 0) return false; // the current record stays where it was
    setCurrent(p, ActionFind);
    return true;
}

bool DataSource::addNew()
{
    if (!m_open && !refresh()) return false;
    if (m_mode != EditMode::None) cancelUpdate();
    emit beforeUpdate(ActionAddNew);
    m_mode = EditMode::Adding;
    m_buffer = QVariantList(m_columns.size());
    m_dirty.assign(m_columns.size(), false);
    return true;
}

bool DataSource::edit()
{
    if (m_mode != EditMode::None) cancelUpdate();
    const QVariantList* r = position() >= 0 ? row(m_cur) : nullptr;
    if (!r) return fail(QStringLiteral("Düzeltilecek kayıt yok"));
    m_mode = EditMode::Editing;
    m_buffer = *r;
    m_dirty.assign(m_columns.size(), false);
    return true;
}

void DataSource::cancelUpdate()
{
    m_mode = EditMode::None;
    m_buffer.clear();
    m_dirty.clear();
}

bool DataSource::update()
{
    if (m_mode == EditMode::None) return fail(QStringLiteral("Kaydedilecek değişiklik yok"));
    emit beforeUpdate(ActionUpdate);
    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (!m_dirty[size_t(i)]) continue;
        names << quotedIdent(m_columns[i].name);
        values << m_buffer[i];
    }
    const EditMode mode = m_mode;
    cancelUpdate(); // a save that fails leaves no half-written record in edit mode
    Query q;
    if (mode == EditMode::Adding) {
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedIdent(m_table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quotedIdent(m_table), names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u','));
        q = m_db->run(sql, values, true);
    } else {
        if (names.isEmpty()) return true;
        QStringList sets;
        for (const QString& n : std::as_const(names)) sets << n + QStringLiteral("=?");
        values << qlonglong(m_keys[size_t(m_cur)]);
        q = m_db->run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quotedIdent(m_table), sets.join(u',')), values);
    }
    if (!q.finish()) return fail(QStringLiteral("Kayıt yazılamadı: ") + q.error());
    if (mode == EditMode::Adding) {
        const qint64 id = q.lastId();
        const int oldCount = int(m_keys.size());
        m_keys.push_back(id);
        if (m_cur >= oldCount) m_cur = oldCount + 1; // stays after the last record
        if (!m_bulk) emit rowInserted(oldCount);
    } else {
        if (q.changes() != 1) return fail(QStringLiteral("Kayıt başka yerden silinmiş"));
        m_rows.remove(m_keys[size_t(m_cur)]);
        if (!m_bulk) emit rowChanged(m_cur);
    }
    return true;
}

bool DataSource::deleteRecord()
{
    if (m_mode != EditMode::None) cancelUpdate();
    if (position() < 0) return fail(QStringLiteral("Silinecek kayıt yok"));
    emit beforeUpdate(ActionDelete);
    const qint64 id = m_keys[size_t(m_cur)];
    Query q = m_db->run(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quotedIdent(m_table)), {qlonglong(id)});
    if (!q.finish()) return fail(QStringLiteral("Kayıt silinemedi: ") + q.error());
    m_keys.erase(m_keys.begin() + m_cur);
    m_rows.remove(id);
    m_deleted = true;
    if (!m_bulk) emit rowRemoved(m_cur);
    return true;
}

QString DataSource::fieldName(int pos) const
{
    return pos >= 0 && pos < m_columns.size() ? m_columns[pos].name : QString();
}

int DataSource::fieldIndex(const QString& name) const { return m_fieldByName.value(name.toLower(), -1); }

const QVariantList* DataSource::row(int rowIndex) const
{
    if (rowIndex < 0 || rowIndex >= int(m_keys.size()) || !m_db) return nullptr;
    const qint64 id = m_keys[size_t(rowIndex)];
    if (const QVariantList* cached = m_rows.object(id)) return cached;
    Query q = m_db->run(QStringLiteral("SELECT * FROM %1 WHERE rowid=?").arg(quotedIdent(m_table)), {qlonglong(id)});
    if (!q.next()) return nullptr;
    auto* values = new QVariantList;
    const int n = qMin(q.columnCount(), int(m_columns.size())); // the server's row identity is no field
    values->reserve(n);
    for (int c = 0; c < n; ++c)
        values->append(fromStorage(c, q.value(c)));
    m_rows.insert(id, values);
    return values;
}

QVariant DataSource::value(int rowIndex, int pos) const
{
    const QVariantList* r = row(rowIndex);
    return r && pos >= 0 && pos < r->size() ? r->at(pos) : QVariant();
}

QVariant DataSource::field(int pos) const
{
    if (pos < 0 || pos >= m_columns.size()) return QVariant();
    if (m_mode != EditMode::None) return m_buffer.value(pos);
    if (position() < 0) return QVariant();
    return value(m_cur, pos);
}

bool DataSource::setField(int pos, const QVariant& v)
{
    if (m_mode == EditMode::None) return fail(QStringLiteral("Kayıt düzeltme kipinde değil"));
    if (pos < 0 || pos >= m_columns.size()) return fail(QStringLiteral("Alan yok: %1").arg(pos));
    m_buffer[pos] = toStorage(pos, v);
    m_dirty[size_t(pos)] = true;
    return true;
}

QVariant DataSource::fromStorage(int pos, const QVariant& v) const
{
    if (v.isNull() || pos >= m_columns.size()) return v;
    switch (kindOf(m_columns[pos].type)) {
    case Kind::Boolean: return QVariant(v.toLongLong() != 0);
    case Kind::Date: {
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : v;
    }
    case Kind::Currency: return QVariant(v.toDouble());
    case Kind::Other: return v;
    }
    return v;
}

QVariant DataSource::toStorage(int pos, const QVariant& v) const
{
    if (v.isNull() || !v.isValid()) return QVariant();
    switch (kindOf(m_columns[pos].type)) {
    case Kind::Boolean: return QVariant(qlonglong(v.toBool() ? 1 : 0));
    case Kind::Date:
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date().toString(Qt::ISODate);
        return v;
    case Kind::Currency: {
        // Stored like a Currency field: four decimals, so 35 g at 120 per 100 g is exactly 42.
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok) return v;
        return QVariant(std::round(d * 10000.0) / 10000.0);
    }
    case Kind::Other: return v;
    }
    return v;
}

void DataSource::setBulk(bool on)
{
    if (m_bulk == on) return;
    m_bulk = on;
    if (!on) emit requeried();
}
