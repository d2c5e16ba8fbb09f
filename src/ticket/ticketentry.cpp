#include "ticketentry.h"

#include "dyeframe.h"
#include "servicepanel.h"
#include "stockframe.h"
#include "ticketgrids.h"
#include "app/salonya.h"

TicketEntry::TicketEntry(Salonya* form)
    : QObject(form), m_panel(new ServicePanel(form)), m_grids(new TicketGrids(form))
{
    setObjectName(QStringLiteral("TicketEntry"));
    new StockFrame(form, m_panel);
    new DyeFrame(form);
}
