#pragma once
// Where the main screen sits and how its controls follow its size: the resize guard and the
// proportional layout, the geometry stored at every close and restored at start-up, Caps Lock and
// the wheel released on close, and Ctrl + touch on the background bringing the window to the top centre.

#include "resizefrm.h"

#include <QHash>
#include <QObject>
#include <functional>

class QTableView;
class Salonya;

class WindowPlace : public QObject
{
    Q_OBJECT
public:
    explicit WindowPlace(Salonya* form);
    static WindowPlace* of(const Salonya& form);

    ResizeFrm& layout() { return m_layout; }

    // Start-up with a stored data folder: the stored place and size (twips); a value that cannot be
    // read or that the screen cannot show takes the current one (place: 0).
    static void restoreGeometry(Salonya& form);
    // Horizontally centred, top edge at the top of the screen, size kept.
    static void moveToTopCentre(Salonya& form);
    // The saved column layouts were just read; one saved when its grid had other room ("<grid>Genislik",
    // twips) is scaled once to the room the grid has now.
    void layoutsLoaded();

    void Form_Resize();
    void Form_QueryUnload();
    void Form_Unload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void backgroundPressed(const QMouseEvent* e);
    // Places the window now and once more when a window manager has put its frame round it:
    // the frame is not known before, so the first move misses by the frame's size.
    void placeTwice(const std::function<void()>& place);
    void scaleColumns(QTableView* grid, int room, const QList<int>& widths);
    Salonya* f;
    std::function<void()> m_placeAgain;
    ResizeFrm m_layout;
    struct GridColumns {
        int room = 0;          // room for the columns when the widths were taken
        QList<int> widths;     // the widths then
        QList<int> lastSet;    // what the last resize set; anything else is a new reference
    };
    QHash<QTableView*, GridColumns> m_columns;
};
