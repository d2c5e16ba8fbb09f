#include "resizefrm.h"

#include <QFrame>
#include <QGroupBox>
#include <QScopeGuard>
#include <QWidget>

namespace {

constexpr int kTwips = 15;

// Frames and plain panels hold controls of the form; every other widget owns its inner parts.
bool isContainer(const QWidget* w)
{
    const QMetaObject* m = w->metaObject();
    return qobject_cast<const QGroupBox*>(w) || m == &QFrame::staticMetaObject || m == &QWidget::staticMetaObject;
}

void collect(const QWidget* parent, QList<QWidget*>& out)
{
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        out.append(w);
        if (isContainer(w)) collect(w, out);
    }
}

// Control arrays carry their element number in the "Index" property.
bool arrayIndex(const QWidget* w, int* index)
{
    const QVariant v = w->property("Index");
    *index = v.isValid() ? v.toInt() : 0;
    return v.isValid();
}

} // namespace

QList<QWidget*> ResizeFrm::controlsOf(const QWidget* form)
{
    QList<QWidget*> out;
    collect(form, out);
    return out;
}

QString ResizeFrm::keyOf(const QString& formName, const QString& name, int index)
{
    return formName + u'\x1f' + name + (index < 0 ? QString() : u'\x1f' + QString::number(index));
}

int ResizeFrm::FindForm(const QWidget* form) const
{
    for (int i = 0; i < m_forms.size(); ++i)
        if (m_forms[i].Name == form->objectName()) return i;
    return -1;
}

int ResizeFrm::FindControl(const QWidget* control, const QString& formName) const
{
    int index = 0;
    const bool element = arrayIndex(control, &index);
    return m_controlIndex.value(keyOf(formName, control->objectName(), element ? index : -1), -1);
}

int ResizeFrm::RegisterForm(QWidget* form)
{
    BoyutKaydi r;
    r.Name = form->objectName();
    r.Top = form->y() * kTwips;
    r.Left = form->x() * kTwips;
    r.Height = form->height() * kTwips;
    r.Width = form->width() * kTwips;
    r.ScaleHeight = form->height() * kTwips;
    r.ScaleWidth = form->width() * kTwips;
    m_forms.append(r);
    for (QWidget* c : controlsOf(form))
        if (FindControl(c, r.Name) < 0) RegisterControl(c, r.Name);
    return int(m_forms.size()) - 1;
}

int ResizeFrm::RegisterControl(QWidget* control, const QString& formName)
{
    BoyutKaydi r;
    r.Name = control->objectName();
    const bool element = arrayIndex(control, &r.Index);
    r.FormName = formName;
    const QRect g = control->geometry();
    r.Top = g.top() * kTwips;
    r.Left = UnparkLeft(g.left() * kTwips);
    r.Height = g.height() * kTwips;
    r.Width = g.width() * kTwips;
    const int at = int(m_controls.size());
    m_controls.append(r);
    // A plain control is found by its name alone, an array element by name and index; the first record wins.
    m_controlIndex.insert(keyOf(formName, r.Name, -1), m_controlIndex.value(keyOf(formName, r.Name, -1), at));
    if (element) m_controlIndex.insert(keyOf(formName, r.Name, r.Index), m_controlIndex.value(keyOf(formName, r.Name, r.Index), at));
    // Qt's lists take any height, so the scaled height is applied exactly without an IntegralHeight switch.
    return at;
}

int ResizeFrm::WidthPercent(QWidget* form)
{
    int i = FindForm(form);
    if (i < 0) i = RegisterForm(form);
    const qint64 inner = qint64(form->width()) * kTwips * 100;
    return m_forms[i].ScaleWidth > 0 ? int(inner / m_forms[i].ScaleWidth) : 100;
}

int ResizeFrm::HeightPercent(QWidget* form)
{
    int i = FindForm(form);
    if (i < 0) i = RegisterForm(form);
    const qint64 inner = qint64(form->height()) * kTwips * 100;
    return m_forms[i].ScaleHeight > 0 ? int(inner / m_forms[i].ScaleHeight) : 100;
}

int ResizeFrm::scaledWidth(const QWidget* control, const QWidget* form, int formWidth) const
{
    const int i = FindForm(form);
    const int c = FindControl(control, form->objectName());
    if (i < 0 || c < 0 || m_forms[i].ScaleWidth <= 0) return -1;
    const qint64 percent = qint64(formWidth) * kTwips * 100 / m_forms[i].ScaleWidth;
    return int(m_controls[c].Width * percent / 100) / kTwips;
}

void ResizeFrm::ResizeControl(QWidget* control, QWidget* form)
{
    const int h = HeightPercent(form);
    const int w = WidthPercent(form);
    const int i = FindControl(control, form->objectName());
    if (i < 0) return; // made after the first layout: left where it is
    const BoyutKaydi& r = m_controls[i];
    // Truncation towards zero at every step, from the registration, never from the last layout.
    const int left = int(qint64(r.Left) * w / 100) - (control->x() < 0 ? ParkOffset : 0);
    const int top = int(qint64(r.Top) * h / 100);
    const int width = int(qint64(r.Width) * w / 100);
    const int height = int(qint64(r.Height) * h / 100);
    // Qt clamps a size the control refuses to its limits and still applies the position.
    control->setGeometry(left / kTwips, top / kTwips, width / kTwips, height / kTwips);
}

void ResizeFrm::ResizeForm(QWidget* form)
{
    if (BoyutMesgul) return;
    BoyutMesgul = true;
    const auto idle = qScopeGuard([this] { BoyutMesgul = false; });
    if (form->y() * kTwips >= ParkedFormTop) return;
    for (QWidget* c : controlsOf(form)) ResizeControl(c, form);
}
