#include "stockpick.h"

#include "dyeframe.h"
#include "app/salonya.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "ui/feedback.h"
#include "ui/textbox.h"

const QString StockPick::EveryCard = QStringLiteral("Select * From StokKartlar");

namespace {
QString named(const QString& name) { return QStringLiteral("StokAdi=") + Jet::quote(name); }
} // namespace

StockPick::StockPick(Salonya* form, DyeFrame* dye) : QObject(form), f(form), m_dye(dye)
{
    // A search, the dye frame or entering the stock field moves DataStok; a typed amount is grams.
    // Neither leaves a card to write.
    connect(f->DataStok, &DataSource::reposition, this, &StockPick::drop);
    connect(f->DataStok, &DataSource::requeried, this, &StockPick::drop);
    connect(f->Text4, &QLineEdit::textChanged, this, &StockPick::drop);
}

// No events run here, so a scanner's next keys wait their turn in order.
bool StockPick::everyCard()
{
    DataSource* ds = f->DataStok;
    // The own stock cards change only at start-up: a scan right after another keeps the cards it read.
    if (ds->isOpen() && ds->recordSource() == EveryCard) return true;
    ds->setRecordSource(EveryCard);
    if (ds->refresh()) return true;
    Feedback::message(f, Feedback::Icon::Warning, QStringLiteral("Stoklar"),
                      QStringLiteral("Stok kartları okunamadı.\n%1").arg(ds->lastError()));
    return false;
}

bool StockPick::byName(const QString& name)
{
    DataSource* ds = f->DataStok;
    // A list the user narrowed keeps showing when it holds the card.
    return take(!name.isEmpty() && (ds->findFirst(named(name)) || (everyCard() && ds->findFirst(named(name)))), true);
}

bool StockPick::byCode(const QString& code)
{
    DataSource* ds = f->DataStok;
    // An empty code is no code: it would find the first card without a barcode.
    return take(everyCard() && !code.isEmpty()
                    && (ds->findFirst(QStringLiteral("Barkod=") + Jet::quote(code)) || ds->findFirst(named(code))),
                true);
}

bool StockPick::byList(const QString& name)
{
    f->DataStok->moveFirst();
    // A dye stays only highlighted: the list also assigns cards to the buttons.
    return take(f->DataStok->findFirst(named(name)), false);
}

bool StockPick::take(bool found, bool weighDye)
{
    m_picked = false;
    if (!found) return false;
    DataSource* ds = f->DataStok;
    if (ds->field(QStringLiteral("Gurup")).toString() == u"Boya") {
        if (weighDye) m_dye->weigh(ds->field(1).toString());
        return true;
    }
    f->Text4->setText(QStringLiteral("1"));
    m_picked = true;
    return true;
}
