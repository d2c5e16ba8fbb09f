#include "ticketlines.h"

#include "dyeline.h"
#include "stockframe.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLocale>
#include <QPushButton>
#include <cmath>

namespace TicketLines {
namespace {

const QString kTitle = QStringLiteral("Salonya");
const QString kLostServer = QStringLiteral("Sunucu bağlantısı koptu");

void tell(Salonya& f, const QString& text) { Feedback::message(&f, Feedback::Icon::Warning, kTitle, text); }

void refreshLines(Salonya& f)
{
    for (DataSource* ds : {f.DataSalonya, f.DataGunluk, f.DataGecmis}) Data::refreshRoutine(ds);
}

// Deletes the current record and stands on the one that took its place, or on the last one.
bool deleteCurrent(Salonya& f, DataSource* ds)
{
    if (!ds->deleteRecord()) {
        tell(f, QStringLiteral("Kayıt silinemedi: veritabanı kilitli ya da erişilemiyor olabilir. "
                               "Biraz sonra yeniden deneyin."));
        return false;
    }
    ds->moveNext();
    if (ds->eof() && ds->recordCount() > 0) ds->movePrevious();
    return true;
}

// A line still on the open ticket goes at once; one already sent only with the Control key.
void deleteLine(Salonya& f, DataSource* ds, bool controlDown)
{
    if (ds->position() < 0 || (ds->field(QStringLiteral("Yeni")).toInt() != 1 && !controlDown)) {
        Feedback::beep();
        return;
    }
    deleteCurrent(f, ds);
}

// The card the list shows as selected, found by its text.
void deleteListed(Salonya& f, DataSource* ds, const QString& field, const QString& text)
{
    if (!ds->findFirst(field + u'=' + Jet::quote(text))) return;
    if (deleteCurrent(f, ds)) Data::refreshRoutine(ds);
}

} // namespace

std::optional<double> parseQuantity(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    double v = QLocale(QLocale::Turkish, QLocale::Turkey).toDouble(t, &ok);
    if (!ok) v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool selectionShown(Salonya& f, bool needEmployee)
{
    // A card must be current too: an empty list compares as an empty title.
    if (f.DataCari->position() < 0 || f.DataCari->field(1).toString() != f.Text1->text()) {
        Look::setBackColor(f.Text1, Look::Red);
        f.Text1->setText(QStringLiteral("MÜŞTERİ SEÇİN..?"));
        Feedback::beep();
        return false;
    }
    if (needEmployee && (f.DataEleman->position() < 0 || f.DataEleman->field(0).toString() != f.Text2->text())) {
        Look::setBackColor(f.Text2, Look::Red);
        f.Text2->setText(QStringLiteral("ELEMAN SEÇİN..?"));
        Feedback::beep();
        return false;
    }
    return true;
}

bool writeLine(Salonya& f, double quantity)
{
    DataSource* stock = f.DataStok;
    const QVariant name = stock->field(1);
    const QString code = f.DataCari->field(0).toString();
    const QString employee = f.Text2->text();
    // The line to rewrite is looked up over the whole table: the ticket grid may show another day,
    // every line of the customer, or sent lines, and none of those may be rewritten or doubled.
    DyeLine line;
    line.islem = name.toString();
    line.quantity = quantity;
    line.price = stock->field(3).toDouble();
    line.barcode = stock->field(2).toString();
    line.dye = stock->field(QStringLiteral("Gurup")).toString() == u"Boya";
    line.cari = code;
    line.unvan = f.DataCari->field(1).toString();
    line.eleman = employee;
    QString error;
    const bool ok = writeDyeLine(f.DataSalonya->databaseName(), line, &error);
    if (ok) {
        showOpenTicket(f);
    } else if (error.startsWith(kLostServer)) {
        // The server may have taken the write before the line went down: the reason says so, and the
        // ticket is read again from the server, which the next statement finds once more.
        tell(f, QStringLiteral("İşlem adisyona yazılamadı.\n") + error);
        showOpenTicket(f);
    } else {
        tell(f, QStringLiteral("İşlem adisyona yazılamadı: veritabanı kilitli ya da disk dolu olabilir. "
                               "Adisyon değişmedi; biraz sonra yeniden deneyin."));
    }
    return ok;
}

void showOpenTicket(Salonya& f)
{
    // The picker's own change lists the history of today and resets TarihKriter.
    if (f.DTPicker1->date() != QDate::currentDate()) f.DTPicker1->setDate(QDate::currentDate());
    f.state.TarihKriter = Startup::dateCriterion(QDate::currentDate());
    f.DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + f.state.TarihKriter + QStringLiteral(" And Cari=")
                                   + Jet::quote(f.DataCari->field(0).toString()) + QStringLiteral(" And Eleman=")
                                   + Jet::quote(f.Text2->text()) + QStringLiteral(" And Yeni=1"));
    // No events run while a line is written and shown: a touch or a scan waits until the ticket is whole.
    Data::requery(f.DataSalonya);
}

bool writePickedStock(Salonya& f, bool picked)
{
    // A quantity that is not a positive number, or no stock card to write, writes nothing.
    const std::optional<double> quantity = parseQuantity(f.Text4->text());
    if (!quantity || *quantity <= 0 || !picked || f.DataStok->position() < 0) {
        Feedback::beep();
        return false;
    }
    // Lines belong to the customer and employee on screen; after a send or a touch on the open
    // tickets they may not be the current cards.
    if (!selectionShown(f)) {
        StockFrame::close(f);
        return false;
    }
    f.state.AktifListe = 0;
    if (!writeLine(f, *quantity)) return false;
    f.DBGridIslem->setFocus();
    // The ticket itself was re-read by writeLine a moment ago.
    for (DataSource* ds : {f.DataGunluk, f.DataGecmis}) Data::requery(ds);
    return true;
}

void deleteInContext(Salonya& f, bool controlDown)
{
    FormState& s = f.state;
    // With the stock frame open "SİL" is about the buttons, whatever list was touched last: it clears
    // the assignment of the service button touched last and deletes no card and no line.
    if (f.StokFrm->isVisibleTo(&f)) {
        const int n = int(s.SeciliButon);
        if (n >= 1 && n <= 26) {
            f.Command1[n]->setText(QString());
            Settings::save(QStringLiteral("Buton") + QString::number(n), QString());
        }
        return;
    }
    const int context = int(s.AktifListe);
    switch (context) {
    case 4:
        deleteListed(f, f.DataCari, QStringLiteral("Unvan"), f.DBListe1->text());
        return;
    case 5:
        deleteListed(f, f.DataEleman, QStringLiteral("Eleman"), f.DBListe2->text());
        return;
    case 1:
    case 2:
    case 3: {
        DataSource* ds = context == 1 ? f.DataGunluk : context == 2 ? f.DataSalonya : f.DataGecmis;
        s.AktifData = ds;
        if (ds->recordCount() > 0) deleteLine(f, ds, controlDown);
        (context == 1 ? f.DBGridMus : context == 2 ? f.DBGridIslem : f.CariList)->setFocus();
        break;
    }
    case 0:
        if (f.Text1->text() == f.DataCari->field(1).toString() && f.DataSalonya->recordCount() > 0)
            deleteLine(f, f.DataSalonya, controlDown);
        break;
    default:
        return;
    }
    refreshLines(f);
}

} // namespace TicketLines
