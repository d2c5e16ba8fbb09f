#include "dyeline.h"

#include "data/datasource.h"
#include "data/jet.h"

#include <cmath>

double dyeAmount(double grams, double pricePer100g)
{
    return std::round(grams / 100.0 * pricePer100g * 10000.0) / 10000.0;
}

bool writeDyeLine(const QString& salonyaFile, const DyeLine& l, QString* error)
{
    // Only an open line is rewritten: a line already sent to the register keeps what it was charged.
    DataSource lines(QStringLiteral("DyeLine"));
    lines.setDatabaseName(salonyaFile);
    lines.setRecordSource(QStringLiteral("Select * From Salonya Where Islem=") + Jet::quote(l.islem)
                          + QStringLiteral(" And Cari=") + Jet::quote(l.cari) + QStringLiteral(" And Eleman=")
                          + Jet::quote(l.eleman) + QStringLiteral(" And Tarih=") + Jet::dateLiteral(l.day)
                          + QStringLiteral(" And Yeni=1"));
    const double amount = l.dye ? dyeAmount(l.quantity, l.price) : std::round(l.quantity * l.price * 10000.0) / 10000.0;
    bool ok = lines.refresh();
    ok = ok
        && (lines.recordCount() > 0 ? lines.edit()
                                    : lines.addNew() && lines.setField(0, l.islem) && lines.setField(3, l.cari));
    ok = ok && lines.setField(1, l.quantity) && lines.setField(2, l.price) && lines.setField(4, l.dye)
        && lines.setField(5, l.day) && lines.setField(6, l.eleman) && lines.setField(7, 1)
        && lines.setField(8, l.barcode) && lines.setField(9, l.unvan) && lines.setField(10, amount) && lines.update();
    if (!ok) {
        lines.cancelUpdate();
        if (error) *error = lines.lastError();
    }
    return ok;
}
