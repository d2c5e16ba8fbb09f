#include "ticketentry.h"

#include "dyeframe.h"
#include "servicepanel.h"
#include "stockframe.h"
#include "stockpick.h"
#include "ticketgrids.h"
#include "app/salonya.h"

TicketEntry::TicketEntry(Salonya* form)
    : QObject(form)
{
    setObjectName(QStringLiteral("TicketEntry"));
    auto* dye = new DyeFrame(form);
    auto* pick = new StockPick(form, dye);
    m_panel = new ServicePanel(form, pick, dye);
    m_grids = new TicketGrids(form);
    new StockFrame(form, pick);
}
