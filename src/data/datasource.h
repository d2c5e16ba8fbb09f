#pragma once
// A bound recordset in the manner of a dynaset: one database file, a record source (a table
// or "Select * From ..."), a keyset of the rows it selected, a current record, field access by
// position and by name, edits written back by rowid, and the notifications the form handlers use.
// Large keysets are kept for re-running the same record source while the file has not changed; a
// search by Like on a kept list's sort column is answered from that list, and this desk's own writes
// are taken into it row by row.

#include "database.h"
#include "jet.h"

#include <QCache>
#include <QObject>
#include <QVariantList>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DataSource : public QObject
{
    Q_OBJECT
public:
    // Action codes of the before-update notification.
    enum Action {
        ActionCancel = 0, ActionMoveFirst = 1, ActionMovePrevious = 2, ActionMoveNext = 3,
        ActionMoveLast = 4, ActionAddNew = 5, ActionUpdate = 6, ActionDelete = 7,
        ActionFind = 8, ActionClose = 10
    };
    enum class EditMode { None, Editing, Adding };

    explicit DataSource(const QString& name, QObject* parent = nullptr);
    ~DataSource() override;

    // A local file path; Windows-form paths are mapped by the caller.
    void setDatabaseName(const QString& path);
    QString databaseName() const { return m_path; }
    void setRecordSource(const QString& jet);
    QString recordSource() const { return m_recordSource; }
    QString table() const { return m_table; }
    Database* database() const { return m_db.get(); }

    // Re-runs the record source; the first record becomes current.
    bool refresh();
    // Reads the keys of another record source of the same file ahead, for a later refresh to it; what
    // the data source shows now stays as it is.
    bool keepAhead(const QString& source);
    void close();
    bool isOpen() const { return m_open; }

    int recordCount() const { return int(m_keys.size()); }
    bool bof() const;
    bool eof() const;
    int position() const; // current row, -1 when there is none
    bool moveFirst();
    bool moveNext();
    bool movePrevious();
    bool moveLast();
    bool moveTo(int row);

    bool findFirst(const QString& criterion);
    // True after a find that ran and found nothing; false after a find that failed (see lastError).
    bool noMatch() const { return m_noMatch; }
    // First row matching the criterion without moving; -1 when none (or on error).
    int locate(const QString& criterion);

    bool addNew();
    bool edit();
    bool update();
    void cancelUpdate();
    bool deleteRecord();
    EditMode editMode() const { return m_mode; }

    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int pos) const;
    int fieldIndex(const QString& name) const;
    QVariant field(int pos) const;
    QVariant field(const QString& name) const { return field(fieldIndex(name)); }
    bool setField(int pos, const QVariant& value);
    bool setField(const QString& name, const QVariant& value) { return setField(fieldIndex(name), value); }

    // Value of a field of any row, for the views; reads rows on demand.
    QVariant value(int row, int pos) const;
    // The row's key in its table; a row written later has a larger key. -1 when there is no such row.
    qint64 rowId(int row) const { return row >= 0 && row < recordCount() ? m_keys[size_t(row)] : -1; }

    QString lastError() const { return m_error; }

    // While bulk is on, row-level view notifications are held back and one reset follows.
    void setBulk(bool on);

signals:
    void beforeUpdate(int action);
    void reposition();
    void requeried();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    // A statement failed; the text says why.
    void failed(const QString& message);

private:
    bool ensureOpen();
    bool fail(const QString& message);
    bool setCurrent(int row, Action action);
    const QVariantList* row(int rowIndex) const;
    QVariant fromStorage(int pos, const QVariant& v) const;
    QVariant toStorage(int pos, const QVariant& v) const;
    std::vector<qint64> matching(const QString& criterion);

    // A keyset and the state of the file it was read from: the commits of other connections, the
    // tables' definitions and the rows this connection changed.
    struct Stamp {
        qint64 dataVersion = -1;
        qint64 schema = -1;
        qint64 changes = -1;
        bool operator==(const Stamp&) const = default;
    };
    // The texts of the one sort column, row by row, so that a Like on that column is answered from
    // the kept list; rows from..to hold texts (Like never matches the others).
    struct SortTexts {
        QString column;
        bool descending = false;
        QString where; // the record source's condition, in Jet
        std::string bytes;
        std::vector<uint32_t> ends;
        size_t from = 0, to = 0;
        std::string_view at(size_t row) const
        {
            const uint32_t b = row ? ends[row - 1] : 0;
            return {bytes.data() + b, ends[row] - b};
        }
    };
    struct KeptKeys {
        QString query;
        QString table;
        Stamp stamp;
        qint64 logged = 0; // this connection's row changes seen when it was stamped
        std::vector<qint64> keys;
        std::shared_ptr<SortTexts> texts;
    };
    // The rows this connection wrote, table by table, in order; shared by the data sources on it.
    struct ChangeLog;
    static std::shared_ptr<ChangeLog> changeLogFor(const std::shared_ptr<Database>& db);
    // The kept set of a query, made the most recently used; null when there is none.
    KeptKeys* kept(const QString& query);
    // A search by Like on the sort column, answered from the kept whole list it narrows; false when that
    // list is not kept.
    bool narrowKept(const QString& table, const QString& rest, const QString& column, const QString& pattern,
                    bool descending, std::vector<qint64>* keys);
    bool readSorted(const QString& sql, const QVariantList& params, KeptKeys* into, QString* error);
    // exact: asks a server for what was committed up to now, which only a kept set needs.
    bool stamp(Stamp* out, bool exact);
    void keepKeys(KeptKeys kept);
    // Brings the kept sets to the file's state: those of tables this connection did not write stay,
    // a sorted list takes the rows that were written, the rest go.
    void catchUp(const Stamp& now);
    bool replay(KeptKeys& kept, const std::vector<qint64>& rows);
    // The rows of the table this connection wrote since a stamp (its log then at logged); none when
    // another connection or a new table definition may have changed anything.
    std::optional<std::vector<qint64>> writtenSince(const Stamp& then, qint64 logged, const Stamp& now, const QString& table) const;
    // The rows read before a re-query are kept while only this connection wrote since; those it wrote go.
    void keepRows(const QString& table, const std::optional<Stamp>& now);
    // A record source's keys, from the kept sets while the file is unchanged; taken: the file's stamp
    // before the read, when one could be taken.
    bool readKeys(const QString& source, const Jet::RecordSource& rs, std::vector<qint64>* keys, QString* error,
                  std::optional<Stamp>* taken = nullptr);

    QString m_path;
    QString m_recordSource;
    QString m_table;
    std::shared_ptr<Database> m_db;
    QList<Database::Column> m_columns;
    QHash<QString, int> m_fieldByName;
    std::vector<qint64> m_keys;
    std::list<KeptKeys> m_kept; // most recently used first
    std::shared_ptr<ChangeLog> m_log;
    int m_cur = -1;                // -1 before the first record, count after the last
    bool m_deleted = false;        // the current record was deleted through this source
    bool m_noMatch = false;
    bool m_findFailed = false;
    bool m_open = false;
    bool m_bulk = false;
    EditMode m_mode = EditMode::None;
    QVariantList m_buffer;
    std::vector<bool> m_dirty;
    mutable QCache<qint64, QVariantList> m_rows{4000};
    std::optional<Stamp> m_rowsStamp; // of the file when m_rows began to be read
    qint64 m_rowsLogged = 0;
    QString m_rowsTable;
    QString m_error;
};
