#include "touchlist.h"

#include "userfocus.h"

#include "data/datasource.h"
#include "data/jet.h"
#include "data/recordmodels.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

TouchList::TouchList(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setMouseTracking(true);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar:vertical{width:36px;}"));
    setStyleSheet(QStringLiteral("QTableView{background:white;border:2px solid #3a3a3a;border-radius:6px;}"
                                 "QTableView::item{padding:6px 8px;border-bottom:1px solid #ddd;}"
                                 "QTableView::item:selected{background:#ffff00;color:black;}"));
    fitRowHeight();
}

// Every row is as high as a line of the font with the items' padding and border.
void TouchList::fitRowHeight()
{
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.features |= QStyleOptionViewItem::HasDisplay;
    opt.text = QStringLiteral("ÇĞİŞÜÖgjy");
    const int h = style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), this).height();
    verticalHeader()->setDefaultSectionSize(qMax(h, fontMetrics().height()));
}

void TouchList::changeEvent(QEvent* e)
{
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) fitRowHeight();
}

void TouchList::bind(DataSource* ds, const QString& field)
{
    m_model = new RecordListModel(ds, field, this);
    setModel(m_model);
}

DataSource* TouchList::dataSource() const { return m_model ? m_model->dataSource() : nullptr; }

QString TouchList::text() const
{
    const QModelIndex i = currentIndex();
    return m_model && i.isValid() ? m_model->text(i.row()) : QString();
}

void TouchList::setText(const QString& text)
{
    if (!m_model) return;
    DataSource* ds = m_model->dataSource();
    int row = -1;
    const int cur = ds->position();
    if (cur >= 0 && m_model->text(cur) == text) row = cur;
    else if (ds->isOpen()) row = ds->locate(m_model->field() + u'=' + Jet::quote(text));
    if (row >= 0 && m_model->text(row) != text) row = -1; // a case-insensitive match is not the same text
    if (row < 0) {
        clearSelection();
        setCurrentIndex({});
        return;
    }
    // Highlighting from code is not the user moving the highlight: no notification.
    const QModelIndex i = m_model->index(row, 0);
    m_settingText = true;
    setCurrentIndex(i);
    m_settingText = false;
    scrollTo(i, PositionAtTop);
}

void TouchList::reread()
{
    if (m_model && m_model->dataSource()) emit m_model->dataSource()->requeried();
}

void TouchList::focusInEvent(QFocusEvent* e)
{
    QTableView::focusInEvent(e);
    if (UserFocus::arriving(this, e)) emit gotFocus();
}

void TouchList::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    if (UserFocus::leaving(this, e)) emit lostFocus();
}

void TouchList::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit picked(text());
        return;
    }
    QTableView::keyPressEvent(e);
}

void TouchList::mouseMoveEvent(QMouseEvent* e)
{
    emit pointerMoved();
    if (!m_tap.move(e)) QTableView::mouseMoveEvent(e);
}

// The highlight moves when the finger lets go of the entry it touched, never under a dragging finger.
void TouchList::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return QTableView::mousePressEvent(e);
    m_tap.press(this, e);
    if (UserFocus::touched(this)) emit gotFocus();
}

void TouchList::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return QTableView::mouseDoubleClickEvent(e);
    m_tap.press(this, e);
}

void TouchList::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return QTableView::mouseReleaseEvent(e);
    const QModelIndex i = m_tap.release(this, e);
    if (!i.isValid() || !m_model) return;
    setCurrentIndex(i);
    emit picked(m_model->text(i.row()));
}

// Home and End go to the first and the last entry, as in any list.
QModelIndex TouchList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void TouchList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_settingText && current.isValid() && current != previous) emit highlightChanged(text());
}
