#include "dyeframe.h"

#include "ticketlines.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "input/keyboard.h"
#include "input/keyboardsearch.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {
const QString kDye = QStringLiteral("Boya");
enum { kTamam = 0, kKapat = 1 };
} // namespace

DyeFrame::DyeFrame(Salonya* form) : QObject(form), f(form)
{
    setObjectName(QStringLiteral("DyeFrame"));
    connect(f->Text3, &TextBox::gotFocus, this, &DyeFrame::searchEntered);
    connect(f->Text3, &TextBox::keyUp, this, [this](int key, Qt::KeyboardModifiers) { searchKeyUp(key); });
    connect(f->Text3, &TextBox::lostFocus, this, &DyeFrame::searchLeft);
    connect(f->DBListe3, &TouchList::picked, this, &DyeFrame::picked);
    connect(f->DataStok, &DataSource::reposition, this, &DyeFrame::stockMoved);
    connect(f->Text4, &TextBox::gotFocus, this, &DyeFrame::amountEntered);
    connect(f->Text4, &QLineEdit::textChanged, this, &DyeFrame::amountChanged);
    connect(f->Text4, &TextBox::lostFocus, this, &DyeFrame::amountLeft);
    connect(f->Command2[kTamam], &QPushButton::clicked, this, &DyeFrame::Tamam);
    connect(f->Command2[kKapat], &QPushButton::clicked, this, &DyeFrame::Kapat);
}

std::optional<double> DyeFrame::grams(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]*([,.][0-9]*)?$"));
    if (!text.contains(QRegularExpression(QStringLiteral("[0-9]"))) || !number.match(text).hasMatch()) return std::nullopt;
    QString t = text;
    t.replace(u',', u'.');
    if (t.endsWith(u'.')) t.chop(1);
    if (t.startsWith(u'.')) t.prepend(u'0');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

void DyeFrame::open()
{
    FormState& s = f->state;
    s.AktifListe = 0;
    f->DataStok->setRecordSource(QStringLiteral("Select * From StokKartlar Where Gurup='Boya' Order By StokAdi Asc"));
    // A plain re-query: a scanned dye opens the frame amid the scanner's keys, which must wait.
    f->DataStok->refresh();
    s.TarihKriter = Startup::dateCriterion(f->DTPicker1->date());
    f->BoyaFrm->show();
    f->BoyaFrm->raise();
    f->Text3->setFocus();
}

void DyeFrame::weigh(const QString& dye)
{
    open();
    f->DBListe3->setText(dye);
    picked(dye);
}

void DyeFrame::searchEntered()
{
    Keyboard::takeKeyboard(*f, f->Text3, f->DataStok, kDye);
    f->Text3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f->Text3->selectAll();
    f->Text4->setText(QStringLiteral("0"));
}

void DyeFrame::searchKeyUp(int key)
{
    const QString text = f->Text3->text();
    if (text == u"*" || key == Qt::Key_Return || key == Qt::Key_Enter) return;
    FormState& s = f->state;
    f->DataStok->setRecordSource(QStringLiteral("Select * From StokKartlar Where Gurup='Boya' And StokAdi Like ")
                                 + Jet::quote(KeyboardSearch::pattern(text) + u'*') + QStringLiteral(" Order By StokAdi Asc"));
    s.Durum = 4;
    f->findChild<KeyboardSearch*>()->requery(f->DataStok);
    s.Durum = 0;
    // Without a match the list is empty and nothing is highlighted.
    f->DBListe3->setText(f->DataStok->field(QStringLiteral("StokAdi")).toString());
}

void DyeFrame::searchLeft()
{
    f->Text3->setAlignment(Qt::AlignCenter);
    Keyboard::releaseKeyboard(*f, f->Text3);
}

void DyeFrame::picked(const QString& name)
{
    f->DataStok->findFirst(QStringLiteral("StokAdi=") + Jet::quote(name));
    f->Text3->setText(f->DataStok->field(1).toString());
    Keyboard::clearHover(*f);
    Look::setBackColor(f->Text3, Look::White);
    f->Text3->setAlignment(Qt::AlignCenter);
    f->Text4->setEnabled(true);
    f->Text4->setFocus();
}

// Only a dye whose whole name stands in Text3 can be weighed.
void DyeFrame::stockMoved()
{
    if (f->state.AktifAlan != kDye || f->DataStok->recordCount() == 0) return;
    const bool named = f->Text3->text() == f->DataStok->field(1).toString();
    f->Text4->setEnabled(named);
    f->DBListe3->setEnabled(true);
    f->Command2[kTamam]->setEnabled(named);
    if (named) f->Text4->setFocus();
}

void DyeFrame::amountEntered()
{
    // Takes the keyboard: "0" shown and selected, the keyboard frame shown.
    Keyboard::takeKeyboard(*f, f->Text4, nullptr, QStringLiteral("Miktar"));
}

void DyeFrame::amountChanged()
{
    const QString text = f->Text4->text();
    if (text.isEmpty()) {
        f->Text4->setText(QStringLiteral("0"));
        return;
    }
    const std::optional<double> g = grams(text);
    // A lone comma is the start of ",5", and the on-screen keys' own "*" is theirs to allow; anything
    // else that is no number ("abc", "1,2,3" on a keyboard) is refused as it is typed.
    static const QRegularExpression keys(QStringLiteral("^[0-9*]*$"));
    if (!g && text != u"," && !keys.match(text).hasMatch() && f->state.AktifAlan == u"Miktar") Feedback::beep();
    f->Command2[kTamam]->setEnabled(g && *g > 0);
    f->Text4->setCursorPosition(int(text.size()));
}

void DyeFrame::amountLeft()
{
    f->Text4->setAlignment(Qt::AlignCenter);
    Keyboard::releaseKeyboard(*f, f->Text4);
}

void DyeFrame::Tamam()
{
    DataSource* stock = f->DataStok;
    const std::optional<double> g = grams(f->Text4->text());
    // The dye written is the one named in Text3, and only by a real weight.
    const bool named = stock->position() >= 0 && stock->field(1).toString() == f->Text3->text()
        && stock->field(QStringLiteral("Gurup")).toString() == kDye;
    if (!g || *g <= 0 || !named) {
        Feedback::beep();
        return;
    }
    if (!TicketLines::selectionShown(*f) || !TicketLines::writeLine(*f, *g)) return;
    f->Text3->clear();
    f->Text4->setText(QStringLiteral("0"));
    Data::refreshRoutine(f->DataGunluk);
    Data::refreshRoutine(f->DataSalonya);
}

void DyeFrame::Kapat()
{
    f->state.AktifAlan.clear();
    f->BoyaFrm->hide();
    // Every line of the customer, any day, employee or state, until the next selection.
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=")
                                    + Jet::quote(f->DataCari->field(0).toString()));
    f->DataStok->setRecordSource(QStringLiteral("Select * From StokKartlar Order By StokAdi Asc"));
    Data::refreshRoutine(f->DataSalonya);
    Data::refreshRoutine(f->DataStok);
}
