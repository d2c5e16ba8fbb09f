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

// Text1 and Text2 show the current customer and employee cards. When not, the field that is wrong
// turns red with its prompt and a beep sounds; needEmployee false checks the customer only.
bool selectionShown(Salonya& f, bool needEmployee = true);

// Writes the current stock card of DataStok as today's open line of the shown customer and employee,
// or rewrites that line: at most one open line per name, customer, employee and day, whatever the
// ticket grid shows; a sent or past line is never touched. A dye is weighed in grams and priced per
// 100 g. False when the save failed (the user is told, nothing is half-written).
bool writeLine(Salonya& f, double quantity);

// After a line is written (always for today): the desk goes back to today (picker and TarihKriter) and
// the ticket grid to today's open lines of the shown customer and employee, the lines the next send takes.
void showOpenTicket(Salonya& f);

// "ÜRÜN İŞLE": the picked stock card with the quantity of Text4; then the ticket grid has the focus
// and the line sources are refreshed. False, with a beep, when nothing was picked (picked false), the
// quantity is not a positive number or the selection is not shown; false too when the save failed.
bool writePickedStock(Salonya& f, bool picked);

// Deletes by AktifListe; a line that was already sent (Yeni not 1) goes only with controlDown. With the
// stock frame shown it only clears the marked service button.
void deleteInContext(Salonya& f, bool controlDown);

} // namespace TicketLines
