#include "recordmodels.h"

#include "datasource.h"

#include <QDate>
#include <QLocale>
#include <QScopedValueRollback>
#include <algorithm>

template <typename ModelBase>
QModelIndex FollowingModel<ModelBase>::index(int row, int column, const QModelIndex& parent) const
{
    // Views ask for an index of every row when they lay a list out: no virtual row count each time.
    const int columns = static_cast<const QAbstractItemModel*>(this)->columnCount({});
    return !parent.isValid() && row >= 0 && row < m_count && column >= 0 && column < columns ? this->createIndex(row, column)
                                                                                               : QModelIndex();
}

template <typename ModelBase>
void FollowingModel<ModelBase>::follow(DataSource* ds, bool keepRows)
{
    m_keepRows = keepRows;
    m_count = ds->recordCount();
    for (int i = 0; keepRows && i < m_count; ++i) m_keys.push_back(ds->rowId(i));
    QObject::connect(ds, &DataSource::requeried, this, [this, ds] { reread(ds); });
    QObject::connect(ds, &DataSource::rowInserted, this, [this, ds](int row) {
        this->beginInsertRows({}, row, row);
        m_count = ds->recordCount();
        if (m_keepRows) m_keys.insert(m_keys.begin() + row, ds->rowId(row));
        this->endInsertRows();
    });
    QObject::connect(ds, &DataSource::rowRemoved, this, [this, ds](int row) {
        this->beginRemoveRows({}, row, row);
        m_count = ds->recordCount();
        if (m_keepRows) m_keys.erase(m_keys.begin() + row);
        this->endRemoveRows();
    });
}

template <typename ModelBase>
void FollowingModel<ModelBase>::reread(DataSource* ds)
{
    const QScopedValueRollback<bool> busy(m_rereading, true);
    const int n = ds->recordCount();
    std::vector<qint64> now;
    if (m_keepRows) {
        now.reserve(size_t(n));
        for (int i = 0; i < n; ++i) now.push_back(ds->rowId(i));
    }
    const size_t at = size_t(std::mismatch(m_keys.begin(), m_keys.end(), now.begin(), now.end()).first - m_keys.begin());
    const int row = int(at);
    if (m_keepRows && now.size() == m_keys.size() + 1 && std::equal(m_keys.begin() + row, m_keys.end(), now.begin() + row + 1)) {
        this->beginInsertRows({}, row, row);
        m_keys.swap(now);
        m_count = n;
        this->endInsertRows();
    } else if (m_keepRows && now.size() + 1 == m_keys.size() && std::equal(now.begin() + row, now.end(), m_keys.begin() + row + 1)) {
        this->beginRemoveRows({}, row, row);
        m_keys.swap(now);
        m_count = n;
        this->endRemoveRows();
    } else if (!m_keepRows || now != m_keys) {
        this->beginResetModel();
        m_keys.swap(now);
        m_count = n;
        this->endResetModel();
        return;
    }
    // The kept rows were read again: any of them may show other values now.
    const int columns = static_cast<const QAbstractItemModel*>(this)->columnCount({});
    if (m_count > 0 && columns > 0) emit this->dataChanged(index(0, 0), index(m_count - 1, columns - 1));
}

template class FollowingModel<QAbstractListModel>;
template class FollowingModel<QAbstractTableModel>;

RecordListModel::RecordListModel(DataSource* ds, const QString& field, QObject* parent)
    : FollowingModel(parent), m_ds(ds), m_field(field)
{
    // A list is laid out again whatever changed, and a re-read list has no highlight.
    follow(ds, false);
    connect(ds, &DataSource::rowChanged, this, [this](int row) { emit dataChanged(index(row), index(row)); });
}

int RecordListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_count; }

QString RecordListModel::text(int row) const
{
    if (!m_ds || row < 0 || row >= m_count) return {};
    return m_ds->value(row, m_ds->fieldIndex(m_field)).toString();
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) return text(index.row());
    return {};
}

RecordTableModel::RecordTableModel(DataSource* ds, QList<GridColumn> columns, QObject* parent)
    : FollowingModel(parent), m_ds(ds), m_columns(std::move(columns))
{
    follow(ds, true);
    connect(ds, &DataSource::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

int RecordTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_count; }
int RecordTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QString RecordTableModel::formatValue(const QVariant& v, const QString& format)
{
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    if (v.typeId() == QMetaType::QDate) return tr.toString(v.toDate(), QStringLiteral("dd.MM.yyyy"));
    if (format.isEmpty() || v.isNull()) return v.toString();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return v.toString();
    if (format == u"Standard") return tr.toString(d, 'f', 2); // thousands grouped, two decimals
    if (format == u"General Number") {
        QString s = tr.toString(d, 'f', 4);
        s.remove(tr.groupSeparator());
        if (s.contains(tr.decimalPoint())) {
            while (s.endsWith(u'0')) s.chop(1);
            if (s.endsWith(tr.decimalPoint())) s.chop(1);
        }
        return s;
    }
    return v.toString();
}

QString RecordTableModel::text(int row, int column) const
{
    if (!m_ds || row < 0 || row >= m_count || column < 0 || column >= m_columns.size()) return {};
    const GridColumn& c = m_columns[column];
    const QVariant v = m_ds->value(row, m_ds->fieldIndex(c.field));
    if ((v.isNull() || v.toString().isEmpty()) && !c.defaultValue.isEmpty())
        return formatValue(c.defaultValue, c.format);
    return formatValue(v, c.format);
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole) return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() < m_columns.size())
        return QVariant::fromValue(m_columns[index.column()].alignment);
    return {};
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size()) return m_columns[section].caption;
    return {};
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags; // never editable
}
