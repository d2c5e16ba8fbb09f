// The Jet dialect on either engine (the file is one of the desk's own, so a salon server holds it when set): dates, wildcards, Turkish case and order on any column, Left, Booleans,
// quoting, and texts that must fail whole.
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

    // Field 0 of every row, joined; "ERROR" when the record source does not run.
    QString titles(const QString& recordSource)
    {
        DataSource ds(QStringLiteral("t"));
        ds.setDatabaseName(dir.filePath(QStringLiteral("Salonya.Mdb")));
        ds.setRecordSource(recordSource);
        if (!ds.refresh()) return QStringLiteral("ERROR");
        QStringList out;
        for (int i = 0; i < ds.recordCount(); ++i) out << ds.value(i, 0).toString();
        return out.join(u',');
    }

private slots:
    void initTestCase()
    {
        QString err;
        db = Database::open(dir.filePath(QStringLiteral("Salonya.Mdb")), true, &err);
        QVERIFY2(db, qPrintable(err));
        QVERIFY2(db->exec(QStringLiteral("DROP TABLE IF EXISTS K; DROP TABLE IF EXISTS A"), &err), qPrintable(err));
        QVERIFY2(db->exec(QStringLiteral(
            "CREATE TABLE K (Unvan TEXT COLLATE TR, Tarih DATE, Gurup BOOLEAN, Kod TEXT); CREATE INDEX K_Unvan ON K (Unvan);"
            "INSERT INTO K VALUES ('Cem','2026-12-05',0,'A1'),('Çiğdem','2026-12-05',1,'=X'),('Deniz','2024-03-05',0,'B2'),"
            "('ırmak','2026-12-06',0,'C3'),('İpek','2026-12-06',1,'D4'),('Işık','2026-12-06',0,'E5'),('ilker','2026-01-01',0,'F6'),"
            "('Ömer','2026-01-01',0,'G7'),('Şule','2026-01-01',0,'H8'),('Ülkü','2026-01-01',0,'I9'),('Zeynep','2026-01-01',0,'J0'),"
            "('AYŞE YILMAZ','2026-12-05',0,'K1'),('D''Angelo','2026-12-05',0,'L2'),('Gül','2026-12-05',0,'M3'),('Gül2','2026-12-05',0,'N4');"
            // A column as the accounting program declares it: no Turkish collation of its own.
            "CREATE TABLE A (Ad TEXT, \"Not\" TEXT); INSERT INTO A (Ad) VALUES ('Selin'),('Özcan'),('Zeynep'),('Çağla'),('Cem'),('Âdem'),('Berk')"), &err),
                 qPrintable(err));
    }

    void conditions_data()
    {
        QTest::addColumn<QString>("where"); QTest::addColumn<QString>("expected");
        QTest::newRow("equal ignores Turkish case") << "Unvan='ayşe yılmaz'" << "AYŞE YILMAZ";
        QTest::newRow("dotted capital İ is i") << "Unvan='İLKER'" << "ilker";
        QTest::newRow("capital I is ı, not i") << "Unvan='IRMAK'" << "ırmak";
        QTest::newRow("like I is ı, not İ") << "Unvan Like 'I*'" << "ırmak,Işık";
        QTest::newRow("like prefix any case") << "Unvan Like 'gü*'" << "Gül,Gül2";
        QTest::newRow("like one char") << "Unvan Like 'Ay?e*'" << "AYŞE YILMAZ";
        QTest::newRow("like ? stands for i, ı or İ") << "Unvan Like 'I??k'" << "Işık";
        QTest::newRow("like set") << "Unvan Like '[CÇ]*'" << "Cem,Çiğdem";
        QTest::newRow("like star backtracks") << "Unvan Like '*ep'" << "Zeynep";
        QTest::newRow("like digit") << "Kod Like '[=C]#'" << "ırmak";
        QTest::newRow("like negated set") << "Unvan Like '[!A-Ç]e*'" << "Deniz,Zeynep";
        QTest::newRow("like with quote") << "Unvan Like 'D''An*'" << "D'Angelo";
        QTest::newRow("quoted equal") << "Unvan=" + Jet::quote(QStringLiteral("D'Angelo")) << "D'Angelo";
        QTest::newRow("injected quote stays inside") << "Unvan=" + Jet::quote(QStringLiteral("x' Or 1=1 Or Unvan='")) << "";
        QTest::newRow("date literal") << "Tarih=#03/05/2024#" << "Deniz";
        QTest::newRow("bare boolean") << "Tarih=#12/05/2026# And Gurup" << "Çiğdem";
        QTest::newRow("true literal") << "Gurup=True And Tarih=#12/06/2026#" << "İpek";
        QTest::newRow("left()") << "left(Kod,1)='='" << "Çiğdem";
        QTest::newRow("left() not equal") << "left(Kod,1)<>'=' And Tarih=#12/05/2026# And Gurup=False" << "AYŞE YILMAZ,Cem,D'Angelo,Gül,Gül2";
        QTest::newRow("open quote") << "Unvan='abc" << "ERROR";
        QTest::newRow("bad date") << "Tarih=#13/45/2026#" << "ERROR";
        QTest::newRow("text after ;") << "Unvan='zz'; Or Unvan='Cem'" << "ERROR";
        QTest::newRow("own column order") << "Select * From K Order By Unvan ASC"
                                          << "AYŞE YILMAZ,Cem,Çiğdem,D'Angelo,Deniz,Gül,Gül2,ırmak,Işık,ilker,İpek,Ömer,Şule,Ülkü,Zeynep";
        QTest::newRow("accounting column, â with a") << "Select * From A Order By Ad ASC" << "Âdem,Berk,Cem,Çağla,Özcan,Selin,Zeynep";
        QTest::newRow("accounting column descending") << "Select * From A Where Ad<'D' Order By Ad DESC" << "Çağla,Cem,Berk,Âdem";
        QTest::newRow("In on an accounting column") << "Select * From A Where Ad In ('SELİN','özcan') Order By Ad" << "Özcan,Selin";
        QTest::newRow("bracketed keyword is a column") << "Select * From A Where [Not] Is Null And Ad<'C' Order By [Ad]" << "Âdem,Berk";
        QTest::newRow("no table") << "Select * From Yok" << "ERROR";
    }
    void conditions()
    {
        QFETCH(QString, where); QFETCH(QString, expected);
        // A whole record source as it is, a bare condition on K in Unvan order.
        const QString source = where.startsWith(u"Select ") ? where : QStringLiteral("Select * From K Where ") + where + QStringLiteral(" Order By Unvan Asc");
        QCOMPARE(titles(source), expected);
    }

    // Typed on the keys: every star would multiply a backtracking matcher's work.
    void likeWithManyStars()
    {
        const QString stars = QString("*a").repeated(14) + "*b";
        QVERIFY(!Turkish::like(stars, QString(40, u'a')));
        QVERIFY(Turkish::like(stars, QString(40, u'a') + "b"));
    }
};

QTEST_GUILESS_MAIN(TestJet)
#include "tst_jet.moc"
