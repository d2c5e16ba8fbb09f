#pragma once
// Accounting files as another program writes them: known columns at their positions, the rest under strange names.

#include <QMap>
#include <QString>
#include <QVariant>

namespace AccountingFiles {

using Row = QMap<int, QVariant>; // field position -> value
// Declarations other than the usual ones: "name type" by position, a table without rowids keyed on field 0.
struct Layout {
    QMap<int, QString> declared;
    bool withoutRowid = false;
};

// StokKartlar: 0 code, 1 name, 13 mark, 15 barcode, 16 price, 30 group, 31 StokGizle.
bool writeStock(const QString& path, const QList<Row>& rows, QString* error = nullptr, const Layout& layout = {});
// CariKartlar: 0 code, 1 title, 15 card number, 26 mark, 28-30 copied, 44 Gurup, 45 HesKullan.
bool writeCards(const QString& path, const QList<Row>& rows, QString* error = nullptr, const Layout& layout = {});
// Müsteri: the empty slot table, or with rows by column name.
bool writeSlots(const QString& path, const QList<QVariantMap>& rows = {}, QString* error = nullptr);

QVariantList column(const QString& path, const QString& table, int position, const QString& orderBy = QStringLiteral("rowid"));
int count(const QString& path, const QString& sql);
// Every row a query gives, by column name: any SQLite file, and the desk's own three databases on the
// engine the desk runs on (the file, or the salon server when one is set).
QList<QVariantMap> rows(const QString& path, const QString& sql);
// Runs statements on a file, or an own database, as another program would (a trigger, a line written elsewhere).
bool exec(const QString& path, const QString& sql, QString* error = nullptr);

inline Row stock(const QString& code, const QString& name, const QString& barcode, double price,
                 const QString& group = QStringLiteral("Hizmet"), int hidden = 0)
{
    return {{0, code}, {1, name}, {13, 1}, {15, barcode}, {16, price}, {30, group}, {31, hidden}};
}
inline Row card(const QString& code, const QString& title, const QString& group = QStringLiteral("Müşteri"),
                const QString& cardNo = QString(), int hesKullan = 0)
{
    return {{0, code}, {1, title}, {15, cardNo}, {26, 1}, {28, QStringLiteral("0532 000 00 00")},
            {29, QStringLiteral("Bağdat Cd.")}, {30, QStringLiteral("İstanbul")}, {44, group}, {45, hesKullan}};
}

} // namespace AccountingFiles
