#pragma once
// Writes a demo accounting folder: the stock and account files the front desk imports at start,
// and the empty cash-register slot file. Same seed and sizes, same data.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace Demo {

struct DemoOptions {
    QString prefix;     // e.g. "/data/DefteryaData/01"; file names are appended without a separator
    int customers = 300;
    int stock = -1;     // -1: the base catalogue as it is
    int employees = 10;
    quint32 seed = 1;
    bool force = false; // replace existing stock and account files (the slot file is never replaced)
};

// False with *error set when the options are bad, a file exists without force, or writing fails;
// nothing is left half-written then. *report gets one line per file.
bool writeDemoSalon(const DemoOptions& options, QString* error, QStringList* report = nullptr);

QString stockFile(const QString& prefix); // <prefix>Stok.mdb
QString cariFile(const QString& prefix);  // <prefix>Cari.mdb
QString slotFile(const QString& prefix);  // Müsteri.mdb in the prefix's folder

int baseStockCount();

// Names for the desk's service buttons from a written demo stock file: services, then a few products.
QStringList buttonCaptions(const QString& prefix, int count = 26);

// Upper case by Turkish rules: i -> İ, ı -> I.
QString turkishUpper(const QString& text);
// The 13-digit EAN for 12 digits (check digit appended); empty when the input is not 12 digits.
QString ean13(const QString& twelveDigits);

} // namespace Demo
