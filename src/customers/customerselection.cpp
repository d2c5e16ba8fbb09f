#include "customerselection.h"

#include "customerphoto.h"
#include "deskcards.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "input/keyboard.h"
#include "input/keyboardsearch.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDate>
#include <QGroupBox>
#include <QPushButton>

namespace {

const QString kCustomers = QStringLiteral("Müşteri");
const QString kEveryCustomer = QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan ASC");
const QString kCardNotFound = QStringLiteral("Kart bulunamadı");

// A control's own visibility setting, whether or not its window is on screen.
bool shown(const QWidget* w) { return !w->isHidden(); }

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

CustomerSelection::CustomerSelection(Salonya* form) : QObject(form), f(form)
{
    connect(f->Text1, &TextBox::gotFocus, this, &CustomerSelection::openSearch);
    connect(f->Text1, &QLineEdit::textChanged, this, &CustomerSelection::textChanged);
    connect(f->Text1, &TextBox::keyUp, this, [this](int key, Qt::KeyboardModifiers) { keyReleased(key); });
    connect(f->Text1, &TextBox::keyDown, this, [this](int key, Qt::KeyboardModifiers) { keyDown(key); });
    connect(f->Text1, &TextBox::lostFocus, this, &CustomerSelection::fieldLeft);
    connect(f->DBListe1, &TouchList::gotFocus, this, [this] { f->state.AktifListe = 4; });
    connect(f->DBListe1, &TouchList::lostFocus, this, &CustomerSelection::listLeft);
    connect(f->DBListe1, &TouchList::highlightChanged, this, &CustomerSelection::highlightChanged);
    connect(f->DBListe1, &TouchList::picked, this, &CustomerSelection::picked);
    connect(f->DataCari, &DataSource::reposition, this, &CustomerSelection::customerMoved);
}

void CustomerSelection::closeDyeFrame(Salonya& f)
{
    f.BoyaFrm->hide();
    f.DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + f.state.TarihKriter
                                   + QStringLiteral(" And Cari=") + Jet::quote(f.DataCari->field(0).toString()));
    f.DataStok->setRecordSource(QStringLiteral("Select * From StokKartlar Order By StokAdi Asc"));
    Data::refreshRoutine(f.DataSalonya);
    Data::refreshRoutine(f.DataStok);
}

void CustomerSelection::openSearch()
{
    // The field gets the first focus when the screen is shown, before the imports: narrowing the
    // customer source then would make the card import miss the cards it already has.
    if (!shown(f->KasaCmd) || !f->startup()->isReady()) return;
    FormState& s = f->state;
    f->DBListe2->hide();
    if (shown(f->BoyaFrm)) closeDyeFrame(*f);
    f->DataCari->setRecordSource(QStringLiteral(" Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan DESC"));
    Data::refreshRoutine(f->DataCari);
    if (!shown(f->DBGridMus)) return;

    // The field takes the keyboard (which also paints the fields and shows Frame2).
    Keyboard::takeKeyboard(*f, f->Text1, f->DataCari, QStringLiteral("CariKartlar"));
    f->Text1->clear();
    f->DBListe1->show();
    f->DBListe1->raise();
    f->Text1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f->Text1->setSelection(0, int(f->Text1->text().size()));
    const int marked = int(s.SeciliButon);
    if (marked >= 0 && marked < f->Command1.size() && f->Command1[marked]) Look::setBackColor(f->Command1[marked], Look::Yellow);
    f->DataGecmis->setRecordSource(QStringLiteral("Select * From Salonya Where Cari='0'"));
    Data::refreshRoutine(f->DataGecmis);
}

void CustomerSelection::textChanged()
{
    FormState& s = f->state;
    if (s.Durum == 2) return;
    const QString text = f->Text1->text();
    if (!shown(f->DBListe1) && !text.isEmpty()) {
        if (f->DataCari->recordCount() == 0) return;
        const bool current = f->DataCari->field(1).toString() == text;
        const QString code = current ? f->DataCari->field(0).toString() : QString();
        s.TarihKriter = Startup::dateCriterion(QDate::currentDate());
        f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + s.TarihKriter
                                        + QStringLiteral(" And Cari=") + Jet::quote(code));
        Data::refreshRoutine(f->DataSalonya);
        if (current) {
            // A missing or unreadable photo leaves the picture as it is.
            Program::GeciciMetin = CustomerPhoto::path(code);
            const QImage photo = CustomerPhoto::load(Program::GeciciMetin);
            if (!photo.isNull()) f->Picture1->setPicture(photo);
        }
        return;
    }
    f->Picture1->clearPicture();
    f->Frame1->setEnabled(false);
    s.Durum = 0;
}

void CustomerSelection::keyReleased(int key)
{
    FormState& s = f->state;
    const QString text = f->Text1->text();
    if (text == u"*" || isEnter(key)) return;
    const QString pattern = KeyboardSearch::pattern(text);

    // A loyalty card number among the listed cards selects its customer at once. An empty text is
    // no card number: it would pick any card that has none.
    if (!text.isEmpty() && f->DataCari->findFirst(QStringLiteral("KartNo=") + Jet::quote(text))) {
        cardFound();
        return;
    }

    f->DataCari->setRecordSource(QStringLiteral("Select * From CariKartlar Where Unvan Like ") + Jet::quote(pattern + u'*')
                                 + QStringLiteral(" And Gurup='Müşteri' Order By Unvan Asc"));
    s.Durum = 4;
    f->DataCari->refresh();
    s.Durum = 0;

    const int n = f->DataCari->recordCount();
    if (n > 0 && !shown(f->DBListe1)) {
        f->DBListe1->show();
    } else if (text.isEmpty() || n == 0) {
        f->DBListe1->hide();
        f->DataCari->setRecordSource(kEveryCustomer);
        Data::refreshRoutine(f->DataCari);
    } else if (f->DataCari->noMatch()) {
        f->DBListe1->hide();
    } else {
        f->DBListe1->setText(f->DataCari->field(QStringLiteral("Unvan")).toString());
    }
    f->Frame2->setVisible(shown(f->DBListe1));
}

void CustomerSelection::cardFound()
{
    f->DBListe1->hide();
    Keyboard::clearHover(*f);
    showTitle(f->DataCari->field(1).toString());
    Look::setBackColor(f->Text1, Look::White);
    f->Text1->setAlignment(Qt::AlignCenter);
    f->Frame2->hide();
    f->KlvTxt->setFocus();
}

void CustomerSelection::readCard(const QString& number)
{
    DataSource* ds = f->DataCari;
    const QString criterion = QStringLiteral("KartNo=") + Jet::quote(number);
    // A card is anyone's, not only of the customers a search left listed.
    bool found = !number.isEmpty() && ds->findFirst(criterion);
    if (!found && !number.isEmpty()) {
        ds->setRecordSource(kEveryCustomer);
        found = Data::refreshRoutine(ds) && ds->findFirst(criterion);
    }
    if (found) {
        cardFound();
        return;
    }
    Feedback::beep();
    // Said in the field, selected so that the next scan or key replaces it; no search runs on it.
    FormState& s = f->state;
    s.Durum = 2;
    f->Text1->setText(kCardNotFound);
    s.Durum = 0;
    f->Text1->selectAll();
}

void CustomerSelection::keyDown(int key)
{
    if (!isEnter(key)) return;
    FormState& s = f->state;
    const QString title = f->Text1->text();
    const QString criterion = QStringLiteral("Unvan=") + Jet::quote(title) + QStringLiteral(" And Gurup='Müşteri'");
    Program::GeciciMetin = DeskCards::lastIssued(f->DataRec);
    s.Durum = 99;
    const bool found = f->DataCari->findFirst(criterion);
    // The refusal of a scanned card is no customer's name.
    if (!found && !title.trimmed().isEmpty() && title != kCardNotFound) {
        QString error;
        if (!createCard(title, criterion, &error)) {
            // Nothing was kept; the sources must not show the rolled-back card or counter.
            Data::refreshRoutine(f->DataCari);
            Data::refreshRoutine(f->DataRec);
            Feedback::message(f, Feedback::Icon::Warning, QStringLiteral("Müşteri Kaydı"),
                              QStringLiteral("Yeni müşteri kartı kaydedilemedi, müşteri açılmadı.\n%1").arg(error));
        }
    } else if (found && s.Durum == 99) {
        QString ignored; // the number is the one already stored
        DeskCards::storeCounter(f->DataRec, Program::GeciciMetin, &ignored);
    }
    s.Durum = 0;
    Look::setBackColor(f->Text1, Look::White);
    f->Text1->setAlignment(Qt::AlignCenter);
    f->Frame2->hide();
    f->DBListe1->hide();
    f->KlvTxt->setFocus();
}

bool CustomerSelection::createCard(const QString& title, const QString& criterion, QString* error)
{
    // The card and the counter are written together or not at all.
    Transaction tx(f->DataCari->database());
    if (!tx.active()) {
        *error = tx.error();
        return false;
    }
    if (!DeskCards::addCard(*f, title, kCustomers, error)) return false;
    f->DataCari->findFirst(criterion);
    return DeskCards::storeCounter(f->DataRec, Program::GeciciMetin, error) && tx.commit(error);
}

void CustomerSelection::fieldLeft()
{
    if (f->Text1->text().isEmpty()) f->Text1->setText(QStringLiteral("MÜŞTERİ"));
    f->Text1->setAlignment(Qt::AlignCenter);
    Keyboard::releaseKeyboard(*f, f->Text1);
}

void CustomerSelection::listLeft()
{
    const QString text = f->Text1->text();
    if (f->DBListe1->text() == text && f->DataCari->field(1).toString() != text)
        f->DataCari->findFirst(QStringLiteral("Unvan=") + Jet::quote(text));
    f->DBListe1->hide();
}

void CustomerSelection::highlightChanged(const QString& text) { f->Text1->setText(text); }

void CustomerSelection::picked(const QString& text)
{
    f->DBListe1->hide();
    Keyboard::clearHover(*f);
    f->DataCari->findFirst(QStringLiteral("Unvan=") + Jet::quote(text));
    showTitle(f->DataCari->field(1).toString());
    f->state.SeciliCari = f->DataCari->field(0).toString();
    f->Frame1->setEnabled(true);
    Look::setBackColor(f->Text1, Look::White);
    f->Text1->setAlignment(Qt::AlignCenter);
    f->Frame2->hide();
    f->KlvTxt->setFocus();
}

void CustomerSelection::customerMoved()
{
    if (f->DataCari->recordCount() > 0 && f->state.Durum != 99) {
        const QString code = Jet::quote(f->DataCari->field(0).toString());
        f->DataGecmis->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=") + code + QStringLiteral(" Order By Islem ASC"));
        f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=") + code + QStringLiteral(" And Eleman=")
                                        + Jet::quote(f->Text2->text()) + QStringLiteral(" And Yeni=1"));
        Data::refreshRoutine(f->DataGecmis);
        Data::refreshRoutine(f->DataSalonya);
        if (shown(f->DBGridMus)) f->KasaCmd->setEnabled(f->DataSalonya->recordCount() > 0);
    }
    Program::ResimCekildi = false;
}

void CustomerSelection::showTitle(const QString& title)
{
    if (f->Text1->text() == title) textChanged();
    else f->Text1->setText(title);
}
