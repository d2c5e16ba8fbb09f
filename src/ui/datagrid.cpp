#include "datagrid.h"

#include "data/datasource.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScrollBar>

namespace {

constexpr double kTwipsPerPixel = 15.0;

// A column edge is grabbed by a finger, not a mouse pointer: the handle reaches this far on each side.
class WideGripStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override
    {
        return m == PM_HeaderGripMargin ? 12 : QProxyStyle::pixelMetric(m, o, w);
    }
};

QStyle* wideGripStyle()
{
    static QStyle* style = new WideGripStyle; // shared by every grid for the whole run
    return style;
}

// The row selectors are as wide as they are set: measuring every row's number for a size the grid
// never takes cost half a millisecond each time a row came or went.
class RowSelectors : public QHeaderView
{
public:
    explicit RowSelectors(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
    {
        // As a table view's own row header.
        setSectionsClickable(true);
        setHighlightSections(true);
    }
    QSize sizeHint() const override { return {maximumWidth(), defaultSectionSize()}; }
};

} // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(NoEditTriggers); // lines are written by the buttons, never in a grid
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setMouseTracking(true);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setVerticalHeader(new RowSelectors(this));
    verticalHeader()->setDefaultSectionSize(30);
    verticalHeader()->setFixedWidth(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setStyle(wideGripStyle());
    horizontalHeader()->viewport()->installEventFilter(this);
    viewport()->installEventFilter(this);
    setStyleSheet(QStringLiteral("QTableView{background:white;alternate-background-color:#f2f6fb;gridline-color:#c8c8c8;"
                                 "selection-background-color:#1f5fbf;selection-color:white;border:2px solid #3a3a3a;}"
                                 "QHeaderView::section{background:#e6e6e6;padding:4px;border:1px solid #b0b0b0;font-weight:bold;}"));
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (m_applying || !m_model || column >= columnCount() || size <= 0) return;
        m_model->column(column).widthTwips = size * kTwipsPerPixel;
        // Only a finger on the header resizes; the window scaling the columns is not the user's choice.
        if (m_headerPressed) m_resizing = column;
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::headerTouched);
}

int DataGrid::roomOf(const QTableView* grid)
{
    const QScrollBar* bar = grid->verticalScrollBar();
    // The maximum viewport already leaves out a bar that is always on.
    const bool shown = grid->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && bar->isVisibleTo(grid);
    return grid->maximumViewportSize().width() - (shown ? bar->sizeHint().width() : 0);
}

double DataGrid::captionTwips(int column) const
{
    // The header's own measure, with its bold font, padding and borders.
    return qMax(0, horizontalHeader()->sectionSizeHint(column)) * kTwipsPerPixel;
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Resize && m_model && m_stretch >= 0 && m_stretch < columnCount()
        && !isColumnHidden(m_stretch)) {
        const int bar = verticalScrollBar()->sizeHint().width();
        const int room = viewport()->width();
        int used = 0;
        for (int i = 0; i < columnCount(); ++i) used += isColumnHidden(i) ? 0 : columnWidth(i);
        // Columns that filled the room keep filling it when the scroll bar comes or goes.
        if (used == room + bar || used == room - bar)
            setColumnWidthTwips(m_stretch, (columnWidth(m_stretch) + room - used) * kTwipsPerPixel);
    }

    // Qt reports every step of a drag; the grid reports the resize once, when the finger lets go.
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) m_headerPressed = true;
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) m_headerPressed = false;
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease && m_resizing >= 0) {
        const int column = m_resizing;
        m_resizing = -1;
        QMetaObject::invokeMethod(this, [this, column] { emit columnResized(column); }, Qt::QueuedConnection);
    }
    return QTableView::eventFilter(watched, event);
}

void DataGrid::bind(DataSource* ds, const QList<GridColumn>& columns)
{
    m_model = new RecordTableModel(ds, columns, this);
    setModel(m_model);
    applyColumns();
    connect(ds, &DataSource::reposition, this, &DataGrid::followSource);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::followSource);
}

DataSource* DataGrid::dataSource() const { return m_model ? m_model->dataSource() : nullptr; }

void DataGrid::applyColumns()
{
    if (!m_model) return;
    m_applying = true;
    for (int i = 0; i < m_model->columns().size(); ++i) {
        const GridColumn& c = m_model->columns()[i];
        setColumnHidden(i, !c.visible);
        if (c.visible) setColumnWidth(i, qMax(1, qRound(c.widthTwips / kTwipsPerPixel)));
    }
    m_applying = false;
}

void DataGrid::setColumnWidthTwips(int i, double twips)
{
    if (!m_model || i < 0 || i >= columnCount()) return;
    m_model->column(i).widthTwips = twips;
    applyColumns();
}

void DataGrid::setColumnVisible(int i, bool visible)
{
    if (!m_model || i < 0 || i >= columnCount()) return;
    m_model->column(i).visible = visible;
    applyColumns();
}

void DataGrid::setColumnCaption(int i, const QString& caption)
{
    if (!m_model || i < 0 || i >= columnCount() || m_model->column(i).caption == caption) return;
    m_model->column(i).caption = caption;
    emit m_model->headerDataChanged(Qt::Horizontal, i, i);
}

QFont DataGrid::headerFont() const
{
    QFont f = horizontalHeader()->font();
    f.setBold(true); // the header's style draws its captions bold
    return f;
}

// The marker is the selection of the current row; without a marker nothing is selected. The style
// sheet stays as it is: setting one re-polishes the grid, its header and its scroll bars.
void DataGrid::setMarqueeStyle(int style)
{
    m_marquee = style;
    QItemSelectionModel* selection = selectionModel();
    if (!selection) return;
    if (style == MarqueeHighlightRow && currentIndex().isValid())
        selection->select(currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selection->clear();
}

QItemSelectionModel::SelectionFlags DataGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    return m_marquee == MarqueeHighlightRow ? QTableView::selectionCommand(index, event) : QItemSelectionModel::NoUpdate;
}

void DataGrid::followSource()
{
    DataSource* ds = dataSource();
    if (!ds || m_syncing) return;
    m_syncing = true;
    const int row = ds->position();
    if (row >= 0 && row < m_model->rowCount()) {
        const int col = qMax(0, currentIndex().column());
        setCurrentIndex(m_model->index(row, col));
    }
    m_syncing = false;
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // A row the view moved to while a re-read removed the current one is not the user's choice; the
    // data source's record is followed right after.
    if (m_syncing || !current.isValid() || (m_model && m_model->rereading())) return;
    m_syncing = true;
    if (DataSource* ds = dataSource()) ds->moveTo(current.row());
    m_syncing = false;
    if (current.row() != previous.row() || current.column() != previous.column()) emit rowColChanged(current.row());
}

void DataGrid::focusInEvent(QFocusEvent* e)
{
    QTableView::focusInEvent(e);
    emit gotFocus();
}

void DataGrid::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    emit lostFocus();
}

void DataGrid::mouseMoveEvent(QMouseEvent* e)
{
    emit pointerMoved();
    if (!m_tap.move(e)) QTableView::mouseMoveEvent(e);
}

void DataGrid::mousePressEvent(QMouseEvent* e)
{
    emit touched();
    if (e->button() != Qt::LeftButton) return QTableView::mousePressEvent(e);
    m_tap.press(this, e);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return QTableView::mouseDoubleClickEvent(e);
    mousePressEvent(e);
    const QModelIndex i = indexAt(e->position().toPoint());
    if (i.isValid() && i == currentIndex()) emit doubleClicked(i);
}

void DataGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return QTableView::mouseReleaseEvent(e);
    const QModelIndex i = m_tap.release(this, e);
    if (!i.isValid()) return;
    // The desk takes the row over at each tap, also on the row that is already current.
    if (i == currentIndex()) emit rowColChanged(i.row());
    else setCurrentIndex(i);
}

// Every attempt to change a row is cancelled: lines are written by the buttons only.
bool DataGrid::edit(const QModelIndex&, EditTrigger, QEvent*) { return false; }

void DataGrid::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QTableView::keyPressEvent(e);
        return;
    default:
        // Delete, Insert, F2, letters (which would search and move the row): nothing happens.
        e->accept();
    }
}
