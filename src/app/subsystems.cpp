#include "subsystems.h"

#include "salonya.h"
#include "checkout/checkout.h"
#include "customers/customers.h"
#include "history/history.h"
#include "input/inputgate.h"
#include "input/keyboard.h"
#include "ticket/ticketentry.h"
#include "ui/gridlayout.h"
#include "ui/desktouch.h"
#include "ui/fontscolours.h"
#include "windowplace.h"

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

    // --- window: proportional layout, geometry, close; fonts, colours and touch gestures ---
    new WindowPlace(&form);
    new FontsColours(&form);
    new DeskTouch(&form);

    // --- history ---
    new History(&form);

    // --- grid column layouts and header sorting ---
    new GridLayouts(&form);
}
