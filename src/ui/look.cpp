#include "look.h"

#include <QAbstractItemView>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Look {

QColor fromBgr(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }
quint32 toBgr(const QColor& c) { return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16); }

namespace {

QString textColorFor(const QColor& back) { return back.lightness() < 110 ? QStringLiteral("white") : QStringLiteral("black"); }

QString styleFor(QWidget* w, const QColor& c)
{
    const QString bg = c.name();
    const QString fg = textColorFor(c);
    if (qobject_cast<QPushButton*>(w))
        return QStringLiteral("QPushButton{background:%1;color:%2;border:2px solid rgba(0,0,0,150);border-radius:12px;padding:2px;}"
                              "QPushButton:pressed{background:%3;border-width:3px;}"
                              "QPushButton:disabled{color:rgba(0,0,0,90);border-color:rgba(0,0,0,60);}")
            .arg(bg, fg, c.darker(125).name());
    if (qobject_cast<QLineEdit*>(w))
        return QStringLiteral("QLineEdit{background:%1;color:%2;border:2px solid #3a3a3a;border-radius:8px;padding:0 8px;}").arg(bg, fg);
    if (qobject_cast<QLabel*>(w))
        return QStringLiteral("QLabel{background:%1;color:%2;border:1px solid rgba(0,0,0,170);border-radius:9px;}").arg(bg, fg);
    if (qobject_cast<QGroupBox*>(w))
        return QStringLiteral("QGroupBox{background:%1;border:1px solid rgba(0,0,0,120);border-radius:10px;margin-top:0px;}"
                              "QGroupBox::title{color:%2;subcontrol-origin:padding;left:12px;top:2px;}")
            .arg(bg, fg);
    return {};
}

} // namespace

void setBackColor(QWidget* w, quint32 bgr)
{
    if (!w) return;
    w->setProperty("BackColor", bgr);
    const QColor c = fromBgr(bgr);
    const QString style = styleFor(w, c);
    if (!style.isEmpty()) {
        // Setting a style sheet re-polishes the widget even when nothing changed.
        if (w->styleSheet() != style) w->setStyleSheet(style);
        return;
    }
    // Plain frames and the form: a palette fill does not cascade into the children.
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::WindowText, QColor(textColorFor(c)));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

quint32 backColor(const QWidget* w)
{
    const QVariant v = w ? w->property("BackColor") : QVariant();
    return v.isValid() ? v.toUInt() : White;
}

QFont designFont(const QString& family, double points, bool bold)
{
    QFont f(family);
    f.setPixelSize(qMax(1, qRound(points * 20.0 / 15.0)));
    f.setBold(bold);
    return f;
}

} // namespace Look
