// The service panel on a small salon: the gate and the selection test, writing and rewriting ticket
// lines, "SİL" in each context, the function buttons, and saves that fail.
#include "salonfixture.h"

#include "app/hostpaths.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "data/schema.h"
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

namespace {

const QString kAyse = QStringLiteral("AYŞE YILMAZ");
const QString kNazli = QStringLiteral("NAZLI D'ANGELO");
const QString kGulay = QStringLiteral("Gülay Kaya");
const QString kAli = QStringLiteral("Ali D'Nur");

enum { Boya = 0, Fon = 1, SacKesim = 2, Bakim = 3, Empty = 5, Stoklar = 27, UrunIsle = 28, Sil = 29, Kamera = 30,
       ResimCek = 31, Exit = 32 };

// A salon with three services on buttons 1-3, a dye, two customers and two employees.
struct Desk {
    SalonFixture fx;
    Salonya* f = nullptr;

    bool open(const QString& buttonColour = QString())
    {
        if (!writeStock(fx.stockFile(), {stock(QStringLiteral("S1"), QStringLiteral("Fön"), QStringLiteral("8690001"), 150),
                                         stock(QStringLiteral("S2"), QStringLiteral("Saç Kesim"), QStringLiteral("8690002"), 300),
                                         stock(QStringLiteral("S3"), QStringLiteral("Kadın'a Bakım"), QStringLiteral("8690003"), 33.3333),
                                         stock(QStringLiteral("D1"), QStringLiteral("Boya 7.0 Kumral"), QStringLiteral("8690900"), 120,
                                               QStringLiteral("Boya"))})
            || !writeCards(fx.cardFile(), {card(QStringLiteral("M1"), kAyse), card(QStringLiteral("M2"), kNazli),
                                           card(QStringLiteral("E1"), kGulay, QStringLiteral("Eleman")),
                                           card(QStringLiteral("E2"), kAli, QStringLiteral("Eleman"))}))
            return false;
        Settings::save(QStringLiteral("Buton1"), QStringLiteral("Fön"));
        Settings::save(QStringLiteral("Buton2"), QStringLiteral("Saç Kesim"));
        Settings::save(QStringLiteral("Buton3"), QStringLiteral("Kadın'a Bakım"));
        if (!buttonColour.isEmpty()) Settings::save(QStringLiteral("ZeminRenk"), buttonColour);
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
    QString salonFile() const { return fx.ownFile(QStringLiteral("Salonya.Mdb")); }
    QList<QVariantMap> lines() const { return rows(salonFile(), QStringLiteral("SELECT * FROM Salonya ORDER BY rowid")); }
    quint32 colour(int index) const { return Look::backColor(f->Command1[index]); }
    quint32 normal() const { return colour(Exit); }
    // A line as another terminal or an earlier visit left it.
    bool addLine(const QString& name, const QString& code, const QString& title, const QString& employee, int yeni,
                 const QDate& day = QDate::currentDate())
    {
        QString error;
        if (!Schema::ensureOwnDatabases(fx.programDir(), &error)) return false;
        return exec(salonFile(), QStringLiteral("INSERT INTO Salonya (Islem,Miktar,Fiyat,Cari,Tarih,Eleman,Yeni,Unvan,Tutar) "
                                                "VALUES (%1,1,100,%2,'%3',%4,%5,%6,100)")
                                     .arg(Jet::quote(name), Jet::quote(code), day.toString(Qt::ISODate), Jet::quote(employee))
                                     .arg(yeni)
                                     .arg(Jet::quote(title)));
    }
};

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
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
            QCOMPARE(d.fx.beeps, 0);
            QCOMPARE(Look::backColor(d.f->Text1), Look::White);
            QCOMPARE(d.f->Text1->text(), text1);
            if (index != Fon) QCOMPARE(d.colour(Fon), d.normal());
            return;
        }
        TextBox* field = refusedField == u"Text1" ? d.f->Text1 : d.f->Text2;
        QCOMPARE(Look::backColor(field), Look::Red);
        QCOMPARE(field->text(), refusedField == u"Text1" ? QStringLiteral("MÜŞTERİ SEÇİN..?") : QStringLiteral("ELEMAN SEÇİN..?"));
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
        QCOMPARE(d.f->Text4->text(), QStringLiteral("1"));
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

    void writesAndRewritesOneLinePerName()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        QVERIFY(!d.f->KasaCmd->isEnabled());
        d.touch(Fon);
        QCOMPARE(d.colour(Fon), Look::Green);
        QCOMPARE(d.f->DataStok->field(1).toString(), QStringLiteral("Fön"));
        d.touch(UrunIsle);
        QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        const QVariantMap l = lines[0];
        QCOMPARE(l[QStringLiteral("Islem")].toString(), QStringLiteral("Fön"));
        QCOMPARE(l[QStringLiteral("Miktar")].toDouble(), 1.0);
        QCOMPARE(l[QStringLiteral("Fiyat")].toDouble(), 150.0);
        QCOMPARE(l[QStringLiteral("Cari")].toString(), QStringLiteral("M1"));
        QCOMPARE(l[QStringLiteral("Gurup")].toInt(), 0);
        QCOMPARE(l[QStringLiteral("Tarih")].toString(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(l[QStringLiteral("Eleman")].toString(), kGulay);
        QCOMPARE(l[QStringLiteral("Yeni")].toInt(), 1);
        QCOMPARE(l[QStringLiteral("Barkod")].toString(), QStringLiteral("8690001"));
        QCOMPARE(l[QStringLiteral("Unvan")].toString(), kAyse);
        QCOMPARE(l[QStringLiteral("Tutar")].toDouble(), 150.0);
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
        d.touch(Fon);
        d.f->Text4->setText(QStringLiteral("2,5"));
        d.touch(UrunIsle);
        lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][QStringLiteral("Miktar")].toDouble(), 2.5);
        QCOMPARE(lines[0][QStringLiteral("Tutar")].toDouble(), 375.0);
        // Another service is a second line.
        d.touch(SacKesim);
        d.touch(UrunIsle);
        QCOMPARE(d.lines().size(), 2);
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 2);
        QCOMPARE(d.fx.beeps, 0);
        QVERIFY(d.fx.messages.isEmpty());
    }

    void aSentLineIsNeverReopened()
    {
        Desk d;
        QVERIFY(d.addLine(QStringLiteral("Fön"), QStringLiteral("M1"), kAyse, kGulay, 0));
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        // Every line of the title today, as a touch on the open tickets leaves DataSalonya.
        d.f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + d.f->state.TarihKriter
                                          + QStringLiteral(" And Unvan=") + Jet::quote(kAyse));
        QVERIFY(Data::refreshRoutine(d.f->DataSalonya));
        QCOMPARE(d.f->DataSalonya->recordCount(), 1);
        d.touch(Fon);
        d.touch(UrunIsle);
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0][QStringLiteral("Yeni")].toInt(), 0);
        QCOMPARE(lines[1][QStringLiteral("Yeni")].toInt(), 1);
        QCOMPARE(lines[1][QStringLiteral("Islem")].toString(), QStringLiteral("Fön"));
    }

    void apostrophesEverywhere()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kNazli, kAli));
        for (int i = 0; i < 2; ++i) {
            d.touch(Bakim);
            d.touch(UrunIsle);
        }
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][QStringLiteral("Islem")].toString(), QStringLiteral("Kadın'a Bakım"));
        QCOMPARE(lines[0][QStringLiteral("Unvan")].toString(), kNazli);
        QCOMPARE(lines[0][QStringLiteral("Eleman")].toString(), kAli);
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 1);
        QVERIFY(d.fx.messages.isEmpty());
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
        QCOMPARE(lines[0][QStringLiteral("Miktar")].toDouble(), quantity);
        QCOMPARE(lines[0][QStringLiteral("Tutar")].toDouble(), amount);
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
        d.f->Text4->setText(QStringLiteral("4"));
        QElapsedTimer t;
        t.start();
        d.touch(UrunIsle);
        QVERIFY2(t.elapsed() < 8000, "the save-wait must end");
        if (other) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        QCOMPARE(d.fx.messages.size(), 1);
        QVERIFY(d.fx.messages[0].contains(QStringLiteral("yazılamadı")));
        QCOMPARE(d.lines(), before);
        QVERIFY(!d.f->state.KayitBekle);
        QCOMPARE(d.f->DataSalonya->editMode(), DataSource::EditMode::None);
        // Once the database takes writes again, the same touch writes.
        exec(d.salonFile(), QStringLiteral("DROP TRIGGER IF EXISTS dolu; DROP TRIGGER IF EXISTS dolu2;"));
        d.touch(UrunIsle);
        QCOMPARE(d.lines().size(), 1);
        QCOMPARE(d.lines()[0][QStringLiteral("Miktar")].toDouble(), 4.0);
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
        QVERIFY(d.addLine(QStringLiteral("Fön"), QStringLiteral("M1"), kAyse, kGulay, yeni));
        QVERIFY(d.addLine(QStringLiteral("Saç Kesim"), QStringLiteral("M1"), kAyse, kGulay, 1));
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        // Each grid over both lines, the first one current.
        const QString both = QStringLiteral("Select * From Salonya Where Cari='M1' Order By Islem ASC");
        DataSource* ds = context == 1 ? d.f->DataGunluk : context == 3 ? d.f->DataGecmis : d.f->DataSalonya;
        for (DataSource* s : {d.f->DataGunluk, d.f->DataGecmis, d.f->DataSalonya}) s->setRecordSource(both);
        Data::refreshRoutine(ds);
        QCOMPARE(ds->field(0).toString(), QStringLiteral("Fön"));
        d.f->state.AktifListe = float(context);
        d.touch(Sil, control ? Qt::ControlModifier : Qt::NoModifier);
        const QVariantList names = column(d.salonFile(), QStringLiteral("Salonya"), 0);
        QCOMPARE(names.contains(QStringLiteral("Fön")), !deleted);
        QVERIFY(names.contains(QStringLiteral("Saç Kesim")));
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
        for (int i : {Fon, SacKesim, Bakim}) {
            d.touch(i);
            d.touch(UrunIsle);
        }
        QCOMPARE(d.f->state.AktifListe, 2.0f);
        // After each write the grid stands on the first line; "SİL" takes one line at a time.
        d.f->DataSalonya->moveLast();
        QCOMPARE(d.f->DBGridIslem->currentIndex().row(), 2);
        d.touch(Sil);
        QCOMPARE(column(d.salonFile(), QStringLiteral("Salonya"), 0), (QVariantList{QStringLiteral("Fön"), QStringLiteral("Saç Kesim")}));
        QVERIFY(d.f->KasaCmd->isEnabled());
        d.touch(Sil);
        d.touch(Sil);
        QVERIFY(d.lines().isEmpty());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 0);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 0);
        QVERIFY(!d.f->KasaCmd->isEnabled());
        // An empty ticket: nothing more to delete, no complaint.
        d.touch(Sil);
        QCOMPARE(d.fx.beeps, 0);
        QVERIFY(d.fx.messages.isEmpty());
    }

    void deleteInTheLists_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<bool>("highlighted");
        QTest::newRow("customer list") << 4 << true;
        QTest::newRow("employee list") << 5 << true;
        QTest::newRow("customer list, nobody highlighted") << 4 << false;
        QTest::newRow("employee list, nobody highlighted") << 5 << false;
    }
    void deleteInTheLists()
    {
        QFETCH(int, context);
        QFETCH(bool, highlighted);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        const QString cari = d.fx.ownFile(QStringLiteral("Cari.Mdb"));
        TouchList* list = context == 4 ? d.f->DBListe1 : d.f->DBListe2;
        list->setText(highlighted ? (context == 4 ? kNazli : kAli) : QString());
        QCOMPARE(list->text().isEmpty(), !highlighted);
        d.f->state.AktifListe = float(context);
        d.touch(Sil);
        const int customers = count(cari, QStringLiteral("SELECT count(*) FROM CariKartlar WHERE Gurup='Müşteri'"));
        const QVariantList employees = column(cari, QStringLiteral("Eleman"), 0, QStringLiteral("Eleman"));
        if (context == 4 && highlighted) {
            QCOMPARE(count(cari, QStringLiteral("SELECT count(*) FROM CariKartlar WHERE CariKod='M2'")), 0);
            QCOMPARE(customers, 1);
            QCOMPARE(d.f->DataCari->locate(QStringLiteral("CariKod='M2'")), -1);
        } else {
            QCOMPARE(customers, 2);
        }
        if (context == 5 && highlighted) {
            QCOMPARE(employees, QVariantList{kGulay});
            QCOMPARE(d.f->DataEleman->recordCount(), 1);
        } else {
            QCOMPARE(employees.size(), 2);
        }
        QCOMPARE(d.colour(Sil), d.normal());
        QCOMPARE(d.fx.beeps, 0);
    }

    void deleteClearsAButtonAssignment()
    {
        Desk d;
        QVERIFY(d.open());
        d.touch(Stoklar);
        QVERIFY(d.f->StokFrm->isVisible());
        QCOMPARE(d.f->state.AktifListe, 0.0f);
        // Right after STOKLAR the marked button is STOKLAR itself: its caption stays.
        d.touch(Sil);
        QCOMPARE(d.f->Command1[Stoklar]->text(), QStringLiteral("STOKLAR"));
        d.touch(SacKesim);
        QCOMPARE(d.f->state.SeciliButon, float(SacKesim));
        d.touch(Sil);
        QCOMPARE(d.f->Command1[SacKesim]->text(), QString());
        QVERIFY(Settings::contains(Settings::appName(), QStringLiteral("Salonya"), QStringLiteral("Buton2")));
        QCOMPARE(Settings::get(QStringLiteral("Buton2"), QStringLiteral("x")), QString());
        QCOMPARE(Settings::get(QStringLiteral("Buton1")), QStringLiteral("Fön"));
        // The next start shows the button empty.
        d.fx.stop();
        d.f = d.fx.start();
        QVERIFY(d.f);
        QCOMPARE(d.f->Command1[SacKesim]->text(), QString());
        QCOMPARE(d.f->Command1[Fon]->text(), QStringLiteral("Fön"));
    }

    void stockFrameOpensAndCloses()
    {
        Desk d;
        QVERIFY(d.open());
        d.touch(Stoklar);
        QVERIFY(d.f->StokFrm->isVisible());
        QCOMPARE(d.f->StokText->text(), QStringLiteral("BARKOD OKUTUN"));
        QCOMPARE(d.f->DBListe4->text(), d.f->DataStok->field(1).toString());
        QVERIFY(!d.f->DBListe4->text().isEmpty());
        QVERIFY(d.f->DBListe4->hasFocus());
        QCOMPARE(d.colour(Stoklar), Look::Green);
        d.touch(Stoklar);
        QVERIFY(!d.f->StokFrm->isVisible());
        QCOMPARE(d.colour(Stoklar), d.normal());
        QCOMPARE(d.f->state.SeciliButon, float(Stoklar));
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
        QCOMPARE(d.f->state.TarihKriter, QStringLiteral("Tarih=#02/29/2024#"));
        QCOMPARE(d.f->state.AktifListe, 0.0f);
        QCOMPARE(d.f->DataStok->recordCount(), 1);
        QCOMPARE(d.f->DataStok->field(1).toString(), QStringLiteral("Boya 7.0 Kumral"));
        QCOMPARE(d.colour(Fon), d.normal());
        QCOMPARE(d.colour(Boya), Look::Green);
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
    }

    void cameraButtons()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, QString()));
        // No customer picked from the list: KAMERA only marks itself.
        d.f->state.SeciliCari.clear();
        d.touch(Kamera);
        QCOMPARE(d.colour(Kamera), Look::Green);
        d.f->state.SeciliCari = QStringLiteral("M1");
        d.touch(Kamera);
        QCOMPARE(d.colour(Kamera), d.normal());
        QCOMPARE(d.f->state.SeciliButon, float(Kamera));

        // A photo was taken: its picture goes to ResimM1.Jpg as a bitmap and shows.
        QImage shot(64, 48, QImage::Format_RGB32);
        shot.fill(Qt::darkCyan);
        QGuiApplication::clipboard()->setImage(shot);
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        const QString file = d.fx.programDir() + QStringLiteral("/ResimM1.Jpg");
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
        d.f->state.SeciliCari = QStringLiteral("../../M1");
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        QCOMPARE(d.fx.messages.size(), 1);
        QVERIFY(!Program::ResimCekildi);
        QVERIFY(ServicePanel::photoFile(QStringLiteral("a\\b")).isEmpty());
        QCOMPARE(QDir(d.fx.programDir()).entryList({QStringLiteral("Resim*")}), QStringList{QStringLiteral("ResimM1.Jpg")});
    }

    void exitClosesTheDesk()
    {
        Desk d;
        QVERIFY(d.open());
        d.touch(Exit);
        QVERIFY(!d.f->isVisible());
    }

    void cashButtonOnlyWhileTheGridIsShown()
    {
        Desk d;
        QVERIFY(d.addLine(QStringLiteral("Fön"), QStringLiteral("M1"), kAyse, kGulay, 1));
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
