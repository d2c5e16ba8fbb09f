#pragma once
// A read-only data-bound grid: designed columns over a data source, its current row and the data
// source's current record following each other, the row marker (3 whole row, 5 none).
// Nothing is ever edited, inserted or deleted through it; typing does not move it either.
// Column widths are kept in twips; a finished drag of a column edge and a touched header are reported.
// A tap moves the current row, and a tap on the current row is reported as a row change too; a drag
// only scrolls.

#include "data/recordmodels.h"
#include "touchgestures.h"

#include <QTableView>

class DataSource;

class DataGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    void bind(DataSource* ds, const QList<GridColumn>& columns);
    DataSource* dataSource() const;
    RecordTableModel* tableModel() const { return m_model; }

    enum Marquee { MarqueeHighlightRow = 3, MarqueeNone = 5 };
    void setMarqueeStyle(int style);
    int marqueeStyle() const { return m_marquee; }
    // Applies the columns' widths (twips) and visibility to the view.
    void applyColumns();

    int columnCount() const { return m_model ? int(m_model->columns().size()) : 0; }
    const GridColumn& column(int i) const { return m_model->columns()[i]; }
    void setColumnWidthTwips(int i, double twips);
    void setColumnVisible(int i, bool visible);
    void setColumnCaption(int i, const QString& caption);
    // The width inside the grid's frame, which the columns share with the row selectors.
    double widthTwips() const { return (width() - 2 * frameWidth()) * 15.0; }
    // The pixels the columns really show in: inside the frame, less the row selectors and a shown scroll bar.
    static int roomOf(const QTableView* grid);
    // The column that takes what a vertical scroll bar coming or going gives or takes, when the
    // columns filled the room; -1 for none.
    void setStretchColumn(int column) { m_stretch = column; }
    // The least width in twips at which the header shows the column's caption whole.
    double captionTwips(int column) const;
    // The font the header draws its captions in.
    QFont headerFont() const;

signals:
    void gotFocus();
    void lostFocus();
    void rowColChanged(int row);
    void pointerMoved();
    void touched();
    // The user let go of a column edge after dragging it.
    void columnResized(int column);
    // The user touched a column header (not an edge).
    void headerTouched(int column);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followSource();
    RecordTableModel* m_model = nullptr;
    int m_marquee = MarqueeNone;
    bool m_syncing = false;
    bool m_applying = false;  // the view is being set from the columns, not by the user
    int m_resizing = -1;      // column whose edge the user is dragging
    TapTracker m_tap;
    bool m_headerPressed = false;
    int m_stretch = -1;
};
