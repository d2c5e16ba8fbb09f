#include "subsystems.h"

#include "salonya.h"
#include "checkout/checkout.h"
#include "customers/customers.h"
#include "input/inputgate.h"
#include "input/keyboard.h"
#include "ticket/ticketentry.h"

// Each subsystem is a QObject child of the form; it connects to the controls it owns the behaviour of.
void createSubsystems(Salonya& form)
{
    // --- touch input: on-screen keyboard, keyboard search, Caps Lock ---
    new InputGate(&form);
    new Keyboard(&form);

    // --- customers and employees ---
    new Customers(&form);

    // --- ticket: service buttons, grids, barcode, dye ---
    new TicketEntry(&form);

    // --- checkout ---
    new Checkout(&form);

    // --- history ---

    // --- camera ---

    (void)form;
}
