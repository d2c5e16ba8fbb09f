#include "windowplace.h"

#include "salonya.h"
#include "settings.h"
#include "wheel.h"
#include "input/capsonoff.h"
#include "ui/fontscolours.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

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
    m_layout.ResizeForm(f);
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
