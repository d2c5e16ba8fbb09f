// The ticket panel: the selection gate, writing and rewriting lines, "SİL", failed saves, the stock and dye frames.
#include "desk.h"
#include "otherdesk.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/pgengine.h"
#include "data/refresh.h"
#include "ticket/dyeframe.h"
#include "ticket/servicepanel.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {
using enum Desk::Button;
const QString &kAyse = Desk::Ayse, &kNazli = Desk::Nazli, &kGulay = Desk::Gulay, &kAli = Desk::Ali;
QVariantList names(const Desk& d) { return column(d.salonFile(), u"Salonya"_s, 0); }
bool ready(Desk& d, const QString& customer = kAyse, const QString& employee = kGulay) { return d.open() && d.select(customer, employee); }

// A scanner's burst: a key a millisecond to the focus, done or not; each code ends in Return (crlf: then Ctrl+J).
void scan(const QStringList& codes, bool crlf)
{
    struct Key { int key; QString text; Qt::KeyboardModifiers mods; };
    QList<Key> keys;
    for (const QString& code : codes) {
        for (const QChar ch : code) keys.append({ch.isLetterOrNumber() ? QString(ch).toUpper().at(0).unicode() : ch.unicode(), QString(ch), {}});
        keys.append({Qt::Key_Return, u"\r"_s, Qt::NoModifier});
        if (crlf) keys.append({Qt::Key_J, u"\n"_s, Qt::ControlModifier});
    }
    auto sent = std::make_shared<int>(0); // outlives a wait that gives up
    for (int i = 0; i < keys.size(); ++i)
        QTimer::singleShot(i, qApp, [k = keys[i], sent] {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent e(type, k.key, k.mods, k.text);
                QCoreApplication::sendEvent(QApplication::focusWidget(), &e);
            }
            // Ctrl let go, or the application reports it held into the next test's start.
            if (k.mods & Qt::ControlModifier) QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
            ++*sent;
        });
    QVERIFY(QTest::qWaitFor([&] { return *sent == keys.size(); }, 5000));
}

// "BOYA", the dye found by typing its start on the keyboard and picked in the list, then the grams typed.
bool weigh(Desk& d, const QString& dye, const QString& grams)
{
    if (!d.f->BoyaFrm->isVisible()) d.touch(Boya);
    SalonFixture::typeOnKeyboard(d.f->Text3, dye.left(3).toLower());
    if (!d.fx.tapListEntry(d.f->DBListe3, dye) || !d.f->Text4->hasFocus()) return false;
    SalonFixture::typeOnKeyboard(d.f->Text4, grams);
    SalonFixture::touch(d.f->Command2[0]);
    return true;
}

// "ÜRÜN İŞLE" while the ticket book refuses writes: a trigger on "INSERT"/"UPDATE", or a "lock" by another
// program, which on a salon server is the desk's connection cut (the next write finds the server again).
void saveFails(Desk& d, const QString& how)
{
    const bool server = !Pg::serverSetting().isEmpty();
    const QList<QVariantMap> before = d.lines();
    sqlite3* other = nullptr;
    if (how == u"lock" && server) {
        QVERIFY(OtherDesk(u"Salonya.Mdb"_s).cutOthers());
    } else if (how == u"lock") {
        QCOMPARE(sqlite3_open(d.salonFile().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    } else {
        QVERIFY(exec(d.salonFile(), server ? u"CREATE OR REPLACE FUNCTION dolu() RETURNS trigger AS $$BEGIN RAISE EXCEPTION 'disk full'; END$$"
                                              " LANGUAGE plpgsql; CREATE TRIGGER dolu BEFORE %1 ON Salonya FOR EACH ROW EXECUTE FUNCTION dolu()"_s.arg(how)
                                           : u"CREATE TRIGGER dolu BEFORE %1 ON Salonya BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s.arg(how)));
    }
    QElapsedTimer t;
    t.start();
    d.touch(UrunIsle);
    QVERIFY2(t.elapsed() < 8000, "a locked file must not hang the desk");
    sqlite3_close(other);
    QVERIFY(exec(d.salonFile(), server ? u"DROP TRIGGER IF EXISTS dolu ON Salonya"_s : u"DROP TRIGGER IF EXISTS dolu"_s));
    QCOMPARE(d.fx.messages.size(), 1);
    const QString told = d.fx.messages.takeFirst();
    QVERIFY2(told.contains(how == u"lock" && server ? u"bağlantısı koptu"_s : u"yazılamadı"_s), qPrintable(told));
    QCOMPARE(d.lines(), before);
    QVERIFY(!d.f->state.KayitBekle);
}
} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    // No webcam whatever the machine has.
    void initTestCase() { qputenv("SALONYA_TEST_CAMERA", "0"); }

    // gate: "open" (no list touched last), "list" (a list was), "frame" (the stock frame is open).
    void selectionTestAndGate_data()
    {
        QTest::addColumn<QString>("gate"); QTest::addColumn<int>("index");
        QTest::addColumn<int>("picked"); // 0 nobody, 1 the customer, 2 both
        QTest::addColumn<bool>("refused");
        for (int i : {Fon, ResimCek}) QTest::addRow("no customer, %d", i) << "open" << i << 0 << true;
        QTest::addRow("customer only, Fön") << "open" << int(Fon) << 1 << true;
        for (int i : {Kamera, ResimCek}) QTest::addRow("customer only, %d", i) << "open" << i << 1 << false;
        QTest::addRow("no customer, STOKLAR") << "open" << int(Stoklar) << 0 << false;
        QTest::addRow("both, SİL") << "open" << int(Sil) << 2 << false;
        // A closed gate skips the test: even an empty button is accepted.
        QTest::addRow("list touched, empty button") << "list" << int(Empty) << 0 << false;
        QTest::addRow("stock frame, empty button") << "frame" << int(Empty) << 0 << false;
    }
    void selectionTestAndGate()
    {
        QFETCH(QString, gate); QFETCH(int, index); QFETCH(int, picked); QFETCH(bool, refused);
        Desk d;
        QVERIFY(d.open());
        if (picked) QVERIFY(d.selectWithGateOpen(kAyse, picked == 2 ? kGulay : QString()));
        if (gate == u"frame") d.touch(Stoklar);
        if (gate == u"list") d.f->state.AktifListe = 4;
        d.f->state.SeciliButon = SacKesim;
        d.touch(index);
        // A refused touch beeps and marks nothing; ResimCek beeps anyway, the camera's sound.
        QCOMPARE(d.f->state.SeciliButon, float(refused ? SacKesim : index));
        QCOMPARE(d.fx.beeps, refused || index == ResimCek ? 1 : 0);
    }

    // One line per stock name, rewritten by the same service, never by a typed amount; failed saves keep the ticket.
    void writesAndRewritesOneLinePerName_data()
    {
        QTest::addColumn<QString>("customer"); QTest::addColumn<QString>("employee"); QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("line"); // Islem, Fiyat, Cari, Barkod, Tutar
        QTest::addColumn<QString>("blocked");  // how the new line's first save fails
        QTest::newRow("plain") << kAyse << kGulay << int(Fon) << QStringList{u"Fön"_s, u"150"_s, u"M1"_s, u"8690001"_s, u"150"_s} << "INSERT";
        QTest::newRow("apostrophes") << kNazli << kAli << int(Bakim)
                                     << QStringList{u"Kadın'a Bakım"_s, u"33.3333"_s, u"M2"_s, u"8690003"_s, u"33.3333"_s} << "lock";
    }
    void writesAndRewritesOneLinePerName()
    {
        QFETCH(QString, customer); QFETCH(QString, employee); QFETCH(int, button); QFETCH(QStringList, line); QFETCH(QString, blocked);
        Desk d;
        QVERIFY(ready(d, customer, employee));
        QVERIFY(!d.f->KasaCmd->isEnabled());
        // What comes in while the line is written waits for it: a queued touch finds the line on the ticket.
        int shownToQueued = -1;
        QMetaObject::invokeMethod(d.f, [&] { shownToQueued = d.f->DataSalonya->recordCount(); }, Qt::QueuedConnection);
        d.write({button});
        QCoreApplication::processEvents();
        QCOMPARE(shownToQueued, 1);
        QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QStringList got;
        for (const char* field : {"Islem", "Fiyat", "Cari", "Barkod", "Tutar", "Miktar", "Gurup", "Tarih", "Eleman", "Yeni", "Unvan"})
            got << lines[0][QString::fromLatin1(field)].toString();
        line << u"1"_s << u"0"_s << QDate::currentDate().toString(Qt::ISODate) << employee << u"1"_s << customer;
        QCOMPARE(got, line);
        // The ticket grid is the target of "SİL" and shows the line; the desk may send it now.
        QCOMPARE(d.f->state.AktifListe, 2.0f);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 1);
        QVERIFY(d.f->KasaCmd->isEnabled());
        d.touch(button);
        d.f->Text4->setText(u"35"_s); // as the dye frame's amount field leaves it
        d.touch(UrunIsle);
        QCOMPARE(d.lines(), lines);
        QCOMPARE(d.fx.beeps, 1);
        d.touch(button);
        saveFails(d, u"UPDATE"_s);
        QVERIFY(exec(d.salonFile(), u"UPDATE Salonya SET Miktar=3, Tutar=0"_s));
        d.touch(UrunIsle);
        QCOMPARE(d.lines(), lines);
        d.touch(SacKesim);
        saveFails(d, blocked);
        d.touch(UrunIsle);
        d.write({button == Fon ? Bakim : Fon});
        d.f->DataSalonya->moveLast(); // "SİL" takes the current line; the refreshed ticket stands on its first
        for (const QVariantList& left : {QVariantList{line[0], u"Saç Kesim"_s}, QVariantList{u"Saç Kesim"_s}, QVariantList{}}) {
            d.touch(Sil);
            QCOMPARE(names(d), left);
        }
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 0);
        QVERIFY(!d.f->KasaCmd->isEnabled());
        d.touch(Sil); // nothing more to delete, no complaint
        QCOMPARE(d.fx.beeps, 1);
        QVERIFY(d.fx.messages.isEmpty());
    }

    // Two desks on one salon server write lines for the same customer at the same moment: both keep theirs,
    // and the other desk's line shows in the open tickets without a touch.
    void twoDesksOneCustomer()
    {
        OtherDesk other(u"Salonya.Mdb"_s);
        if (!other.ok()) QSKIP("only desks sharing a salon server write one ticket book");
        Desk d;
        QVERIFY(ready(d));
        d.write({Fon});
        QVERIFY(other.exec(u"BEGIN; INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Tarih, Eleman, Yeni, Unvan, Tutar)"
                           " VALUES ('Manikür', 1, 100, 'M1', CURRENT_DATE, 'Gülay Kaya', 1, 'AYŞE YILMAZ', 100)"_s));
        d.write({SacKesim});
        d.touch(Fon);
        d.touch(UrunIsle); // rewrites its own line only
        QVERIFY(other.exec(u"COMMIT"_s));
        QCOMPARE(names(d), (QVariantList{u"Fön"_s, u"Manikür"_s, u"Saç Kesim"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(d.f->DBGridMus->model()->rowCount(), 3, 2000);
        QVERIFY(d.fx.messages.isEmpty());
    }

    // Fön and "ÜRÜN İŞLE" after a setup write nothing.
    void writesNothingAmiss_data()
    {
        QTest::addColumn<QString>("setup"); QTest::addColumn<int>("beeps");
        // Buttons coloured like a cyan STOKLAR, no list touched: an empty button does nothing, the writing ones stop.
        QTest::newRow("cyan buttons") << "cyan" << 0;
        // After a send nothing until a customer is chosen again: by the buttons' test, or with a grid touched since, by "ÜRÜN İŞLE".
        QTest::newRow("after a send") << "send" << 2;
        QTest::newRow("after a send, a grid touched") << "send grid" << 1;
    }
    void writesNothingAmiss()
    {
        QFETCH(QString, setup);
        Desk d;
        const bool cyan = setup == u"cyan";
        QVERIFY(d.open(cyan ? QString::number(Look::Cyan) : QString()));
        QVERIFY(writeSlots(d.fx.slotFile()));
        QVERIFY(cyan ? d.selectWithGateOpen(kAyse, kGulay) : d.select(kAyse, kGulay));
        if (cyan) d.touch(Empty);
        QCOMPARE(d.f->state.SeciliButon, 0.0f);
        if (setup.startsWith(u"send")) {
            d.write({SacKesim});
            SalonFixture::touch(d.f->KasaCmd);
            if (setup.endsWith(u"grid")) d.f->state.AktifListe = 3;
        }
        const QList<QVariantMap> before = d.lines();
        d.fx.beeps = 0;
        d.write({Fon});
        QCOMPARE(d.lines(), before);
        QTEST(d.fx.beeps, "beeps");
        if (cyan) QCOMPARE(d.f->state.SeciliButon, float(Fon));
        if (setup.startsWith(u"send")) QCOMPARE(d.f->Text1->text(), u"MÜŞTERİ SEÇİN..?"_s);
    }

    // "SİL" in each list: an open line goes, a sent one with Control only; in the card lists the highlighted card, never a line.
    void deleteInEachList_data()
    {
        QTest::addColumn<int>("context"); QTest::addColumn<int>("yeni"); QTest::addColumn<bool>("control"); QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QString>("left"); // customer codes|employees
        const QString all = u"M1,M2|Ali D'Nur,Gülay Kaya"_s;
        for (int context : {0, 1, 2, 3}) {
            QTest::addRow("context %d, open line", context) << context << 1 << false << QString() << all;
            QTest::addRow("context %d, sent line", context) << context << 0 << false << QString() << all;
            QTest::addRow("context %d, sent line with Control", context) << context << 0 << true << QString() << all;
        }
        QTest::newRow("customer list") << 4 << 1 << false << kNazli << u"M1|Ali D'Nur,Gülay Kaya"_s;
        QTest::newRow("employee list") << 5 << 1 << true << kAli << u"M1,M2|Gülay Kaya"_s;
        QTest::newRow("customer list, nobody highlighted") << 4 << 1 << false << QString() << all;
    }
    void deleteInEachList()
    {
        QFETCH(int, context); QFETCH(int, yeni); QFETCH(bool, control); QFETCH(QString, highlighted); QFETCH(QString, left);
        const bool deleted = context < 4 && (yeni == 1 || control);
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, yeni));
        QVERIFY(d.addLine(u"Saç Kesim"_s, 1));
        QVERIFY(ready(d));
        // Each grid over both lines, the first one current.
        DataSource* ds = context == 1 ? d.f->DataGunluk : context == 3 ? d.f->DataGecmis : d.f->DataSalonya;
        for (DataSource* s : {d.f->DataGunluk, d.f->DataGecmis, d.f->DataSalonya})
            s->setRecordSource(u"Select * From Salonya Where Cari='M1' Order By Islem ASC"_s);
        Data::refreshRoutine(ds);
        if (context >= 4) (context == 4 ? d.f->DBListe1 : d.f->DBListe2)->setText(highlighted);
        d.f->state.AktifListe = float(context);
        d.touch(Sil, control ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(names(d), (deleted ? QVariantList{u"Saç Kesim"_s} : QVariantList{u"Fön"_s, u"Saç Kesim"_s}));
        if (context < 4) QCOMPARE(d.fx.beeps, deleted ? 0 : 1);
        if (context > 0 && context < 4) QCOMPARE(d.f->state.AktifData, ds);
        const auto joined = [&](const QString& sql) {
            QStringList out;
            for (const QVariantMap& r : rows(d.fx.ownFile(u"Cari.Mdb"_s), sql)) out << r.first().toString();
            return out.join(u',');
        };
        QCOMPARE(joined(u"SELECT CariKod FROM CariKartlar WHERE Gurup='Müşteri' ORDER BY CariKod"_s) + u'|'
                     + joined(u"SELECT Eleman FROM Eleman ORDER BY Eleman"_s), left);
        QCOMPARE(d.f->DataCari->locate(u"CariKod='M2'"_s) >= 0, left.startsWith(u"M1,M2"));
        QCOMPARE(d.f->DataEleman->recordCount(), left.section(u'|', 1).split(u',').size());
    }

    // The cash button before start-up ends, a photo for a code leading out of the folder, and EXİT.
    void otherButtons()
    {
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 1));
        QVERIFY(d.open());
        QVERIFY(d.fx.execOwn(u"Cari.Mdb"_s, u"UPDATE CariKartlar SET CariKod='../../M1' WHERE CariKod='M1'"_s));
        d.f->DBGridMus->hide();
        QVERIFY(d.select(kAyse, kGulay));
        QVERIFY(!d.f->KasaCmd->isEnabled());
        Program::ResimCekildi = true;
        Program::GeciciMetin = u"1005"_s;
        d.touch(ResimCek);
        QCOMPARE(Program::GeciciMetin, QString()); // the photo's path, none here
        QCOMPARE(d.fx.messages.last(), u"Resim kaydedilemedi: program klasörüne yazılamıyor ya da çekilen resim yok."_s);
        QVERIFY(!Program::ResimCekildi);
        QVERIFY(ServicePanel::photoFile(u"a\\b"_s).isEmpty());
        QVERIFY(QDir(d.fx.programDir()).entryList({u"Resim*"_s}).isEmpty());
        d.f->DBGridMus->show();
        d.touch(Exit);
        QVERIFY(!d.f->isVisible());
        QSignalSpy again(d.f->startup(), &Startup::ready); // a closed desk never loads again
        emit d.f->activated();
        QCOMPARE(again.count(), 0);
    }

    // "ÜRÜN İŞLE" after a scan writes one piece of the card; after a failed scan, or the field entered again, nothing.
    void scans_data()
    {
        QTest::addColumn<QStringList>("codes"); QTest::addColumn<bool>("crlf");
        QTest::addColumn<QString>("shown"); // StokText after the burst; the card current unless not found
        const QString none = u"Stok Bulunamadı..?"_s;
        QTest::newRow("barcode") << QStringList{u"8690500"_s} << false << u"Şampuan 400 ml"_s;
        QTest::newRow("name") << QStringList{u"Kadın'a Bakım"_s} << false << u"Kadın'a Bakım"_s;
        QTest::newRow("hidden card") << QStringList{u"8690777"_s} << false << u"Gizli Serum"_s;
        QTest::newRow("nothing") << QStringList{u"4711"_s} << true << none;
        QTest::newRow("empty") << QStringList{QString()} << false << none;
        QTest::newRow("nothing, then a second scan") << QStringList{u"4711"_s, u"8690001"_s} << true << u"Fön"_s;
        QTest::newRow("two scans") << QStringList{u"8690500"_s, u"8690002"_s} << false << u"Saç Kesim"_s;
        // "+" or "~": the card is written before the field is entered again, by another program or through the desk's own file.
        QTest::newRow("card added by another program") << QStringList{u"8690500"_s, u"+8690600"_s} << false << u"Yeni Krem"_s;
        QTest::newRow("card added through the desk") << QStringList{u"8690500"_s, u"~8690600"_s} << false << u"Yeni Krem"_s;
    }
    void scans()
    {
        QFETCH(QStringList, codes); QFETCH(bool, crlf); QFETCH(QString, shown);
        Desk d;
        QVERIFY(ready(d));
        d.touch(Fon);
        d.touch(Stoklar);
        QVERIFY(d.f->DBListe4->hasFocus());
        SalonFixture::touch(d.f->StokText);
        QCOMPARE(d.f->DataStok->recordCount(), 6); // the offered cards: no hidden one
        d.f->Text4->setText(u"2"_s);
        QStringList burst;
        for (const QString& code : codes) {
            if (!code.startsWith(u'+') && !code.startsWith(u'~')) {
                burst << code;
                continue;
            }
            scan(burst, crlf);
            burst = QStringList{code.mid(1)};
            const QString card = u"INSERT INTO StokKartlar VALUES ('S9', 'Yeni Krem', '%1', 90, 'Ürün', 0)"_s.arg(code.mid(1));
            QVERIFY(code.startsWith(u'+') ? d.fx.execOwn(u"Stok.Mdb"_s, card) : d.f->DataStok->database()->exec(card, nullptr));
            d.f->KlvTxt->setFocus(); // the field entered anew, as after a pick
            SalonFixture::touch(d.f->StokText);
            QCOMPARE(d.f->DataStok->recordCount(), 7);
        }
        scan(burst, crlf);
        QCOMPARE(d.f->StokText->text(), shown);
        const bool found = shown != u"Stok Bulunamadı..?";
        d.touch(UrunIsle);
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), found ? 1 : 0);
        QCOMPARE(d.fx.beeps, found ? 0 : 1);
        if (found) QCOMPARE(lines[0][u"Islem"_s].toString() + lines[0][u"Miktar"_s].toString(), shown + u'1');
        SalonFixture::touch(d.f->StokText);
        d.touch(UrunIsle);
        QCOMPARE(d.lines(), lines);
        QCOMPARE(d.fx.beeps, found ? 1 : 2);
        // Closing the frame takes the keyboard its field opened with it.
        if (d.f->StokFrm->isVisible()) d.touch(Stoklar);
        QVERIFY(!d.f->StokFrm->isVisible() && !d.f->Frame2->isVisible());
    }

    // A button finds its card whatever DataStok holds; a dye opens the dye frame and is never written by pieces.
    void picksWhateverWasSearched_data()
    {
        QTest::addColumn<QString>("before"); // "search" in the stock field, "BOYA" left open, "35" g of the dye weighed
        QTest::addColumn<QString>("card");   // a scanned barcode, else the caption of a button
        QTest::addColumn<QString>("line");   // Islem, Miktar, Tutar at the end; a dye's after 40 g
        const QString k = u"Boya 7.0 Kumral"_s, weighed = u"Boya 7.0 Kumral 40 48"_s;
        QTest::newRow("stock search, Fön") << "search" << u"Fön"_s << u"Fön 1 150"_s;
        QTest::newRow("dye frame open, Fön") << "BOYA" << u"Fön"_s << u"Fön 1 150"_s;
        QTest::newRow("dye on a button") << "" << k << weighed;
        QTest::newRow("weighed dye, its button") << "35" << k << weighed;
        QTest::newRow("weighed dye, scanned") << "35" << u"8690900"_s << weighed;
    }
    void picksWhateverWasSearched()
    {
        QFETCH(QString, before); QFETCH(QString, card); QFETCH(QString, line);
        Desk d;
        QVERIFY(ready(d));
        if (before == u"search") {
            d.touch(Stoklar);
            SalonFixture::touch(d.f->StokText);
            d.fx.typeOnKeys(u"şam"_s);
            QCOMPARE(d.f->DataStok->recordCount(), 1);
            d.touch(Stoklar);
        }
        if (before == u"BOYA") d.touch(Boya);
        if (before == u"35") {
            QVERIFY(weigh(d, u"Boya 7.0 Kumral"_s, before));
            SalonFixture::touch(d.f->Command2[1]);
        }
        if (card.startsWith(u"869")) {
            d.touch(Stoklar);
            SalonFixture::touch(d.f->StokText);
            scan({card}, true);
        } else {
            d.f->Command1[Empty]->setText(card);
            d.touch(Empty);
        }
        const QList<QVariantMap> earlier = d.lines();
        const bool dye = line.startsWith(u"Boya");
        if (dye) {
            QVERIFY(d.f->BoyaFrm->isVisible());
            QCOMPARE(d.f->Text3->text(), u"Boya 7.0 Kumral"_s);
            QVERIFY(d.f->Text4->hasFocus());
            SalonFixture::typeOnKeyboard(d.f->Text4, u"40"_s);
        }
        d.touch(UrunIsle);
        if (dye) {
            QCOMPARE(d.lines(), earlier);
            SalonFixture::touch(d.f->Command2[0]);
        }
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(QStringList({lines[0][u"Islem"_s].toString(), lines[0][u"Miktar"_s].toString(), lines[0][u"Tutar"_s].toString()}).join(u' '), line);
    }

    // A stock pick names the service button touched last; "SİL" in the frame clears it, deleting no card or line.
    void buttonAssignment_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("liste"); // AktifListe at "SİL"; -1: a list pick instead
        QTest::addColumn<QString>("caption"); // of the button afterwards
        QTest::newRow("empty service button") << int(Empty) << -1 << u"D'Or Boya 5.1"_s;
        QTest::newRow("named service button") << int(SacKesim) << -1 << u"D'Or Boya 5.1"_s;
        QTest::newRow("after BOYA") << int(Boya) << -1 << u"BOYA"_s;
        QTest::newRow("SİL after a service button, employee list") << int(SacKesim) << 5 << QString();
        QTest::newRow("SİL after a service button, customer list") << int(Fon) << 4 << QString();
        QTest::newRow("SİL after STOKLAR, ticket grid") << int(Stoklar) << 2 << u"STOKLAR"_s;
    }
    void buttonAssignment()
    {
        QFETCH(int, button); QFETCH(int, liste); QFETCH(QString, caption);
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 1));
        QVERIFY(ready(d));
        const QString cards = u"SELECT (SELECT group_concat(Unvan) FROM CariKartlar) || (SELECT group_concat(Eleman) FROM Eleman)"_s;
        const QVariant before = d.fx.ownValue(u"Cari.Mdb"_s, cards);
        d.touch(Stoklar);
        if (button != Stoklar) d.touch(button);
        QVERIFY(d.f->StokFrm->isVisible());
        d.f->DBListe1->setText(kAyse); // what "SİL" in the customer list would delete
        if (liste >= 0) {
            d.f->state.AktifListe = float(liste);
            d.touch(Sil);
        } else QVERIFY(d.fx.tapListEntry(d.f->DBListe4, u"D'Or Boya 5.1"_s)); // in the dye list after BOYA too
        QCOMPARE(d.f->Command1[button]->text(), caption);
        QCOMPARE(d.fx.ownValue(u"Cari.Mdb"_s, cards), before);
        QCOMPARE(d.lines().size(), 1);
        d.touch(Stoklar); // closes the frame
        QVERIFY(!d.f->StokFrm->isVisible());
        d.fx.stop();
        QVERIFY((d.f = d.fx.start()));
        QCOMPARE(d.f->Command1[button]->text(), caption);
    }

    // Grams priced per 100 g; a second weighing rewrites today's open line only, whatever day the picker shows.
    void weighing_data()
    {
        QTest::addColumn<QString>("dye"); QTest::addColumn<QString>("grams");
        QTest::addColumn<double>("tutar"); // 0: nothing written
        QTest::addColumn<int>("beeps");
        QTest::addColumn<int>("yeni");    // of a line of this dye already there; -1 none
        QTest::addColumn<int>("daysAgo"); // of that line and the picker
        QTest::addColumn<QString>("employee"); // who weighs; the line there is Gülay's
        const QString k = u"Boya 7.0 Kumral"_s;
        QTest::newRow("35 g at 120 per 100 g") << k << "35" << 42.0 << 0 << -1 << 0 << kGulay;
        QTest::newRow("decimal comma first") << k << ",5" << 0.6 << 0 << -1 << 0 << kGulay;
        QTest::newRow("apostrophe") << u"D'Or Boya 5.1"_s << "12,5" << 10.0 << 0 << -1 << 0 << kGulay;
        QTest::newRow("zero") << k << "0" << 0.0 << 0 << -1 << 0 << kGulay;
        QTest::newRow("letters") << k << "abc" << 0.0 << 3 << -1 << 0 << kGulay;
        QTest::newRow("two commas") << k << "1,2,3" << 0.0 << 2 << -1 << 0 << kGulay;
        QTest::newRow("a sent line today") << k << "35" << 42.0 << 0 << 0 << 0 << kGulay;
        QTest::newRow("an open line yesterday, picker on yesterday") << k << "35" << 42.0 << 0 << 1 << 1 << kGulay;
        QTest::newRow("a sent line yesterday, picker on yesterday") << k << "35" << 42.0 << 0 << 0 << 1 << kGulay;
        QTest::newRow("another employee's open line today") << k << "35" << 42.0 << 0 << 1 << 0 << kAli;
    }
    void weighing()
    {
        QFETCH(QString, dye); QFETCH(QString, grams); QFETCH(double, tutar); QFETCH(int, yeni); QFETCH(int, daysAgo); QFETCH(QString, employee);
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 0, 30));
        if (yeni >= 0) QVERIFY(d.addLine(dye, yeni, daysAgo));
        QVERIFY(ready(d, kAyse, employee));
        const QList<QVariantMap> before = d.lines();
        d.f->DTPicker1->setDate(QDate::currentDate().addDays(-daysAgo));
        d.touch(Boya);
        QCOMPARE(d.f->state.TarihKriter, Startup::dateCriterion(d.f->DTPicker1->date()));
        QVERIFY(d.f->Text3->hasFocus());
        QCOMPARE(d.f->state.AktifAlan, u"Boya"_s);
        QVERIFY(weigh(d, dye, grams));
        QTEST(d.fx.beeps, "beeps");
        QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.mid(0, before.size()), before);
        QCOMPARE(lines.size(), before.size() + (tutar > 0 ? 1 : 0));
        QVERIFY(!d.f->Command2[0]->isEnabled()); // after a line too: the amount is back to "0"
        if (tutar == 0) return;
        QCOMPARE(lines.last()[u"Islem"_s].toString(), dye);
        QCOMPARE(lines.last()[u"Miktar"_s].toDouble(), *DyeFrame::grams(grams));
        QCOMPARE(lines.last()[u"Tutar"_s].toDouble(), tutar);
        QCOMPARE(lines.last()[u"Gurup"_s].toInt(), 1);
        QVERIFY(d.f->BoyaFrm->isVisible());
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), yeni == 1 && daysAgo == 0 ? 2 : 1); // another employee's too
        QVERIFY(weigh(d, dye, u"50"_s));
        lines = d.lines();
        QCOMPARE(lines.mid(0, before.size()), before);
        QCOMPARE(lines.size(), before.size() + 1);
        QCOMPARE(lines.last()[u"Miktar"_s].toDouble(), 50.0);
        QCOMPARE(lines.last()[u"Tarih"_s].toString(), QDate::currentDate().toString(Qt::ISODate));
        SalonFixture::touch(d.f->Command2[1]);
        QVERIFY(!d.f->BoyaFrm->isVisible());
        QCOMPARE(d.f->state.AktifAlan, QString());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), lines.size());
        QCOMPARE(d.f->DataStok->recordCount(), 7); // every card again
        // The line written while the picker showed another day brought the desk back to today's open ticket.
        SalonFixture::touch(d.f->Text2);
        QVERIFY(d.fx.tapListEntry(d.f->DBListe2, kGulay));
        d.f->state.AktifListe = 0;
        d.write({Fon});
        QCOMPARE(d.f->DTPicker1->date(), QDate::currentDate());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 2);
        QVERIFY(d.f->KasaCmd->isEnabled());
    }

};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
