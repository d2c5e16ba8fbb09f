// The Jet dialect on SQLite: dates, wildcards, Turkish case and order, Left, Booleans, quoting.
#include "data/database.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/turkish.h"

#include <QTemporaryDir>
#include <QTest>

class TestJet : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::shared_ptr<Database> db;

    QStringList titles(const QString& recordSource)
    {
        DataSource ds(QStringLiteral("t"));
        ds.setDatabaseName(dir.filePath(QStringLiteral("t.db")));
        ds.setRecordSource(recordSource);
        if (!ds.refresh()) return {QStringLiteral("ERROR: ") + ds.lastError()};
        QStringList out;
        for (int i = 0; i < ds.recordCount(); ++i) out << ds.value(i, 0).toString();
        return out;
    }

private slots:
    void initTestCase()
    {
        QString err;
        db = Database::open(dir.filePath(QStringLiteral("t.db")), true, &err);
        QVERIFY2(db, qPrintable(err));
        QVERIFY(db->exec(QStringLiteral("CREATE TABLE K (Unvan TEXT COLLATE TR, Tarih DATE, Gurup BOOLEAN, Kod TEXT)"), &err));
        QVERIFY(db->exec(QStringLiteral("CREATE INDEX K_Unvan ON K (Unvan)"), &err));
        const char* rows[][4] = {
            {"Cem", "2026-12-05", "0", "A1"},  {"Çiğdem", "2026-12-05", "1", "=X"}, {"Deniz", "2024-03-05", "0", "B2"},
            {"ırmak", "2026-12-06", "0", "C3"}, {"İpek", "2026-12-06", "1", "D4"},  {"Işık", "2026-12-06", "0", "E5"},
            {"ilker", "2026-01-01", "0", "F6"}, {"Ömer", "2026-01-01", "0", "G7"},   {"Şule", "2026-01-01", "0", "H8"},
            {"Ülkü", "2026-01-01", "0", "I9"},  {"Zeynep", "2026-01-01", "0", "J0"}, {"AYŞE YILMAZ", "2026-12-05", "0", "K1"},
            {"D'Angelo", "2026-12-05", "0", "L2"}, {"Gül", "2026-12-05", "0", "M3"}, {"Gül2", "2026-12-05", "0", "N4"},
        };
        for (const auto& r : rows)
            QVERIFY(db->exec(QStringLiteral("INSERT INTO K VALUES ('%1','%2',%3,'%4')")
                                 .arg(QString::fromUtf8(r[0]).replace(u'\'', QStringLiteral("''")), QString::fromUtf8(r[1]),
                                      QString::fromUtf8(r[2]), QString::fromUtf8(r[3])), &err));
    }

    void turkishOrder()
    {
        const QStringList got = titles(QStringLiteral("Select * From K Order By Unvan ASC"));
        const QStringList want = {QStringLiteral("AYŞE YILMAZ"), QStringLiteral("Cem"), QStringLiteral("Çiğdem"),
                                  QStringLiteral("D'Angelo"), QStringLiteral("Deniz"), QStringLiteral("Gül"),
                                  QStringLiteral("Gül2"), QStringLiteral("ırmak"), QStringLiteral("Işık"),
                                  QStringLiteral("ilker"), QStringLiteral("İpek"), QStringLiteral("Ömer"),
                                  QStringLiteral("Şule"), QStringLiteral("Ülkü"), QStringLiteral("Zeynep")};
        QCOMPARE(got, want);
        QCOMPARE(titles(QStringLiteral("Select * From K Order By Unvan DESC")).first(), QStringLiteral("Zeynep"));
    }

    void conditions_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("expected");
        const auto L = [](std::initializer_list<const char*> l) { QStringList s; for (auto x : l) s << QString::fromUtf8(x); return s; };
        QTest::newRow("equal ignores Turkish case") << "Unvan='ayşe yılmaz'" << L({"AYŞE YILMAZ"});
        QTest::newRow("dotted capital İ is i") << "Unvan='İLKER'" << L({"ilker"});
        QTest::newRow("capital I is ı, not i") << "Unvan='IRMAK'" << L({"ırmak"});
        QTest::newRow("like prefix any case") << "Unvan Like 'gü*'" << L({"Gül", "Gül2"});
        QTest::newRow("like one char") << "Unvan Like 'Ay?e*'" << L({"AYŞE YILMAZ"});
        QTest::newRow("like ? stands for i, ı or İ") << "Unvan Like 'I??k'" << L({"Işık"});
        QTest::newRow("like digit") << "Unvan Like 'Gül#'" << L({"Gül2"});
        QTest::newRow("like set") << "Unvan Like '[CÇ]*'" << L({"Cem", "Çiğdem"});
        QTest::newRow("like negated set") << "Unvan Like '[!A-Ç]e*'" << L({"Deniz", "Zeynep"});
        QTest::newRow("like star alone") << "Unvan Like '*'" << QStringList();
        QTest::newRow("like with quote") << "Unvan Like 'D''An*'" << L({"D'Angelo"});
        QTest::newRow("quoted equal") << "Unvan=" + Jet::quote(QStringLiteral("D'Angelo")) << L({"D'Angelo"});
        QTest::newRow("date literal") << "Tarih=#03/05/2024#" << L({"Deniz"});
        QTest::newRow("bare boolean") << "Tarih=#12/05/2026# And Gurup" << L({"Çiğdem"});
        QTest::newRow("true literal") << "Gurup=True And Tarih=#12/06/2026#" << L({"İpek"});
        QTest::newRow("left()") << "left(Kod,1)='='" << L({"Çiğdem"});
        QTest::newRow("left() not equal") << "left(Kod,1)<>'=' And Tarih=#12/05/2026# And Gurup=False" << L({"AYŞE YILMAZ", "Cem", "D'Angelo", "Gül", "Gül2"});
    }
    void conditions()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, expected);
        QStringList got = titles(QStringLiteral("Select * From K Where ") + where + QStringLiteral(" Order By Unvan Asc"));
        if (QTest::currentDataTag() == QByteArray("like star alone")) QCOMPARE(got.size(), 15); // every row
        else QCOMPARE(got, expected);
    }

    void quoting()
    {
        QCOMPARE(Jet::quote(QStringLiteral("D'Angelo")), QStringLiteral("'D''Angelo'"));
        QCOMPARE(Jet::quote(QString()), QStringLiteral("''"));
        // An injected quote stays inside the value.
        QCOMPARE(titles(QStringLiteral("Select * From K Where Unvan=") + Jet::quote(QStringLiteral("x' Or 1=1 Or Unvan='"))),
                 QStringList());
    }

    void badTextFailsCleanly_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("open quote") << "Select * From K Where Unvan='abc";
        QTest::newRow("no table") << "Select * From Yok";
        QTest::newRow("bad date") << "Select * From K Where Tarih=#13/45/2026#";
    }
    void badTextFailsCleanly()
    {
        QFETCH(QString, source);
        const QStringList got = titles(source);
        QCOMPARE(got.size(), 1);
        QVERIFY(got.first().startsWith(QStringLiteral("ERROR: ")));
    }

    void properCase_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("i to İ, ı to I") << "ipek ışık" << "İpek Işık";
        QTest::newRow("ı to I") << "ırmak" << "Irmak";
        QTest::newRow("I lower is ı") << "AYŞE YILMAZ" << "Ayşe Yılmaz";
        QTest::newRow("İ lower is i") << "İLKER" << "İlker";
    }
    void properCase()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(Turkish::properCase(in), out);
    }
};

QTEST_GUILESS_MAIN(TestJet)
#include "tst_jet.moc"
