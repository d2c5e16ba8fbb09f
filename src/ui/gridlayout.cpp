#include "gridlayout.h"

#include "datagrid.h"
#include "app/hostpaths.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QLoggingCategory>
#include <QSaveFile>
#include <cmath>
#include <optional>

Q_LOGGING_CATEGORY(lcLayout, "salonya.gridlayout", QtWarningMsg)

namespace {

constexpr double kStretchGap = 270;        // twips the stretch column stays short of the grid's edge
constexpr double kWidestColumn = 100000;   // twips; anything wider is not a width a salon chose
constexpr qint64 kLongestFile = 64 * 1024; // a layout of a few columns is a few dozen bytes

struct Entry {
    double width = 0;
    bool visible = true;
};

// "1739.906,#TRUE#": a width with a point, whatever the locale, and the visibility keyword.
std::optional<Entry> parseLine(QByteArray line)
{
    const QList<QByteArray> items = line.trimmed().split(',');
    if (items.size() != 2) return std::nullopt;
    bool ok = false;
    const double width = QLocale::c().toDouble(QString::fromLatin1(items[0].trimmed()), &ok);
    if (!ok || !std::isfinite(width) || width < 0 || width > kWidestColumn) return std::nullopt;
    const QByteArray v = items[1].trimmed().toUpper();
    if (v != "#TRUE#" && v != "#FALSE#") return std::nullopt;
    return Entry{width, v == "#TRUE#"};
}

int stretchColumnOf(const Salonya& f, const DataGrid* grid) { return grid == f.DBGridIslem ? 0 : 1; }

} // namespace

GridLayouts::GridLayouts(Salonya* form) : QObject(form), f(form)
{
    for (DataGrid* grid : {f->CariList, f->DBGridIslem, f->DBGridMus}) {
        grid->setStretchColumn(stretchColumnOf(*f, grid));
        connect(grid, &DataGrid::columnResized, this, [this, grid](int column) { resized(grid, column); });
        connect(grid, &DataGrid::headerTouched, this, [this, grid](int column) {
            f->state.SiraVeri = grid->dataSource();
            Sirala(grid, column, f->state);
        });
    }
}

void GridLayouts::loadAll(Salonya& f)
{
    for (DataGrid* grid : {f.CariList, f.DBGridMus, f.DBGridIslem}) KolonYukle(grid, fileOf(grid));
}

void GridLayouts::fitAll(Salonya& f)
{
    for (DataGrid* grid : {f.CariList, f.DBGridMus, f.DBGridIslem}) {
        double used = 0;
        for (int i = 0; i < grid->columnCount(); ++i) used += grid->column(i).visible ? grid->column(i).widthTwips : 0;
        if (used > DataGrid::roomOf(grid) * 15.0) stretch(grid, stretchColumnOf(f, grid), stretchColumnOf(f, grid));
    }
}

QString GridLayouts::fileOf(const DataGrid* grid)
{
    return HostPaths::programDir() + QStringLiteral("/Salonya") + grid->objectName() + QStringLiteral(".Dat");
}

double GridLayouts::textTwips(const QFont& font, const QString& text)
{
    return QFontMetricsF(font).horizontalAdvance(text) * 15.0;
}

void GridLayouts::KolonYukle(DataGrid* grid, const QString& path)
{
    QFont cellFont = grid->font();
    cellFont.setBold(false);
    const int count = grid->columnCount();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = file.read(kLongestFile).split('\n');
        QList<std::optional<Entry>> entries(count);
        for (int i = 0; i < count && i < lines.size(); ++i) entries[i] = parseLine(lines[i]);
        // A file that hides every column would leave an empty grid; its widths still count.
        bool anyVisible = false;
        for (int i = 0; i < count; ++i)
            anyVisible = anyVisible || (entries[i] ? entries[i]->visible : grid->column(i).visible);
        for (int i = 0; i < count; ++i) {
            if (!entries[i]) continue;
            const bool visible = anyVisible ? entries[i]->visible : grid->column(i).visible;
            grid->setColumnVisible(i, visible);
            if (!visible) continue;
            const QString caption = grid->column(i).caption.trimmed();
            grid->setColumnCaption(i, caption);
            grid->setColumnWidthTwips(i, qMax(entries[i]->width, textTwips(cellFont, caption)));
        }
    }
    // A shown column is at least as wide as its header needs to show the caption whole.
    for (int i = 0; i < count; ++i) {
        const double least = qMax(textTwips(cellFont, QStringLiteral("  ") + grid->column(i).caption), grid->captionTwips(i));
        if (grid->column(i).widthTwips < least) grid->setColumnWidthTwips(i, least);
    }
}

bool GridLayouts::KolonKaydet(DataGrid* grid, const QString& path)
{
    const QFont font = grid->headerFont();
    QByteArray text;
    for (int i = 0; i < grid->columnCount(); ++i) {
        const GridColumn& c = grid->column(i);
        if (c.visible) {
            // The header centres captions itself: a caption is kept without blanks around it.
            const QString caption = c.caption.trimmed();
            grid->setColumnCaption(i, caption);
            const double least = qMax(textTwips(font, caption), grid->captionTwips(i));
            if (c.widthTwips < least) grid->setColumnWidthTwips(i, least);
        }
        text += QByteArray::number(double(float(c.widthTwips)), 'g', 7) + (c.visible ? ",#TRUE#\r\n" : ",#FALSE#\r\n");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        // Only the layout is lost; the grid keeps what the user sees.
        qCWarning(lcLayout).noquote() << "layout not saved:" << path << file.errorString();
        return false;
    }
    return true;
}

void GridLayouts::stretch(DataGrid* grid, int resizedColumn, int stretchColumn)
{
    if (resizedColumn != stretchColumn || stretchColumn >= grid->columnCount()) return;
    double others = 0;
    for (int i = 0; i < grid->columnCount(); ++i)
        if (i != stretchColumn && grid->column(i).visible) others += grid->column(i).widthTwips;
    // Wide columns beside it must not squeeze it to nothing.
    QFont cellFont = grid->font();
    cellFont.setBold(false);
    const double least = qMax(textTwips(cellFont, QStringLiteral("  ") + grid->column(stretchColumn).caption.trimmed()),
                              grid->captionTwips(stretchColumn));
    // The free width of what the grid shows: the row selectors (kStretchGap) and a shown scroll bar are not free.
    const double room = qMin(grid->widthTwips() - kStretchGap, DataGrid::roomOf(grid) * 15.0);
    grid->setColumnWidthTwips(stretchColumn, qMax(least, room - others));
}

QString GridLayouts::sortedSource(const QString& source, const QString& field, bool ascending)
{
    static const QString orderBy = QStringLiteral(" ORDER BY");
    int at = -1;
    bool quoted = false;
    for (int i = 0; i < source.size() && at < 0; ++i) {
        if (source[i] == u'\'') quoted = !quoted;
        else if (!quoted && QStringView(source).mid(i, orderBy.size()).compare(orderBy, Qt::CaseInsensitive) == 0) at = i;
    }
    const QString base = at < 0 ? source + u' ' : source.left(at + 1);
    return base + QStringLiteral("ORDER BY ") + field + (ascending ? QStringLiteral(" Asc") : QStringLiteral(" Desc"));
}

bool GridLayouts::Sirala(DataGrid* grid, int column, FormState& s)
{
    DataSource* ds = s.SiraVeri;
    if (!ds || column < 0 || column >= grid->columnCount() || grid->column(column).field.isEmpty()) return false;
    const QString before = ds->recordSource();
    const int row = ds->position();
    ds->setRecordSource(sortedSource(before, grid->column(column).field, s.SiraYonu));
    if (!ds->refresh()) {
        ds->setRecordSource(before);
        ds->refresh();
        if (row >= 0) ds->moveTo(row);
        return false;
    }
    grid->applyColumns();
    s.SiraYonu = !s.SiraYonu;
    return true;
}

void GridLayouts::resized(DataGrid* grid, int column)
{
    stretch(grid, column, stretchColumnOf(*f, grid));
    // The room the widths were chosen in, so another window size can scale them once.
    if (KolonKaydet(grid, fileOf(grid)))
        Settings::save(grid->objectName() + QStringLiteral("Genislik"), QString::number(DataGrid::roomOf(grid) * 15));
}
