#include "recordmodels.h"

#include "datasource.h"

#include <QDate>
#include <QLocale>

template <typename ModelBase>
void FollowingModel<ModelBase>::follow(DataSource* ds)
{
    m_count = ds->recordCount();
    QObject::connect(ds, &DataSource::requeried, this, [this, ds] {
        this->beginResetModel();
        m_count = ds->recordCount();
        this->endResetModel();
    });
    QObject::connect(ds, &DataSource::rowInserted, this, [this, ds](int row) {
        this->beginInsertRows({}, row, row);
        m_count = ds->recordCount();
        this->endInsertRows();
    });
    QObject::connect(ds, &DataSource::rowRemoved, this, [this, ds](int row) {
        this->beginRemoveRows({}, row, row);
        m_count = ds->recordCount();
        this->endRemoveRows();
    });
}

template class FollowingModel<QAbstractListModel>;
template class FollowingModel<QAbstractTableModel>;

RecordListModel::RecordListModel(DataSource* ds, const QString& field, QObject* parent)
    : FollowingModel(parent), m_ds(ds), m_field(field)
{
    follow(ds);
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
    follow(ds);
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
