#include "desk.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/jet.h"
#include "ui/textbox.h"

#include <QDate>
#include <QPushButton>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

const QString Desk::Ayse = u"AYŞE YILMAZ"_s;
const QString Desk::Nazli = u"NAZLI D'ANGELO"_s;
const QString Desk::Gulay = u"Gülay Kaya"_s;
const QString Desk::Ali = u"Ali D'Nur"_s;

bool Desk::open(const QString& buttonColour)
{
    if (!writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, u"8690001"_s, 150), stock(u"S2"_s, u"Saç Kesim"_s, u"8690002"_s, 300),
                                     stock(u"S3"_s, u"Kadın'a Bakım"_s, u"8690003"_s, 33.3333),
                                     stock(u"D1"_s, u"Boya 7.0 Kumral"_s, u"8690900"_s, 120, u"Boya"_s),
                                     stock(u"D2"_s, u"D'Or Boya 5.1"_s, u"8690901"_s, 80, u"Boya"_s),
                                     stock(u"P1"_s, u"Şampuan 400 ml"_s, u"8690500"_s, 250, u"Ürün"_s)})
        || !writeCards(fx.cardFile(), {card(u"M1"_s, Ayse), card(u"M2"_s, Nazli), card(u"E1"_s, Gulay, u"Eleman"_s), card(u"E2"_s, Ali, u"Eleman"_s)}))
        return false;
    // A card the desk hides from its lists; only the desk's own table has such cards.
    if (!fx.execOwn(u"Stok.Mdb"_s, u"INSERT INTO StokKartlar VALUES ('P2','Gizli Serum','8690777',90,'Ürün',1)"_s)) return false;
    const QStringList names{u"Fön"_s, u"Saç Kesim"_s, u"Kadın'a Bakım"_s};
    for (int i = 0; i < names.size(); ++i) Settings::save(u"Buton%1"_s.arg(i + 1), names[i]);
    if (!buttonColour.isEmpty()) Settings::save(u"ZeminRenk"_s, buttonColour);
    return (f = fx.start());
}

bool Desk::select(const QString& customer, const QString& employee)
{
    SalonFixture::touch(f->Text1);
    if (!fx.tapListEntry(f->DBListe1, customer)) return false;
    if (employee.isEmpty()) return true;
    SalonFixture::touch(f->Text2);
    return fx.tapListEntry(f->DBListe2, employee);
}

bool Desk::selectWithGateOpen(const QString& customer, const QString& employee)
{
    const bool ok = select(customer, employee);
    if (ok) f->state.AktifListe = 0;
    return ok;
}

void Desk::touch(int index, Qt::KeyboardModifiers mods) { SalonFixture::touch(f->Command1[index], mods); }

void Desk::write(std::initializer_list<int> buttons)
{
    for (int i : buttons) touch(i), touch(UrunIsle);
}

bool Desk::addLine(const QString& name, int yeni, int daysAgo)
{
    return fx.execOwn(u"Salonya.Mdb"_s, u"INSERT INTO Salonya (Islem,Miktar,Fiyat,Cari,Tarih,Eleman,Yeni,Unvan,Tutar) VALUES (%1,1,100,'M1','%2',%3,%4,%5,100)"_s
                                            .arg(Jet::quote(name), QDate::currentDate().addDays(-daysAgo).toString(Qt::ISODate), Jet::quote(Gulay))
                                            .arg(yeni).arg(Jet::quote(Ayse)));
}

QString Desk::salonFile() const { return fx.ownFile(u"Salonya.Mdb"_s); }
QList<QVariantMap> Desk::lines() const { return rows(salonFile(), u"SELECT * FROM Salonya ORDER BY rowid"_s); }
