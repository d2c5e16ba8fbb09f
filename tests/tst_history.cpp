// The customer's history under the customer field: the filter buttons and their enabling, "Aynı"
// writing the listed dye lines as the dye frame would, the day filter, the double touch and the row change.
#include "salonfixture.h"
#include "ticketlines.h"

#include "app/salonya.h"
#include "history/history.h"
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <tuple>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QString kAyse = u"AYŞE YILMAZ"_s, kBerk = u"BERK ÖZ"_s, kCem = u"CEM AK"_s;
const QString kGulay = u"Gülay Kaya"_s, kAli = u"Ali Nur"_s;

struct Desk {
    SalonFixture fx;
    Salonya* f = nullptr;

    static TicketLines::Line past(const QString& islem, double miktar, double fiyat, const QString& eleman, QDate day, bool dye,
                                  const QString& cari = u"M1"_s)
    {
        TicketLines::Line l = TicketLines::line(islem, miktar, fiyat, cari, cari == u"M1" ? kAyse : kCem, eleman);
        std::tie(l.tarih, l.gurup, l.yeni) = std::tuple(day, dye, 0);
        return l;
    }
    // AYŞE has two haircuts and a dye on 5 March 2024 and two older dyes, one of them no longer sold;
    // CEM had a haircut only; BERK never came.
    bool open(const QString& customer)
    {
        const QDate march5(2024, 3, 5);
        return writeCards(fx.cardFile(), {card(u"M1"_s, kAyse), card(u"M2"_s, kBerk), card(u"M3"_s, kCem),
                                          card(u"E1"_s, kGulay, u"Eleman"_s), card(u"E2"_s, kAli, u"Eleman"_s)})
            && writeStock(fx.stockFile(), {stock(u"S1"_s, u"Saç Kesim"_s, u"111"_s, 300),
                                           stock(u"D1"_s, u"Boya 7.0"_s, u"8690001"_s, 120, u"Boya"_s),
                                           stock(u"D2"_s, u"Boya 5.1"_s, u"8690002"_s, 150, u"Boya"_s)})
            && fx.execOwn(u"Salonya.Mdb"_s, u"SELECT 1"_s)
            && !TicketLines::write(fx.ownFile(u"Salonya.Mdb"_s),
                                   {past(u"Saç Kesim"_s, 1, 250, kAli, march5, false), past(u"Saç Kesim"_s, 1, 250, kGulay, march5, false),
                                    past(u"Boya 7.0"_s, 35, 100, kAli, march5, true),
                                    past(u"Boya 5.1"_s, 20, 140, kGulay, QDate(2024, 1, 10), true),
                                    past(u"Boya Eski"_s, 10, 90, kGulay, QDate(2023, 12, 1), true),
                                    past(u"Saç Kesim"_s, 1, 250, kAli, march5, false, u"M3"_s)})
                    .isEmpty()
            && (f = fx.start()) && choose(f->Text1, f->DBListe1, customer);
    }
    bool choose(TextBox* field, TouchList* list, const QString& name) { SalonFixture::touch(field); return fx.tapListEntry(list, name); }
    void press(int button) { SalonFixture::touch(f->Command3[button]); }
    QList<bool> enabled() const { return {f->Command3[0]->isEnabled(), f->Command3[1]->isEnabled(), f->Command3[2]->isEnabled()}; }
    int shown() const { return f->CariList->model()->rowCount(); }
    QList<QVariantMap> openLines() const { return rows(fx.ownFile(u"Salonya.Mdb"_s), u"SELECT * FROM Salonya WHERE Yeni=1 ORDER BY Islem"_s); }
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void buttonsFollowTheHistory_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::newRow("no history") << kBerk << -1 << 0 << QList<bool>{false, false, false};
        QTest::newRow("Boya without dye lines") << kCem << 1 << 0 << QList<bool>{true, false, false};
        QTest::newRow("İşlemler") << kAyse << 0 << 5 << QList<bool>{true, true, true};
        QTest::newRow("Boya") << kAyse << 1 << 3 << QList<bool>{false, true, true};
    }
    void buttonsFollowTheHistory()
    {
        QFETCH(QString, customer);
        QFETCH(int, button);
        Desk d;
        QVERIFY(d.open(customer));
        if (button >= 0) d.press(button);
        QTEST(d.shown(), "rows");
        QTEST(d.enabled(), "enabled");
        // Newest first; the reposition left every button yellow.
        if (d.shown() > 0) {
            QCOMPARE(d.f->DataGecmis->field(u"Tarih"_s).toDate(), QDate(2024, 3, 5));
            for (QPushButton* b : std::as_const(d.f->Command3)) QCOMPARE(Look::backColor(b), Look::Yellow);
        }
    }

    void sameAfterBoyaWritesTodaysDyeLinesOnce()
    {
        Desk d;
        QVERIFY(d.open(kAyse));
        // Without an employee nothing is written.
        d.press(1);
        d.press(2);
        QCOMPARE(d.f->Text2->text(), u"ELEMAN SEÇİN..?"_s);
        QCOMPARE(d.fx.beeps, 1);
        QVERIFY(d.openLines().isEmpty());

        QVERIFY(d.choose(d.f->Text2, d.f->DBListe2, kGulay));
        // Today's price of 100 g, grams / 100 × price, the barcode and title; the second touch rewrites, never doubles.
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QStringList expected{u"Boya 5.1|20|150|30|8690002|1|"_s + today + u"|Gülay Kaya|AYŞE YILMAZ|M1"_s,
                                   u"Boya 7.0|35|120|42|8690001|1|"_s + today + u"|Gülay Kaya|AYŞE YILMAZ|M1"_s};
        for (int round = 0; round < 2; ++round) {
            d.press(1);
            QVERIFY(d.f->Command3[2]->isEnabled());
            d.press(2);
            QStringList written;
            for (const QVariantMap& l : d.openLines()) {
                QStringList v;
                for (const char* n : {"Islem", "Miktar", "Fiyat", "Tutar", "Barkod", "Gurup", "Tarih", "Eleman", "Unvan", "Cari"})
                    v << l.value(QString::fromLatin1(n)).toString();
                written << v.join(u'|');
            }
            QCOMPARE(written, expected);
        }
        // The dye no longer sold was left out, and the user told so each time.
        QCOMPARE(d.fx.messages.size(), 2);
        QVERIFY(d.fx.messages.last().contains(u"Boya Eski"_s));
        QCOMPARE(d.f->DataSalonya->recordCount(), 2); // the ticket grid shows them
    }

    // Any locale writes the day as Jet does; while loading (Durum 99) the row change does nothing.
    void doubleTouchDayFilterAndRowChange_data()
    {
        QTest::addColumn<float>("durum");
        QTest::addColumn<QString>("locale");
        QTest::newRow("idle, tr") << 0.0f << u"tr_TR"_s;
        QTest::newRow("idle, en") << 0.0f << u"en_US"_s;
        QTest::newRow("loading, de") << 99.0f << u"de_DE"_s;
    }
    void doubleTouchDayFilterAndRowChange()
    {
        QFETCH(float, durum);
        QFETCH(QString, locale);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        Desk d;
        QVERIFY(d.open(kAyse));
        d.press(0);
        DataGrid* grid = d.f->CariList;
        // Without the marker (the grid has not been touched) a double touch does nothing.
        d.f->findChild<History*>()->CariList_DblClick();
        QCOMPARE(d.shown(), 5);
        QVERIFY(SalonFixture::touchCell(grid, 3));
        QCOMPARE(d.f->state.AktifListe, 3.0f);
        QCOMPARE(grid->marqueeStyle(), int(DataGrid::MarqueeHighlightRow));
        QCOMPARE(d.f->ElemanLbl->text(), u"Eleman > Gülay Kaya"_s);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(grid->model()->index(3, 0)).center());
        QCOMPARE(d.f->DTPicker1->date(), QDate(2024, 1, 10));
        QCOMPARE(d.f->state.TarihKriter, u"Tarih=#01/10/2024#"_s);
        QCOMPARE(d.shown(), 1);
        d.f->DTPicker1->setDate(QDate(2024, 3, 5)); // the dye, then the two haircuts of that day
        QLocale::setDefault(before);
        QCOMPARE(d.f->state.TarihKriter, u"Tarih=#03/05/2024#"_s);
        QCOMPARE(d.shown(), 3);
        d.f->ElemanLbl->setText(u"-"_s);
        d.f->state.Durum = durum;
        QVERIFY(SalonFixture::touchCell(grid, 2));
        d.f->state.Durum = 0;
        // The second haircut moves the history to the day's first haircut, whose employee the label names.
        QCOMPARE(d.f->DataGecmis->position(), durum == 99 ? 2 : 1);
        QCOMPARE(d.f->ElemanLbl->text(),
                 durum == 99 ? u"-"_s : u"Eleman > "_s + d.f->DataGecmis->field(u"Eleman"_s).toString());
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
