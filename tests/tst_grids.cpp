// The open-ticket grids on a salon with lines of the day: columns and Turkish number formats, the row
// marker and AktifListe on focus, the open-tickets row change, current row and record in step,
// and grids that refuse every change.
#include "salonfixture.h"
#include "ticketlines.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QLineEdit>
#include <QTest>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QString kZeynep = u"ZEYNEP KAYA"_s, kCan = u"CAN D'ORO"_s, kGulay = u"Gülay Kaya"_s, kAli = u"Ali D'Nur"_s;

struct Desk {
    SalonFixture fx;
    Salonya* f = nullptr;

    QString salonFile() const { return fx.ownFile(u"Salonya.Mdb"_s); }
    // Two customers of the same title, one other, two employees; four open lines today, one sent
    // today, one open yesterday.
    bool open()
    {
        using TicketLines::line;
        TicketLines::Line sent = line(u"Manikür"_s, 1, 200, u"M4"_s, kZeynep, kGulay), old = line(u"Fön"_s, 1, 140, u"M3"_s, kZeynep, kAli);
        sent.yeni = 0;
        old.tarih = old.tarih.addDays(-1);
        return writeCards(fx.cardFile(), {card(u"M3"_s, kZeynep), card(u"M4"_s, kZeynep), card(u"M5"_s, kCan),
                                          card(u"E1"_s, kGulay, u"Eleman"_s), card(u"E2"_s, kAli, u"Eleman"_s)})
            && writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, QString(), 150)})
            && fx.execOwn(u"Salonya.Mdb"_s, u"SELECT 1"_s)
            && !TicketLines::write(salonFile(), {line(u"Saç Kesim"_s, 1, 1250, u"M5"_s, kCan, kGulay),
                                                 line(u"Fön"_s, 1, 150, u"M3"_s, kZeynep, kAli),
                                                 line(u"Boya 7.0"_s, 2.5, 120, u"M4"_s, kZeynep, kGulay), sent, old}).isEmpty()
            && (f = fx.start());
    }
    // The grid over the four open lines by price, standing on its first row.
    DataGrid* showOpenLines(bool openTickets)
    {
        DataGrid* grid = openTickets ? f->DBGridMus : f->DBGridIslem;
        grid->dataSource()->setRecordSource(u"Select * From Salonya Where Yeni=1 Order By Fiyat ASC"_s);
        return Data::refreshRoutine(grid->dataSource()) ? grid : nullptr;
    }
    int rowOf(DataGrid* g, int column, const QString& text) const
    {
        for (int r = 0; r < g->model()->rowCount(); ++r)
            if (g->tableModel()->text(r, column) == text) return r;
        return -1;
    }
    QStringList columnTexts(DataGrid* g, int column) const
    {
        QStringList out;
        for (int r = 0; r < g->model()->rowCount(); ++r) out << g->tableModel()->text(r, column);
        out.sort();
        return out;
    }
};

} // namespace

class TestGrids : public QObject
{
    Q_OBJECT

private slots:
    void designedColumnsTurkishNumbersAndTouch()
    {
        Desk d;
        QVERIFY(d.open());
        auto captions = [](DataGrid* g) {
            QStringList c;
            for (int i = 0; i < g->model()->columnCount(); ++i) c << g->model()->headerData(i, Qt::Horizontal).toString();
            return c;
        };
        QCOMPARE(captions(d.f->DBGridIslem), (QStringList{u"İşlem"_s, u"Ad/Gr"_s, u"Fiyat"_s}));
        QCOMPARE(captions(d.f->DBGridMus), (QStringList{u"Müşteri"_s, u"Eleman"_s, u"İşlem"_s, u"Fiyat"_s}));
        // The open lines of today only, the price with two decimals.
        DataGrid* mus = d.f->DBGridMus;
        QCOMPARE(mus->model()->rowCount(), 3);
        const int can = d.rowOf(mus, 0, kCan);
        QCOMPARE(QStringList({mus->tableModel()->text(can, 1), mus->tableModel()->text(can, 2), mus->tableModel()->text(can, 3)}),
                 (QStringList{kGulay, u"Saç Kesim"_s, u"1.250,00"_s}));
        // The ticket grid: quantity as a general number, price right-aligned; no price shows "0,00".
        QVERIFY(exec(d.salonFile(), u"UPDATE Salonya SET Fiyat=NULL WHERE Islem='Manikür'"_s));
        d.f->DataSalonya->setRecordSource(u"Select * From Salonya Where Cari='M4'"_s);
        QVERIFY(Data::refreshRoutine(d.f->DataSalonya));
        DataGrid* islem = d.f->DBGridIslem;
        const int dye = d.rowOf(islem, 0, u"Boya 7.0"_s), sent = d.rowOf(islem, 0, u"Manikür"_s);
        QCOMPARE(islem->tableModel()->text(dye, 1), u"2,5"_s);
        QCOMPARE(islem->tableModel()->text(dye, 2), u"120,00"_s);
        QCOMPARE(islem->tableModel()->text(sent, 1), u"1"_s);
        QCOMPARE(islem->tableModel()->text(sent, 2), u"0,00"_s);
        QCOMPARE(islem->model()->data(islem->model()->index(dye, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
                 Qt::AlignRight);
        // A touch on the ticket grid closes the lists; the pointer moving on puts out the lit key.
        d.f->DBListe2->show();
        d.f->KlvTxt->setFocus();
        QVERIFY(SalonFixture::touchCell(islem, 0, 0));
        QVERIFY(!d.f->DBListe2->isVisible());
        d.f->state.SonTus = 5;
        Look::setBackColor(d.f->key(5), Look::Yellow);
        QTest::mouseMove(islem->viewport(), QPoint(20, 20));
        QTest::mouseMove(islem->viewport(), QPoint(30, 40));
        QCOMPARE(Look::backColor(d.f->key(5)), Look::Cyan);
    }

    void markerAndTargetOnFocus_data()
    {
        QTest::addColumn<bool>("openTickets");
        QTest::addColumn<bool>("withRows");
        for (bool open : {false, true})
            for (bool rows : {true, false}) QTest::addRow("%s, %s", open ? "DBGridMüs" : "DBGridIslem", rows ? "lines" : "empty") << open << rows;
    }
    void markerAndTargetOnFocus()
    {
        QFETCH(bool, openTickets);
        QFETCH(bool, withRows);
        Desk d;
        QVERIFY(d.open());
        DataGrid* grid = openTickets ? d.f->DBGridMus : d.f->DBGridIslem;
        grid->dataSource()->setRecordSource(withRows ? u"Select * From Salonya Where Yeni=1"_s : u"Select * From Salonya Where Yeni=7"_s);
        QVERIFY(Data::refreshRoutine(grid->dataSource()));
        grid->setFocus();
        QCOMPARE(d.f->state.AktifListe, openTickets ? 1.0f : 2.0f);
        QCOMPARE(grid->marqueeStyle(), withRows ? 3 : 5);
        d.f->KlvTxt->setFocus();
        QCOMPARE(grid->marqueeStyle(), 5);
        QCOMPARE(d.f->state.AktifListe, openTickets ? 1.0f : 2.0f); // only another list or "BOYA" changes it
    }

    void touchingAnOpenTicketSwitchesTheDesk()
    {
        Desk d;
        QVERIFY(d.open());
        SalonFixture::touch(d.f->Text1);
        QVERIFY(d.fx.tapListEntry(d.f->DBListe1, kCan));
        SalonFixture::touch(d.f->Text2);
        QVERIFY(d.fx.tapListEntry(d.f->DBListe2, kAli));
        const QString canCode = d.f->DataCari->field(0).toString();
        DataGrid* mus = d.f->DBGridMus;
        float durumDuringWrite = -1;
        auto spy = QObject::connect(d.f->Text1, &QLineEdit::textChanged, d.f, [&] { durumDuringWrite = d.f->state.Durum; });
        QVERIFY(SalonFixture::touchCell(mus, d.rowOf(mus, 2, u"Boya 7.0"_s), 2)); // Zeynep (M4) with Gülay
        QObject::disconnect(spy);
        QCOMPARE(d.f->state.AktifListe, 1.0f);
        QCOMPARE(mus->marqueeStyle(), 3);
        QCOMPARE(durumDuringWrite, 2.0f);
        QCOMPARE(d.f->state.Durum, 0.0f);
        QCOMPARE(d.f->Text1->text(), kZeynep);
        QCOMPARE(d.f->Text2->text(), kGulay);
        QCOMPARE(d.f->DataEleman->field(0).toString(), kGulay);
        // Both customers of that title, every employee, sent lines too; yesterday's line not.
        QCOMPARE(d.columnTexts(d.f->DBGridIslem, 0), (QStringList{u"Boya 7.0"_s, u"Fön"_s, u"Manikür"_s}));
        // The customer card does not follow the title.
        QCOMPARE(d.f->DataCari->field(0).toString(), canCode);
        // A title with an apostrophe works the same way.
        QVERIFY(SalonFixture::touchCell(mus, d.rowOf(mus, 0, kCan), 0));
        QCOMPARE(d.f->Text1->text(), kCan);
        QCOMPARE(d.columnTexts(d.f->DBGridIslem, 0), QStringList{u"Saç Kesim"_s});
        QVERIFY(d.fx.messages.isEmpty());
    }

    void gridsFollowTheRecordAndRefuseEveryChange_data()
    {
        QTest::addColumn<bool>("openTickets");
        QTest::addColumn<int>("key"); // 0: double-click
        for (bool open : {false, true})
            for (int key : {int(Qt::Key_Delete), int(Qt::Key_Backspace), int(Qt::Key_Insert), int(Qt::Key_F2), int(Qt::Key_S),
                            int(Qt::Key_Return), 0})
                QTest::addRow("%s key %x", open ? "DBGridMüs" : "DBGridIslem", key) << open << key;
    }
    void gridsFollowTheRecordAndRefuseEveryChange()
    {
        QFETCH(bool, openTickets);
        QFETCH(int, key);
        Desk d;
        QVERIFY(d.open());
        DataGrid* grid = d.showOpenLines(openTickets);
        QVERIFY(grid);
        DataSource* ds = grid->dataSource();
        QVERIFY(ds->moveTo(1));
        grid->setFocus();
        const auto before = rows(d.salonFile(), u"SELECT * FROM Salonya ORDER BY rowid"_s);
        const QString textBefore = d.f->Text1->text();
        const QModelIndex cell = grid->model()->index(1, 0);
        if (key == 0) {
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(cell).center());
        } else {
            if (key != Qt::Key_S) QTest::keyClick(grid, Qt::Key(key));
            QTest::keyClicks(grid, openTickets ? u"CAN"_s : u"Boya"_s); // a search would move the row
        }
        QVERIFY(!grid->findChild<QLineEdit*>()); // no cell editor was opened
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(ds->position(), 1);
        QCOMPARE(ds->editMode(), DataSource::EditMode::None);
        QCOMPARE(rows(d.salonFile(), u"SELECT * FROM Salonya ORDER BY rowid"_s), before);
        QCOMPARE(grid->model()->flags(cell) & Qt::ItemIsEditable, Qt::ItemFlags());
        if (key != 0) QCOMPARE(d.f->Text1->text(), textBefore); // no row change happened either
        // Current row and current record follow each other both ways.
        QVERIFY(ds->findFirst(u"Fiyat=1250"_s));
        QCOMPARE(grid->currentIndex().row(), 3);
        QVERIFY(SalonFixture::touchCell(grid, 1, 0));
        QCOMPARE(ds->position(), 1); // on the open tickets the touch re-points DataSalonya, not its own source
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(ds->position(), 2);
        QVERIFY(Data::refreshRoutine(ds));
        QCOMPARE(grid->currentIndex().row(), 0);
    }
};

QTEST_MAIN(TestGrids)
#include "tst_grids.moc"
