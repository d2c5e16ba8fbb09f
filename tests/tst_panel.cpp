// The service panel: the gate and the selection test, writing and rewriting ticket lines, what is never
// written, "SİL" in each context, the function buttons, and saves that fail.
#include "desk.h"

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
enum { Boya = Desk::Boya, Fon = Desk::Fon, SacKesim = Desk::SacKesim, Bakim = Desk::Bakim, Empty = Desk::Empty,
       Stoklar = Desk::Stoklar, UrunIsle = Desk::UrunIsle, Sil = Desk::Sil, Kamera = Desk::Kamera,
       ResimCek = Desk::ResimCek, Exit = Desk::Exit };
const QString &kAyse = Desk::Ayse, &kNazli = Desk::Nazli, &kGulay = Desk::Gulay, &kAli = Desk::Ali;
QVariantList names(const Desk& d) { return column(d.salonFile(), u"Salonya"_s, 0); }
} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    // No webcam whatever the machine has: the camera window says so and takes no picture.
    void initTestCase() { qputenv("SALONYA_TEST_CAMERA", "0"); }
    // gate: "open" (no list touched last), "list" (a list was), "frame" (the stock frame is open).
    void selectionTestAndGate_data()
    {
        QTest::addColumn<QString>("gate");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("employee");
        QTest::addColumn<QString>("refusedField"); // "", "Text1" or "Text2"
        const QString none;
        for (int i : {Fon, Boya, UrunIsle, Sil, Kamera, ResimCek})
            QTest::addRow("no customer, %d", i) << "open" << i << none << none << "Text1";
        for (int i : {Fon, Boya, UrunIsle, Sil})
            QTest::addRow("customer only, %d", i) << "open" << i << kAyse << none << "Text2";
        for (int i : {Kamera, ResimCek})
            QTest::addRow("customer only, %d", i) << "open" << i << kAyse << none << "";
        QTest::addRow("no customer, STOKLAR") << "open" << int(Stoklar) << none << none << "";
        for (int i : {Fon, Boya, Sil})
            QTest::addRow("both, %d", i) << "open" << i << kAyse << kGulay << "";
        // A closed gate skips the test: even an empty button is accepted.
        QTest::addRow("list touched, empty button") << "list" << int(Empty) << none << none << "";
        QTest::addRow("stock frame, empty button") << "frame" << int(Empty) << none << none << "";
    }
    void selectionTestAndGate()
    {
        QFETCH(QString, gate);
        QFETCH(int, index);
        QFETCH(QString, customer);
        QFETCH(QString, employee);
        QFETCH(QString, refusedField);
        Desk d;
        QVERIFY(d.open());
        if (!customer.isEmpty()) QVERIFY(d.selectWithGateOpen(customer, employee));
        if (gate == u"frame") d.touch(Stoklar);
        if (gate == u"list") d.f->state.AktifListe = 4;
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
            if (index == Empty) QCOMPARE(d.colour(UrunIsle), Look::PaleCyan);
            return;
        }
        TextBox* field = refusedField == u"Text1" ? d.f->Text1 : d.f->Text2;
        QCOMPARE(Look::backColor(field), Look::Red);
        QCOMPARE(field->text(), refusedField == u"Text1" ? u"MÜŞTERİ SEÇİN..?"_s : u"ELEMAN SEÇİN..?"_s);
        QCOMPARE(d.fx.beeps, 1);
        // A refused touch marks nothing and writes nothing.
        QCOMPARE(d.f->state.SeciliButon, float(Fon));
        QCOMPARE(d.colour(Fon), Look::Green);
        QVERIFY(d.lines().isEmpty());
        QCOMPARE((refusedField == u"Text2" ? d.f->Text1 : d.f->Text2)->text(), refusedField == u"Text2" ? text1 : text2);
    }

    void openGateStops()
    {
        Desk d;
        QVERIFY(d.open(QString::number(Look::Cyan)));
        QVERIFY(d.selectWithGateOpen(kAyse, kGulay));
        d.touch(Empty); // an empty button does nothing at all
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
        QCOMPARE(d.colour(Empty), Look::Cyan);
        // With the buttons coloured like a cyan STOKLAR, the writing and camera buttons stop.
        d.touch(Fon);
        d.touch(UrunIsle);
        QCOMPARE(d.f->state.SeciliButon, float(Fon));
        QVERIFY(d.lines().isEmpty());
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
        d.write({button});
        QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        line.insert({{u"Miktar"_s, 1.0}, {u"Gurup"_s, 0}, {u"Tarih"_s, QDate::currentDate().toString(Qt::ISODate)},
                     {u"Eleman"_s, employee}, {u"Yeni"_s, 1}, {u"Unvan"_s, customer}});
        for (auto it = line.cbegin(); it != line.cend(); ++it)
            QVERIFY2(lines[0][it.key()].toString() == it.value().toString(), qPrintable(it.key() + u' ' + lines[0][it.key()].toString()));
        // The ticket grid has the focus and shows the line; the desk may send it now.
        QCOMPARE(d.f->state.AktifListe, 2.0f);
        QVERIFY(d.f->DBGridIslem->hasFocus());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 1);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 1);
        QCOMPARE(d.colour(UrunIsle), d.normal());
        QVERIFY(d.f->KasaCmd->isEnabled());
        // The same service again, with another quantity: the line is rewritten, not doubled.
        d.touch(button);
        d.f->Text4->setText(u"3"_s);
        d.touch(UrunIsle);
        lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][u"Miktar"_s].toDouble(), 3.0);
        QCOMPARE(lines[0][u"Tutar"_s].toDouble(), thrice);
        d.write({SacKesim});
        QCOMPARE(d.lines().size(), 2);
        QCOMPARE(d.fx.beeps, 0);
        QVERIFY(d.fx.messages.isEmpty());
    }

    // Fön and "ÜRÜN İŞLE" after a setup: the lines there before stay as they were.
    void writesNothingAmiss_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("written"); // new lines
        QTest::addColumn<int>("beeps");
        // The service's card is not in the dye list "BOYA" left: it must not write the dye.
        QTest::newRow("card not found") << "boya" << 0 << 2;
        // Sent, and the customer field shows "MÜŞTERİ": nothing until a customer is chosen again,
        // by the buttons' own test or, with a grid touched since, by "ÜRÜN İŞLE".
        QTest::newRow("after a send") << "send" << 0 << 2;
        QTest::newRow("after a send, a grid touched") << "send grid" << 0 << 1;
        QTest::newRow("a sent line of today") << "sent" << 1 << 0;
        // The picker on yesterday: yesterday's open line is not moved to today.
        QTest::newRow("an open line of yesterday") << "yesterday" << 1 << 0;
    }
    void writesNothingAmiss()
    {
        QFETCH(QString, setup);
        QFETCH(int, written);
        QFETCH(int, beeps);
        Desk d;
        if (setup == u"sent") QVERIFY(d.addLine(u"Fön"_s, 0));
        if (setup == u"yesterday") QVERIFY(d.addLine(u"Fön"_s, 1, 1));
        QVERIFY(d.open());
        QVERIFY(writeSlots(d.fx.slotFile()));
        if (setup == u"yesterday") d.f->DTPicker1->setDate(QDate::currentDate().addDays(-1));
        QVERIFY(d.select(kAyse, kGulay));
        if (setup == u"boya" || setup == u"yesterday") d.touch(Boya);
        if (setup == u"yesterday") QVERIFY(d.select(kAyse, kGulay)); // the ticket of the picker's day
        if (setup.startsWith(u"send")) {
            d.write({SacKesim});
            SalonFixture::touch(d.f->KasaCmd);
            QCOMPARE(d.f->Text1->text(), u"MÜŞTERİ"_s);
            if (setup.endsWith(u"grid")) d.f->state.AktifListe = 3;
        }
        const QList<QVariantMap> before = d.lines();
        d.fx.beeps = 0;
        d.write({Fon});
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.mid(0, before.size()), before);
        QCOMPARE(lines.size(), before.size() + written);
        if (written) QCOMPARE(lines.last()[u"Tarih"_s].toString(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(d.fx.beeps, beeps);
        if (setup.startsWith(u"send")) QCOMPARE(d.f->Text1->text(), u"MÜŞTERİ SEÇİN..?"_s);
    }

    void quantities_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("quantity"); // 0: refused
        QTest::addColumn<double>("amount");   // at 33,3333
        QTest::newRow("decimal comma") << "0,3" << 0.3 << 10.0; // 9.99999 kept to four decimals
        QTest::newRow("decimal point") << "1.2" << 1.2 << 40.0;
        QTest::newRow("whole") << "3" << 3.0 << 99.9999;
        for (const char* bad : {"abc", "", "1,2,3", "inf", ",", "0", "-2"}) QTest::newRow(bad) << bad << 0.0 << 0.0;
    }
    void quantities()
    {
        QFETCH(QString, typed);
        QFETCH(double, quantity);
        QFETCH(double, amount);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(kAyse, kGulay));
        d.touch(Bakim);
        d.f->Text4->setText(typed);
        d.touch(UrunIsle);
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), quantity > 0 ? 1 : 0);
        QCOMPARE(d.fx.beeps, quantity > 0 ? 0 : 1);
        if (lines.isEmpty()) return;
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
        if (existingLine) d.write({Fon});
        const QList<QVariantMap> before = d.lines();
        sqlite3* other = nullptr;
        if (locked) {
            QCOMPARE(sqlite3_open(d.salonFile().toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            QVERIFY(exec(d.salonFile(), u"CREATE TRIGGER dolu BEFORE INSERT ON Salonya BEGIN SELECT RAISE(ABORT, 'disk full'); END;"
                                        "CREATE TRIGGER dolu2 BEFORE UPDATE ON Salonya BEGIN SELECT RAISE(ABORT, 'disk full'); END;"_s));
        }
        d.touch(Fon);
        d.f->Text4->setText(u"4"_s);
        QElapsedTimer t;
        t.start();
        d.touch(UrunIsle);
        QVERIFY2(t.elapsed() < 8000, "a locked file must not hang the desk");
        if (other) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        QCOMPARE(d.fx.messages.size(), 1);
        QVERIFY(d.fx.messages[0].contains(u"yazılamadı"_s));
        QCOMPARE(d.lines(), before);
        QVERIFY(!d.f->state.KayitBekle);
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
        DataSource* ds = context == 1 ? d.f->DataGunluk : context == 3 ? d.f->DataGecmis : d.f->DataSalonya;
        for (DataSource* s : {d.f->DataGunluk, d.f->DataGecmis, d.f->DataSalonya})
            s->setRecordSource(u"Select * From Salonya Where Cari='M1' Order By Islem ASC"_s);
        Data::refreshRoutine(ds);
        QCOMPARE(ds->field(0).toString(), u"Fön"_s);
        d.f->state.AktifListe = float(context);
        d.touch(Sil, control ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(names(d).contains(u"Fön"_s), !deleted);
        QVERIFY(names(d).contains(u"Saç Kesim"_s));
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
        d.f->DataSalonya->moveLast(); // "SİL" takes the current line; the refreshed ticket stands on its first
        for (const QVariantList& left : {QVariantList{u"Fön"_s, u"Saç Kesim"_s}, QVariantList{u"Saç Kesim"_s}, QVariantList{}}) {
            d.touch(Sil);
            QCOMPARE(names(d), left);
        }
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
        (context == 4 ? d.f->DBListe1 : d.f->DBListe2)->setText(highlighted);
        d.f->state.AktifListe = float(context);
        d.touch(Sil);
        QStringList customers;
        for (const QVariantMap& r : rows(cari, u"SELECT CariKod FROM CariKartlar WHERE Gurup='Müşteri' ORDER BY CariKod"_s))
            customers << r[u"CariKod"_s].toString();
        QCOMPARE(customers, customersLeft);
        QCOMPARE(d.f->DataCari->locate(u"CariKod='M2'"_s) >= 0, customers.size() == 2);
        QCOMPARE(column(cari, u"Eleman"_s, 0, u"Eleman"_s), employeesLeft);
        QCOMPARE(d.f->DataEleman->recordCount(), employeesLeft.size());
        QCOMPARE(d.fx.beeps, 0);
    }

    void cameraButtonsAndExit()
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
        // A photo was taken: its picture goes to ResimM1.Jpg as a bitmap and shows.
        QImage shot(64, 48, QImage::Format_RGB32);
        shot.fill(Qt::darkCyan);
        QGuiApplication::clipboard()->setImage(shot);
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        const QString file = d.fx.programDir() + u"/ResimM1.Jpg"_s;
        QCOMPARE(Program::GeciciMetin, file);
        QImageReader reader(file);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        QCOMPARE(reader.read().size(), QSize(64, 48));
        QCOMPARE(d.f->Picture1->picture().size(), QSize(64, 48));
        QVERIFY(!Program::ResimCekildi);
        QCOMPARE(d.colour(ResimCek), d.normal());
        // A code that would lead out of the program's folder writes nothing.
        d.f->state.SeciliCari = u"../../M1"_s;
        Program::ResimCekildi = true;
        d.touch(ResimCek);
        QCOMPARE(d.fx.messages, (QStringList{u"No capture hardware detected"_s,
                                             u"Resim kaydedilemedi: program klasörüne yazılamıyor ya da çekilen resim yok."_s}));
        QVERIFY(!Program::ResimCekildi);
        QVERIFY(ServicePanel::photoFile(u"a\\b"_s).isEmpty());
        QCOMPARE(QDir(d.fx.programDir()).entryList({u"Resim*"_s}), QStringList{u"ResimM1.Jpg"_s});
        d.touch(Exit);
        QVERIFY(!d.f->isVisible());
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
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
