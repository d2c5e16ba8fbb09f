// Layout files: any bytes are read without harm, leave a shown column shown and no column narrower
// than its caption; a saved layout reads back to the same widths and visibility.
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

[[noreturn]] void fail(const char* what, int column, double got, double expected)
{
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
    static const QStringList captions{QStringLiteral("Tarih"), QStringLiteral("  İşlem "), QString(), QStringLiteral("Tutar"),
                                      QStringLiteral("Müşteri Adı Soyadı")};
    // Memory-backed where there is one: a saved layout is synced to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-layout-XXXXXX") : QString());
    const QString file = dir.filePath(QStringLiteral("SalonyaGrid.Dat"));
    FuzzedDataProvider in(data, size);
    QList<GridColumn> columns(in.ConsumeIntegralInRange(1, 6));
    for (GridColumn& c : columns) {
        c.caption = captions[in.ConsumeIntegralInRange<qsizetype>(0, captions.size() - 1)];
        c.widthTwips = in.ConsumeFloatingPointInRange(0.0, 99000.0);
        c.visible = in.ConsumeBool();
    }
    // One grid for the whole run, bound anew each time: a new view per input would cost most of the run.
    static DataSource ds(QStringLiteral("t"));
    static DataGrid grid;
    const std::unique_ptr<QObject> model(grid.tableModel()), selection(grid.selectionModel());
    grid.bind(&ds, columns);
    QFile::remove(file);

    if (in.ConsumeBool()) { // the file is whatever bytes are left
        const bool shown = anyVisible(grid);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray::fromStdString(in.ConsumeRemainingBytesAsString())) < 0) std::abort();
        f.close();
        GridLayouts::KolonYukle(&grid, file);
        if (shown && !anyVisible(grid)) fail("every column hidden", -1, 0, 0);
        QFont cellFont = grid.font();
        cellFont.setBold(false);
        for (int i = 0; i < grid.columnCount(); ++i) {
            const double least = GridLayouts::textTwips(cellFont, QStringLiteral("  ") + grid.column(i).caption);
            if (!(grid.column(i).widthTwips >= least && grid.column(i).widthTwips <= 100000)) fail("width", i, grid.column(i).widthTwips, least);
        }
        return 0;
    }
    if (!anyVisible(grid)) grid.setColumnVisible(0, true);
    GridLayouts::KolonYukle(&grid, file); // no file yet: the widths the program itself would start from
    if (!GridLayouts::KolonKaydet(&grid, file)) std::abort();
    const QList<GridColumn> saved = grid.tableModel()->columns();
    for (int i = 0; i < grid.columnCount(); ++i) {
        grid.setColumnWidthTwips(i, in.ConsumeFloatingPointInRange(0.0, 99000.0));
        grid.setColumnVisible(i, in.ConsumeBool());
    }
    GridLayouts::KolonYukle(&grid, file);
    for (int i = 0; i < grid.columnCount(); ++i) {
        const GridColumn& c = grid.column(i);
        if (c.visible != saved[i].visible) fail("visibility", i, c.visible, saved[i].visible);
        // The file keeps seven digits; a hidden column's width is not read back.
        if (c.visible && std::abs(c.widthTwips - saved[i].widthTwips) > 1e-6 * saved[i].widthTwips + 1e-3)
            fail("width", i, c.widthTwips, saved[i].widthTwips);
    }
    return 0;
}
