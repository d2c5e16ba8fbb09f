#pragma once
// A data-bound drop-down list for touch: a tap picks an entry, a drag only scrolls; arrow keys and
// the wheel move the highlight. Its text is the highlighted entry's text. It never moves its data source by itself.
// A one-column table underneath: rows of one fixed height are placed by arithmetic, where a list view
// lays out every row again after each change of its rows (100 000 stock cards at each scan).
// Focus moves that the user did not make (the window re-activated, a pop-up closed) are not reported
// (see UserFocus).

#include "touchgestures.h"

#include <QTableView>

class DataSource;
class RecordListModel;

class TouchList : public QTableView
{
    Q_OBJECT
public:
    explicit TouchList(QWidget* parent = nullptr);
    void bind(DataSource* ds, const QString& field);
    DataSource* dataSource() const;
    RecordListModel* listModel() const { return m_model; }

    QString text() const;
    // Highlights the first entry showing this text; clears the highlight when there is none.
    void setText(const QString& text);
    // Re-reads the rows from the data source.
    void reread();

signals:
    void gotFocus();
    void lostFocus();
    void highlightChanged(const QString& text);
    void picked(const QString& text);
    void pointerMoved();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent* e) override;

private:
    void fitRowHeight();
    RecordListModel* m_model = nullptr;
    bool m_settingText = false;
    TapTracker m_tap;
};
