#pragma once
// The lines of the open ticket as the panel writes and deletes them: "ÜRÜN İŞLE" writes the picked
// stock card (or rewrites the line of the same name), "SİL" deletes in the list or grid touched last.

#include <QString>
#include <optional>

class Salonya;

namespace TicketLines {

// A quantity as typed: "2", "2,5" (decimal comma) or "2.5"; nothing when it is not a number.
std::optional<double> parseQuantity(const QString& text);
// Quantity × price as a line keeps it: four decimals.
double amount(double quantity, double price);

// Writes the current stock card of DataStok as a line of the open ticket with the quantity of Text4,
// waits for the save, focuses the ticket grid and refreshes the three line sources. False when
// nothing was written: a refused quantity (beep) or a failed save (the user is told, the ticket stays).
bool writePickedStock(Salonya& f);

// Deletes by AktifListe; a line that was already sent (Yeni not 1) goes only with controlDown.
void deleteInContext(Salonya& f, bool controlDown);

} // namespace TicketLines
