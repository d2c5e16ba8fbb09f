#pragma once
// The ticket suites' salon: three service buttons, two dyes, products (one hidden), two customers, two employees.

#include "salonfixture.h"

#include <QVariantMap>

class Salonya;

struct Desk {
    enum Button { Boya = 0, Fon = 1, SacKesim = 2, Bakim = 3, Empty = 5, Stoklar = 27, UrunIsle = 28, Sil = 29,
                  Kamera = 30, ResimCek = 31, Exit = 32 };
    static const QString Ayse, Nazli, Gulay, Ali;

    SalonFixture fx;
    Salonya* f = nullptr;

    // Writes the salon (ZeminRenk when given) and starts the desk on it.
    bool open(const QString& buttonColour = QString());
    // Picks in the customer and employee lists; the last list touched stays AktifListe.
    bool select(const QString& customer, const QString& employee);
    // The same, then no list counts as touched (as "BOYA" or a written line leave it).
    bool selectWithGateOpen(const QString& customer, const QString& employee);
    void touch(int index, Qt::KeyboardModifiers mods = Qt::NoModifier);
    // One line per service button with the quantity already in Text4.
    void write(std::initializer_list<int> buttons);
    // A line of Ayşe by Gülay as another terminal or an earlier visit left it.
    bool addLine(const QString& name, int yeni, int daysAgo = 0);

    QString salonFile() const;
    QList<QVariantMap> lines() const;
};
