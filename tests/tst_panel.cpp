// The service panel on a small salon: the gate and the selection test, writing and rewriting ticket
// lines, "SİL" in each context, the function buttons, and saves that fail.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ticket/servicepanel.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QClipboard>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QString kAyse = u"AYŞE YILMAZ"_s;
const QString kNazli = u"NAZLI D'ANGELO"_s;
const QString kGulay = u"Gülay Kaya"_s;
const QString kAli = u"Ali D'Nur"_s;

enum { Boya = 0, Fon = 1, SacKesim = 2, Bakim = 3, Empty = 5, Stoklar = 27, UrunIsle = 28, Sil = 29, Kamera = 30,
       ResimCek = 31, Exit = 32 };

// A salon with three services on buttons 1-3, a dye, two customers and two employees.
struct Desk {
    SalonFixture fx;
    Salonya* f = nullptr;

    bool open(const QString& buttonColour = QString())
    {
        if (!writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, u"8690001"_s, 150), stock(u"S2"_s, u"Saç Kesim"_s, u"8690002"_s, 300),
                                         stock(u"S3"_s, u"Kadın'a Bakım"_s, u"8690003"_s, 33.3333),
                                         stock(u"D1"_s, u"Boya 7.0 Kumral"_s, u"8690900"_s, 120, u"Boya"_s)})
            || !writeCards(fx.cardFile(), {card(u"M1"_s, kAyse), card(u"M2"_s, kNazli), card(u"E1"_s, kGulay, u"Eleman"_s),
                                           card(u"E2"_s, kAli, u"Eleman"_s)}))
            return false;
        const QStringList names{u"Fön"_s, u"Saç Kesim"_s, u"Kadın'a Bakım"_s};
        for (int i = 0; i < names.size(); ++i) Settings::save(u"Buton%1"_s.arg(i + 1), names[i]);
        if (!buttonColour.isEmpty()) Settings::save(u"ZeminRenk"_s, buttonColour);
        f = fx.start();
        return f;
    }
    // Picks in the customer and employee lists, as at the desk; the last list touched stays AktifListe.
    bool select(const QString& customer, const QString& employee)
    {
        SalonFixture::touch(f->Text1);
        if (!fx.tapListEntry(f->DBListe1, customer)) return false;
        if (employee.isEmpty()) return true;
        SalonFixture::touch(f->Text2);
        return fx.tapListEntry(f->DBListe2, employee);
    }
    // The gate as "BOYA" or a written line leave it: no list or grid touched last.
    bool selectWithGateOpen(const QString& customer, const QString& employee)
    {
        if (!select(customer, employee)) return false;
        f->state.AktifListe = 0;
        return true;
    }
    void touch(int index, Qt::KeyboardModifiers mods = Qt::NoModifier) { SalonFixture::touch(f->Command1[index], mods); }
    QString salonFile() const { return fx.ownFile(u"Salonya.Mdb"_s); }
    QList<QVariantMap> lines() const { return rows(salonFile(), u"SELECT * FROM Salonya ORDER BY rowid"_s); }
    quint32 colour(int index) const { return Look::backColor(f->Command1[index]); }
    quint32 normal() const { return colour(Exit); }
    // A line as another terminal or an earlier visit left it.
    bool addLine(const QString& name, int yeni)
    {
        return fx.execOwn(u"Salonya.Mdb"_s, u"INSERT INTO Salonya (Islem,Miktar,Fiyat,Cari,Tarih,Eleman,Yeni,Unvan,Tutar) "
                                              "VALUES (%1,1,100,'M1','%2',%3,%4,%5,100)"_s
                                                  .arg(Jet::quote(name), QDate::currentDate().toString(Qt::ISODate), Jet::quote(kGulay))
                                                  .arg(yeni)
                                                  .arg(Jet::quote(kAyse)));
    }
    // Writes one line per service button with the quantity already in Text4.
    void write(std::initializer_list<int> buttons)
    {
        for (int i : buttons) {
            touch(i);
            touch(UrunIsle);
        }
    }
    QVariantList names() const { return column(salonFile(), u"Salonya"_s, 0); }
};

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    // No webcam whatever the machine has: the camera window says so and takes no picture.
    void initTestCase() { qputenv("SALONYA_TEST_CAMERA", "0"); }
    void selectionTestGuardsTheButtons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("employee");
        QTest::addColumn<QString>("refusedField"); // "", "Text1" or "Text2"
        const QString none;
        for (int i : {Fon, Boya, UrunIsle, Sil, Kamera, ResimCek})
            QTest::addRow("no customer, %d", i) << i << none << none << "Text1";
        for (int i : {Fon, Boya, UrunIsle, Sil})
            QTest::addRow("customer only, %d", i) << i << kAyse << none << "Text2";
        for (int i : {Kamera, ResimCek})
            QTest::addRow("customer only, %d", i) << i << kAyse << none << "";
        QTest::addRow("no customer, STOKLAR") << int(Stoklar) << none << none << "";
        for (int i : {Fon, Boya, Sil})
            QTest::addRow("both, %d", i) << i << kAyse << kGulay << "";
    }
    void selectionTestGuardsTheButtons()
    {
        QFETCH(int, index);
        QFETCH(QString, customer);
        QFETCH(QString, employee);
        QFETCH(QString, refusedField);
        Desk d;
        QVERIFY(d.open());
        if (!customer.isEmpty()) QVERIFY(d.selectWithGateOpen(customer, employee));
        d.f->state.SeciliButon = Fon;
        Look::setBackColor(d.f->Command1[Fon], Look::Green);
        const QString text1 = d.f->Text1->text(), text2 = d.f->Text2->text();
        d.touch(index);
        if (refusedField.isEmpty()) {
            QCOMPARE(d.f->state.SeciliButon, float(index));
            QCOMPARE(d.fx.beeps, index == ResimCek ? 1 : 0); // the camera's sound: a beep without Kamera.wav or a picture
            QCOMPARE(Look::backColor(d.f->Text1), Look::White);
            QCOMPARE(d.f->Text1->text(), text1);
            if (index != Fon) QCOMPARE(d.colour(Fon), d.normal());
            return;
        }
        TextBox* field = refusedField == u"Text1" ? d.f->Text1 : d.f->Text2;
        QCOMPARE(Look::backColor(field), Look::Red);
        QCOMPARE(field->text(), refusedField == u"Text1" ? u"MÜŞTERİ SEÇİN..?"_s : u"ELEMAN SEÇİN..?"_s);
        QCOMPARE(d.fx.beeps, 1);
        // A refused touch marks nothing and writes nothing.
        QCOMPARE(d.f->state.SeciliButon, float(Fon));
        QCOMPARE(d.colour(Fon), Look::Green);
        if (index != Fon) QCOMPARE(d.colour(index), d.normal());
        QVERIFY(d.lines().isEmpty());
        if (refusedField == u"Text2") QCOMPARE(d.f->Text1->text(), text1);
        else QCOMPARE(d.f->Text2->text(), text2);
    }

    void closedGateSkipsTheChecks_data()
    {
        QTest::addColumn<bool>("stockFrame");
        QTest::newRow("a list was touched last") << false;
        QTest::newRow("stock frame open") << true;
    }
    void closedGateSkipsTheChecks()
    {
        QFETCH(bool, stockFrame);
        Desk d;
        QVERIFY(d.open());
        if (stockFrame) {
            d.touch(Stoklar);
            QVERIFY(d.f->StokFrm->isVisible());
        } else {
            d.f->state.AktifListe = 4;
        }
        // No customer, and an empty button: still accepted and marked.
        d.touch(Empty);
        QCOMPARE(d.f->state.SeciliButon, float(Empty));
        QCOMPARE(d.colour(Empty), Look::Green);
        QCOMPARE(d.colour(UrunIsle), Look::PaleCyan);
        QCOMPARE(d.fx.beeps, 0);
        QCOMPARE(d.f->Text4->text(), u"1"_s);
    }

    void openGateStops()
    {
        Desk d;
        QVERIFY(d.open(QString::number(Look::Cyan)));
        QVERIFY(d.selectWithGateOpen(kAyse, kGulay));
        // An empty button does nothing at all.
        d.touch(Empty);
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
        QCOMPARE(d.colour(Empty), Look::Cyan);
        // With the buttons coloured like a cyan STOKLAR, the writing and camera buttons stop.
        d.touch(Fon);
        QCOMPARE(d.f->state.SeciliButon, float(Fon));
        d.touch(UrunIsle);
        QCOMPARE(d.f->state.SeciliButon, float(Fon));
        QVERIFY(d.lines().isEmpty());
        QCOMPARE(d.colour(Fon), Look::Green);
        QCOMPARE(d.fx.beeps, 0);
    }

    // One line per stock name: the same service twice rewrites its line, another one adds a line.
    void writesAndRewritesOneLinePerName_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("employee");
        QTest::addColumn<int>("button");
        QTest::addColumn<QVariantMap>("line"); // the written line's fields
        QTest::addColumn<double>("thrice");    // Tutar at quantity 3
        QTest::newRow("plain") << kAyse << kGulay << int(Fon)
                               << QVariantMap{{u"Islem"_s, u"Fön"_s}, {u"Fiyat"_s, 150.0}, {u"Cari"_s, u"M1"_s},
                                              {u"Barkod"_s, u"8690001"_s}, {u"Tutar"_s, 150.0}} << 450.0;
        QTest::newRow("apostrophes") << kNazli << kAli << int(Bakim)
                                     << QVariantMap{{u"Islem"_s, u"Kadın'a Bakım"_s}, {u"Fiyat"_s, 33.3333}, {u"Cari"_s, u"M2"_s},
                                                    {u"Barkod"_s, u"8690003"_s}, {u"Tutar"_s, 33.3333}} << 99.9999;
    }
    void writesAndRewritesOneLinePerName()
    {
        QFETCH(QString, customer);
        QFETCH(QString, employee);
        QFETCH(int, button);
        QFETCH(QVariantMap, line);
        QFETCH(double, thrice);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(customer, employee));
        QVERIFY(!d.f->KasaCmd->isEnabled());
        d.touch(button);
        QCOMPARE(d.colour(button), Look::Green);
        QCOMPARE(d.f->DataStok->field(1), line[u"Islem"_s]);
        d.touch(UrunIsle);
        QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        line.insert({{u"Miktar"_s, 1.0}, {u"Gurup"_s, 0}, {u"Tarih"_s, QDate::currentDate().toString(Qt::ISODate)},
                     {u"Eleman"_s, employee}, {u"Yeni"_s, 1}, {u"Unvan"_s, customer}});
        for (auto it = line.cbegin(); it != line.cend(); ++it)
            QVERIFY2(lines[0][it.key()].toString() == it.value().toString(), qPrintable(it.key() + u' ' + lines[0][it.key()].toString()));
        // The ticket grid has the focus and shows the line; the desk may send it now.
        QCOMPARE(d.f->state.AktifListe, 2.0f);
        QVERIFY(d.f->DBGridIslem->hasFocus());
        QCOMPARE(d.f->DBGridIslem->marqueeStyle(), 3);
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 1);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 1);
        QCOMPARE(d.f->state.SeciliButon, float(UrunIsle));
        QCOMPARE(d.colour(UrunIsle), d.normal());
        QVERIFY(d.f->KasaCmd->isEnabled());
        QVERIFY(!d.f->state.KayitBekle);
        // The same service again, with another quantity: the line is rewritten, not doubled.
        d.touch(button);
        d.f->Text4->setText(u"3"_s);
        d.touch(UrunIsle);
        lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][u"Miktar"_s].toDouble(), 3.0);
        QCOMPARE(lines[0][u"Tutar"_s].toDouble(), thrice);
        d.f->Text4->setText(u"1"_s);
        d.write({SacKesim});
        QCOMPARE(d.lines().size(), 2);
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 2);
        QCOMPARE(d.fx.beeps, 0);
        QVERIFY(d.fx.messages.isEmpty());
    }

    void aSentLineIsNeverReopened()
    {
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 0));
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        // Every line of the title today, as a touch on the open tickets leaves DataSalonya.
        d.f->DataSalonya->setRecordSource(u"Select * From Salonya Where "_s + d.f->state.TarihKriter + u" And Unvan="_s + Jet::quote(kAyse));
        QVERIFY(Data::refreshRoutine(d.f->DataSalonya));
        QCOMPARE(d.f->DataSalonya->recordCount(), 1);
        d.write({Fon});
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0][u"Yeni"_s].toInt(), 0);
        QCOMPARE(lines[1][u"Yeni"_s].toInt(), 1);
        QCOMPARE(lines[1][u"Islem"_s].toString(), u"Fön"_s);
    }

    void quantities_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("amount"); // at 33,3333
        QTest::newRow("decimal comma") << "0,3" << true << 0.3 << 10.0; // 9.99999 kept to four decimals
        QTest::newRow("decimal point") << "1.2" << true << 1.2 << 40.0;
        QTest::newRow("whole") << "3" << true << 3.0 << 99.9999;
        QTest::newRow("letters") << "abc" << false << 0.0 << 0.0;
        QTest::newRow("empty") << "" << false << 0.0 << 0.0;
        QTest::newRow("two commas") << "1,2,3" << false << 0.0 << 0.0;
        QTest::newRow("infinite") << "inf" << false << 0.0 << 0.0;
        QTest::newRow("lone comma") << "," << false << 0.0 << 0.0;
    }
    void quantities()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(double, quantity);
        QFETCH(double, amount);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        d.touch(Bakim);
        d.f->Text4->setText(typed);
        d.touch(UrunIsle);
        const QList<QVariantMap> lines = d.lines();
        if (!accepted) {
            QVERIFY(lines.isEmpty());
            QCOMPARE(d.fx.beeps, 1);
            QVERIFY(!d.f->state.KayitBekle);
            return;
        }
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][u"Miktar"_s].toDouble(), quantity);
        QCOMPARE(lines[0][u"Tutar"_s].toDouble(), amount);
    }

    void failedSaveLeavesTheTicket_data()
    {
        QTest::addColumn<bool>("existingLine");
        QTest::addColumn<bool>("locked");
        QTest::newRow("new line, write refused") << false << false;
        QTest::newRow("rewrite, write refused") << true << false;
        QTest::newRow("new line, database locked") << false << true;
    }
    void failedSaveLeavesTheTicket()
    {
        QFETCH(bool, existingLine);
        QFETCH(bool, locked);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        if (existingLine) {
            d.touch(Fon);
            d.touch(UrunIsle);
            QCOMPARE(d.lines().size(), 1);
        }
        const QList<QVariantMap> before = d.lines();
        sqlite3* other = nullptr;
        if (locked) {
            QCOMPARE(sqlite3_open(d.salonFile().toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            QVERIFY(exec(d.salonFile(), QStringLiteral("CREATE TRIGGER dolu BEFORE INSERT ON Salonya BEGIN SELECT RAISE(ABORT, 'disk full'); END;"
                                                       "CREATE TRIGGER dolu2 BEFORE UPDATE ON Salonya BEGIN SELECT RAISE(ABORT, 'disk full'); END;")));
        }
        d.touch(Fon);
        d.f->Text4->setText(u"4"_s);
        QElapsedTimer t;
        t.start();
        d.touch(UrunIsle);
        QVERIFY2(t.elapsed() < 8000, "the save-wait must end");
        if (other) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        QCOMPARE(d.fx.messages.size(), 1);
        QVERIFY(d.fx.messages[0].contains(u"yazılamadı"_s));
        QCOMPARE(d.lines(), before);
        QVERIFY(!d.f->state.KayitBekle);
        QCOMPARE(d.f->DataSalonya->editMode(), DataSource::EditMode::None);
        // Once the database takes writes again, the same touch writes.
        exec(d.salonFile(), u"DROP TRIGGER IF EXISTS dolu; DROP TRIGGER IF EXISTS dolu2;"_s);
        d.touch(UrunIsle);
        QCOMPARE(d.lines().size(), 1);
        QCOMPARE(d.lines()[0][u"Miktar"_s].toDouble(), 4.0);
    }

    void deleteInTheTicketGrids_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<int>("yeni");
        QTest::addColumn<bool>("control");
        QTest::addColumn<bool>("deleted");
        for (int context : {0, 1, 2, 3}) {
            QTest::addRow("context %d, open line", context) << context << 1 << false << true;
            QTest::addRow("context %d, sent line", context) << context << 0 << false << false;
            QTest::addRow("context %d, sent line with Control", context) << context << 0 << true << true;
        }
    }
    void deleteInTheTicketGrids()
    {
        QFETCH(int, context);
        QFETCH(int, yeni);
        QFETCH(bool, control);
        QFETCH(bool, deleted);
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, yeni));
        QVERIFY(d.addLine(u"Saç Kesim"_s, 1));
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        // Each grid over both lines, the first one current.
        const QString both = u"Select * From Salonya Where Cari='M1' Order By Islem ASC"_s;
        DataSource* ds = context == 1 ? d.f->DataGunluk : context == 3 ? d.f->DataGecmis : d.f->DataSalonya;
        for (DataSource* s : {d.f->DataGunluk, d.f->DataGecmis, d.f->DataSalonya}) s->setRecordSource(both);
        Data::refreshRoutine(ds);
        QCOMPARE(ds->field(0).toString(), u"Fön"_s);
        d.f->state.AktifListe = float(context);
        d.touch(Sil, control ? Qt::ControlModifier : Qt::NoModifier);
        const QVariantList names = column(d.salonFile(), u"Salonya"_s, 0);
        QCOMPARE(names.contains(u"Fön"_s), !deleted);
        QVERIFY(names.contains(u"Saç Kesim"_s));
        QCOMPARE(d.fx.beeps, deleted ? 0 : 1);
        QCOMPARE(d.colour(Sil), d.normal());
        if (context > 0) QCOMPARE(d.f->state.AktifData, ds);
        if (context == 2) QVERIFY(d.f->DBGridIslem->hasFocus());
        if (context == 1) QVERIFY(d.f->DBGridMus->hasFocus());
    }

    void deleteMovesToTheNextLineAndEmptiesTheTicket()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        d.write({Fon, SacKesim, Bakim});
        QCOMPARE(d.f->state.AktifListe, 2.0f);
        // After each write the grid stands on the first line; "SİL" takes one line at a time.
        d.f->DataSalonya->moveLast();
        QCOMPARE(d.f->DBGridIslem->currentIndex().row(), 2);
        d.touch(Sil);
        QCOMPARE(d.names(), (QVariantList{u"Fön"_s, u"Saç Kesim"_s}));
        QVERIFY(d.f->KasaCmd->isEnabled());
        d.touch(Sil);
        d.touch(Sil);
        QVERIFY(d.lines().isEmpty());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 0);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 0);
        QVERIFY(!d.f->KasaCmd->isEnabled());
        d.touch(Sil); // an empty ticket: nothing more to delete, no complaint
        QCOMPARE(d.fx.beeps, 0);
        QVERIFY(d.fx.messages.isEmpty());
    }

    void deleteInTheLists_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QStringList>("customersLeft");
        QTest::addColumn<QVariantList>("employeesLeft");
        const QStringList both{u"M1"_s, u"M2"_s};
        QTest::newRow("customer list") << 4 << kNazli << QStringList{u"M1"_s} << QVariantList{kAli, kGulay};
        QTest::newRow("employee list") << 5 << kAli << both << QVariantList{kGulay};
        QTest::newRow("customer list, nobody highlighted") << 4 << QString() << both << QVariantList{kAli, kGulay};
        QTest::newRow("employee list, nobody highlighted") << 5 << QString() << both << QVariantList{kAli, kGulay};
    }
    void deleteInTheLists()
    {
        QFETCH(int, context);
        QFETCH(QString, highlighted);
        QFETCH(QStringList, customersLeft);
        QFETCH(QVariantList, employeesLeft);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        const QString cari = d.fx.ownFile(u"Cari.Mdb"_s);
        TouchList* list = context == 4 ? d.f->DBListe1 : d.f->DBListe2;
        list->setText(highlighted);
        QCOMPARE(list->text(), highlighted);
        d.f->state.AktifListe = float(context);
        d.touch(Sil);
        QStringList customers;
        for (const QVariantMap& r : rows(cari, u"SELECT CariKod FROM CariKartlar WHERE Gurup='Müşteri' ORDER BY CariKod"_s))
            customers << r[u"CariKod"_s].toString();
        QCOMPARE(customers, customersLeft);
        if (customers.size() == 1) QCOMPARE(d.f->DataCari->locate(u"CariKod='M2'"_s), -1);
        QCOMPARE(column(cari, u"Eleman"_s, 0, u"Eleman"_s), employeesLeft);
        if (employeesLeft.size() == 1) QCOMPARE(d.f->DataEleman->recordCount(), 1);
        QCOMPARE(d.colour(Sil), d.normal());
        QCOMPARE(d.fx.beeps, 0);
    }

    // STOKLAR opens and closes the stock frame; there "SİL" clears the marked button's assignment.
    void stockFrameAndDeleteClearsAButtonAssignment()
    {
        Desk d;
        QVERIFY(d.open());
        d.touch(Stoklar);
        QVERIFY(d.f->StokFrm->isVisible());
        QCOMPARE(d.f->StokText->text(), u"BARKOD OKUTUN"_s);
        QVERIFY(!d.f->DBListe4->text().isEmpty());
        QCOMPARE(d.f->DBListe4->text(), d.f->DataStok->field(1).toString());
        QVERIFY(d.f->DBListe4->hasFocus());
        QCOMPARE(d.colour(Stoklar), Look::Green);
        d.touch(Stoklar);
        QVERIFY(!d.f->StokFrm->isVisible());
        QCOMPARE(d.colour(Stoklar), d.normal());
        QCOMPARE(d.f->state.SeciliButon, float(Stoklar));
        d.touch(Stoklar);
        QVERIFY(d.f->StokFrm->isVisible());
        QCOMPARE(d.f->state.AktifListe, 0.0f);
        // Right after STOKLAR the marked button is STOKLAR itself: its caption stays.
        d.touch(Sil);
        QCOMPARE(d.f->Command1[Stoklar]->text(), u"STOKLAR"_s);
        d.touch(SacKesim);
        QCOMPARE(d.f->state.SeciliButon, float(SacKesim));
        d.touch(Sil);
        QCOMPARE(d.f->Command1[SacKesim]->text(), QString());
        QVERIFY(Settings::contains(Settings::appName(), u"Salonya"_s, u"Buton2"_s));
        QCOMPARE(Settings::get(u"Buton2"_s, u"x"_s), QString());
        QCOMPARE(Settings::get(u"Buton1"_s), u"Fön"_s);
        // The next start shows the button empty; EXİT, with nobody picked, closes the desk.
        d.fx.stop();
        d.f = d.fx.start();
        QVERIFY(d.f);
        QCOMPARE(d.f->Command1[SacKesim]->text(), QString());
        QCOMPARE(d.f->Command1[Fon]->text(), u"Fön"_s);
        d.touch(Exit);
        QVERIFY(!d.f->isVisible());
    }

    void dyeButtonOpensTheDyeFrame()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        const QDate day(2024, 2, 29);
        d.f->DTPicker1->setDate(day);
        d.touch(Fon);
        d.touch(Boya);
        QVERIFY(d.f->BoyaFrm->isVisible());
        QVERIFY(d.f->Text3->hasFocus());
        QCOMPARE(d.f->state.TarihKriter, u"Tarih=#02/29/2024#"_s);
        QCOMPARE(d.f->state.AktifListe, 0.0f);
        QCOMPARE(d.f->DataStok->recordCount(), 1);
        QCOMPARE(d.f->DataStok->field(1).toString(), u"Boya 7.0 Kumral"_s);
        QCOMPARE(d.colour(Fon), d.normal());
        QCOMPARE(d.colour(Boya), Look::Green);
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
    }

    void cameraButtons()
    {
        // No camera: the panel's half of the photo path, with the picture put on the clipboard here.
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, QString()));
        // No customer picked from the list: KAMERA only marks itself.
        d.f->state.SeciliCari.clear();
        d.touch(Kamera);
        QCOMPARE(d.colour(Kamera), Look::Green);
        d.f->state.SeciliCari = u"M1"_s;
        d.touch(Kamera);
        QCOMPARE(d.colour(Kamera), d.normal());
        QCOMPARE(d.f->state.SeciliButon, float(Kamera));

        // A photo was taken: its picture goes to ResimM1.Jpg as a bitmap and shows.
        QImage shot(64, 48, QImage::Format_RGB32);
        shot.fill(Qt::darkCyan);
        QGuiApplication::clipboard()->setImage(shot);
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        const QString file = d.fx.programDir() + u"/ResimM1.Jpg"_s;
        QVERIFY(QFile::exists(file));
        QCOMPARE(Program::GeciciMetin, file);
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        QCOMPARE(bytes.read(2), QByteArray("BM"));
        QImageReader reader(file);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.read().size(), QSize(64, 48));
        QVERIFY(d.f->Picture1->hasPicture());
        QVERIFY(!Program::ResimCekildi);
        QCOMPARE(d.colour(ResimCek), d.normal());
        // Picking the customer again finds the photo under its ".jpg" spelling.
        QVERIFY(d.select(kAyse, QString()));
        QCOMPARE(d.f->Picture1->picture().size(), QSize(64, 48));

        // A code that would lead out of the program's folder writes nothing.
        d.f->state.SeciliCari = u"../../M1"_s;
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        QCOMPARE(d.fx.messages, (QStringList{u"No capture hardware detected"_s,
                                             u"Resim kaydedilemedi: program klasörüne yazılamıyor ya da çekilen resim yok."_s}));
        QVERIFY(!Program::ResimCekildi);
        QVERIFY(ServicePanel::photoFile(u"a\\b"_s).isEmpty());
        QCOMPARE(QDir(d.fx.programDir()).entryList({u"Resim*"_s}), QStringList{u"ResimM1.Jpg"_s});
    }

    void cashButtonOnlyWhileTheGridIsShown()
    {
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 1));
        QVERIFY(d.open());
        QVERIFY(!d.f->KasaCmd->isEnabled());
        QVERIFY(d.select(kAyse, kGulay));
        QVERIFY(d.f->KasaCmd->isEnabled());
        QVERIFY(d.select(kNazli, kGulay));
        QVERIFY(!d.f->KasaCmd->isEnabled());
        d.f->DBGridMus->hide();
        QVERIFY(d.select(kAyse, kGulay));
        QVERIFY(!d.f->KasaCmd->isEnabled());
    }

    void panelAreaClosesTheLists()
    {
        Desk d;
        QVERIFY(d.open());
        d.f->DBListe1->show();
        d.f->KlvTxt->setFocus();
        // Between the service buttons and the function buttons, on the frame itself.
        const QRect stoklar = d.f->Command1[Stoklar]->geometry();
        const QPoint empty(stoklar.left() - 3, stoklar.center().y());
        QCOMPARE(d.f->UrunlerFrm->childAt(empty), nullptr);
        QTest::mouseClick(d.f->UrunlerFrm, Qt::RightButton, Qt::NoModifier, empty);
        QVERIFY(d.f->DBListe1->isVisible());
        QTest::mouseClick(d.f->UrunlerFrm, Qt::LeftButton, Qt::NoModifier, empty);
        QVERIFY(!d.f->DBListe1->isVisible());
        // The right button on a panel button does not touch it.
        QTest::mouseClick(d.f->Command1[Fon], Qt::RightButton);
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
        QCOMPARE(d.fx.beeps, 0);
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
