// Grid column layouts: the layout file round trip, the stretch column, broken or unwritable files,
// and header sorting with its one direction flag shared by the grids.
#include "salonfixture.h"
#include "ticketlines.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/gridlayout.h"

#include <QGroupBox>

#include <QFile>
#include <QHeaderView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A history grid of the designed columns over a source with no rows.
struct Grid {
    QTemporaryDir dir;
    DataSource ds{u"DataGecmis"_s};
    DataGrid grid;
    Grid()
    {
        grid.setObjectName(u"CariList"_s);
        grid.resize(548, 300);
        const auto right = Qt::AlignRight | Qt::AlignVCenter;
        grid.bind(&ds, {{u"Tarih"_s, u"Tarih"_s, {}, {}, Qt::AlignLeft, 1500}, {u"İşlem"_s, u"Islem"_s, {}, {}, Qt::AlignLeft, 3900},
                        {u"Ad/Gr"_s, u"Miktar"_s, u"General Number"_s, {}, right, 900}, {u"Fiyat"_s, u"Fiyat"_s, u"Standard"_s, {}, right, 1300}});
    }
    QString file() const { return dir.filePath(u"SalonyaCariList.Dat"_s); }
    bool write(const QByteArray& bytes) const { QFile f(file()); return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(); }
    QByteArray read() const { QFile f(file()); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }
};

QPoint sectionCentre(DataGrid* g, int column)
{
    QHeaderView* h = g->horizontalHeader();
    return {h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2};
}

} // namespace

class TestGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsHiddenColumnsFractionsAndCaptions()
    {
        Grid g;
        QVERIFY(g.write("1739.906,#TRUE#\r\n2500,#FALSE#\r\n900,#TRUE#\r\n1300.5,#TRUE#\r\n"));
        GridLayouts::KolonYukle(&g.grid, g.file());
        QVERIFY(g.grid.isColumnHidden(1));
        QCOMPARE(g.grid.column(1).widthTwips, 3900.0); // a hidden column keeps its designed width
        QCOMPARE(g.grid.columnWidth(0), 116);
        g.grid.setColumnCaption(0, u"   Tarih "_s); // blanks an older save may have left
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German)); // a comma locale writes a point all the same
        for (int save = 0; save < 2; ++save) {
            QVERIFY(GridLayouts::KolonKaydet(&g.grid, g.file()));
            QCOMPARE(g.read(), QByteArray("1739.906,#TRUE#\r\n3900,#FALSE#\r\n900,#TRUE#\r\n1300.5,#TRUE#\r\n"));
            QCOMPARE(g.grid.model()->headerData(0, Qt::Horizontal).toString(), u"Tarih"_s);
        }
        QLocale::setDefault(before);
        QVERIFY(!GridLayouts::KolonKaydet(&g.grid, g.file() + u"/x.Dat"_s)); // unwritable: only the layout is lost
        g.ds.refresh(); // a re-query keeps the layout
        QVERIFY(g.grid.isColumnHidden(1) && g.grid.columnWidth(0) == 116);
    }

    void stretchColumnFillsTheGrid()
    {
        Grid g;
        GridLayouts::stretch(&g.grid, 0, 1); // another column: saved as it is
        QCOMPARE(g.grid.column(1).widthTwips, 3900.0);
        GridLayouts::stretch(&g.grid, 1, 1);
        QCOMPARE(g.grid.column(1).widthTwips, g.grid.widthTwips() - 1500 - 900 - 1300 - 270);
        // Columns wider than the grid beside it never squeeze it to nothing.
        g.grid.setColumnWidthTwips(0, 9000);
        GridLayouts::stretch(&g.grid, 1, 1);
        QVERIFY(g.grid.column(1).widthTwips >= GridLayouts::textTwips(g.grid.font(), u"İşlem"_s));
    }

    void brokenFileLeavesAUsableGrid_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("garbage") << QByteArray("\xff\xfe\x01 ;;\n,,,\n#TRUE#,1440\n\x89PNG\r\n\x1a");
        QTest::newRow("truncated") << QByteArray("1739.906,#TRUE#\r\n2500,#FA");
        QTest::newRow("too many lines") << QByteArray("2000,#TRUE#\r\n").repeated(10);
        QTest::newRow("all hidden") << QByteArray("1440,#FALSE#\r\n").repeated(4);
        QTest::newRow("absurd widths") << QByteArray("1e30,#TRUE#\r\n-5,#TRUE#\r\nnan,#TRUE#\r\n0,#TRUE#\r\n");
    }
    void brokenFileLeavesAUsableGrid()
    {
        QFETCH(QByteArray, bytes);
        Grid g;
        QVERIFY(g.write(bytes));
        GridLayouts::KolonYukle(&g.grid, g.file());
        int visible = 0;
        for (int i = 0; i < g.grid.columnCount(); ++i) {
            if (g.grid.isColumnHidden(i)) continue;
            ++visible;
            const double w = g.grid.column(i).widthTwips;
            QVERIFY2(w >= GridLayouts::textTwips(g.grid.font(), g.grid.column(i).caption) && w <= 100000, qPrintable(QString::number(w)));
        }
        QVERIFY(visible > 0);
    }

    void sortedSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QString>("sorted");
        QTest::newRow("none") << u"Select * From Salonya Where Cari=''"_s << false
                              << u"Select * From Salonya Where Cari='' ORDER BY Islem Desc"_s;
        QTest::newRow("quoted") << u"Select * From Salonya Where Unvan='A ORDER BY B' Order By Islem"_s << true
                                << u"Select * From Salonya Where Unvan='A ORDER BY B' ORDER BY Islem Asc"_s;
    }
    void sortedSource()
    {
        QFETCH(QString, source);
        QFETCH(bool, ascending);
        QTEST(GridLayouts::sortedSource(source, u"Islem"_s, ascending), "sorted");
    }

    void headerTouchesShareOneDirectionAndDragsAreSaved()
    {
        SalonFixture fx;
        QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, u"SELECT 1"_s));
        QVERIFY(!TicketLines::write(fx.ownFile(u"Salonya.Mdb"_s), {TicketLines::line(u"Fön"_s), TicketLines::line(u"Saç Kesim"_s)}).isEmpty());
        Salonya* f = fx.start();
        QVERIFY(f);
        f->Frame1->setEnabled(true); // as picking a customer does
        f->CariList->setColumnVisible(2, false);
        QTest::mouseClick(f->CariList->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(f->CariList, 1));
        QVERIFY(f->DataGecmis->recordSource().endsWith(u" ORDER BY Islem Desc"_s));
        QVERIFY(f->CariList->isColumnHidden(2));
        QTest::mouseClick(f->DBGridMus->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(f->DBGridMus, 2));
        QVERIFY(f->DataGunluk->recordSource().endsWith(u" And Yeni=1 ORDER BY Islem Asc"_s));
        QCOMPARE(f->DataGunluk->recordCount(), 2);
        QCOMPARE(f->DBGridMus->tableModel()->text(0, 2), u"Fön"_s);
        // A column without a field, or a field the table lacks, leaves the source and direction alone.
        for (const QString& field : {QString(), u"Yok"_s}) {
            f->DBGridMus->tableModel()->column(3).field = field;
            const QString before = f->DataGunluk->recordSource();
            QTest::mouseClick(f->DBGridMus->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(f->DBGridMus, 3));
            QCOMPARE(f->DataGunluk->recordSource(), before);
            QCOMPARE(f->DataGunluk->recordCount(), 2);
            QVERIFY(!f->state.SiraYonu);
        }
        // A finger a few pixels off the edge still drags it; the stretch column snaps back to fill the grid.
        DataGrid* islem = f->DBGridIslem;
        QWidget* header = islem->horizontalHeader()->viewport();
        const QPoint edge(islem->horizontalHeader()->sectionSize(0) - 7, header->height() / 2);
        QTest::mousePress(header, Qt::LeftButton, {}, edge);
        QTest::mouseMove(header, edge - QPoint(60, 0));
        QTest::mouseRelease(header, Qt::LeftButton, {}, edge - QPoint(60, 0));
        const QString file = fx.programDir() + u"/SalonyaDBGridIslem.Dat"_s;
        QTRY_VERIFY(QFile::exists(file));
        QCOMPARE(islem->column(0).widthTwips, islem->widthTwips() - islem->column(1).widthTwips - islem->column(2).widthTwips - 270);
        // The next run starts with the saved layout, read at start-up.
        fx.stop();
        f = fx.start();
        QVERIFY(f);
        // Saved widths carry seven digits and the window scales them: a twip's fraction is no fault.
        QVERIFY(qAbs(f->DBGridIslem->column(0).widthTwips
                     - (f->DBGridIslem->widthTwips() - f->DBGridIslem->column(1).widthTwips - f->DBGridIslem->column(2).widthTwips - 270)) < 0.5);
    }
};

QTEST_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
