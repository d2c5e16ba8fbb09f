// The live search behind the keyboard, typed as a user would: the pattern with the dotted and dotless
// i, the record source of every kind, the list decisions, the dye field emptied, proper case,
// quotes and wildcards from a physical keyboard, and a list that cannot be read.
#include "salonfixture.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/recordmodels.h"
#include "input/capsonoff.h"
#include "input/keyboard.h"
#include "input/keyboardsearch.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QGroupBox>
#include <QTest>

using namespace AccountingFiles;

namespace {

const QStringList kCustomers{
    QStringLiteral("AYŞE YILMAZ"), QStringLiteral("AYŞEGÜL KAYA"), QStringLiteral("ALİ VURAL"), QStringLiteral("ALI OKTAY"),
    QStringLiteral("ASLI TEKİN"),   QStringLiteral("IŞIK DEMİR"),   QStringLiteral("İPEK ŞAHİN"), QStringLiteral("D'ANGELO MARCO"),
    QStringLiteral("ZEYNEP ÇELİK"),
};

Salonya* startSalon(SalonFixture& fx)
{
    QList<Row> cards;
    for (int i = 0; i < kCustomers.size(); ++i) cards << card(QStringLiteral("M%1").arg(i), kCustomers[i]);
    cards << card(QStringLiteral("E1"), QStringLiteral("Gülay Kaya"), QStringLiteral("Eleman"))
          << card(QStringLiteral("E2"), QStringLiteral("Gizem Ak"), QStringLiteral("Eleman"))
          << card(QStringLiteral("E3"), QStringLiteral("Seda Ün"), QStringLiteral("Eleman"));
    if (!writeCards(fx.cardFile(), cards)) return nullptr;
    if (!writeStock(fx.stockFile(), {stock(QStringLiteral("B1"), QStringLiteral("Kestane Boya 6.3"), {}, 50, QStringLiteral("Boya")),
                                     stock(QStringLiteral("B2"), QStringLiteral("Küllü Sarı Boya"), {}, 50, QStringLiteral("Boya")),
                                     stock(QStringLiteral("S1"), QStringLiteral("Kesim"), {}, 200),
                                     stock(QStringLiteral("S2"), QStringLiteral("Fön"), {}, 150)}))
        return nullptr;
    return fx.start();
}

void give(Salonya* f, const QString& kind)
{
    const QHash<QString, TextBox*> field{{QStringLiteral("CariKartlar"), f->Text1}, {QStringLiteral("Eleman"), f->Text2},
                                         {QStringLiteral("StokKartlar"), f->StokText}, {QStringLiteral("Boya"), f->Text3}};
    SalonFixture::giveKeyboard(f, field.value(kind, f->Text4));
}

QStringList listed(TouchList* list)
{
    QStringList out;
    for (int r = 0; r < list->listModel()->rowCount(); ++r) out << list->listModel()->text(r);
    return out;
}

QString cariSearch(const QString& like)
{
    return QStringLiteral("Select * From CariKartlar Where Unvan Like '%1' And Gurup='Müşteri' Order By Unvan Asc").arg(like);
}

} // namespace

class TestKeyboardSearch : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { CapsOnOff::SetCapsLock(false); }

    void patternAndMatches_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<QString>("like");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("one letter a") << "a" << false << "A*" << QStringList{"ALI OKTAY", "ALİ VURAL", "ASLI TEKİN", "AYŞE YILMAZ", "AYŞEGÜL KAYA"};
        QTest::newRow("one letter i stays a letter") << "i" << false << "İ*" << QStringList{"İPEK ŞAHİN"};
        QTest::newRow("one letter ı stays a letter") << "ı" << false << "I*" << QStringList{"IŞIK DEMİR"};
        QTest::newRow("ali: dotted or dotless") << "ali" << false << "Al?*" << QStringList{"ALI OKTAY", "ALİ VURAL"};
        QTest::newRow("alı: dotted or dotless") << "alı" << false << "Al?*" << QStringList{"ALI OKTAY", "ALİ VURAL"};
        QTest::newRow("capital I after the first letter is any i") << "ALI" << true << "AL?*" << QStringList{"ALI OKTAY", "ALİ VURAL"};
        QTest::newRow("capital İ after the first letter is a wildcard") << "ALİ" << true << "AL?*" << QStringList{"ALI OKTAY", "ALİ VURAL"};
        QTest::newRow("first letter never a wildcard") << "ışı" << false << "Iş?*" << QStringList{"IŞIK DEMİR"};
        QTest::newRow("first İ kept, later ones wildcards") << "ipek ş" << false << "İpek Ş*" << QStringList{"İPEK ŞAHİN"};
        QTest::newRow("two words") << "ayşe y" << false << "Ayşe Y*" << QStringList{"AYŞE YILMAZ"};
    }
    void patternAndMatches()
    {
        QFETCH(QString, typed);
        QFETCH(bool, capitals);
        QFETCH(QString, like);
        QFETCH(QStringList, found);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        give(f, QStringLiteral("CariKartlar"));
        if (capitals) fx.touchKey(47);
        fx.typeOnKeys(typed);
        QCOMPARE(f->DataCari->recordSource(), cariSearch(like));
        QCOMPARE(listed(f->DBListe1), found);
        QVERIFY(f->DBListe1->isVisible());
        QCOMPARE(f->DBListe1->text(), found.first());
    }

    void recordSourcesOfEachKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("shown"); // the list the search opened
        QTest::newRow("customer") << "CariKartlar" << "ay" << "DataCari" << cariSearch(QStringLiteral("Ay*")) << 2 << "DBListe1";
        // No match closes the list and brings every customer back behind it; an employee's card is
        // no customer (picked, it would be a customer that the employee field's Enter cannot find again).
        const QString everyCustomer = QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc");
        QTest::newRow("customer no match") << "CariKartlar" << "ayx" << "DataCari" << everyCustomer << 9 << "";
        QTest::newRow("employee card is no customer") << "CariKartlar" << "gü" << "DataCari" << everyCustomer << 9 << "";
        QTest::newRow("employee") << "Eleman" << "g" << "DataEleman"
                                  << "Select * From Eleman Where Eleman Like 'G*' Order By Eleman Asc" << 2 << "DBListe2";
        // No match closes the list and brings every employee back behind it.
        QTest::newRow("employee no match") << "Eleman" << "sz" << "DataEleman" << "Select * From Eleman Order By Eleman Asc" << 3 << "";
        QTest::newRow("stock") << "StokKartlar" << "kes" << "DataStok"
                               << "Select * From StokKartlar Where StokAdi Like 'Kes*' Order By StokAdi Asc" << 2 << "";
        // The dye field searches the dyes only.
        QTest::newRow("dye") << "Boya" << "kes" << "DataStok"
                             << "Select * From StokKartlar Where Gurup='Boya' And StokAdi Like 'Kes*' Order By StokAdi Asc" << 1 << "";
    }
    void recordSourcesOfEachKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(QString, data);
        QFETCH(QString, source);
        QFETCH(int, rows);
        QFETCH(QString, shown);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        f->BoyaFrm->show();
        give(f, kind);
        fx.typeOnKeys(typed);
        QCOMPARE(f->state.AktifData->objectName(), data);
        QCOMPARE(f->state.AktifData->recordSource(), source);
        QCOMPARE(f->state.AktifData->recordCount(), rows);
        QCOMPARE(f->DBListe1->isVisible(), shown == u"DBListe1");
        QCOMPARE(f->DBListe2->isVisible(), shown == u"DBListe2");
        if (kind == u"Boya") QCOMPARE(f->DBListe3->text(), QStringLiteral("Kestane Boya 6.3"));
    }

    void customerListOpensNarrowsAndResets()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        give(f, QStringLiteral("CariKartlar"));
        QVERIFY(!f->DBListe1->isVisible());

        fx.typeOnKeys(QStringLiteral("a"));
        QVERIFY(f->DBListe1->isVisible());
        QCOMPARE(f->DBListe1->listModel()->rowCount(), 5);
        fx.typeOnKeys(QStringLiteral("yşeg"));
        QCOMPARE(listed(f->DBListe1), QStringList{QStringLiteral("AYŞEGÜL KAYA")});
        QCOMPARE(f->DBListe1->text(), QStringLiteral("AYŞEGÜL KAYA"));
        QCOMPARE(f->Text1->text(), QStringLiteral("Ayşeg"));

        // A key that leaves no match closes the list (the reset source is a row of the test above).
        fx.typeOnKeys(QStringLiteral("x"));
        QVERIFY(!f->DBListe1->isVisible());
        QCOMPARE(f->DBListe1->listModel()->text(0), QStringLiteral("ALI OKTAY"));
        QCOMPARE(f->Text1->text(), QStringLiteral("Ayşegx"));

        // Geri Al back to a match opens the list again; back to empty searches nothing.
        fx.touchKey(33);
        QVERIFY(f->DBListe1->isVisible());
        QCOMPARE(f->DBListe1->listModel()->rowCount(), 1);
        for (int i = 0; i < 5; ++i) fx.touchKey(33);
        QCOMPARE(f->Text1->text(), QString());
        QCOMPARE(f->DataCari->recordSource(), cariSearch(QStringLiteral("A*")));
    }

    void dyeFieldEmptiedWithoutMatch()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        f->BoyaFrm->show();
        give(f, QStringLiteral("Boya"));
        fx.typeOnKeys(QStringLiteral("kü"));
        QCOMPARE(f->Text3->text(), QStringLiteral("Kü"));
        QCOMPARE(f->DBListe3->text(), QStringLiteral("Küllü Sarı Boya"));
        QVERIFY(f->DBListe3->isEnabled());

        fx.typeOnKeys(QStringLiteral("z"));
        QCOMPARE(f->KlvTxt->text(), QString());
        QCOMPARE(f->Text3->text(), QString());
        QCOMPARE(f->DataStok->recordCount(), 0);
        QVERIFY(!f->DBListe3->isEnabled());

        // Typing starts again from an empty text.
        fx.typeOnKeys(QStringLiteral("k"));
        QCOMPARE(f->Text3->text(), QStringLiteral("K"));
        QCOMPARE(f->DBListe3->text(), QStringLiteral("Kestane Boya 6.3"));
        QVERIFY(f->DBListe3->isEnabled());
    }

    // A physical keyboard types into the buffer directly: proper case, quotes and wildcards.
    void physicalKeyboard_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("like"); // empty: the search is not checked
        QTest::addColumn<QStringList>("found");
        QTest::newRow("first letters up") << "ayşe yılmaz" << false << "Ayşe Yılmaz" << "" << QStringList{};
        QTest::newRow("i becomes İ") << "ipek" << false << "İpek" << "" << QStringList{};
        QTest::newRow("ı becomes I") << "ırmak" << false << "Irmak" << "" << QStringList{};
        QTest::newRow("the rest down, I to ı, İ to i") << "IŞIK İPEK" << false << "Işık İpek" << "" << QStringList{};
        QTest::newRow("mixed") << "çİĞDEM öZTÜRK" << false << "Çiğdem Öztürk" << "" << QStringList{};
        QTest::newRow("capitals keep the text as typed") << "aYŞe iI" << true << "aYŞe iI" << "" << QStringList{};
        QTest::newRow("apostrophe is searched for") << "D'An" << false << "D'an" << "D''an*" << QStringList{"D'ANGELO MARCO"};
        QTest::newRow("star inside the text") << "a*z" << false << "A*z" << "A*z*" << QStringList{"AYŞE YILMAZ"};
        QTest::newRow("question mark as first letter") << "?y" << false << "?y" << "?y*" << QStringList{"AYŞE YILMAZ", "AYŞEGÜL KAYA"};
    }
    void physicalKeyboard()
    {
        QFETCH(QString, typed);
        QFETCH(bool, capitals);
        QFETCH(QString, field);
        QFETCH(QString, like);
        QFETCH(QStringList, found);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        give(f, QStringLiteral("CariKartlar"));
        if (capitals) fx.touchKey(47);
        f->KlvTxt->setFocus();
        SalonFixture::typeOnKeyboard(f->KlvTxt, typed);
        QCOMPARE(f->KlvTxt->text(), field);
        QCOMPARE(f->Text1->text(), field);
        QVERIFY(fx.messages.isEmpty());
        if (like.isEmpty()) return;
        QCOMPARE(f->DataCari->recordSource(), cariSearch(like));
        QCOMPARE(f->DataCari->lastError(), QString());
        QCOMPARE(listed(f->DBListe1), found);
    }

    void whatIsNotSearched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::newRow("star alone") << "CariKartlar" << "*" << "*";
        QTest::newRow("quantity digits") << "Miktar" << "25" << "25";
    }
    void whatIsNotSearched()
    {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(QString, field);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        give(f, QStringLiteral("StokKartlar"));
        give(f, kind);
        DataSource* ds = f->state.AktifData;
        const QString before = ds->recordSource();
        const int rows = ds->recordCount();
        fx.typeOnKeys(typed);
        QCOMPARE(f->state.AktifText->text(), field);
        QCOMPARE(ds->recordSource(), before);
        QCOMPARE(ds->recordCount(), rows);
        QVERIFY(!f->DBListe1->isVisible());
    }

    void unreadableListIsReportedOnce()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        give(f, QStringLiteral("CariKartlar"));
        f->DataCari->setDatabaseName(fx.root() + QStringLiteral("/gone/Cari.Mdb"));
        fx.typeOnKeys(QStringLiteral("ay"));
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages.first().startsWith(QStringLiteral("Liste okunamadı")));
        QCOMPARE(f->Text1->text(), QStringLiteral("Ay"));
        // Back on its file, the search works and a later failure speaks again.
        f->DataCari->setDatabaseName(fx.ownFile(QStringLiteral("Cari.Mdb")));
        fx.typeOnKeys(QStringLiteral("ş"));
        QCOMPARE(f->DataCari->recordCount(), 2);
        f->DataCari->setDatabaseName(fx.root() + QStringLiteral("/gone/Cari.Mdb"));
        fx.typeOnKeys(QStringLiteral("e"));
        QCOMPARE(fx.messages.size(), 2);
    }
};

QTEST_MAIN(TestKeyboardSearch)
#include "tst_keyboardsearch.moc"
