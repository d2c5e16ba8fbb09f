#include "datasource.h"

#include "jet.h"

#include <QDate>
#include <QDateTime>
#include <QLoggingCategory>
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

QString quotedIdent(const QString& n)
{
    QString s = n;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

} // namespace

DataSource::DataSource(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

DataSource::~DataSource() = default;

void DataSource::setDatabaseName(const QString& path)
{
    if (path == m_path && m_db) return;
    close();
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
    return m_db ? true : fail(err);
}

bool DataSource::refresh()
{
    if (m_mode != EditMode::None) cancelUpdate();
    m_keys.clear();
    m_rows.clear();
    m_cur = -1;
    m_deleted = false;
    m_noMatch = false;
    m_open = false;
    m_error.clear();
    auto done = [this](bool ok) {
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
    if (!readKeys(rs, &m_keys, &err)) {
        m_keys.clear();
        return done(fail(err));
    }
    m_open = true;
    m_cur = m_keys.empty() ? -1 : 0;
    return done(true);
}

bool DataSource::readKeys(const Jet::RecordSource& rs, std::vector<qint64>* keys, QString* error)
{
    const QString sql = QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedIdent(rs.table), rs.tail.text);
    QString query = sql;
    for (const QVariant& p : rs.tail.params) query += QChar(0x1F) + p.toString();
    Stamp before; // taken first: a commit during the read makes the kept set look older, never newer
    const bool kept = std::any_of(m_kept.begin(), m_kept.end(), [&](const KeptKeys& k) { return k.query == query; });
    const bool stamped = stamp(&before, kept);
    if (stamped && cachedKeys(query, before, keys)) return true;
    Query q = m_db->run(sql, rs.tail.params);
    while (q.next())
        keys->push_back(q.value(0).toLongLong());
    if (!q.ok()) {
        *error = q.error();
        return false;
    }
    if (stamped) keepKeys(query, before, *keys);
    return true;
}

bool DataSource::keepAhead(const QString& source)
{
    if (!ensureOpen()) return false;
    const Jet::RecordSource rs = Jet::parseRecordSource(source, m_db->dialect());
    std::vector<qint64> keys;
    QString err;
    return rs.ok && readKeys(rs, &keys, &err);
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

bool DataSource::cachedKeys(const QString& query, const Stamp& now, std::vector<qint64>* keys)
{
    // Sets read before the file changed can never be used again.
    m_kept.remove_if([&](const KeptKeys& k) { return k.stamp != now; });
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->query != query) continue;
        *keys = it->keys;
        m_kept.splice(m_kept.begin(), m_kept, it);
        return true;
    }
    return false;
}

void DataSource::keepKeys(const QString& query, const Stamp& read, const std::vector<qint64>& keys)
{
    if (keys.size() < kKeepFrom || keys.size() > kKeptKeysMax) return;
    m_kept.remove_if([&](const KeptKeys& k) { return k.stamp != read || k.query == query; });
    m_kept.push_front({query, read, keys});
    size_t total = 0;
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        total += it->keys.size();
        if (total > kKeptKeysMax || size_t(std::distance(m_kept.begin(), it)) >= kKeptSetsMax) {
            m_kept.erase(it, m_kept.end());
            break;
        }
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
    m_cur = -1;
    m_open = false;
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
