#include "ticketentry.h"

#include "dyeframe.h"
#include "servicepanel.h"
#include "stockframe.h"
#include "stockpick.h"
#include "ticketgrids.h"
#include "app/salonya.h"
#include "ui/textbox.h"

#include <QGroupBox>

TicketEntry::TicketEntry(Salonya* form)
    : QObject(form), f(form)
{
    setObjectName(QStringLiteral("TicketEntry"));
    auto* dye = new DyeFrame(form);
    auto* pick = new StockPick(form, dye);
    m_panel = new ServicePanel(form, pick, dye);
    m_grids = new TicketGrids(form);
    m_stock = new StockFrame(form, pick);
}

namespace {
constexpr int kStoklar = 27; // the "STOKLAR" button
}

void TicketEntry::scan(const QString& code)
{
    if (!f->StokFrm->isVisibleTo(f)) m_panel->Command1_Click(kStoklar, false);
    f->StokText->setText(code);
    m_stock->lookUp();
}
