#pragma once
// Qt models over a data source. Rows are read on demand, so a list over 100 000 cards stays instant.

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QPointer>

#include "datasource.h"

// Base that follows the data source's rows through its notifications.
template <typename ModelBase>
class FollowingModel : public ModelBase
{
protected:
    explicit FollowingModel(QObject* parent) : ModelBase(parent) {}
    void follow(DataSource* ds);
    int m_count = 0;
};

// One field of every record, for the drop-down lists.
class RecordListModel : public FollowingModel<QAbstractListModel>
{
    Q_OBJECT
public:
    RecordListModel(DataSource* ds, const QString& field, QObject* parent = nullptr);
    DataSource* dataSource() const { return m_ds; }
    QString field() const { return m_field; }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QString text(int row) const;

private:
    QPointer<DataSource> m_ds;
    QString m_field;
};

// A column of a grid: caption, bound field, named number format, alignment, width in twips.
struct GridColumn {
    QString caption;
    QString field;
    QString format;        // "", "General Number" or "Standard"
    QString defaultValue;  // shown for an empty value
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    double widthTwips = 1440; // layout files keep fractions of a twip
    bool visible = true;
};

class RecordTableModel : public FollowingModel<QAbstractTableModel>
{
    Q_OBJECT
public:
    RecordTableModel(DataSource* ds, QList<GridColumn> columns, QObject* parent = nullptr);
    DataSource* dataSource() const { return m_ds; }
    const QList<GridColumn>& columns() const { return m_columns; }
    GridColumn& column(int i) { return m_columns[i]; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The text a column shows for a row, formatted.
    QString text(int row, int column) const;

    static QString formatValue(const QVariant& v, const QString& format);

private:
    QPointer<DataSource> m_ds;
    QList<GridColumn> m_columns;
};
