// The dye frame: finding and picking a dye, weighing it in grams with a decimal comma, the line priced
// per 100 g and rewritten by a second weighing, other lines left alone, and "Kapat".
#include "desk.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "ticket/dyeframe.h"
#include "ui/datagrid.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "BOYA", the dye found by typing its start on the keyboard and picked in the list, then the grams typed.
bool weigh(Desk& d, const QString& dye, const QString& grams)
{
    if (!d.f->BoyaFrm->isVisible()) d.touch(Desk::Boya);
    if (!d.f->Text3->hasFocus()) SalonFixture::touch(d.f->Text3);
    SalonFixture::typeOnKeyboard(d.f->Text3, dye.left(3).toLower());
    if (!d.fx.tapListEntry(d.f->DBListe3, dye) || !d.f->Text4->hasFocus()) return false;
    SalonFixture::typeOnKeyboard(d.f->Text4, grams);
    SalonFixture::touch(d.f->Command2[0]);
    return true;
}

} // namespace

class TestDye : public QObject
{
    Q_OBJECT

private slots:
    void weighing_data()
    {
        QTest::addColumn<QString>("dye");
        QTest::addColumn<QString>("grams");
        QTest::addColumn<double>("tutar"); // 0: nothing written
        QTest::addColumn<int>("beeps");
        QTest::newRow("35 g at 120 per 100 g") << u"Boya 7.0 Kumral"_s << "35" << 42.0 << 0;
        QTest::newRow("decimal comma first") << u"Boya 7.0 Kumral"_s << ",5" << 0.6 << 0;
        QTest::newRow("apostrophe") << u"D'Or Boya 5.1"_s << "12,5" << 10.0 << 0;
        QTest::newRow("lone comma") << u"Boya 7.0 Kumral"_s << "," << 0.0 << 0;
        QTest::newRow("zero") << u"Boya 7.0 Kumral"_s << "0" << 0.0 << 0;
        QTest::newRow("letters") << u"Boya 7.0 Kumral"_s << "abc" << 0.0 << 3;
        QTest::newRow("two commas") << u"Boya 7.0 Kumral"_s << "1,2,3" << 0.0 << 2;
    }
    void weighing()
    {
        QFETCH(QString, dye);
        QFETCH(QString, grams);
        QFETCH(double, tutar);
        QFETCH(int, beeps);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(Desk::Ayse, Desk::Gulay));
        d.touch(Desk::Boya);
        QVERIFY(d.f->Text3->hasFocus());
        QCOMPARE(d.f->state.AktifAlan, u"Boya"_s);
        QCOMPARE(d.f->Text4->text(), u"0"_s);
        QVERIFY(weigh(d, dye, grams));
        QCOMPARE(d.fx.beeps, beeps);
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), tutar > 0 ? 1 : 0);
        QVERIFY(!d.f->Command2[0]->isEnabled()); // after a line too: the amount is back to "0"
        if (tutar == 0) return;
        const QVariantMap& l = lines[0];
        QCOMPARE(l[u"Islem"_s].toString(), dye);
        QCOMPARE(l[u"Miktar"_s].toDouble(), *DyeFrame::grams(grams));
        QCOMPARE(l[u"Tutar"_s].toDouble(), tutar);
        QCOMPARE(l[u"Gurup"_s].toInt(), 1);
        QCOMPARE(l[u"Yeni"_s].toInt(), 1);
        QCOMPARE(l[u"Cari"_s].toString(), u"M1"_s);
        QCOMPARE(l[u"Eleman"_s].toString(), Desk::Gulay);
        QCOMPARE(l[u"Tarih"_s].toString(), QDate::currentDate().toString(Qt::ISODate));
        // The frame stays open for the next dye, its fields emptied.
        QVERIFY(d.f->BoyaFrm->isVisible());
        QCOMPARE(d.f->Text3->text(), QString());
        QCOMPARE(d.f->Text4->text(), u"0"_s);
        QCOMPARE(d.f->DBGridMus->model()->rowCount(), 1);
    }

    // A second weighing of the same dye rewrites today's open line; sent lines and lines of other
    // days are never touched, whatever day the date picker shows.
    void secondWeighing_data()
    {
        QTest::addColumn<int>("yeni");    // of a line of this dye already there
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<int>("pickerDaysAgo");
        QTest::newRow("no line before") << -1 << 0 << 0;
        QTest::newRow("a sent line today") << 0 << 0 << 0;
        QTest::newRow("an open line yesterday, picker on yesterday") << 1 << 1 << 1;
        QTest::newRow("a sent line yesterday, picker on yesterday") << 0 << 1 << 1;
    }
    void secondWeighing()
    {
        QFETCH(int, yeni);
        QFETCH(int, daysAgo);
        QFETCH(int, pickerDaysAgo);
        Desk d;
        const QString dye = u"Boya 7.0 Kumral"_s;
        if (yeni >= 0) QVERIFY(d.addLine(dye, yeni, daysAgo));
        QVERIFY(d.open());
        QVERIFY(d.select(Desk::Ayse, Desk::Gulay));
        const QList<QVariantMap> before = d.lines();
        d.f->DTPicker1->setDate(QDate::currentDate().addDays(-pickerDaysAgo));
        QVERIFY(weigh(d, dye, u"35"_s));
        QCOMPARE(d.f->state.TarihKriter, Startup::dateCriterion(d.f->DTPicker1->date())); // "BOYA" took the picker's day
        QVERIFY(weigh(d, dye, u"50"_s));
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), before.size() + 1);
        QCOMPARE(lines.mid(0, before.size()), before);
        QCOMPARE(lines.last()[u"Miktar"_s].toDouble(), 50.0);
        QCOMPARE(lines.last()[u"Tutar"_s].toDouble(), 60.0);
        QCOMPARE(lines.last()[u"Tarih"_s].toString(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(d.fx.beeps, 0);
    }

    // "Kapat" leaves every line of the customer in the ticket grid, any day or state.
    void closeShowsTheCustomersWholeHistory()
    {
        Desk d;
        QVERIFY(d.addLine(u"Fön"_s, 0, 30));
        QVERIFY(d.addLine(u"Saç Kesim"_s, 1, 2));
        QVERIFY(d.open());
        QVERIFY(d.select(Desk::Ayse, Desk::Gulay));
        QVERIFY(weigh(d, u"Boya 7.0 Kumral"_s, u"20"_s));
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 1);
        SalonFixture::touch(d.f->Command2[1]);
        QVERIFY(!d.f->BoyaFrm->isVisible());
        QCOMPARE(d.f->state.AktifAlan, QString());
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 3);
        QCOMPARE(d.f->DataStok->recordSource(), u"Select * From StokKartlar Order By StokAdi Asc"_s);
        QCOMPARE(d.f->DataStok->recordCount(), 7);
    }
};

QTEST_MAIN(TestDye)
#include "tst_dye.moc"
