#pragma once
// The register's side of the slot file: what waits in the three slots, and paying a slot
// (removing its rows in one transaction, as the register does after payment).

#include <QList>
#include <QString>
#include <QVariant>

namespace RegisterSlots {

struct Line {
    int slot = 0;
    int rowSay = 0;
    QString name;     // the column at position 1
    QString customer; // "Müsteri"
    QString barcode;
    QVariant quantity, price, amount;
    QString employee; // "eLEMAN"
};

// Lines of slots 1..3 by slot and running number. False with *error in Turkish when the file cannot be read.
bool read(const QString& slotFile, QList<Line>* lines, QString* error, int busyTimeoutMs = 3000);

// Empties slot n (1..3); returns the number of rows removed, or -1 with *error.
int pay(const QString& slotFile, int slot, QString* error, int busyTimeoutMs = 3000);

} // namespace RegisterSlots
