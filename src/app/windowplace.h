#pragma once
// Where the main screen sits and how its controls follow its size: the resize guard and the
// proportional layout, the geometry stored at every close and restored at start-up, Caps Lock and
// the wheel released on close, and Ctrl + touch on the background bringing the window to the top centre.

#include "resizefrm.h"

#include <QHash>
#include <QObject>

class QTableView;
class Salonya;

class WindowPlace : public QObject
{
    Q_OBJECT
public:
    explicit WindowPlace(Salonya* form);
    static WindowPlace* of(const Salonya& form);

    ResizeFrm& layout() { return m_layout; }

    // Start-up with a stored data folder: the stored place and size (twips), current values by default.
    static void restoreGeometry(Salonya& form);
    // Horizontally centred, top edge at the top of the screen, size kept.
    static void moveToTopCentre(Salonya& form);

    void Form_Resize();
    void Form_QueryUnload();
    void Form_Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void backgroundPressed(const QMouseEvent* e);
    Salonya* f;
    ResizeFrm m_layout;
    struct GridColumns {
        int room = 0;          // room for the columns when the widths were taken
        QList<int> widths;     // the widths then
        QList<int> lastSet;    // what the last resize set; anything else is a new reference
    };
    QHash<QTableView*, GridColumns> m_columns;
};
