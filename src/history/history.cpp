#include "history.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ticket/dyeline.h"
#include "ticket/ticketlines.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"

#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QHash>

namespace {

const QString kSelect = QStringLiteral("Select * From Salonya Where ");
const QString kTitle = QStringLiteral("Salonya");

enum Field { Islem = 0, Miktar = 1, Cari = 3, Gurup = 4, Tarih = 5, Eleman = 6 };

} // namespace

History::History(Salonya* form) : QObject(form), f(form)
{
    for (int i = 0; i < f->Command3.size(); ++i)
        connect(f->Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    connect(f->DataGecmis, &DataSource::reposition, this, &History::DataGecmis_Reposition);
    // An empty result raises no reposition, yet its buttons must not offer lines that are not there.
    connect(f->DataGecmis, &DataSource::requeried, this, [this] {
        if (f->DataGecmis->recordCount() == 0) DataGecmis_Reposition();
    });
    connect(f->DTPicker1, &QDateEdit::dateChanged, this, &History::DTPicker1_Change);
    DataGrid* grid = f->CariList;
    connect(grid, &QAbstractItemView::doubleClicked, this, &History::CariList_DblClick);
    connect(grid, &DataGrid::rowColChanged, this, &History::CariList_RowColChange);
    connect(grid, &DataGrid::gotFocus, this, [this] {
        f->state.AktifListe = 3;
        f->CariList->setMarqueeStyle(f->DataGecmis->recordCount() > 0 ? DataGrid::MarqueeHighlightRow : DataGrid::MarqueeNone);
    });
    connect(grid, &DataGrid::lostFocus, this, [this] { f->CariList->setMarqueeStyle(DataGrid::MarqueeNone); });
    connect(grid, &DataGrid::pointerMoved, this, [this] {
        if (TouchKey* k = f->key(f->state.SonTus)) Look::setBackColor(k, Look::Cyan);
    });
}

QString History::customerCode() const { return f->DataCari->field(0).toString(); }

// The history answers only for the customer the field shows, the same rule the ticket lines follow.
bool History::customerChosen() const
{
    return f->DataCari->position() >= 0 && f->DataCari->field(1).toString() == f->Text1->text();
}

void History::listNothing()
{
    f->DataGecmis->setRecordSource(kSelect + QStringLiteral("Cari='0'"));
    Data::refreshRoutine(f->DataGecmis);
}

// The handlers set the picker themselves; only the user's choice is a date filter.
void History::setPicker(const QDate& day)
{
    const QSignalBlocker quiet(f->DTPicker1);
    f->DTPicker1->setDate(day);
}

void History::Command3_Click(int index)
{
    for (QPushButton* b : std::as_const(f->Command3)) Look::setBackColor(b, Look::Yellow);
    Look::setBackColor(f->Command3[index], Look::Cyan);
    f->Command3[2]->setEnabled(false);
    if (index != 2 && !customerChosen()) {
        listNothing();
        return;
    }
    const QString customer = QStringLiteral("Cari=") + Jet::quote(customerCode());
    switch (index) {
    case 0:
        setPicker(QDate::currentDate());
        f->DataGecmis->setRecordSource(kSelect + customer + QStringLiteral(" Order By Tarih DESC"));
        Data::refreshRoutine(f->DataGecmis);
        break;
    case 1:
        setPicker(QDate::currentDate());
        f->DataGecmis->setRecordSource(kSelect + customer + QStringLiteral(" And Gurup Order By Tarih DESC"));
        Data::refreshRoutine(f->DataGecmis);
        f->Command3[2]->setEnabled(f->DataGecmis->recordCount() != 0);
        f->Command3[0]->setEnabled(!f->Command3[2]->isEnabled());
        break;
    case 2:
        repeatLines();
        break;
    default:
        break;
    }
}

void History::DataGecmis_Reposition()
{
    const bool any = f->DataGecmis->recordCount() != 0;
    for (QPushButton* b : std::as_const(f->Command3)) {
        b->setEnabled(any);
        Look::setBackColor(b, Look::Yellow);
    }
    // The label follows the line under the cursor, also when a new customer's history comes in.
    if (f->state.Durum != 99)
        f->ElemanLbl->setText(QStringLiteral("Eleman > ") + (any ? f->DataGecmis->field(Eleman).toString() : QString()));
}

void History::DTPicker1_Change()
{
    // Start-up sets the picker to today before anything may be queried.
    if (!f->startup()->isReady()) return;
    showDay(f->DTPicker1->date());
}

void History::showDay(const QDate& day)
{
    if (!customerChosen()) {
        listNothing();
        return;
    }
    const QString dyes = Look::backColor(f->Command3[1]) == Look::Cyan ? QStringLiteral(" And Gurup") : QString();
    f->state.TarihKriter = Startup::dateCriterion(day);
    f->DataGecmis->setRecordSource(kSelect + f->state.TarihKriter + dyes + QStringLiteral(" And Cari=")
                                   + Jet::quote(customerCode()) + QStringLiteral(" Order By Islem ASC"));
    Data::refreshRoutine(f->DataGecmis);
}

void History::CariList_DblClick()
{
    if (f->CariList->marqueeStyle() != DataGrid::MarqueeHighlightRow) return;
    const QDate day = f->DataGecmis->field(Tarih).toDate();
    if (!day.isValid()) return;
    setPicker(day);
    showDay(day);
}

void History::CariList_RowColChange()
{
    DataSource* h = f->DataGecmis;
    if (f->state.Durum == 99 || h->recordCount() == 0) return;
    const int row = f->CariList->currentIndex().row();
    const QDate day = h->value(row, h->fieldIndex(f->CariList->column(0).field)).toDate();
    const QString islem = h->value(row, h->fieldIndex(f->CariList->column(1).field)).toString();
    if (day.isValid())
        h->findFirst(QStringLiteral("Islem=") + Jet::quote(islem) + QStringLiteral(" And ") + Startup::dateCriterion(day));
    f->ElemanLbl->setText(QStringLiteral("Eleman > ") + h->field(Eleman).toString());
}

// The lines are for the customer and employee the fields name, as a panel button requires.
bool History::selectionMissing()
{
    if (f->DataCari->field(1).toString() != f->Text1->text()) {
        Look::setBackColor(f->Text1, Look::Red);
        f->Text1->setText(QStringLiteral("MÜŞTERİ SEÇİN..?"));
    } else if (f->Text2->text().isEmpty() || f->DataEleman->field(0).toString() != f->Text2->text()) {
        Look::setBackColor(f->Text2, Look::Red);
        f->Text2->setText(QStringLiteral("ELEMAN SEÇİN..?"));
    } else {
        return false;
    }
    Feedback::beep();
    return true;
}

// Each stock name listed from the current line on, by its newest listed line (latest day, then the
// latest written): the grid may be ordered by name, by any column, or in storage order.
QList<int> History::newestLines(const DataSource* h, int from)
{
    QStringList names;
    QHash<QString, int> newest;
    for (int row = from; row < h->recordCount(); ++row) {
        const QString islem = h->value(row, Islem).toString();
        if (!newest.contains(islem)) {
            names << islem;
            newest.insert(islem, row);
        }
    }
    const auto newer = [h](int a, int b) {
        const QDate da = h->value(a, Tarih).toDate(), db = h->value(b, Tarih).toDate();
        return da != db ? da > db : h->rowId(a) > h->rowId(b);
    };
    for (int row = 0; row < h->recordCount(); ++row) {
        const auto it = newest.find(h->value(row, Islem).toString());
        if (it != newest.end() && newer(row, *it)) *it = row;
    }
    QList<int> rows;
    for (const QString& name : std::as_const(names)) rows << newest.value(name);
    return rows;
}

void History::repeatLines()
{
    DataSource* h = f->DataGecmis;
    const int from = h->position();
    if (from < 0 || selectionMissing()) return;
    const QString salonyaFile = f->DataSalonya->databaseName();
    QString error;
    const std::shared_ptr<Database> db = Database::open(salonyaFile, false, &error);
    DataSource stock(QStringLiteral("StokAra"));
    stock.setDatabaseName(f->DataStok->databaseName());
    QStringList gone;
    bool ok = db != nullptr;
    {
        // All listed lines reach the ticket, or none does.
        Transaction tx(db.get(), true);
        if (ok && !tx.active()) error = tx.error();
        ok = ok && tx.active();
        for (const int row : newestLines(h, from)) {
            if (!ok) break;
            const QString islem = h->value(row, Islem).toString();
            stock.setRecordSource(QStringLiteral("Select * From StokKartlar Where StokAdi=") + Jet::quote(islem));
            ok = stock.refresh();
            if (!ok) {
                error = stock.lastError();
                break;
            }
            // A card no longer on sale has no price of today: its line is left out, and the user told.
            if (stock.recordCount() == 0) {
                if (!gone.contains(islem)) gone << islem;
                continue;
            }
            DyeLine line;
            line.islem = islem;
            line.quantity = h->value(row, Miktar).toDouble();
            line.price = stock.field(3).toDouble();
            line.barcode = stock.field(2).toString();
            line.dye = h->value(row, Gurup).toBool();
            line.cari = h->value(row, Cari).toString();
            line.unvan = f->DataCari->field(1).toString();
            line.eleman = f->Text2->text();
            ok = writeDyeLine(salonyaFile, line, &error);
        }
        ok = ok && tx.commit(&error);
    }
    if (ok) TicketLines::showOpenTicket(*f);
    Data::refreshRoutine(f->DataSalonya);
    Data::refreshRoutine(f->DataGunluk);
    Data::refreshRoutine(f->DataGecmis);
    if (!ok)
        Feedback::message(f, Feedback::Icon::Warning, kTitle,
                          QStringLiteral("Geçmiş işlemler adisyona yazılamadı: %1\nAdisyon değişmedi; biraz sonra yeniden deneyin.")
                              .arg(error));
    else if (!gone.isEmpty())
        Feedback::message(f, Feedback::Icon::Information, kTitle,
                          QStringLiteral("Stok kartı artık bulunmayan işlemler adisyona eklenmedi:\n%1").arg(gone.join(u'\n')));
}
