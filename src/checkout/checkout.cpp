#include "checkout.h"

#include "slotsender.h"
#include "app/hostpaths.h"
#include "app/salonya.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/textbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScopeGuard>

Q_DECLARE_LOGGING_CATEGORY(lcSlots)

namespace {

const QString kFull = QStringLiteral("Üç Kasada Dolu...");

QString cardCriterion(const QString& title, const QString& group)
{
    return QStringLiteral("Unvan=") + Jet::quote(title) + QStringLiteral(" And Gurup=") + Jet::quote(group);
}

} // namespace

Checkout::Checkout(Salonya* form) : QObject(form), f(form), m_busyMs(SlotSender::DefaultBusyTimeoutMs)
{
    setObjectName(QStringLiteral("Checkout"));
    connect(f->KasaCmd, &QPushButton::clicked, this, &Checkout::KasaCmd_Click);
}

void Checkout::tell(const QString& text)
{
    Feedback::message(f, text == kFull ? Feedback::Icon::Information : Feedback::Icon::Warning, QStringLiteral("Salonya"), text);
}

void Checkout::KasaCmd_Click()
{
    if (m_busy) return;
    m_busy = true;
    // Hidden while sending so a second touch cannot start a second send; back on every path.
    f->KasaCmd->hide();
    const auto showAgain = qScopeGuard([this] {
        f->KasaCmd->show();
        m_busy = false;
    });
    QCoreApplication::processEvents();
    if (!f->DBGridMus->isVisible()) return; // start-up has not finished
    send();
}

void Checkout::send()
{
    FormState& s = f->state;
    const QString slotFile = SlotSender::slotFileOf(s.VeriYolu);
    QString why;
    // Told before any card is written; the send itself checks again under its lock.
    const int free = SlotSender::firstFreeSlot(slotFile, m_busyMs, &why);
    if (free < 0) { tell(why); return; }
    if (free == 0) { tell(kFull); return; }

    s.Durum = 99;
    const auto idle = qScopeGuard([&s] { s.Durum = 0; });
    if (!addAccountingCards(&why)) { tell(why); return; }

    SlotSender sender(f->DataSalonya->databaseName(), slotFile);
    sender.setBusyTimeout(m_busyMs);
    // The lines the desk shows: the ticket source's record source, read again under the lock.
    const SlotSender::Result r = sender.sendRecordSource(f->DataSalonya->recordSource());
    switch (r.outcome) {
    case SlotSender::Outcome::Full: tell(kFull); return;
    case SlotSender::Outcome::Failed: tell(r.message); return;
    case SlotSender::Outcome::Sent: break;
    }
    qCInfo(lcSlots, "%d lines sent to slot %d", r.lines, r.slot);
    if (!r.message.isEmpty()) tell(r.message); // at the register, but not yet closed here
    clearScreen();
}

bool Checkout::finishUnfinishedSend()
{
    SlotSender sender(f->DataSalonya->databaseName(), SlotSender::slotFileOf(f->state.VeriYolu));
    sender.setBusyTimeout(m_busyMs);
    QString why;
    const int closed = sender.finishUnfinished(&why);
    if (closed < 0) qCWarning(lcSlots).noquote() << "unfinished send not checked:" << why;
    if (closed > 0) Data::refreshRoutine(f->DataGunluk);
    return closed >= 0;
}

// The customer's and the employee's cards in the accounting card file, added when missing,
// in one transaction of their own before the ticket goes.
bool Checkout::addAccountingCards(QString* message)
{
    DataSource* acc = f->DataTmp;
    const QString file = HostPaths::toLocal(f->state.VeriYolu + QStringLiteral("Cari.Mdb"));
    const auto closeIt = qScopeGuard([acc] { acc->close(); });
    acc->setDatabaseName(file);
    acc->setRecordSource(QStringLiteral("CariKartlar"));
    Data::refreshRoutine(acc);
    if (!acc->isOpen()) {
        qCWarning(lcSlots).noquote() << "card file:" << acc->lastError();
        *message = QStringLiteral("Muhasebe cari dosyası açılamadı: %1").arg(QDir::toNativeSeparators(file));
        return false;
    }
    Transaction tx(acc->database(), true);
    bool ok = tx.active() && addCard(acc, f->Text1->text(), QStringLiteral("Müşteri"), message)
        && addCard(acc, f->Text2->text(), QStringLiteral("Eleman"), message);
    QString err;
    if (ok && !tx.commit(&err)) {
        qCWarning(lcSlots).noquote() << "card file commit:" << err;
        ok = false;
    }
    if (!ok && message->isEmpty())
        *message = QStringLiteral("Muhasebe cari dosyasına yazılamadı: %1").arg(QDir::toNativeSeparators(file));
    return ok;
}

bool Checkout::addCard(DataSource* acc, const QString& title, const QString& group, QString* message)
{
    const QString code = localCardCode(title, group, group == u"Müşteri");
    const bool found = acc->findFirst(cardCriterion(title, group));
    if (!acc->lastError().isEmpty()) { // the search itself failed (refresh cleared the error)
        qCWarning(lcSlots).noquote() << "card search:" << acc->lastError();
        return false;
    }
    if (found) return true;
    if (code.isEmpty()) {
        // No local card to copy: a made-up or borrowed code would corrupt the accounting data.
        qCWarning(lcSlots).noquote() << "no local card for" << title << group << "- accounting card not added";
        return true;
    }
    f->state.KayitBekle = true;
    if (!(acc->addNew() && acc->setField(0, code) && acc->setField(1, title) && acc->setField(44, group) && acc->update())) {
        acc->cancelUpdate();
        f->state.KayitBekle = false;
        qCWarning(lcSlots).noquote() << "card add:" << acc->lastError();
        *message = QStringLiteral("Muhasebe cari kartı eklenemedi: %1").arg(title);
        return false;
    }
    Data::waitForSave(f->state.KayitBekle);
    return true;
}

QString Checkout::localCardCode(const QString& title, const QString& group, bool moveCustomer)
{
    const QString criterion = cardCriterion(title, group);
    // The customer list finds the card as it always has; Durum 99 keeps its reload away.
    if (moveCustomer && f->DataCari->findFirst(criterion)) return f->DataCari->field(0).toString();
    // Otherwise the whole local card table: employees are never in the customer list, and the
    // current record of a failed find must not lend its code to another name.
    DataSource cards(QStringLiteral("KasaKart"));
    cards.setDatabaseName(f->DataCari->databaseName());
    cards.setRecordSource(QStringLiteral("Select * From CariKartlar Where ") + criterion);
    if (!cards.refresh() || cards.recordCount() == 0) return {};
    return cards.field(0).toString();
}

void Checkout::clearScreen()
{
    Program::GeciciMetin.clear();
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=''"));
    f->DataGecmis->setRecordSource(QStringLiteral("Select * From Salonya Where Cari='' Order By Islem ASC"));
    Data::refreshRoutine(f->DataSalonya);
    Data::refreshRoutine(f->DataGecmis);
    Data::refreshRoutine(f->DataGunluk);
    f->KlvTxt->setFocus();
    f->Text1->setText(QStringLiteral("MÜŞTERİ"));
    // No list or grid of the sent ticket counts as touched: the next button asks for a customer.
    f->state.AktifListe = 0;
    f->state.Durum = 0;
    QCoreApplication::processEvents();
}
