#pragma once
// One line of the open ticket written the way "Tamam" of the dye frame writes a dye: the price of
// 100 g, the amount grams / 100 × price, the barcode, the customer's title and the dye flag, dated
// and open. The open line of the same stock name for the customer, employee and day is rewritten
// rather than doubled. "Aynı" of the history writes its copies through it as well.

#include <QDate>
#include <QString>

struct DyeLine {
    QString islem;           // the stock card's StokAdi
    double quantity = 0;     // grams of a dye, pieces otherwise
    double price = 0;        // the card's Fiyat: per 100 g for a dye
    QString barcode;
    bool dye = true;         // false: pieces priced quantity × price, as "ÜRÜN İŞLE" writes them
    QString cari;            // customer code
    QString unvan;           // customer title
    QString eleman;          // employee name
    QDate day = QDate::currentDate();
};

// grams / 100 × price to four decimals, like a Currency field.
double dyeAmount(double grams, double pricePer100g);

// Writes the line into the Salonya table of the given file. False, with the reason, when the save
// failed; nothing is then half-written.
bool writeDyeLine(const QString& salonyaFile, const DyeLine& line, QString* error);
