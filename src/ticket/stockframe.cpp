#include "stockframe.h"

#include "stockpick.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "input/keyboard.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace {
const QString kNotFound = QStringLiteral("Stok Bulunamadı..?");
const QString kOffered = QStringLiteral("Select * From StokKartlar Where StokGizle=0 Order By StokAdi Asc");
} // namespace

StockFrame::StockFrame(Salonya* form, StockPick* pick) : QObject(form), f(form), m_pick(pick)
{
    setObjectName(QStringLiteral("StockFrame"));
    // The design length limits the on-screen keys; a shown name or a long code is never cut.
    f->StokText->QLineEdit::setMaxLength(32767);
    f->StokText->installEventFilter(this);
    connect(f->StokText, &TextBox::gotFocus, this, &StockFrame::prepare);
    connect(f->StokText, &QLineEdit::textChanged, this, &StockFrame::textChanged);
    connect(f->DBListe4, &TouchList::highlightChanged, this, &StockFrame::follow);
    connect(f->DBListe4, &TouchList::picked, this, &StockFrame::assign);
    // The first entry and the first scan of the day find the cards already read.
    connect(f->startup(), &Startup::ready, this, [this] {
        f->DataStok->keepAhead(kOffered);
        f->DataStok->keepAhead(StockPick::EveryCard);
    });
}

bool StockFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Installed on StokText only; f is not touched for other events (they come during teardown too).
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    // Scanners end a code with Return, keypad Enter, CR or LF (Ctrl+J), or CR LF; each ends it once.
    const auto* k = static_cast<QKeyEvent*>(event);
    const bool cr = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->text() == u"\r";
    const bool lf = k->text() == u"\n" || (k->key() == Qt::Key_J && k->modifiers().testFlag(Qt::ControlModifier));
    if (cr || lf) {
        if (cr || !m_afterEnd) lookUp();
        m_afterEnd = true;
        return true; // never a character of the field
    }
    if (!k->text().isEmpty()) m_afterEnd = false;
    return false;
}

void StockFrame::prepare()
{
    FormState& s = f->state;
    // A plain re-query: letting events run here could hand the start of a scan to the field before
    // it is emptied.
    f->DataStok->setRecordSource(kOffered);
    f->DataStok->refresh();
    // The re-read list stands on its first card, which nobody picked.
    m_pick->drop();
    Keyboard::takeKeyboard(*f, f->StokText, f->DataStok, QStringLiteral("StokKartlar"));
    f->StokText->clear();
    const int marked = int(s.SeciliButon);
    if (marked >= 0 && marked < f->Command1.size()) Look::setBackColor(f->Command1[marked], Look::Yellow);
    f->StokText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void StockFrame::close(Salonya& form)
{
    form.StokFrm->hide();
    if (form.state.AktifText == form.StokText) form.Frame2->hide();
}

void StockFrame::textChanged()
{
    if (!f->StokText->text().isEmpty()) return;
    f->Frame2->show();
    f->Frame2->raise();
}

void StockFrame::lookUp()
{
    const bool found = m_pick->byCode(f->StokText->text().trimmed());
    const QString name = found ? f->DataStok->field(1).toString() : kNotFound;
    f->StokText->setText(name);
    // Selected, so the next scan replaces it, found or not.
    f->StokText->selectAll();
    if (found) f->DBListe4->setText(name);
}

void StockFrame::follow(const QString& name)
{
    m_pick->byList(name);
    f->StokText->setText(name);
}

void StockFrame::assign(const QString& name)
{
    const int n = int(f->state.SeciliButon);
    if (n >= 1 && n <= 26 && f->DataStok->findFirst(QStringLiteral("StokAdi=") + Jet::quote(name))) {
        const QString card = f->DataStok->field(1).toString();
        f->StokText->setText(card);
        Look::setBackColor(f->StokText, Look::White);
        f->Command1[n]->setText(card);
        Settings::save(QStringLiteral("Buton") + QString::number(n), card);
    }
    f->KlvTxt->setFocus();
}
