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
    auto* gate = new InputGate(&form);
    new Keyboard(&form);

    // --- customers and employees ---
    auto* customers = new Customers(&form);

    // --- ticket: service buttons, grids, barcode, dye ---
    auto* ticket = new TicketEntry(&form);

    // A scan is a loyalty card while the customer field has the keyboard, a stock code anywhere else.
    QObject::connect(gate, &InputGate::scanned, &form, [&form, customers, ticket](const QString& code) {
        if (form.state.AktifAlan == u"CariKartlar") customers->selection()->readCard(code);
        else ticket->scan(code);
    });

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
