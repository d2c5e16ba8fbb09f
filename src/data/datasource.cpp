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

constexpr size_t kKept = 3; // keysets kept per data source: the stock field goes between two sources

enum class Kind { Other, Currency, Boolean, Date };

Kind kindOf(const QString& declared)
{
    if (declared.startsWith(QLatin1String("CURRENCY")) || declared.startsWith(QLatin1String("MONEY"))) return Kind::Currency;
    if (declared.startsWith(QLatin1String("BOOL")) || declared == QLatin1String("BIT") || declared == QLatin1String("YESNO"))
        return Kind::Boolean;
    if (declared.startsWith(QLatin1String("DATE"))) return Kind::Date;
    return Kind::Other;
}

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

// This connection's row changes and the commits of every other connection so far: while both stand
// still, a query reads what it read before.
std::pair<qint64, qint64> DataSource::fileStamp() const
{
    QString err;
    sqlite3_stmt* st = m_db ? m_db->prepare(QStringLiteral("PRAGMA data_version"), &err) : nullptr;
    if (!st) return {0, -1};
    const qint64 version = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
    return {sqlite3_total_changes64(m_db->handle()), version};
}

void DataSource::keepKeys()
{
    if (m_open && m_keysStamp.second >= 0) {
        std::erase_if(m_kept, [this](const Keyset& k) { return k.source == m_keysSource; });
        if (m_kept.size() >= kKept) m_kept.erase(m_kept.begin());
        m_kept.push_back({m_keysSource, m_keysStamp, std::move(m_keys), std::move(m_posByKey), m_posValid});
    }
    m_keysStamp = {0, -1};
}

bool DataSource::reuseKeys()
{
    const std::pair<qint64, qint64> stamp = fileStamp();
    std::erase_if(m_kept, [&](const Keyset& k) { return k.stamp != stamp; });
    m_keysSource = m_recordSource;
    m_keysStamp = stamp;
    const auto it = std::find_if(m_kept.begin(), m_kept.end(), [this](const Keyset& k) { return k.source == m_recordSource; });
    if (it == m_kept.end()) return false;
    m_keys = std::move(it->keys);
    m_posByKey = std::move(it->posByKey);
    m_posValid = it->posValid;
    m_kept.erase(it);
    return true;
}

bool DataSource::refresh()
{
    if (m_mode != EditMode::None) cancelUpdate();
    keepKeys();
    m_keys.clear();
    m_posByKey.clear();
    m_posValid = false;
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
    const Jet::RecordSource rs = Jet::parseRecordSource(m_recordSource);
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
    if (!reuseKeys() && !readKeys(rs.tail.text, rs.tail.params, &m_keys)) {
        m_keysStamp = {0, -1};
        return done(false);
    }
    m_open = true;
    m_cur = m_keys.empty() ? -1 : 0;
    return done(true);
}

bool DataSource::readKeys(const QString& tail, const QVariantList& params, std::vector<qint64>* keys)
{
    QString err;
    sqlite3_stmt* st = m_db->prepare(QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedIdent(m_table), tail), &err);
    if (!st) return fail(err);
    for (int i = 0; i < params.size(); ++i)
        bindValue(st, i + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        keys->push_back(sqlite3_column_int64(st, 0));
    sqlite3_reset(st);
    if (rc == SQLITE_DONE) return true;
    keys->clear();
    return fail(m_db->lastError());
}

bool DataSource::keepAhead(const QString& source)
{
    const Jet::RecordSource rs = Jet::parseRecordSource(source);
    if (!m_open || !rs.ok || rs.table.compare(m_table, Qt::CaseInsensitive) != 0) return false;
    const std::pair<qint64, qint64> stamp = fileStamp();
    std::vector<qint64> keys;
    if (stamp.second < 0 || !readKeys(rs.tail.text, rs.tail.params, &keys)) return false;
    std::erase_if(m_kept, [&](const Keyset& k) { return k.source == source || k.stamp != stamp; });
    if (m_kept.size() >= kKept) m_kept.erase(m_kept.begin());
    m_kept.push_back({source, stamp, std::move(keys), {}, false});
    return true;
}

void DataSource::close()
{
    if (m_mode != EditMode::None) cancelUpdate();
    if (m_open) emit beforeUpdate(ActionClose);
    const bool had = !m_keys.empty();
    m_keys.clear();
    m_posByKey.clear();
    m_posValid = false;
    m_rows.clear();
    m_cur = -1;
    m_open = false;
    m_kept.clear();
    m_keysStamp = {0, -1};
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

int DataSource::positionOf(qint64 rowid)
{
    if (!m_posValid) {
        m_posByKey.clear();
        m_posByKey.reserve(int(m_keys.size()));
        for (int i = 0; i < int(m_keys.size()); ++i)
            m_posByKey.insert(m_keys[i], i);
        m_posValid = true;
    }
    return m_posByKey.value(rowid, -1);
}

std::vector<qint64> DataSource::matching(const QString& criterion)
{
    std::vector<qint64> ids;
    if (!m_open || !m_db) { fail(QStringLiteral("Kayıt kümesi açık değil")); return ids; }
    const Jet::Sql where = Jet::translate(criterion);
    if (!where.ok) { fail(where.error); return ids; }
    QString err;
    sqlite3_stmt* st = m_db->prepare(QStringLiteral("SELECT rowid FROM %1 WHERE %2").arg(quotedIdent(m_table), where.text), &err);
    if (!st) { fail(err); return ids; }
    for (int i = 0; i < where.params.size(); ++i)
        bindValue(st, i + 1, where.params[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(st, 0));
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) { fail(m_db->lastError()); ids.clear(); }
    return ids;
}

int DataSource::locate(const QString& criterion)
{
    int best = -1;
    m_findFailed = false;
    const QString before = m_error;
    m_error.clear();
    const std::vector<qint64> ids = matching(criterion);
    m_findFailed = !m_error.isEmpty();
    if (!m_findFailed) m_error = before;
    // A few matches are looked for along the rows, up to the first: cheaper than the positions by key
    // the first time a large keyset is searched.
    if (!m_posValid && ids.size() <= 8) {
        const auto at = std::find_if(m_keys.begin(), m_keys.end(),
                                     [&](qint64 k) { return std::find(ids.begin(), ids.end(), k) != ids.end(); });
        return at == m_keys.end() ? -1 : int(at - m_keys.begin());
    }
    for (qint64 id : ids) {
        const int p = positionOf(id);
        if (p >= 0 && (best < 0 || p < best)) best = p;
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
    QString err;
    const EditMode mode = m_mode;
    cancelUpdate(); // a save that fails leaves no half-written record in edit mode
    sqlite3_stmt* st = nullptr;
    if (mode == EditMode::Adding) {
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedIdent(m_table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quotedIdent(m_table), names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u','));
        st = m_db->prepare(sql, &err);
    } else {
        if (names.isEmpty()) return true;
        QStringList sets;
        for (const QString& n : std::as_const(names)) sets << n + QStringLiteral("=?");
        st = m_db->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quotedIdent(m_table), sets.join(u',')), &err);
    }
    if (!st) return fail(err);
    for (int i = 0; i < values.size(); ++i)
        bindValue(st, i + 1, values[i]);
    if (mode == EditMode::Editing) sqlite3_bind_int64(st, int(values.size()) + 1, m_keys[size_t(m_cur)]);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return fail(QStringLiteral("Kayıt yazılamadı: ") + m_db->lastError());
    if (mode == EditMode::Adding) {
        const qint64 id = sqlite3_last_insert_rowid(m_db->handle());
        const int oldCount = int(m_keys.size());
        m_keys.push_back(id);
        if (m_posValid) m_posByKey.insert(id, oldCount);
        if (m_cur >= oldCount) m_cur = oldCount + 1; // stays after the last record
        if (!m_bulk) emit rowInserted(oldCount);
    } else {
        if (sqlite3_changes(m_db->handle()) != 1) return fail(QStringLiteral("Kayıt başka yerden silinmiş"));
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
    QString err;
    sqlite3_stmt* st = m_db->prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quotedIdent(m_table)), &err);
    if (!st) return fail(err);
    const qint64 id = m_keys[size_t(m_cur)];
    sqlite3_bind_int64(st, 1, id);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) return fail(QStringLiteral("Kayıt silinemedi: ") + m_db->lastError());
    m_keys.erase(m_keys.begin() + m_cur);
    m_rows.remove(id);
    m_posValid = false;
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
    QString err;
    sqlite3_stmt* st = m_db->prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid=?").arg(quotedIdent(m_table)), &err);
    if (!st) return nullptr;
    sqlite3_bind_int64(st, 1, id);
    if (sqlite3_step(st) != SQLITE_ROW) { sqlite3_reset(st); return nullptr; }
    auto* values = new QVariantList;
    const int n = sqlite3_column_count(st);
    values->reserve(n);
    for (int c = 0; c < n; ++c)
        values->append(fromStorage(c, columnValue(st, c)));
    sqlite3_reset(st);
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
