#include "keyboard.h"

#include "capsonoff.h"
#include "keyboardsearch.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPointer>

namespace {
constexpr int kBackspace = 33; // "Geri Al"
constexpr int kSpace = 34;     // " Boşluk"
constexpr int kClear = 46;     // "Sil"
constexpr int kCapitals = 47;  // "ab" / "AB"
constexpr int kEnter = 48;     // "ENTER"

bool isDigitOrStar(int index) { return index >= 35 && index <= 45; }

void setCaretToEnd(TextBox* t) { t->setCursorPosition(int(t->text().size())); }
} // namespace

Keyboard::Keyboard(Salonya* form) : QObject(form), f(*form)
{
    setObjectName(QStringLiteral("Keyboard"));
    for (TouchKey* k : std::as_const(f.Label1)) {
        if (!k) continue;
        connect(k, &TouchKey::touched, this, &Keyboard::keyTouched);
        connect(k, &TouchKey::hovered, this, &Keyboard::keyHovered);
    }
    m_search = new KeyboardSearch(form, this);

    // Leaving the keyboard over these controls puts the highlight out.
    for (TouchList* l : {f.DBListe1, f.DBListe2, f.DBListe3})
        connect(l, &TouchList::pointerMoved, this, [this] { clearHover(f); });
    for (DataGrid* g : {f.CariList, f.DBGridIslem})
        connect(g, &DataGrid::pointerMoved, this, [this] { clearHover(f); });
    for (QWidget* w : {static_cast<QWidget*>(&f), static_cast<QWidget*>(f.UrunlerFrm), static_cast<QWidget*>(f.BoyaFrm)}) {
        w->setMouseTracking(true); // the pointer moving without a button pressed counts too
        w->installEventFilter(this);
    }
}

bool Keyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) clearHover(f);
    return QObject::eventFilter(watched, event);
}

void Keyboard::keyTouched(int index)
{
    FormState& s = f.state;
    TextBox* buffer = f.KlvTxt;
    TextBox* target = s.AktifText;
    const TouchKey* key = f.key(index);
    if (!key) return;

    // The buffer never holds more than the target field may: the search must not look for text the
    // field cannot show.
    auto append = [&](const QString& add) {
        QString text = buffer->text() + add;
        const int max = target ? target->designMaxLength() : 0;
        if (max > 0 && text.size() > max) text.truncate(max);
        buffer->setText(text);
        setCaretToEnd(buffer);
    };

    if (s.AktifAlan != u"Miktar") {
        switch (index) {
        case kBackspace:
            if (!buffer->text().isEmpty()) {
                buffer->setText(buffer->text().chopped(1));
                setCaretToEnd(buffer);
            }
            break;
        case kSpace:
            append(QStringLiteral(" "));
            break;
        case kClear:
            buffer->clear();
            if (target) target->clear();
            break;
        case kCapitals:
            switchCapitals();
            break;
        case kEnter:
            if (target) {
                target->setFocus(Qt::OtherFocusReason);
                sendEnter();
            }
            break;
        default:
            // A white target means no field owns the keyboard.
            if (target && Look::backColor(target) != Look::White) append(key->text());
            break;
        }
    } else {
        if (index == kClear) {
            buffer->clear();
            if (target) target->setText(QStringLiteral("0"));
        } else if (isDigitOrStar(index)) {
            append(key->text());
        } else {
            Feedback::beep();
        }
    }
    // The field is full (with no limit, an empty buffer counts as full, as designed).
    if (target && buffer->text().size() == target->designMaxLength()) Feedback::beep();
}

void Keyboard::sendEnter()
{
    // Like a keystroke put into the system's queue: it reaches whichever control of the screen has the
    // focus once this touch has been handled, and runs that field's own Enter handling.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QWidget* focused = QApplication::focusWidget();
            QPointer<QWidget> to = focused && f.isAncestorOf(focused) ? focused : f.state.AktifText;
            if (!to) return;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(to, &press);
            if (!to) return;
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(to, &release);
        },
        Qt::QueuedConnection);
}

void Keyboard::switchCapitals()
{
    FormState& s = f.state;
    s.CapsDurum = !s.CapsDurum;
    CapsOnOff::SetCapsLock(s.CapsDurum);
    Settings::save(Settings::appName(), QStringLiteral("SizeKlv"), QStringLiteral("Caps"), Settings::fromBool(s.CapsDurum));
    applyCapitalsCaptions(f, s.CapsDurum);
}

void Keyboard::keyHovered(int index)
{
    TouchKey* key = f.key(index);
    if (!key) return;
    if (Look::backColor(key) != Look::Yellow) {
        clearHover(f);
        Look::setBackColor(key, Look::Yellow);
    }
    f.state.SonTus = index;
}

void Keyboard::clearHover(Salonya& form)
{
    // Repainting restyles the key; the pointer moves often, so only when it is lit.
    TouchKey* last = form.key(form.state.SonTus);
    if (last && Look::backColor(last) != Look::Cyan) Look::setBackColor(last, Look::Cyan);
}

void Keyboard::takeKeyboard(Salonya& form, TextBox* field, DataSource* data, const QString& kind)
{
    if (!field) return;
    FormState& s = form.state;
    s.AktifText = field;
    if (data) s.AktifData = data;
    s.AktifAlan = kind;
    form.KlvTxt->clear(); // typing starts from an empty text

    QList<TextBox*> white;
    bool showKeyboard = false;
    if (field == form.Text1) { white = {form.Text2, form.Text3}; showKeyboard = true; }
    else if (field == form.Text2) { white = {form.Text1, form.Text3}; showKeyboard = true; }
    else if (field == form.Text3) { white = {form.Text1, form.Text2, form.Text4}; showKeyboard = true; }
    else if (field == form.Text4) { white = {form.Text1, form.Text2, form.Text3}; showKeyboard = true; }
    Look::setBackColor(field, Look::LightCyan);
    for (TextBox* t : std::as_const(white)) Look::setBackColor(t, Look::White);
    if (showKeyboard) form.Frame2->show();
    if (field == form.Text4) {
        field->setText(QStringLiteral("0"));
        field->selectAll();
    }
}

void Keyboard::releaseKeyboard(Salonya& form, TextBox* field)
{
    if (field == form.Text1 || field == form.Text2 || field == form.Text3) form.state.AktifAlan.clear();
    else if (field == form.Text4) form.Frame2->hide();
}
