#include "ticketentry.h"

#include "servicepanel.h"
#include "ticketgrids.h"
#include "app/salonya.h"

TicketEntry::TicketEntry(Salonya* form)
    : QObject(form), m_panel(new ServicePanel(form)), m_grids(new TicketGrids(form))
{
    setObjectName(QStringLiteral("TicketEntry"));
}
