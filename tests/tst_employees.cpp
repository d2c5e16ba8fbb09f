// The employee field: only after a customer, picking from the list, creating an employee with the
// card numbering shared with customers, and the open lines that follow customer and employee.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDate>
#include <QPushButton>
#include <QTest>

using namespace AccountingFiles;

namespace {

const QString kAyse = QStringLiteral("AYŞE YILMAZ");
const QString kGulay = QStringLiteral("Gülay Kaya");
const QString kNur = QStringLiteral("Nur D'Souza");

QString today() { return Startup::dateCriterion(QDate::currentDate()); }
QString q(QString s) { return u'\'' + s.replace(u'\'', QStringLiteral("''")) + u'\''; }

} // namespace

class TestEmployees : public QObject
{
    Q_OBJECT

    static Salonya* open(SalonFixture& fx, const QString& counterSql = {})
    {
        const QList<Row> cards{card(QStringLiteral("M1"), kAyse, QStringLiteral("Müşteri"), QStringLiteral("4400")),
                               card(QStringLiteral("M2"), QStringLiteral("BERK ÖZ"), QStringLiteral("Müşteri"), QStringLiteral("4401")),
                               card(QStringLiteral("E1"), kGulay, QStringLiteral("Eleman")),
                               card(QStringLiteral("E2"), kNur, QStringLiteral("Eleman"))};
        if (!writeCards(fx.cardFile(), cards)) return nullptr;
        if (!counterSql.isEmpty() && !fx.execOwn(QStringLiteral("Cari.Mdb"), QStringLiteral("DELETE FROM RecNo; INSERT INTO RecNo VALUES (%1)").arg(counterSql)))
            return nullptr;
        return fx.start();
    }

    static bool chooseCustomer(SalonFixture& fx, const QString& title)
    {
        SalonFixture::touch(fx.form()->Text1);
        return fx.tapListEntry(fx.form()->DBListe1, title);
    }

    // Types on the screen keys into the field that has the keyboard and touches ENTER.
    static void typeAndEnter(SalonFixture& fx, const QString& text)
    {
        fx.typeOnKeys(text);
        fx.touchKey(48);
        QCoreApplication::processEvents(); // the key sends Enter once its touch is handled
    }

    static QVariant counter(const SalonFixture& fx) { return fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT SonNo FROM RecNo")); }
    static int cari(const SalonFixture& fx, const QString& sql) { return count(fx.ownFile(QStringLiteral("Cari.Mdb")), sql); }

private slots:
    void touchingTheField()
    {
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        // Without a customer the customer field takes the touch.
        SalonFixture::touch(f->Text2);
        QCOMPARE(QApplication::focusWidget(), f->Text1);
        QVERIFY(f->DBListe1->isVisible());
        QVERIFY(!f->DBListe2->isVisible());
        QCOMPARE(f->state.AktifText, f->Text1);
        QCOMPARE(f->state.AktifAlan, QStringLiteral("CariKartlar"));
        QCOMPARE(f->Text2->text(), QStringLiteral("ELEMAN"));

        QVERIFY(fx.tapListEntry(f->DBListe1, kAyse));
        SalonFixture::touch(f->Text2);
        QCOMPARE(QApplication::focusWidget(), f->Text2);
        QVERIFY(f->DBListe2->isVisible());
        QVERIFY(!f->DBListe1->isVisible());
        QVERIFY(f->Frame2->isVisible());
        QCOMPARE(f->Text2->text(), QString());
        QCOMPARE(f->state.AktifText, f->Text2);
        QCOMPARE(f->state.AktifData, f->DataEleman);
        QCOMPARE(f->state.AktifAlan, QStringLiteral("Eleman"));
        QCOMPARE(Look::backColor(f->Text2), Look::LightCyan);
        QCOMPARE(Look::backColor(f->Text1), Look::White);
        QCOMPARE(f->DataEleman->recordSource(), QStringLiteral("Eleman"));
        QCOMPARE(f->DBListe2->listModel()->rowCount(), 2);
        // Emptying the field shows today's lines of the customer titled as in the customer field.
        QCOMPARE(f->DataSalonya->recordSource(), QStringLiteral("Select * From Salonya Where ") + today() + QStringLiteral(" And Unvan='AYŞE YILMAZ'"));

        // Left empty, the field shows its placeholder.
        SalonFixture::touch(f->DBGridIslem);
        QCOMPARE(f->Text2->text(), QStringLiteral("ELEMAN"));
        QCOMPARE(f->Text2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(f->state.AktifAlan, QString());
    }

    void pickingFiltersTheOpenLines_data()
    {
        QTest::addColumn<QString>("employee");
        QTest::addColumn<QString>("keys"); // typed on the screen keys before the tap
        QTest::newRow("plain name after typing") << kGulay << "gül";
        QTest::newRow("apostrophe") << kNur << "";
    }
    void pickingFiltersTheOpenLines()
    {
        QFETCH(QString, employee);
        QFETCH(QString, keys);
        SalonFixture fx;
        const QString day = QDate::currentDate().toString(Qt::ISODate);
        QVERIFY(fx.execOwn(QStringLiteral("Salonya.Mdb"),
                           QStringLiteral("INSERT INTO Salonya (Islem, Cari, Tarih, Eleman, Yeni, Unvan) VALUES "
                                          "('Fön', 'M1', '%1', %2, 1, 'AYŞE YILMAZ'),"   // open, this employee
                                          "('Kesim', 'M1', '%1', %2, 0, 'AYŞE YILMAZ')," // sent already
                                          "('Boya', 'M1', '%1', 'Başkası', 1, 'AYŞE YILMAZ'),"
                                          "('Maşa', 'M1', '2020-01-02', %2, 1, 'AYŞE YILMAZ')")
                               .arg(day, q(employee))));
        Salonya* f = open(fx);
        QVERIFY(f);
        QVERIFY(chooseCustomer(fx, kAyse));
        SalonFixture::touch(f->Text2);
        if (!keys.isEmpty()) {
            fx.typeOnKeys(keys);
            QCOMPARE(f->Text2->text(), QStringLiteral("Gül"));
            QVERIFY(f->DBListe2->isVisible());
            QCOMPARE(f->DBListe2->listModel()->rowCount(), 1);
        }
        QVERIFY(fx.tapListEntry(f->DBListe2, employee));

        QCOMPARE(f->Text2->text(), employee);
        QCOMPARE(f->DataEleman->field(0).toString(), employee);
        QCOMPARE(f->DataSalonya->recordSource(), QStringLiteral("Select * From Salonya Where ") + today()
                     + QStringLiteral(" And Cari='M1' And Eleman=") + q(employee) + QStringLiteral(" And Yeni=1"));
        QCOMPARE(f->DataSalonya->recordCount(), 1);
        QCOMPARE(f->DataSalonya->field(0).toString(), QStringLiteral("Fön"));
        QVERIFY(!f->DBListe2->isVisible());
        QVERIFY(!f->Frame2->isVisible());
        QCOMPARE(Look::backColor(f->Text2), Look::White);
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);

        // The employee stays; another customer without open lines with them cannot be sent.
        QVERIFY(chooseCustomer(fx, QStringLiteral("BERK ÖZ")));
        QCOMPARE(f->Text2->text(), employee);
        QVERIFY(!f->KasaCmd->isEnabled());
        QVERIFY(chooseCustomer(fx, kAyse));
        QVERIFY(f->KasaCmd->isEnabled());
        QCOMPARE(f->DataGecmis->recordSource(), QStringLiteral("Select * From Salonya Where Cari='M1' Order By Islem ASC"));
        QCOMPARE(f->DataGecmis->recordCount(), 4);
    }

    // Enter on the employee field: a known name selects it, a new one makes a card and an employee row
    // or, when the employee row cannot be written, nothing at all.
    void enterOnTheField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("created");
        QTest::newRow("known name") << kNur << false << false;
        QTest::newRow("new name with apostrophe") << "Şule O'Neil" << false << true;
        QTest::newRow("save fails") << "Yarım Kayıt" << true << false;
    }
    void enterOnTheField()
    {
        QFETCH(QString, typed);
        QFETCH(bool, locked);
        QFETCH(bool, created);
        SalonFixture fx;
        Salonya* f = open(fx, QStringLiteral("1005"));
        QVERIFY(f);
        if (locked)
            QVERIFY(fx.execOwn(QStringLiteral("Cari.Mdb"),
                               QStringLiteral("CREATE TRIGGER kilit BEFORE INSERT ON Eleman BEGIN SELECT RAISE(ABORT, 'kilitli'); END")));
        QVERIFY(chooseCustomer(fx, kAyse));
        const int cards = cari(fx, QStringLiteral("SELECT count(*) FROM CariKartlar"));
        SalonFixture::touch(f->Text2);
        SalonFixture::typeOnKeyboard(f->Text2, typed);
        QTest::keyClick(f->Text2, Qt::Key_Return);

        QCOMPARE(cari(fx, QStringLiteral("SELECT count(*) FROM CariKartlar")), cards + created);
        QCOMPARE(cari(fx, QStringLiteral("SELECT count(*) FROM Eleman")), 2 + created);
        QCOMPARE(f->DBListe2->listModel()->rowCount(), 2 + created);
        QCOMPARE(counter(fx).toLongLong(), created ? 1006 : 1005);
        QCOMPARE(fx.messages.size(), int(locked));
        if (locked) QVERIFY(fx.messages.first().contains(QStringLiteral("kaydedilemedi")));
        if (created) {
            QCOMPARE(cari(fx, QStringLiteral("SELECT count(*) FROM CariKartlar WHERE CariKod='Cr-1006' AND Unvan=%1 AND Gurup='Eleman' AND Yeni=1").arg(q(typed))), 1);
            QCOMPARE(cari(fx, QStringLiteral("SELECT count(*) FROM Eleman WHERE Eleman=%1").arg(q(typed))), 1);
            QCOMPARE(f->DataEleman->field(0).toString(), typed);
        }
        if (!locked) {
            QCOMPARE(f->Text2->text(), typed);
            QVERIFY(!f->DBListe2->isVisible());
            QVERIFY(!f->Frame2->isVisible());
            QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        }
        // The customer chosen before is current again.
        QCOMPARE(f->DataCari->recordSource(), QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc"));
        QCOMPARE(f->DataCari->field(0).toString(), QStringLiteral("M1"));
        QCOMPARE(f->state.Durum, 0.0f);
    }

    void customersAndEmployeesShareTheNumbers()
    {
        SalonFixture fx;
        Salonya* f = open(fx); // the start puts 0 into the counter
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        typeAndEnter(fx, QStringLiteral("yeni müşteri"));
        QCOMPARE(f->DataCari->field(0).toString(), QStringLiteral("Cr-1"));

        SalonFixture::touch(f->Text2);
        QCOMPARE(QApplication::focusWidget(), f->Text2);
        typeAndEnter(fx, QStringLiteral("yeni eleman"));
        QCOMPARE(f->Text2->text(), QStringLiteral("Yeni Eleman"));
        QCOMPARE(f->DataCari->field(0).toString(), QStringLiteral("Cr-1")); // the new customer is current again

        SalonFixture::touch(f->Text1);
        typeAndEnter(fx, QStringLiteral("ikinci müşteri"));

        QCOMPARE(fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT group_concat(CariKod || '=' || Unvan || '=' || Gurup, ',') FROM "
                                                                        "(SELECT * FROM CariKartlar WHERE substr(CariKod, 1, 3)='Cr-' ORDER BY rowid)")).toString(),
                 QStringLiteral("Cr-1=Yeni Müşteri=Müşteri,Cr-2=Yeni Eleman=Eleman,Cr-3=İkinci Müşteri=Müşteri"));
        QCOMPARE(counter(fx).toLongLong(), 3);
        QCOMPARE(cari(fx, QStringLiteral("SELECT count(*) FROM Eleman WHERE Eleman='Yeni Eleman'")), 1);
    }
};

QTEST_MAIN(TestEmployees)
#include "tst_employees.moc"
