#include "ticketlines.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDate>
#include <QGroupBox>
#include <QLocale>
#include <QPushButton>
#include <cmath>

namespace TicketLines {
namespace {

const QString kTitle = QStringLiteral("Salonya");

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

double amount(double quantity, double price) { return std::round(quantity * price * 10000.0) / 10000.0; }

bool writePickedStock(Salonya& f)
{
    FormState& s = f.state;
    DataSource* lines = f.DataSalonya;
    DataSource* stock = f.DataStok;
    DataSource* customer = f.DataCari;
    // A quantity that is not a number, or no stock card to write, writes nothing.
    const std::optional<double> quantity = parseQuantity(f.Text4->text());
    if (!quantity || stock->position() < 0) {
        Feedback::beep();
        return false;
    }
    if (customer->field(1).toString() != f.Text1->text() || f.DataEleman->field(0).toString() != f.Text2->text())
        f.StokFrm->hide();
    s.AktifListe = 0;

    bool lookupFailed = false; // a failed find is not "no such line": adding then would duplicate it
    bool adding = lines->recordCount() == 0;
    if (adding) {
        s.KayitBekle = true;
    } else {
        const QString criterion = stock->field(QStringLiteral("Gurup")).toString() == u"Boya"
            ? QStringLiteral("Islem=") + Jet::quote(f.Text3->text()) + QStringLiteral(" And Cari=")
                + Jet::quote(customer->field(0).toString())
            : QStringLiteral("Islem=") + Jet::quote(stock->field(1).toString());
        // The lines shown may include sent ones (after a touch on the open tickets); a sent line is
        // never reopened, or the register would charge it twice.
        adding = !lines->findFirst(criterion + QStringLiteral(" And Yeni=1"));
        lookupFailed = adding && !lines->noMatch();
    }
    const double price = stock->field(3).toDouble();
    bool ok = !lookupFailed
        && (adding ? lines->addNew() && lines->setField(0, stock->field(1)) && lines->setField(3, customer->field(0))
                   : lines->edit());
    ok = ok && lines->setField(1, *quantity) && lines->setField(2, stock->field(3))
        && lines->setField(5, QDate::currentDate()) && lines->setField(6, f.Text2->text()) && lines->setField(7, 1)
        && lines->setField(8, stock->field(2)) && lines->setField(9, customer->field(1))
        && lines->setField(10, amount(*quantity, price)) && lines->update();
    if (!ok) {
        lines->cancelUpdate();
        s.KayitBekle = false;
        tell(f, QStringLiteral("İşlem adisyona yazılamadı: veritabanı kilitli ya da disk dolu olabilir. "
                               "Adisyon değişmedi; biraz sonra yeniden deneyin."));
        return false;
    }
    Data::waitForSave(s.KayitBekle);
    f.DBGridIslem->setFocus();
    refreshLines(f);
    return true;
}

void deleteInContext(Salonya& f, bool controlDown)
{
    FormState& s = f.state;
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
        if (f.StokFrm->isVisibleTo(&f)) {
            // Only the assignable buttons carry a stock name; a function button keeps its caption.
            const int n = int(s.SeciliButon);
            if (n >= 1 && n <= 26) {
                f.Command1[n]->setText(QString());
                Settings::save(QStringLiteral("Buton") + QString::number(n), QString());
            }
        } else if (f.Text1->text() == f.DataCari->field(1).toString() && f.DataSalonya->recordCount() > 0) {
            deleteLine(f, f.DataSalonya, controlDown);
        }
        break;
    default:
        return;
    }
    refreshLines(f);
}

} // namespace TicketLines
