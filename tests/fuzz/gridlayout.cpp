// Layout files: any bytes read without harm, a shown column stays shown, none narrower than its caption; a saved layout reads back.
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/gridlayout.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool anyVisible(const DataGrid& g)
{
    for (int i = 0; i < g.columnCount(); ++i)
        if (g.column(i).visible) return true;
    return false;
}

void check(bool ok, const char* what, int column, double got, double expected)
{
    if (ok) return;
    std::fprintf(stderr, "%s: column %d is %g, expected %g\n", what, column, got, expected);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    GridLayouts::textTwips(QApplication::font(), QStringLiteral("İ")); // the font setup is kept for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList captions{QStringLiteral("Tarih"), QStringLiteral("  İşlem "), QString(), QStringLiteral("Tutar"), QStringLiteral("Müşteri Adı Soyadı")};
    // Memory-backed where there is one: a saved layout is synced to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-layout-XXXXXX") : QString());
    const QString file = dir.filePath(QStringLiteral("SalonyaGrid.Dat"));
    FuzzedDataProvider in(data, size);
    QList<GridColumn> columns(in.ConsumeIntegralInRange(1, 6));
    for (GridColumn& c : columns)
        c = {.caption = captions[in.ConsumeIntegralInRange<qsizetype>(0, captions.size() - 1)], .widthTwips = in.ConsumeFloatingPointInRange(0.0, 99000.0),
             .visible = in.ConsumeBool()};
    // One grid for the whole run, bound anew each time: a new view per input would cost most of the run.
    static DataSource ds(QStringLiteral("t"));
    static DataGrid grid;
    const std::unique_ptr<QObject> model(grid.tableModel()), selection(grid.selectionModel());
    grid.bind(&ds, columns);
    QFile::remove(file);
    if (in.ConsumeBool()) { // the file is whatever bytes are left
        const bool shown = anyVisible(grid);
        QFile f(file);
        check(f.open(QIODevice::WriteOnly) && f.write(QByteArray::fromStdString(in.ConsumeRemainingBytesAsString())) >= 0, "write", -1, 0, 0);
        f.close();
        GridLayouts::KolonYukle(&grid, file);
        check(!shown || anyVisible(grid), "every column hidden", -1, 0, 0);
        QFont cellFont = grid.font();
        cellFont.setBold(false);
        for (int i = 0; i < grid.columnCount(); ++i) {
            const double least = GridLayouts::textTwips(cellFont, QStringLiteral("  ") + grid.column(i).caption), w = grid.column(i).widthTwips;
            check(w >= least && w <= 100000, "width", i, w, least);
        }
        return 0;
    }
    if (!anyVisible(grid)) grid.setColumnVisible(0, true);
    GridLayouts::KolonYukle(&grid, file); // no file yet: the widths the program itself would start from
    check(GridLayouts::KolonKaydet(&grid, file), "save", -1, 0, 0);
    const QList<GridColumn> saved = grid.tableModel()->columns();
    for (int i = 0; i < grid.columnCount(); ++i) {
        grid.setColumnWidthTwips(i, in.ConsumeFloatingPointInRange(0.0, 99000.0));
        grid.setColumnVisible(i, in.ConsumeBool());
    }
    GridLayouts::KolonYukle(&grid, file);
    for (int i = 0; i < grid.columnCount(); ++i) {
        const GridColumn& c = grid.column(i);
        check(c.visible == saved[i].visible, "visibility", i, c.visible, saved[i].visible);
        // The file keeps seven digits; a hidden column's width is not read back.
        check(!c.visible || std::abs(c.widthTwips - saved[i].widthTwips) <= 1e-6 * saved[i].widthTwips + 1e-3, "width", i, c.widthTwips, saved[i].widthTwips);
    }
    return 0;
}
