#pragma once
// Cards made at the front desk: "Cr-" codes numbered from the RecNo counter that customer and
// employee cards share. The callers run these inside one transaction so a card is saved whole or not at all.

#include <QString>

class DataSource;
class Salonya;

namespace DeskCards {

// The last number issued, as the handlers start from it: "1001" when the counter is empty or not a number.
QString lastIssued(DataSource* rec);

// Adds a card to DataCari: code "Cr-" + the first number after Program::GeciciMetin that no card has yet,
// the title, the group and Yeni 1. Program::GeciciMetin then holds the number used.
bool addCard(Salonya& f, const QString& title, const QString& group, QString* error);

// Writes the counter into its single record, or adds the record when the table is empty.
bool storeCounter(DataSource* rec, const QString& number, QString* error);

} // namespace DeskCards
