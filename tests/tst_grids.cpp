// The ticket grids, their layout files and header sorting; the history's buttons, "Aynı", the day filter.
#include "salonfixture.h"
#include "ticketlines.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "data/refresh.h"
#include "history/history.h"
#include "ui/datagrid.h"
#include "ui/gridlayout.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <tuple>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QString kZeynep = u"ZEYNEP KAYA"_s, kCan = u"CAN D'ORO"_s, kGulay = u"Gülay Kaya"_s, kAli = u"Ali D'Nur"_s;

struct Desk {
    SalonFixture fx;
    Salonya* f = nullptr;

    QString salonFile() const { return fx.ownFile(u"Salonya.Mdb"_s); }
    bool choose(TextBox* field, TouchList* list, const QString& name) { SalonFixture::touch(field); return fx.tapListEntry(list, name); }
    // Two customers of one title, one other, two employees; open lines today, sent ones, one of yesterday.
    bool open()
    {
        using TicketLines::line;
        TicketLines::Line sent = line(u"Manikür"_s, 1, 200, u"M4"_s, kZeynep, kGulay), old = line(u"Fön"_s, 1, 140, u"M3"_s, kZeynep, kAli),
                          sentCan = line(u"Manikür"_s, 1, 200, u"M5"_s, kCan, kAli);
        sent.yeni = sentCan.yeni = 0;
        old.tarih = old.tarih.addDays(-1);
        return writeCards(fx.cardFile(), {card(u"M3"_s, kZeynep), card(u"M4"_s, kZeynep), card(u"M5"_s, kCan),
                                          card(u"E1"_s, kGulay, u"Eleman"_s), card(u"E2"_s, kAli, u"Eleman"_s)})
            && writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, QString(), 150)})
            && fx.execOwn(u"Salonya.Mdb"_s, u"SELECT 1"_s)
            && !TicketLines::write(salonFile(), {line(u"Saç Kesim"_s, 1, 1250, u"M5"_s, kCan, kGulay),
                                                 line(u"Fön"_s, 1, 150, u"M3"_s, kZeynep, kAli),
                                                 line(u"Boya 7.0"_s, 2.5, 120, u"M4"_s, kZeynep, kGulay), sent, old, sentCan}).isEmpty()
            && (f = fx.start());
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

const QString kAyse = u"AYŞE YILMAZ"_s, kBerk = u"BERK ÖZ"_s, kCem = u"CEM AK"_s, kNur = u"Ali Nur"_s;

struct PastDesk : Desk {
    static TicketLines::Line past(const QString& islem, double miktar, double fiyat, const QString& eleman, QDate day, bool dye,
                                  const QString& cari = u"M1"_s, int yeni = 0)
    {
        TicketLines::Line l = TicketLines::line(islem, miktar, fiyat, cari, cari == u"M1" ? kAyse : kCem, eleman);
        std::tie(l.tarih, l.gurup, l.yeni) = std::tuple(day, dye, yeni);
        return l;
    }
    // AYŞE: two haircuts and a dye on 5 March 2024, two older dyes, one unsold now; CEM a haircut; BERK nothing.
    bool open(const QString& customer, const QList<TicketLines::Line>& later = {})
    {
        const QDate march5(2024, 3, 5);
        return writeCards(fx.cardFile(), {card(u"M1"_s, kAyse), card(u"M2"_s, kBerk), card(u"M3"_s, kCem),
                                          card(u"E1"_s, kGulay, u"Eleman"_s), card(u"E2"_s, kNur, u"Eleman"_s)})
            && writeStock(fx.stockFile(), {stock(u"S1"_s, u"Saç Kesim"_s, u"111"_s, 300),
                                           stock(u"D1"_s, u"Boya 7.0"_s, u"8690001"_s, 120, u"Boya"_s),
                                           stock(u"D2"_s, u"Boya 5.1"_s, u"8690002"_s, 150, u"Boya"_s)})
            && fx.execOwn(u"Salonya.Mdb"_s, u"SELECT 1"_s)
            && !TicketLines::write(salonFile(),
                                   QList<TicketLines::Line>{past(u"Saç Kesim"_s, 1, 250, kNur, march5, false), past(u"Saç Kesim"_s, 1, 250, kGulay, march5, false),
                                    past(u"Boya 7.0"_s, 35, 100, kNur, march5, true),
                                    past(u"Boya 5.1"_s, 20, 140, kGulay, QDate(2024, 1, 10), true),
                                    past(u"Boya Eski"_s, 10, 90, kGulay, QDate(2023, 12, 1), true),
                                    past(u"Saç Kesim"_s, 1, 250, kNur, march5, false, u"M3"_s)} + later)
                    .isEmpty()
            && (f = fx.start()) && (customer.isEmpty() || choose(f->Text1, f->DBListe1, customer));
    }
    // As a touch on another customer's open ticket leaves the field.
    void showTitle(const QString& title) { f->state.Durum = 2; f->Text1->setText(title); f->state.Durum = 0; }
    void press(int button) { SalonFixture::touch(f->Command3[button]); }
    QList<bool> enabled() const { return {f->Command3[0]->isEnabled(), f->Command3[1]->isEnabled(), f->Command3[2]->isEnabled()}; }
    int shown() const { return f->CariList->model()->rowCount(); }
    QList<QVariantMap> openLines() const { return rows(salonFile(), u"SELECT * FROM Salonya WHERE Yeni=1 ORDER BY Islem"_s); }
};


QPoint sectionCentre(DataGrid* g, int column)
{
    QHeaderView* h = g->horizontalHeader();
    return {h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2};
}

} // namespace

class TestGrids : public QObject
{
    Q_OBJECT
private slots:
    void touchingAnOpenTicketSwitchesTheDesk()
    {
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.choose(d.f->Text1, d.f->DBListe1, kCan));
        QVERIFY(d.choose(d.f->Text2, d.f->DBListe2, kAli));
        // Their ticket holds open lines only: the sent one is not shown, and there is nothing to send.
        QCOMPARE(d.f->DBGridIslem->model()->rowCount(), 0);
        QVERIFY(!d.f->KasaCmd->isEnabled());
        const QString canCode = d.f->DataCari->field(0).toString();
        DataGrid* mus = d.f->DBGridMus;
        // The open lines of today only, the price with two decimals.
        QCOMPARE(mus->model()->rowCount(), 3);
        QCOMPARE(mus->tableModel()->text(d.rowOf(mus, 0, kCan), 3), u"1.250,00"_s);
        float durumDuringWrite = -1;
        auto spy = QObject::connect(d.f->Text1, &QLineEdit::textChanged, d.f, [&] { durumDuringWrite = d.f->state.Durum; });
        QVERIFY(SalonFixture::touchCell(mus, d.rowOf(mus, 2, u"Boya 7.0"_s), 2)); // Zeynep (M4) with Gülay
        QObject::disconnect(spy);
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
        QCOMPARE(d.columnTexts(d.f->DBGridIslem, 0), (QStringList{u"Manikür"_s, u"Saç Kesim"_s}));
        // The ticket grid: quantity as a general number, price right-aligned; no price shows "0,00".
        QVERIFY(exec(d.salonFile(), u"UPDATE Salonya SET Fiyat=NULL WHERE Islem='Manikür'"_s));
        d.f->DataSalonya->setRecordSource(u"Select * From Salonya Where Cari='M4'"_s);
        QVERIFY(Data::refreshRoutine(d.f->DataSalonya));
        DataGrid* islem = d.f->DBGridIslem;
        QCOMPARE(d.columnTexts(islem, 1) + d.columnTexts(islem, 2), (QStringList{u"1"_s, u"2,5"_s, u"0,00"_s, u"120,00"_s}));
        // Header touches share one direction; the history sorts once a customer is chosen.
        QTest::mouseClick(d.f->CariList->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(d.f->CariList, 1));
        QVERIFY(d.f->DataGecmis->recordSource().endsWith(u" ORDER BY Islem Desc"_s));
        QTest::mouseClick(d.f->DBGridMus->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(d.f->DBGridMus, 2));
        QVERIFY(d.f->DataGunluk->recordSource().endsWith(u" And Yeni=1 ORDER BY Islem Asc"_s));
        QCOMPARE(d.f->DBGridMus->tableModel()->text(0, 2), u"Boya 7.0"_s);
        // A column without a field, or a field the table lacks, leaves the source and direction alone.
        for (const QString& field : {QString(), u"Yok"_s}) {
            d.f->DBGridMus->tableModel()->column(3).field = field;
            const QString before = d.f->DataGunluk->recordSource();
            QTest::mouseClick(d.f->DBGridMus->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(d.f->DBGridMus, 3));
            QCOMPARE(d.f->DataGunluk->recordSource(), before);
            QVERIFY(!d.f->state.SiraYonu);
        }
        // An ORDER BY inside a quoted text is not the source's own.
        QCOMPARE(GridLayouts::sortedSource(u"Select * From Salonya Where Unvan='A ORDER BY B' Order By Islem"_s, u"Islem"_s, true),
                 u"Select * From Salonya Where Unvan='A ORDER BY B' ORDER BY Islem Asc"_s);
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
        QFETCH(bool, openTickets); QFETCH(int, key);
        Desk d;
        QVERIFY(d.open());
        DataGrid* grid = openTickets ? d.f->DBGridMus : d.f->DBGridIslem;
        DataSource* ds = grid->dataSource();
        ds->setRecordSource(u"Select * From Salonya Where Yeni=1 Order By Fiyat ASC"_s);
        QVERIFY(Data::refreshRoutine(ds) && ds->moveTo(1));
        grid->setFocus();
        QCOMPARE(d.f->state.AktifListe, openTickets ? 1.0f : 2.0f);
        QVERIFY(grid->selectionModel()->isRowSelected(1, {})); // the marker
        const auto before = rows(d.salonFile(), u"SELECT * FROM Salonya"_s);
        const QString textBefore = d.f->Text1->text();
        if (key == 0) {
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(grid->model()->index(1, 0)).center());
        } else {
            if (key != Qt::Key_S) QTest::keyClick(grid, Qt::Key(key));
            QTest::keyClicks(grid, openTickets ? u"CAN"_s : u"Boya"_s); // a search would move the row
        }
        QCOMPARE(ds->position(), 1);
        QCOMPARE(ds->editMode(), DataSource::EditMode::None);
        QCOMPARE(rows(d.salonFile(), u"SELECT * FROM Salonya"_s), before);
        QCOMPARE(grid->model()->flags(grid->model()->index(1, 0)) & Qt::ItemIsEditable, Qt::ItemFlags());
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
        // Leaving keeps the target of "SİL": only another list or "BOYA" changes it.
        d.f->KlvTxt->setFocus();
        QCOMPARE(d.f->state.AktifListe, openTickets ? 1.0f : 2.0f);
        QVERIFY(!grid->selectionModel()->hasSelection());
    }

    // A saved layout comes back with hidden columns and twip fractions (broken files: fuzz_gridlayout).
    void layoutFileRoundTripAndFit()
    {
        Grid g;
        QVERIFY(g.write("1739.906,#TRUE#\r\n2500,#FALSE#\r\n900,#TRUE#\r\n1300.5,#TRUE#\r\n"));
        GridLayouts::KolonYukle(&g.grid, g.file());
        QVERIFY(g.grid.isColumnHidden(1));
        QCOMPARE(g.grid.columnWidth(0), 116);
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German)); // a comma locale writes a point all the same
        QVERIFY(GridLayouts::KolonKaydet(&g.grid, g.file()));
        QLocale::setDefault(before);
        QCOMPARE(g.read(), QByteArray("1739.906,#TRUE#\r\n3900,#FALSE#\r\n900,#TRUE#\r\n1300.5,#TRUE#\r\n"));
        QVERIFY(!GridLayouts::KolonKaydet(&g.grid, g.file() + u"/x.Dat"_s)); // unwritable: only the layout is lost
        g.ds.refresh(); // a re-query keeps the layout
        QVERIFY(g.grid.isColumnHidden(1) && g.grid.columnWidth(0) == 116);
        g.grid.setColumnHidden(1, false);
        GridLayouts::stretch(&g.grid, 0, 1); // another column: saved as it is
        QCOMPARE(g.grid.column(1).widthTwips, 3900.0);
        // The header needs room for its caption; the stretch column fills what the grid shows, scroll bar or not.
        QVERIFY(g.write("1500,#TRUE#\r\n3900,#TRUE#\r\n569.77,#TRUE#\r\n1300,#TRUE#\r\n"));
        GridLayouts::KolonYukle(&g.grid, g.file());
        QVERIFY(g.grid.columnWidth(2) >= g.grid.horizontalHeader()->sectionSizeHint(2));
        g.grid.show();
        g.grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        const auto filled = [&] { return g.grid.horizontalHeader()->length() == g.grid.viewport()->width(); };
        GridLayouts::stretch(&g.grid, 1, 1);
        QTRY_VERIFY(filled());
        g.grid.setStretchColumn(1);
        g.grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the bar goes, as rows go
        QTRY_VERIFY(filled());
    }

    // A layout comes back as saved at the same room, scaled once for another, and only a column drag writes it.
    void layoutKeptAcrossRestarts_data()
    {
        QTest::addColumn<int>("savedRoom"); // 0: the room the grid has
        QTest::newRow("same room") << 0;
        QTest::newRow("saved on a wider screen") << 493;
    }
    void layoutKeptAcrossRestarts()
    {
        QFETCH(int, savedRoom);
        Desk d;
        Settings::save(u"IpNo"_s, u"C:\\X"_s);
        Settings::save(u"SalonyaWidth"_s, u"10500"_s);
        Settings::save(u"SalonyaHeight"_s, u"7500"_s);
        QVERIFY(d.open());
        const int room = savedRoom ? savedRoom : DataGrid::roomOf(d.f->CariList);
        Settings::save(u"CariListGenislik"_s, QString::number(room * 15));
        const QByteArray layout = "900,#TRUE#\r\n" + QByteArray::number(room * 15 - 2700) + ",#TRUE#\r\n900,#TRUE#\r\n900,#TRUE#\r\n";
        QFile file(GridLayouts::fileOf(d.f->CariList));
        for (int run = 0; run < 3; ++run) {
            if (run == 0) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(layout) == layout.size());
            file.close();
            d.fx.stop();
            QVERIFY(d.f = d.fx.start());
            const int used = d.f->CariList->horizontalHeader()->length();
            if (!savedRoom) QCOMPARE(d.f->CariList->columnWidth(0), 60);
            QVERIFY2(qAbs(used - DataGrid::roomOf(d.f->CariList)) <= 4, qPrintable(QString::number(used)));
            d.f->Frame1->setEnabled(true);
            QTest::mouseClick(d.f->CariList->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(d.f->CariList, 0));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), layout);
        }
    }

    void buttonsFollowTheHistory_data()
    {
        QTest::addColumn<QString>("customer"); QTest::addColumn<int>("button"); QTest::addColumn<int>("rows");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::addColumn<QString>("shown"); // the title in the field after the pick (another customer's ticket touched)
        const QList<bool> off{false, false, false};
        QTest::newRow("no history") << kBerk << -1 << 0 << off << kBerk;
        // Without the chosen customer in the field, a day (-2) or a button lists nothing.
        QTest::newRow("start-up, a day") << QString() << -2 << 0 << off << u"MÜŞTERİ"_s;
        QTest::newRow("another title, İşlemler") << kAyse << 0 << 0 << off << kCem;
        QTest::newRow("Boya without dye lines") << kCem << 1 << 0 << QList<bool>{true, false, false} << kCem;
        QTest::newRow("İşlemler") << kAyse << 0 << 5 << QList<bool>{true, true, true} << kAyse;
        QTest::newRow("Boya") << kAyse << 1 << 3 << QList<bool>{false, true, true} << kAyse;
    }
    void buttonsFollowTheHistory()
    {
        QFETCH(QString, customer); QFETCH(int, button); QFETCH(QString, shown);
        PastDesk d;
        QVERIFY(d.open(customer));
        if (d.f->Text1->text() != shown) d.showTitle(shown);
        if (button == -2) d.f->DTPicker1->setDate(QDate(2024, 3, 5));
        if (button >= 0) d.press(button);
        QTEST(d.shown(), "rows");
        QTEST(d.enabled(), "enabled");
        // Newest first; the reposition left every button yellow.
        if (d.shown() > 0) {
            QCOMPARE(d.f->DataGecmis->field(u"Tarih"_s).toDate(), QDate(2024, 3, 5));
            for (QPushButton* b : std::as_const(d.f->Command3)) QCOMPARE(Look::backColor(b), Look::Yellow);
        }
    }

    // The newest line of a name (latest day, then the latest written) whatever the grid's order; another employee's is never rewritten.
    void sameRepeatsTheNewestLine_data()
    {
        QTest::addColumn<int>("button"); // -1 right after the pick; 3 a header sort by "Ad/Gr"
        QTest::addColumn<QString>("todaysLine"); // an open Boya 7.0 line of today, by whom
        QTest::addColumn<double>("grams");
        QTest::newRow("right after the pick") << -1 << QString() << 75.0;
        QTest::newRow("İşlemler") << 0 << QString() << 75.0;
        QTest::newRow("sorted by Ad/Gr") << 3 << QString() << 75.0;
        QTest::newRow("corrected open line") << -1 << kGulay << 65.0;
        QTest::newRow("another employee's line today") << 1 << kNur << 65.0;
    }
    void sameRepeatsTheNewestLine()
    {
        QFETCH(int, button); QFETCH(QString, todaysLine); QFETCH(double, grams);
        QList<TicketLines::Line> later;
        for (auto [g, day] : {std::pair(60, QDate(2024, 2, 11)), {70, QDate(2024, 12, 1)}, {75, QDate(2024, 12, 1)}, {50, QDate(2023, 10, 5)}})
            later << PastDesk::past(u"Boya 7.0"_s, g, 100, kNur, day, true);
        if (!todaysLine.isEmpty()) later << PastDesk::past(u"Boya 7.0"_s, 65, 120, todaysLine, QDate::currentDate(), true, u"M1"_s, 1);
        PastDesk d;
        QVERIFY(d.open(kAyse, later));
        QVERIFY(d.choose(d.f->Text2, d.f->DBListe2, kGulay));
        for (int touch = 0; button == 3 && touch < 2; ++touch) // the second touch sorts upwards
            QTest::mouseClick(d.f->CariList->horizontalHeader()->viewport(), Qt::LeftButton, {}, sectionCentre(d.f->CariList, 2));
        if (button >= 0 && button < 3) d.press(button);
        const QString others = u"SELECT * FROM Salonya WHERE NOT (Eleman='Gülay Kaya' AND Yeni=1) ORDER BY rowid"_s;
        const QList<QVariantMap> before = rows(d.salonFile(), others);
        d.press(2);
        QCOMPARE(rows(d.salonFile(), others), before);
        QCOMPARE(rows(d.salonFile(), u"SELECT Miktar FROM Salonya WHERE Islem='Boya 7.0' AND Eleman='Gülay Kaya' AND Yeni=1"_s),
                 (QList<QVariantMap>{{{u"Miktar"_s, grams}}}));
    }

    void sameAfterBoyaWritesTodaysDyeLinesOnce()
    {
        PastDesk d;
        QVERIFY(d.open(kAyse));
        // Without an employee nothing is written.
        d.press(1);
        d.press(2);
        QCOMPARE(d.f->Text2->text(), u"ELEMAN SEÇİN..?"_s);
        QCOMPARE(d.fx.beeps, 1);
        QVERIFY(d.openLines().isEmpty());

        QVERIFY(d.choose(d.f->Text2, d.f->DBListe2, kGulay));
        // Today's price of 100 g, grams / 100 × price, the barcode and title; the second touch rewrites, never doubles.
        const QString tail = u"|1|"_s + QDate::currentDate().toString(Qt::ISODate) + u"|Gülay Kaya|AYŞE YILMAZ|M1"_s;
        const QStringList expected{u"Boya 5.1|20|150|30|8690002"_s + tail, u"Boya 7.0|35|120|42|8690001"_s + tail};
        for (int round = 0; round < 2; ++round) {
            d.press(1);
            d.press(2);
            QStringList written;
            for (const QVariantMap& l : d.openLines()) {
                QStringList v;
                for (const char* n : {"Islem", "Miktar", "Fiyat", "Tutar", "Barkod", "Gurup", "Tarih", "Eleman", "Unvan", "Cari"})
                    v << l.value(QString::fromLatin1(n)).toString();
                written << v.join(u'|');
            }
            QCOMPARE(written, expected);
        }
        // The dye no longer sold was left out, and the user told so each time.
        QCOMPARE(d.fx.messages.size(), 2);
        QVERIFY(d.fx.messages.last().contains(u"Boya Eski"_s));
        QCOMPARE(d.f->DataSalonya->recordCount(), 2); // the ticket grid shows them
    }

    // Any locale writes the day as Jet does; while loading (Durum 99) the row change does nothing.
    void doubleTouchDayFilterAndRowChange_data()
    {
        QTest::addColumn<float>("durum"); QTest::addColumn<QString>("locale");
        QTest::newRow("idle, tr") << 0.0f << u"tr_TR"_s;
        QTest::newRow("loading, de") << 99.0f << u"de_DE"_s;
    }
    void doubleTouchDayFilterAndRowChange()
    {
        QFETCH(float, durum); QFETCH(QString, locale);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        PastDesk d;
        QVERIFY(d.open(kAyse));
        d.press(0);
        DataGrid* grid = d.f->CariList;
        // Without the marker (the grid has not been touched) a double touch does nothing.
        d.f->findChild<History*>()->CariList_DblClick();
        QCOMPARE(d.shown(), 5);
        QVERIFY(SalonFixture::touchCell(grid, 3));
        QCOMPARE(d.f->state.AktifListe, 3.0f);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(grid->model()->index(3, 0)).center());
        QCOMPARE(d.f->DTPicker1->date(), QDate(2024, 1, 10));
        QCOMPARE(d.f->state.TarihKriter, u"Tarih=#01/10/2024#"_s);
        QCOMPARE(d.shown(), 1);
        // A tap on the date opens a calendar whose arrows and days a finger hits.
        SalonFixture::touch(d.f->DTPicker1->findChild<QLineEdit*>());
        QCalendarWidget* cal = d.f->DTPicker1->calendarWidget();
        QTRY_VERIFY(cal->isVisible());
        auto* next = cal->findChild<QToolButton*>(u"qt_calendar_nextmonth"_s);
        auto* days = cal->findChild<QTableView*>(u"qt_calendar_calendarview"_s);
        QVERIFY(next->width() >= 40 && next->height() >= 40 && days->rowHeight(3) >= 40 && days->columnWidth(3) >= 40);
        SalonFixture::touch(next);
        SalonFixture::touch(next);
        QModelIndex fifth; // in the first or second week, never a day of the month before
        for (int i = 7; i < 21 && !fifth.isValid(); ++i)
            if (days->model()->index(i / 7, i % 7).data().toInt() == 5) fifth = days->model()->index(i / 7, i % 7);
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(fifth).center());
        QCOMPARE(d.f->DTPicker1->date(), QDate(2024, 3, 5));
        QTRY_VERIFY(!cal->isVisible());
        QLocale::setDefault(before);
        QCOMPARE(d.f->state.TarihKriter, u"Tarih=#03/05/2024#"_s);
        QCOMPARE(d.shown(), 3);
        d.f->ElemanLbl->setText(u"-"_s);
        d.f->state.Durum = durum;
        QVERIFY(SalonFixture::touchCell(grid, 2));
        d.f->state.Durum = 0;
        // The second haircut moves the history to the day's first haircut, whose employee the label names.
        QCOMPARE(d.f->DataGecmis->position(), durum == 99 ? 2 : 1);
        QCOMPARE(d.f->ElemanLbl->text(), durum == 99 ? u"-"_s : u"Eleman > "_s + d.f->DataGecmis->field(u"Eleman"_s).toString());
    }
};

QTEST_MAIN(TestGrids)
#include "tst_grids.moc"
