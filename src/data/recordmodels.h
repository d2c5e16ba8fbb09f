#pragma once
// Qt models over a data source. Rows are read on demand, so a list over 100 000 cards stays instant.

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

#include "datasource.h"

// Base that follows the data source's rows through its notifications. With keepRows, a re-read that
// kept the rows, or added or dropped one of them, is told to the views as just that, so they keep their
// layout, scroll position and current row; anything else resets the model.
template <typename ModelBase>
class FollowingModel : public ModelBase
{
public:
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    // True while a re-read is told to the views: a current row they move meanwhile is not the user's choice.
    bool rereading() const { return m_rereading; }

protected:
    explicit FollowingModel(QObject* parent) : ModelBase(parent) {}
    void follow(DataSource* ds, bool keepRows);
    int m_count = 0;

private:
    void reread(DataSource* ds);
    bool m_keepRows = false;
    bool m_rereading = false;
    std::vector<qint64> m_keys; // the rows shown, by key, while keepRows
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
