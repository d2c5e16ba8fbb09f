#pragma once
// Ticket lines written straight into a desk's "Salonya.Mdb" (or its ticket book on the salon server), as the ticket buttons leave them.

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantMap>

namespace TicketLines {

struct Line {
    QString islem;
    QVariant miktar = 1;
    QVariant fiyat = 0;
    QString cari;
    QVariant gurup = false; // null: "missing"
    QDate tarih = QDate::currentDate();
    QString eleman;
    int yeni = 1;
    QString barkod;
    QString unvan;
    QVariant tutar = 0;
};

// Appends the lines in one transaction; their rowids in order, empty on failure.
QList<qint64> write(const QString& salonyaFile, const QList<Line>& lines);

// A line of NAZLI D'ANGELO (M1) by Gülay Kaya; its barcode "869" and the last three letters of the name.
Line line(const QString& islem, double miktar = 1, double fiyat = 100, const QString& cari = QStringLiteral("M1"),
          const QString& unvan = QStringLiteral("NAZLI D'ANGELO"), const QString& eleman = QStringLiteral("Gülay Kaya"));
// A slot file row that keeps a slot taken by an earlier customer ("ESKİ MÜŞTERİ <slot>").
QVariantMap takenSlot(int slot);

} // namespace TicketLines
