// The three imports of start-up: stock cards, customer cards and employees from the accounting files.
// Each walks the accounting query in its order and finds every record by its key among all records of
// the own table (Turkish equality, through a map of the own keys read once), writes the own copy in one
// transaction and, only once that has committed, leaves the source's marks to be set after ready in short
// batches, so a busy accounting file never holds up the desk. Unchanged records and marks already set are
// not written again, so a repeat start over unchanged cards only reads.
#include "salonya.h"
#include "startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/turkish.h"

#include <QElapsedTimer>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Fields by position: own field <- source field.
using FieldMap = std::vector<std::pair<int, int>>;

struct Import {
    const char* what;
    QString source;  // record source on the accounting file
    int srcKey;      // source field holding the key
    QString ownTable;
    int ownKey;
    FieldMap onAdd;  // written when the record is added
    FieldMap always; // written on every found or added record
    int mark;        // source field set to 0 once the copy is safe; -1: the source is not changed
};

// A value as stored, compared the way a write would change it or not. Texts are kept as their
// length and a 64-bit hash, in 16 bytes: a million cards' copied fields would otherwise outgrow the desk.
struct Cell {
    union {
        double number = 0; // a number
        size_t hash;       // a text's or blob's bytes
    };
    qint32 length = 0;
    qint32 type = SQLITE_NULL;
    bool operator==(const Cell& o) const
    {
        const bool num = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        const bool onum = o.type == SQLITE_INTEGER || o.type == SQLITE_FLOAT;
        if (num || onum) return num && onum && number == o.number;
        return type == o.type && (type == SQLITE_NULL || (length == o.length && hash == o.hash));
    }
};
static_assert(sizeof(Cell) == 16);

double currency(double d) { return std::round(d * 10000.0) / 10000.0; }

// How a column converts what is written into it (SQLite's rules on the declared type).
enum class Affinity { Text, Numeric, None };
Affinity affinityOf(const QString& declared)
{
    if (declared.contains(QLatin1String("INT"))) return Affinity::Numeric;
    if (declared.contains(QLatin1String("CHAR")) || declared.contains(QLatin1String("CLOB")) || declared.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (declared.isEmpty() || declared.contains(QLatin1String("BLOB"))) return Affinity::None;
    return Affinity::Numeric;
}

struct OwnColumn { Affinity affinity; bool currency; };

bool isNumber(int type) { return type == SQLITE_INTEGER || type == SQLITE_FLOAT; }

// The value as the own column would store it, so a source keeping a number as text (or the other way
// round) compares equal to what the last import wrote.
Cell cellOf(sqlite3_value* v, OwnColumn col)
{
    Cell c;
    c.type = sqlite3_value_type(v);
    const bool convert = (col.affinity == Affinity::Text && isNumber(c.type)) || (col.affinity == Affinity::Numeric && c.type == SQLITE_TEXT);
    sqlite3_value* d = convert ? sqlite3_value_dup(v) : v;
    if (convert && col.affinity == Affinity::Text) {
        sqlite3_value_text(d);
        c.type = SQLITE_TEXT;
    } else if (convert) {
        c.type = sqlite3_value_numeric_type(d);
    }
    if (isNumber(c.type)) {
        c.number = sqlite3_value_double(d);
        if (col.currency) c.number = currency(c.number);
    } else if (c.type != SQLITE_NULL) {
        const void* bytes = c.type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(d)) : sqlite3_value_blob(d);
        const int n = sqlite3_value_bytes(d);
        c.length = n;
        c.hash = qHashBits(bytes, size_t(n), 0x5a1017a);
    }
    if (convert) sqlite3_value_free(d);
    return c;
}

bool isCurrencyColumn(const Database::Column& c)
{
    return c.type.startsWith(QLatin1String("CURRENCY")) || c.type.startsWith(QLatin1String("MONEY"));
}

OwnColumn ownColumn(const Database::Column& c) { return {affinityOf(c.type), isCurrencyColumn(c)}; }

QString ident(const QString& n)
{
    QString s = n;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// The same for a value read from the salon server, where the own tables live when one is set.
Cell cellOf(const QVariant& v, OwnColumn col)
{
    Cell c;
    if (v.isNull()) return c;
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double) {
        c.type = v.typeId() == QMetaType::Double ? SQLITE_FLOAT : SQLITE_INTEGER;
        c.number = col.currency ? currency(v.toDouble()) : v.toDouble();
        return c;
    }
    const QByteArray b = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
    c.type = v.typeId() == QMetaType::QByteArray ? SQLITE_BLOB : SQLITE_TEXT;
    c.length = qint32(b.size());
    c.hash = qHashBits(b.constData(), size_t(b.size()), 0x5a1017a);
    return c;
}

// A source value as the server's own column is sent it: text where the column is text (as SQLite
// would convert it), four decimals where it holds money.
QVariant serverValue(sqlite3_value* v, OwnColumn col)
{
    const int t = sqlite3_value_type(v);
    if (t == SQLITE_NULL) return QVariant();
    if (col.affinity == Affinity::Text || t == SQLITE_TEXT)
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    if (t == SQLITE_BLOB) return QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    if (col.currency) return currency(sqlite3_value_double(v));
    if (t == SQLITE_INTEGER) return qlonglong(sqlite3_value_int64(v));
    return sqlite3_value_double(v);
}

// A value in COPY's text format, as Connection::run would send it as a parameter.
void appendCopyValue(QByteArray* line, const QVariant& v)
{
    if (v.isNull()) { *line += "\\N"; return; }
    QByteArray b;
    if (v.typeId() == QMetaType::Double) b = QByteArray::number(v.toDouble(), 'g', 17);
    else if (v.typeId() == QMetaType::QByteArray) b = "\\x" + v.toByteArray().toHex();
    else b = v.toString().toUtf8();
    for (const char c : std::as_const(b)) {
        switch (c) {
        case '\\': *line += "\\\\"; break;
        case '\t': *line += "\\t"; break;
        case '\n': *line += "\\n"; break;
        case '\r': *line += "\\r"; break;
        default: *line += c;
        }
    }
}

std::string keyOf(const QVariant& v)
{
    if (v.isNull()) return {};
    const QByteArray t = v.toString().toUtf8();
    return '\x01' + Turkish::sortKey(std::string_view(t.constData(), size_t(t.size())));
}

// The key as the criterion "Kod='" + value + "'" would compare it; an empty (Null) key is a key of its
// own, so a card without one is found again at the next start instead of added once more.
std::string keyOf(sqlite3_stmt* st, int col)
{
    if (sqlite3_column_type(st, col) == SQLITE_NULL) return {};
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return '\x01' + Turkish::sortKey(std::string_view(t, size_t(sqlite3_column_bytes(st, col))));
}

// A batch of marks holds the file's write lock for about this long (plus its commit), then lets go.
constexpr int kMarkBatchMs = 100;
constexpr int kBusyWaitMs = 60000; // how long after ready a busy accounting file is waited for
constexpr int kRefreshServerFrom = 1000; // rows an import wrote before the server's table is vacuumed

class Importer
{
public:
    Importer(const Import& spec, Database* src, Database* own) : m(spec), src(src), own(own) {}

    bool run(QString* error);
    QString sourceTable() const { return srcTable; }
    QString markColumn() const { return srcCols.value(m.mark).name; }
    int added = 0, changed = 0;
    QStringList idCols;               // the key columns of a source table without rowids
    std::vector<qint64> toMark;       // source rowids to mark
    std::vector<QVariantList> toMarkByKey;

private:
    bool prepareColumns(QString* error);
    bool loadOwnKeys(QString* error);
    bool walk(QString* error);

    const Import& m;
    Database* src;
    Database* own;
    QString srcTable;
    QList<Database::Column> srcCols, ownCols;
    std::vector<int> srcFields;                 // source fields read, in select order after the row's identity
    std::unordered_map<int, int> selectOf;      // source field -> select column
    // The own records: rowid and, flat, the cells of the fields every import writes.
    std::vector<qint64> rowids;
    std::vector<Cell> cells;
    bool sameCells(size_t row, const std::vector<Cell>& values) const
    {
        return std::equal(values.begin(), values.end(), cells.begin() + std::ptrdiff_t(row * values.size()));
    }
    // First record of each key; the keys' bytes live in large blocks, not one allocation each.
    std::unordered_map<std::string_view, uint32_t> byKey;
    std::vector<std::unique_ptr<char[]>> keyBlocks;
    size_t keyBlockSize = 0, keyBlockFree = 0;
    void addKey(const std::string& key, size_t row);
};

void Importer::addKey(const std::string& key, size_t row)
{
    if (byKey.count(key)) return;
    if (keyBlocks.empty() || key.size() > keyBlockFree) {
        keyBlockSize = std::max<size_t>(1 << 20, key.size());
        keyBlocks.push_back(std::make_unique<char[]>(keyBlockSize));
        keyBlockFree = keyBlockSize;
    }
    char* at = keyBlocks.back().get() + (keyBlockSize - keyBlockFree);
    std::copy(key.begin(), key.end(), at);
    keyBlockFree -= key.size();
    byKey.emplace(std::string_view(at, key.size()), uint32_t(row));
}

bool Importer::prepareColumns(QString* error)
{
    const Jet::RecordSource rs = Jet::parseRecordSource(m.source);
    if (!rs.ok) { *error = rs.error; return false; }
    srcTable = rs.table;
    const auto* sc = src->columns(srcTable, error);
    const auto* oc = own->columns(m.ownTable, error);
    if (!sc || !oc) return false;
    srcCols = *sc;
    ownCols = *oc;
    // A table declared without rowids is told apart by its key columns.
    sqlite3_stmt* st = src->prepare(QStringLiteral("SELECT i.name FROM pragma_table_list(?1) l, pragma_table_info(?1) i"
                                                   " WHERE l.wr AND i.pk>0 ORDER BY i.pk"), error);
    if (!st) return false;
    bindValue(st, 1, srcTable);
    while (sqlite3_step(st) == SQLITE_ROW) idCols << columnValue(st, 0).toString();
    sqlite3_reset(st);
    const int first = int(qMax<qsizetype>(1, idCols.size()));
    auto need = [&](int f) {
        if (!selectOf.count(f)) { selectOf[f] = int(srcFields.size()) + first; srcFields.push_back(f); }
    };
    need(m.srcKey);
    for (const auto& [d, s] : m.onAdd) need(s);
    for (const auto& [d, s] : m.always) need(s);
    if (m.mark >= 0) need(m.mark);
    for (int f : srcFields)
        if (f >= srcCols.size()) { *error = QStringLiteral("kaynakta %1. alan yok").arg(f); return false; }
    for (const FieldMap* fm : {&m.onAdd, &m.always})
        for (const auto& [d, s] : *fm)
            if (d >= ownCols.size()) { *error = QStringLiteral("kopyada %1. alan yok").arg(d); return false; }
    return true;
}

bool Importer::loadOwnKeys(QString* error)
{
    QStringList cols{ident(ownCols[m.ownKey].name)};
    for (const auto& [d, s] : m.always) cols << ident(ownCols[d].name);
    if (own->onServer()) {
        Query q = own->run(QStringLiteral("SELECT rowid, %1 FROM %2").arg(cols.join(u','), ident(m.ownTable)));
        while (q.next()) {
            for (size_t i = 0; i < m.always.size(); ++i)
                cells.push_back(cellOf(q.value(int(i) + 2), ownColumn(ownCols[m.always[i].first])));
            addKey(keyOf(q.value(1)), rowids.size());
            rowids.push_back(q.value(0).toLongLong());
        }
        if (!q.ok()) *error = q.error();
        return q.ok();
    }
    sqlite3_stmt* st = own->prepare(QStringLiteral("SELECT rowid, %1 FROM %2").arg(cols.join(u','), ident(m.ownTable)), error);
    if (!st) return false;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (size_t i = 0; i < m.always.size(); ++i)
            cells.push_back(cellOf(sqlite3_column_value(st, int(i) + 2), ownColumn(ownCols[m.always[i].first])));
        addKey(keyOf(st, 1), rowids.size());
        rowids.push_back(sqlite3_column_int64(st, 0));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) { *error = own->lastError(); return false; }
    return true;
}

bool Importer::walk(QString* error)
{
    const Jet::RecordSource rs = Jet::parseRecordSource(m.source);
    QStringList cols;
    for (const QString& c : std::as_const(idCols)) cols << ident(c);
    if (idCols.isEmpty()) cols << QStringLiteral("rowid");
    for (int f : srcFields) cols << ident(srcCols[f].name);
    sqlite3_stmt* read = src->prepare(QStringLiteral("SELECT %1 FROM %2 %3").arg(cols.join(u','), ident(srcTable), rs.tail.text), error);
    if (!read) return false;
    for (int i = 0; i < rs.tail.params.size(); ++i) bindValue(read, i + 1, rs.tail.params[i]);

    QStringList addCols, sets;
    for (const FieldMap* fm : {&m.onAdd, &m.always})
        for (const auto& [d, s] : *fm) addCols << ident(ownCols[d].name);
    for (const auto& [d, s] : m.always) sets << ident(ownCols[d].name) + QStringLiteral("=?");
    const QString addSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(ident(m.ownTable), addCols.join(u','), QStringList(addCols.size(), QStringLiteral("?")).join(u','));
    const QString editSql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(ident(m.ownTable), sets.join(u','));
    const bool server = own->onServer();
    sqlite3_stmt* add = server ? nullptr : own->prepare(addSql, error);
    sqlite3_stmt* edit = server || sets.isEmpty() ? nullptr : own->prepare(editSql, error);
    if (!server && (!add || (!sets.isEmpty() && !edit))) { sqlite3_reset(read); return false; }
    // On the server a changed record is written at once, as parameters; false with the reason when it fails.
    auto serverWrite = [&](qint64 rowid) {
        QVariantList values;
        for (const auto& [d, s] : m.always) values << serverValue(sqlite3_column_value(read, selectOf[s]), ownColumn(ownCols[d]));
        values << rowid;
        Query q = own->run(editSql, values);
        if (!q.finish()) { *error = q.error(); sqlite3_reset(read); return false; }
        return true;
    };
    // New records go in one COPY at the end (a statement per record costs a round trip each): the fields
    // written on add, then those written always, which a later record of the same key may still change.
    // Their rowids stand as -1, -2 ... until then.
    std::vector<QByteArray> addLines, alwaysLines;
    auto copyLine = [&](const FieldMap& fm) {
        QByteArray line;
        for (const auto& [d, s] : fm) {
            line += '\t';
            appendCopyValue(&line, serverValue(sqlite3_column_value(read, selectOf[s]), ownColumn(ownCols[d])));
        }
        return line;
    };

    // Binds the source value of one field the way the own column stores it.
    auto bindField = [&](sqlite3_stmt* st, int at, int dst, int srcField) {
        sqlite3_value* v = sqlite3_column_value(read, selectOf[srcField]);
        const int t = sqlite3_value_type(v);
        if (isCurrencyColumn(ownCols[dst]) && (t == SQLITE_INTEGER || t == SQLITE_FLOAT))
            return sqlite3_bind_double(st, at, currency(sqlite3_value_double(v))) == SQLITE_OK;
        return sqlite3_bind_value(st, at, v) == SQLITE_OK;
    };
    auto fail = [&](sqlite3_stmt* st) {
        *error = own->lastError();
        sqlite3_reset(st);
        sqlite3_reset(read);
        return false;
    };

    int rc;
    while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
        std::vector<Cell> values;
        for (const auto& [d, s] : m.always)
            values.push_back(cellOf(sqlite3_column_value(read, selectOf[s]), ownColumn(ownCols[d])));
        const std::string key = keyOf(read, selectOf[m.srcKey]);
        const auto found = byKey.find(key);
        if (found != byKey.end()) {
            const size_t row = found->second;
            if (server && !sets.isEmpty() && !sameCells(row, values)) {
                if (rowids[row] < 0) alwaysLines[size_t(-rowids[row] - 1)] = copyLine(m.always);
                else if (!serverWrite(rowids[row])) return false;
                std::copy(values.begin(), values.end(), cells.begin() + std::ptrdiff_t(row * values.size()));
                ++changed;
            } else if (edit && !sameCells(row, values)) {
                int at = 1;
                for (const auto& [d, s] : m.always) bindField(edit, at++, d, s);
                sqlite3_bind_int64(edit, at, rowids[row]);
                if (sqlite3_step(edit) != SQLITE_DONE) return fail(edit);
                sqlite3_reset(edit);
                std::copy(values.begin(), values.end(), cells.begin() + std::ptrdiff_t(row * values.size()));
                ++changed;
            }
        } else if (server) {
            addLines.push_back(copyLine(m.onAdd));
            alwaysLines.push_back(copyLine(m.always));
            addKey(key, rowids.size());
            rowids.push_back(-qint64(addLines.size()));
            cells.insert(cells.end(), values.begin(), values.end());
            ++added;
        } else {
            int at = 1;
            for (const FieldMap* fm : {&m.onAdd, &m.always})
                for (const auto& [d, s] : *fm) bindField(add, at++, d, s);
            if (sqlite3_step(add) != SQLITE_DONE) return fail(add);
            sqlite3_reset(add);
            addKey(key, rowids.size());
            rowids.push_back(sqlite3_last_insert_rowid(own->handle()));
            cells.insert(cells.end(), values.begin(), values.end());
            ++added;
        }
        if (m.mark >= 0) {
            const int col = selectOf[m.mark];
            if (!(sqlite3_column_type(read, col) != SQLITE_NULL && sqlite3_column_double(read, col) == 0)) {
                if (idCols.isEmpty()) {
                    toMark.push_back(sqlite3_column_int64(read, 0));
                } else {
                    QVariantList key;
                    for (int i = 0; i < idCols.size(); ++i) key << columnValue(read, i);
                    toMarkByKey.push_back(std::move(key));
                }
            }
        }
    }
    sqlite3_reset(read);
    if (rc != SQLITE_DONE) { *error = src->lastError(); toMark.clear(); toMarkByKey.clear(); return false; }
    if (addLines.empty()) return true;
    QByteArray rows;
    for (size_t i = 0; i < addLines.size(); ++i) {
        const QByteArray line = addLines[i] + alwaysLines[i];
        rows += QByteArrayView(line).sliced(1); // each field came with a tab before it
        rows += '\n';
        QByteArray().swap(addLines[i]);
    }
    return own->copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(ident(m.ownTable), addCols.join(u',')), rows, error);
}

bool Importer::run(QString* error)
{
    if (!prepareColumns(error)) return false;
    Transaction tx(own, true);
    if (!tx.active()) { *error = tx.error(); return false; }
    // Desks starting together import one after the other, so the second finds the first one's cards.
    if (own->onServer() && !own->run(QStringLiteral("SELECT pg_advisory_xact_lock(7202)")).finish()) {
        *error = own->lastError();
        return false;
    }
    const bool k = loadOwnKeys(error);
    // Into an empty table (a first start) the rows go faster without its indexes, which are then built
    // once, sorted, inside the same transaction.
    QStringList indexes;
    if (k && rowids.empty() && !own->onServer()) {
        sqlite3_stmt* st = own->prepare(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL"
                                                       " AND tbl_name=? COLLATE NOCASE"), error);
        if (!st) return false;
        bindValue(st, 1, m.ownTable);
        QStringList names;
        while (sqlite3_step(st) == SQLITE_ROW) { names << columnValue(st, 0).toString(); indexes << columnValue(st, 1).toString(); }
        sqlite3_reset(st);
        for (const QString& n : std::as_const(names))
            if (!own->exec(QStringLiteral("DROP INDEX ") + ident(n), error)) return false;
    }
    bool ok = k && walk(error);
    // The records' map is done with; the index builds below need the memory.
    decltype(rowids)().swap(rowids);
    decltype(cells)().swap(cells);
    decltype(byKey)().swap(byKey);
    keyBlocks.clear();
    for (const QString& sql : std::as_const(indexes)) ok = ok && own->exec(sql, error);
    if (!ok || !tx.commit(error)) {
        toMark.clear(); // nothing of the copy stayed, so no source record may be marked
        toMarkByKey.clear();
        return false;
    }
    // After many new rows the server's statistics and visibility map lag behind the table, and the live
    // search would neither plan well nor answer from its index alone until the server catches up.
    if (own->onServer() && added + changed >= kRefreshServerFrom && !own->inTransaction()) {
        QString ignored; // a later automatic run does the same
        own->exec(QStringLiteral("VACUUM (ANALYZE) ") + ident(m.ownTable), &ignored);
    }
    return true;
}

} // namespace

// The source records an import found, to be marked once the desk is ready.
struct PendingMarks {
    const char* what;
    std::shared_ptr<Database> db;
    QString sql; // UPDATE of one record, by rowid or by its key columns
    std::vector<qint64> rowids;
    std::vector<QVariantList> keys;
    size_t done = 0;
    size_t size() const { return rowids.size() + keys.size(); }
};

namespace {

// One import from the accounting file DataTmp names into the own data source's table; the marks it
// leaves to write come back.
std::shared_ptr<PendingMarks> runImport(Salonya* f, DataSource* own, const Import& spec)
{
    DataSource* tmp = f->DataTmp;
    tmp->setRecordSource(spec.source);
    QString err;
    std::shared_ptr<Database> src = Database::open(tmp->databaseName(), false, &err);
    std::shared_ptr<Database> ownDb = src ? Database::open(own->databaseName(), false, &err) : nullptr;
    if (!ownDb) {
        qCWarning(lcStartup).noquote() << spec.what << "import source unavailable:" << err;
        tmp->close();
        return {};
    }
    // The accounting file is read once, in order: a small page cache, which also bounds the sort of its
    // cards, keeps a million cards' import within the desk's memory.
    QString ignored; // a bigger cache only costs memory
    src->exec(QStringLiteral("PRAGMA cache_size=-16384"), &ignored);
    f->state.KayitBekle = true;
    QElapsedTimer phase;
    phase.start();
    Importer imp(spec, src.get(), ownDb.get());
    const bool ok = imp.run(&err);
    qCDebug(lcStartup, "%s import: copy %lld ms", spec.what, phase.restart());
    f->state.KayitBekle = false; // the save is done or has failed; either way nobody waits on it
    // The own source re-reads what the file now holds: the new records, or nothing after a rollback.
    own->refresh();
    if (!ok) qCWarning(lcStartup).noquote() << spec.what << "import rolled back:" << err;
    qCDebug(lcStartup, "%s import: %d added, %d changed, %zu to mark in %lld ms", spec.what, imp.added, imp.changed,
            imp.toMark.size() + imp.toMarkByKey.size(), phase.elapsed());
    tmp->close();
    if (imp.toMark.empty() && imp.toMarkByKey.empty()) return {};
    QStringList where;
    for (const QString& c : std::as_const(imp.idCols)) where << ident(c) + QStringLiteral("=?");
    if (where.isEmpty()) where << QStringLiteral("rowid=?");
    return std::make_shared<PendingMarks>(PendingMarks{
        spec.what, src, QStringLiteral("UPDATE %1 SET %2=0 WHERE %3").arg(ident(imp.sourceTable()), ident(imp.markColumn()), where.join(QStringLiteral(" AND "))),
        std::move(imp.toMark), std::move(imp.toMarkByKey)});
}

bool isBusy(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

// One short write transaction of marks. False when the file is busy (try again later); a failure
// other than busy empties the job and says why.
bool writeMarkBatch(PendingMarks& p, QString* failure)
{
    sqlite3* h = p.db->handle();
    auto fail = [&](int rc) {
        *failure = Database::reason(rc); // read before the rollback clears it
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return true;
    };
    int rc = sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (isBusy(rc)) return false;
    if (rc != SQLITE_OK) return fail(rc);
    QString error;
    sqlite3_stmt* st = p.db->prepare(p.sql, &error);
    if (!st) return fail(sqlite3_errcode(h));
    QElapsedTimer batch;
    batch.start();
    size_t to = p.done;
    while (to < p.size()) {
        if (p.keys.empty()) sqlite3_bind_int64(st, 1, p.rowids[to]);
        else for (int i = 0; i < p.keys[to].size(); ++i) bindValue(st, i + 1, p.keys[to][i]);
        ++to;
        rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) return fail(rc);
        if (to % 256 == 0 && batch.elapsed() >= kMarkBatchMs) break;
    }
    rc = sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    if (isBusy(rc)) { // a reader keeps the file; this batch is tried again
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    if (rc != SQLITE_OK) return fail(rc);
    p.done = to;
    return true;
}

} // namespace

void Startup::queueMarks(std::shared_ptr<PendingMarks> marks)
{
    if (marks) m_marks.push_back(std::move(marks));
    if (!m_activating) writeMarks();
}

// The marks are written after ready, in short batches between the desk's events; a busy file is tried
// again every half second for a while, then left to the next start, which imports those cards again.
void Startup::writeMarks()
{
    if (m_marks.empty() || m_markTimer.isActive()) return;
    m_marksWaited.start();
    m_markTimer.start(0);
}

void Startup::writeMarkStep()
{
    if (m_marks.empty()) return;
    PendingMarks& p = *m_marks.front();
    sqlite3_busy_timeout(p.db->handle(), 0);
    QString failure;
    const bool wrote = writeMarkBatch(p, &failure);
    sqlite3_busy_timeout(p.db->handle(), 2000);
    if (!wrote && m_marksWaited.elapsed() >= kBusyWaitMs) failure = Database::reason(SQLITE_BUSY);
    if (!failure.isEmpty()) {
        qCWarning(lcStartup).noquote() << p.what << "import:" << p.done << "marked;" << p.size() - p.done
                                       << "marks not written back (the next start imports those again):" << failure;
        p.done = p.size();
    } else if (p.done == p.size()) {
        qCDebug(lcStartup, "%s import: %zu marked", p.what, p.size());
    }
    if (p.done == p.size()) {
        m_marks.erase(m_marks.begin());
        m_marksWaited.start();
    }
    if (!m_marks.empty()) m_markTimer.start(wrote ? 0 : 500);
}

void Startup::importStock()
{
    queueMarks(runImport(f, f->DataStok,
              {"stock", QStringLiteral("Select * From StokKartlar Where StokGizle=0 Order By StokAdi ASC"), 0,
               QStringLiteral("StokKartlar"), 0, {{0, 0}, {1, 1}, {2, 15}}, {{3, 16}, {4, 30}}, 13}));
}

void Startup::importCustomers()
{
    queueMarks(runImport(f, f->DataCari,
              {"customer", QStringLiteral("Select * From CariKartlar Where HesKullan=False And left(CariKod,1)<>'=' Order By CariKod ASC"), 0,
               QStringLiteral("CariKartlar"), 0, {{0, 0}, {1, 1}, {2, 15}, {16, 44}}, {{10, 28}, {11, 29}, {12, 30}}, 26}));
}

void Startup::importEmployees()
{
    queueMarks(runImport(f, f->DataEleman,
              {"employee", QStringLiteral("Select * From CariKartlar Where Gurup='Eleman' ORDER BY Unvan ASC"), 1,
               QStringLiteral("Eleman"), 0, {{0, 1}}, {}, -1}));
}
