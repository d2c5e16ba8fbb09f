#include "subsystems.h"

#include "salonya.h"
#include "ticket/ticketentry.h"

// Each subsystem is a QObject child of the form; it connects to the controls it owns the behaviour of.
void createSubsystems(Salonya& form)
{
    // --- touch input: on-screen keyboard, keyboard search, Caps Lock ---

    // --- customers and employees ---

    // --- ticket: service buttons, grids, barcode, dye ---
    new TicketEntry(&form);

    // --- checkout ---

    // --- history ---

    // --- camera ---

    (void)form;
}
