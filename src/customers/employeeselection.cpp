#include "employeeselection.h"

#include "customerselection.h"
#include "deskcards.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "input/keyboard.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QGroupBox>

namespace {
const QString kEmployees = QStringLiteral("Eleman");
bool shown(const QWidget* w) { return !w->isHidden(); }
} // namespace

EmployeeSelection::EmployeeSelection(Salonya* form) : QObject(form), f(form)
{
    connect(f->Text2, &TextBox::gotFocus, this, &EmployeeSelection::openSearch);
    connect(f->Text2, &QLineEdit::textChanged, this, &EmployeeSelection::textChanged);
    connect(f->Text2, &TextBox::keyDown, this, [this](int key, Qt::KeyboardModifiers) { keyDown(key); });
    connect(f->Text2, &TextBox::lostFocus, this, &EmployeeSelection::fieldLeft);
    connect(f->DBListe2, &TouchList::gotFocus, this, [this] { f->state.AktifListe = 5; });
    connect(f->DBListe2, &TouchList::lostFocus, this, &EmployeeSelection::listLeft);
    connect(f->DBListe2, &TouchList::highlightChanged, this, [this](const QString& text) { f->Text2->setText(text); });
    connect(f->DBListe2, &TouchList::picked, this, &EmployeeSelection::picked);
    connect(f->DataEleman, &DataSource::reposition, this, &EmployeeSelection::employeeMoved);
}

void EmployeeSelection::openSearch()
{
    if (!f->startup()->isReady()) return; // the imports are still using the card sources
    f->DBListe1->hide();
    if (shown(f->BoyaFrm)) CustomerSelection::closeDyeFrame(*f);
    f->DataEleman->setRecordSource(QStringLiteral("Eleman"));
    Data::refreshRoutine(f->DataEleman);
    if (f->DataCari->field(1).toString() != f->Text1->text()) {
        // No customer chosen yet: the customer comes first.
        f->Text1->setFocus();
    } else {
        // The field takes the keyboard (which also paints the fields and shows Frame2).
        Keyboard::takeKeyboard(*f, f->Text2, f->DataEleman, kEmployees);
        f->DBListe1->hide();
        f->Text2->clear();
        f->DBListe2->show();
        f->DBListe2->raise();
        f->Text2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        f->Text2->setSelection(0, int(f->Text2->text().size()));
    }
    f->Frame2->show();
}

void EmployeeSelection::textChanged()
{
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + f->state.TarihKriter
                                    + QStringLiteral(" And Unvan=") + Jet::quote(f->Text1->text()));
    Data::refreshRoutine(f->DataSalonya);
}

void EmployeeSelection::employeeMoved()
{
    if (f->state.Durum == 99) return;
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + f->state.TarihKriter
                                    + QStringLiteral(" And Cari=") + Jet::quote(f->DataCari->field(0).toString())
                                    + QStringLiteral(" And Eleman=") + Jet::quote(f->Text2->text())
                                    + QStringLiteral(" And Yeni=1"));
    Data::refreshRoutine(f->DataSalonya);
}

void EmployeeSelection::keyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    FormState& s = f->state;
    const QString name = f->Text2->text();
    s.Durum = 0;
    Program::GeciciMetin = DeskCards::lastIssued(f->DataRec);
    const QString customer = f->DataCari->field(0).toString();

    s.Durum = 99;
    f->DataCari->setRecordSource(QStringLiteral("CariKartlar"));
    Data::refreshRoutine(f->DataCari);
    const bool found = f->DataCari->findFirst(QStringLiteral("Unvan=") + Jet::quote(name) + QStringLiteral(" And Gurup='Eleman'"));
    s.Durum = 0;

    if (!found && !name.trimmed().isEmpty()) {
        s.Durum = 99;
        QString error;
        if (!createEmployee(name, &error)) {
            // Nothing was kept; the sources must not show the rolled-back rows.
            Data::refreshRoutine(f->DataEleman);
            f->DBListe2->reread();
            Data::refreshRoutine(f->DataRec);
            Feedback::message(f, Feedback::Icon::Warning, QStringLiteral("Eleman Kaydı"),
                              QStringLiteral("Yeni eleman kaydedilemedi.\n%1").arg(error));
        }
    }

    // The customer chosen before is current again.
    f->DataCari->setRecordSource(QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc"));
    Data::refreshRoutine(f->DataCari);
    f->DataCari->findFirst(QStringLiteral("CariKod=") + Jet::quote(customer) + QStringLiteral(" And Gurup='Müşteri'"));

    s.Durum = 0;
    Look::setBackColor(f->Text2, Look::White);
    f->Text2->setAlignment(Qt::AlignCenter);
    f->Frame2->hide();
    f->DBListe2->hide();
    f->KlvTxt->setFocus();
}

bool EmployeeSelection::createEmployee(const QString& name, QString* error)
{
    // The card, the employee row and the counter are written together or not at all.
    Transaction tx(f->DataCari->database());
    if (!tx.active()) {
        *error = tx.error();
        return false;
    }
    if (!DeskCards::addCard(*f, name, kEmployees, error)) return false;
    DataSource* staff = f->DataEleman;
    const QString criterion = QStringLiteral("Eleman=") + Jet::quote(name);
    // A name already listed (its card was missing) is not listed twice.
    if (staff->locate(criterion) < 0) {
        f->state.KayitBekle = true;
        if (!(staff->addNew() && staff->setField(0, name) && staff->update())) {
            *error = staff->lastError();
            staff->cancelUpdate();
            return false;
        }
        Data::waitForSave(f->state.KayitBekle);
    }
    f->DBListe2->reread();
    staff->findFirst(criterion);
    return DeskCards::storeCounter(f->DataRec, Program::GeciciMetin, error) && tx.commit(error);
}

void EmployeeSelection::fieldLeft()
{
    if (f->Text2->text().isEmpty()) f->Text2->setText(QStringLiteral("ELEMAN"));
    f->Text2->setAlignment(Qt::AlignCenter);
    Keyboard::releaseKeyboard(*f, f->Text2);
}

void EmployeeSelection::listLeft()
{
    const QString text = f->Text2->text();
    if (f->DBListe2->text() == text && f->DataEleman->field(0).toString() != text)
        f->DataEleman->findFirst(QStringLiteral("Eleman=") + Jet::quote(text));
    f->DBListe2->hide();
}

void EmployeeSelection::picked(const QString& text)
{
    f->DataEleman->findFirst(QStringLiteral("Eleman=") + Jet::quote(text));
    f->Text2->setText(f->DataEleman->field(0).toString());
    Keyboard::clearHover(*f);
    Look::setBackColor(f->Text2, Look::White);
    f->DBListe2->hide();
    f->Text2->setAlignment(Qt::AlignCenter);
    f->Frame2->hide();
    f->KlvTxt->setFocus();
}
