#include "windowplace.h"

#include "salonya.h"
#include "settings.h"
#include "wheel.h"
#include "input/capsonoff.h"
#include "ui/fontscolours.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>

namespace {

constexpr int kTwips = 15;

QRect screenOf(const QWidget* w)
{
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, w->width(), w->height());
}

int storedTwips(const QString& key, int currentPixels)
{
    const double v = Settings::toNumber(Settings::get(key, QString::number(currentPixels * kTwips)), currentPixels * kTwips);
    return int(v) / kTwips;
}

// The row header and the border keep their size; only the room for the columns is shared out.
int columnRoom(const QTableView* g)
{
    return g->width() - 2 * g->frameWidth() - (g->verticalHeader()->isVisibleTo(g) ? g->verticalHeader()->width() : 0);
}

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
    const int top = storedTwips(QStringLiteral("SalonyaTop"), 0);
    const int left = storedTwips(QStringLiteral("SalonyaLeft"), 0);
    const int height = storedTwips(QStringLiteral("SalonyaHeight"), form.height());
    const int width = storedTwips(QStringLiteral("SalonyaWidth"), form.width());
    form.move(left, top);
    if (height > 0 && width > 0) form.resize(width, height);
    // A stored place off the left or top edge is mended even when the size did not change.
    if (WindowPlace* place = of(form)) place->Form_Resize();
}

void WindowPlace::moveToTopCentre(Salonya& form)
{
    form.move((screenOf(&form).width() - form.frameGeometry().width()) / 2, 0);
}

void WindowPlace::Form_Resize()
{
    // The design geometry is registered before the guard can narrow the form.
    if (m_layout.FindForm(f) < 0) m_layout.RegisterForm(f);
    const QRect screen = screenOf(f);
    const int frameWidth = f->frameGeometry().width();
    if (frameWidth > screen.width()) f->resize(screen.width() - (frameWidth - f->width()), f->height());
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
        GridColumns& ref = m_columns[grid];
        if (ref.lastSet != now) ref = {before, now, now};
        const int after = columnRoom(grid);
        if (ref.room <= 0 || after == before) continue;
        for (int col = 0; col < now.size(); ++col)
            if (!grid->isColumnHidden(col)) grid->setColumnWidth(col, qMax(1, int(qint64(ref.widths[col]) * after / ref.room)));
        ref.lastSet = columnWidths(grid);
    }
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
