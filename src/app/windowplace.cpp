#include "windowplace.h"

#include "salonya.h"
#include "settings.h"
#include "wheel.h"
#include "input/capsonoff.h"
#include "ui/datagrid.h"
#include "ui/fontscolours.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <cmath>
#include <optional>

namespace {

constexpr int kTwips = 15;

const QScreen* screenOf(const QWidget* w) { return w->screen() ? w->screen() : QGuiApplication::primaryScreen(); }

// What the window may cover: the screen less its panels.
QRect availableOf(const QWidget* w)
{
    const QScreen* s = screenOf(w);
    return s ? s->availableGeometry() : QRect(0, 0, w->width(), w->height());
}

// A stored twips value in pixels; nothing when it cannot be read or lies outside least..most pixels.
std::optional<int> storedPixels(const char* key, int least, int most)
{
    const double v = Settings::toNumber(Settings::get(QString::fromLatin1(key)), qQNaN());
    if (!std::isfinite(v) || v < double(least) * kTwips || v >= (double(most) + 1) * kTwips) return std::nullopt;
    return int(v) / kTwips;
}

// The row header, the border and a scroll bar keep their size; only the room for the columns is shared out.
int columnRoom(const QTableView* g) { return DataGrid::roomOf(g); }

QList<int> columnWidths(const QTableView* g)
{
    QList<int> w;
    for (int col = 0; col < g->horizontalHeader()->count(); ++col) w << g->columnWidth(col);
    return w;
}

} // namespace

WindowPlace::WindowPlace(Salonya* form) : QObject(form), f(form)
{
    setObjectName(QStringLiteral("WindowPlace"));
    f->installEventFilter(this);
}

WindowPlace* WindowPlace::of(const Salonya& form) { return form.findChild<WindowPlace*>(QString(), Qt::FindDirectChildrenOnly); }

void WindowPlace::restoreGeometry(Salonya& form)
{
    const QRect screen = availableOf(&form);
    const QRect desktop = screenOf(&form) ? screenOf(&form)->virtualGeometry() : screen;
    const int top = storedPixels("SalonyaTop", desktop.top(), desktop.bottom()).value_or(0);
    const int left = storedPixels("SalonyaLeft", desktop.left(), desktop.right()).value_or(0);
    const int height = storedPixels("SalonyaHeight", 1, screen.height()).value_or(form.height());
    const int width = storedPixels("SalonyaWidth", 1, screen.width()).value_or(form.width());
    WindowPlace* place = of(form);
    form.resize(width, height);
    form.move(left, top);
    // A stored place off the left or top edge is mended even when the size did not change.
    if (!place) return;
    place->Form_Resize();
    const QPoint at = form.pos();
    place->placeTwice([&form, at] { form.move(at); });
}

void WindowPlace::moveToTopCentre(Salonya& form)
{
    const auto centre = [&form] {
        const int screenWidth = screenOf(&form) ? screenOf(&form)->geometry().width() : form.frameGeometry().width();
        form.move((screenWidth - form.frameGeometry().width()) / 2, 0);
    };
    if (WindowPlace* place = of(form)) place->placeTwice(centre);
    else centre();
}

void WindowPlace::placeTwice(const std::function<void()>& place)
{
    place();
    m_placeAgain = f->frameGeometry() == f->geometry() ? place : nullptr;
}

void WindowPlace::Form_Resize()
{
    // The design geometry is registered before the guard can narrow the form.
    if (m_layout.FindForm(f) < 0) m_layout.RegisterForm(f);
    // The window fits the screen, its frame included, in height as in width: nothing falls off the bottom.
    const QRect screen = availableOf(f);
    const QSize frame = f->frameGeometry().size();
    if (frame.width() > screen.width() || frame.height() > screen.height())
        f->resize(qMin(f->width(), screen.width() - (frame.width() - f->width())),
                  qMin(f->height(), screen.height() - (frame.height() - f->height())));
    if (f->x() < 0) f->move(0, f->y());
    if (f->y() < 0) f->move(f->x(), 0);
    // Grid columns share out their grid's room as they did before, so no column falls off the edge.
    // They scale from the widths last set by someone else (the design, a saved layout, the user's
    // drag), never from the previous resize, so dragging the window edge does not wear them down.
    QList<std::pair<QTableView*, int>> grids;
    for (QWidget* c : ResizeFrm::controlsOf(f))
        if (auto* g = qobject_cast<QTableView*>(c)) grids.append({g, columnRoom(g)});
    m_layout.ResizeForm(f);
    for (const auto& [grid, before] : grids) {
        const QList<int> now = columnWidths(grid);
        if (m_columns[grid].lastSet != now) m_columns[grid] = {before, now, now};
        if (columnRoom(grid) != before) scaleColumns(grid, m_columns[grid].room, m_columns[grid].widths);
    }
}

void WindowPlace::scaleColumns(QTableView* grid, int room, const QList<int>& widths)
{
    GridColumns& ref = m_columns[grid];
    ref.room = room;
    ref.widths = widths;
    const int after = columnRoom(grid);
    if (room > 0 && after != room)
        for (int col = 0; col < widths.size() && col < grid->horizontalHeader()->count(); ++col)
            if (!grid->isColumnHidden(col)) grid->setColumnWidth(col, qMax(1, int(qint64(widths[col]) * after / room)));
    ref.lastSet = columnWidths(grid);
}

void WindowPlace::layoutsLoaded()
{
    for (QWidget* c : ResizeFrm::controlsOf(f))
        if (auto* g = qobject_cast<QTableView*>(c))
            scaleColumns(g, storedPixels(qPrintable(g->objectName() + QStringLiteral("Genislik")), 1, QWIDGETSIZE_MAX).value_or(columnRoom(g)),
                         columnWidths(g));
}

void WindowPlace::Form_QueryUnload()
{
    Settings::save(QStringLiteral("SalonyaTop"), QString::number(f->y() * kTwips));
    Settings::save(QStringLiteral("SalonyaLeft"), QString::number(f->x() * kTwips));
    Settings::save(QStringLiteral("SalonyaHeight"), QString::number(f->height() * kTwips));
    Settings::save(QStringLiteral("SalonyaWidth"), QString::number(f->width() * kTwips));
}

void WindowPlace::Form_Unload()
{
    CapsOnOff::SetCapsLock(false);
    Wheel::UnhookWheel(*f);
}

void WindowPlace::backgroundPressed(const QMouseEvent* e)
{
    // Presses a control passed on are not the background's.
    if (f->childAt(e->position().toPoint())) return;
    if (e->modifiers() == Qt::ControlModifier) moveToTopCentre(*f);
    else if (e->button() == Qt::RightButton) FontsColours::formMenu(*f, e->globalPosition().toPoint());
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != f) return false;
    if (m_placeAgain && f->frameGeometry() != f->geometry()) std::exchange(m_placeAgain, nullptr)();
    switch (event->type()) {
    case QEvent::Resize: Form_Resize(); break;
    case QEvent::Close:
        Form_QueryUnload();
        Form_Unload();
        break;
    case QEvent::MouseButtonPress: backgroundPressed(static_cast<QMouseEvent*>(event)); break;
    default: break;
    }
    return false;
}
