// A customer's history in five years of a busy salon: 1 000 000 ticket lines, two customers with
// 2 000 past lines each. Choosing one of them (as a tap on the customer list does) is timed until the
// history grid and the ticket grid are filled and painted; then a touch on a history column header,
// which re-sorts those 2 000 lines, is timed until the grid is painted again.
#include "benchsalon.h"

#include "data/database.h"
#include "data/datasource.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sqlite3.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kPerCustomer = 2000;
constexpr int kSamples = 200;

// Past lines spread over five years before today; the two regulars get kPerCustomer each, three of
// them open today.
bool writeLines(Salonya& f, const QStringList& codes, const QStringList& titles, const QStringList& regulars)
{
    Data::refreshRoutine(f.DataStok);
    Data::refreshRoutine(f.DataEleman);
    const QStringList services = column(f.DataStok, 1), groups = column(f.DataStok, 4), staff = column(f.DataEleman, 0);
    sqlite3* db = f.DataSalonya->database()->handle();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO Salonya (Islem,Miktar,Fiyat,Cari,Gurup,Tarih,Eleman,Yeni,Barkod,Unvan,Tutar) "
                               "VALUES (?,?,?,?,?,?,?,?,'',?,?)", -1, &st, nullptr) != SQLITE_OK)
        return false;
    std::mt19937 rng(11);
    const QDate today = QDate::currentDate();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < kLines; ++i) {
        int who = codes.indexOf(regulars[i % 2]);
        while (i >= 2 * kPerCustomer && regulars.contains(codes[who])) who = int(rng() % codes.size());
        const int s = int(rng() % services.size());
        const bool open = i < 6; // three lines today on each regular's ticket
        const QByteArray islem = services[s].toUtf8(), cari = codes[who].toUtf8(), unvan = titles[who].toUtf8();
        const QByteArray day = (open ? today : today.addDays(-1 - int(rng() % 1825))).toString(Qt::ISODate).toUtf8();
        const QByteArray eleman = staff[open ? 0 : int(rng() % staff.size())].toUtf8();
        const bool dye = groups[s] == u"Boya";
        sqlite3_bind_text(st, 1, islem.constData(), int(islem.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 2, dye ? 20 + rng() % 40 : 1);
        sqlite3_bind_double(st, 3, 100 + rng() % 900);
        sqlite3_bind_text(st, 4, cari.constData(), int(cari.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 5, dye);
        sqlite3_bind_text(st, 6, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 7, eleman.constData(), int(eleman.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 8, open ? 1 : 0);
        sqlite3_bind_text(st, 9, unvan.constData(), int(unvan.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 10, 100);
        if (sqlite3_step(st) != SQLITE_DONE) return false;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK && sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);
    QApplication app(argc, argv);

    if (!writeBenchDemo(root, 2000)) return 1; // 500 lines each on average
    Salonya form;
    if (!startBenchDesk(form)) return 1;
    QElapsedTimer t;
    t.start();

    const QStringList codes = column(form.DataCari, 0), titles = column(form.DataCari, 1);
    // Two customers a title names alone, so a tap on the title picks them.
    QStringList regulars;
    for (int i = 0; i < codes.size() && regulars.size() < 2; ++i)
        if (titles.count(titles[i]) == 1) regulars << codes[i];
    t.restart();
    if (!writeLines(form, codes, titles, regulars)) {
        std::fprintf(stderr, "writing lines: %s\n", sqlite3_errmsg(form.DataSalonya->database()->handle()));
        return 1;
    }
    std::fprintf(stderr, "%d lines written in %lld ms\n", kLines, t.elapsed());
    form.Text2->setText(form.DataEleman->field(0).toString());

    std::vector<double> loads, sorts, handlers;
    QHeaderView* header = form.CariList->horizontalHeader();
    for (int i = 0; i < kSamples; ++i) {
        const QString title = titles[codes.indexOf(regulars[i % 2])];
        QElapsedTimer k;
        k.start();
        emit form.DBListe1->picked(title);
        handlers.push_back(double(k.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
        loads.push_back(double(k.nsecsElapsed()) / 1e6);
        if (form.DataGecmis->recordCount() != kPerCustomer || form.DataSalonya->recordCount() != 3) {
            std::fprintf(stderr, "history %d lines, ticket %d lines\n", form.DataGecmis->recordCount(), form.DataSalonya->recordCount());
            return 1;
        }
        const int col = i % 2;
        k.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(col) + 20, header->height() / 2));
        QCoreApplication::processEvents();
        sorts.push_back(double(k.nsecsElapsed()) / 1e6);
        if (!form.DataGecmis->recordSource().contains(QStringLiteral("ORDER BY"))) {
            std::fprintf(stderr, "the header touch did not sort\n");
            return 1;
        }
    }
    // Where a choice spends its time: each re-query of the choice on its own.
    const QString code = regulars[0];
    const QList<std::pair<DataSource*, QString>> parts{
        {form.DataGecmis, QStringLiteral("Select * From Salonya Where Cari='%1' Order By Islem ASC").arg(code)},
        {form.DataSalonya, QStringLiteral("Select * From Salonya Where Cari='%1' And Eleman='%2' And Yeni=1").arg(code, form.Text2->text())},
        {form.DataSalonya, QStringLiteral("Select * From Salonya Where Tarih=#%1# And Cari='%2'")
                               .arg(QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")), code)}};
    sqlite3_stmt* plan = nullptr;
    if (sqlite3_prepare_v2(form.DataGecmis->database()->handle(),
                           "EXPLAIN QUERY PLAN SELECT rowid FROM Salonya WHERE Cari=? ORDER BY Islem", -1, &plan, nullptr) == SQLITE_OK)
        while (sqlite3_step(plan) == SQLITE_ROW)
            std::fprintf(stderr, "  plan: %s\n", reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
    sqlite3_finalize(plan);
    for (const auto& [ds, source] : parts) {
        std::vector<double> v;
        for (int i = 0; i < 50; ++i) {
            ds->setRecordSource(source);
            QElapsedTimer k;
            k.start();
            Data::refreshRoutine(ds);
            v.push_back(double(k.nsecsElapsed()) / 1e6);
        }
        std::fprintf(stderr, "  %s: median %.2f ms\n", qPrintable(source), percentile(v, 0.5));
    }
    std::fprintf(stderr, "  the choice's handlers alone, before painting: median %.2f ms, p99 %.2f ms\n", percentile(handlers, 0.5),
                 percentile(handlers, 0.99));
    std::printf("history load median: %.2f ms\n", percentile(loads, 0.5));
    std::printf("history load p99: %.2f ms\n", percentile(loads, 0.99));
    std::printf("history sort median: %.2f ms\n", percentile(sorts, 0.5));
    std::printf("history sort p99: %.2f ms\n", percentile(sorts, 0.99));
    return 0;
}
