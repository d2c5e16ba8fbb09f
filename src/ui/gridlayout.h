#pragma once
// Column layouts of the three data grids, kept in "Salonya<grid>.Dat" in the program folder (one
// "1440,#TRUE#" line per column), the column that fills the rest of a grid, and re-sorting a grid's
// data source by a touched column header.

#include <QObject>

class DataGrid;
class Salonya;
struct FormState;

class GridLayouts : public QObject
{
    Q_OBJECT
public:
    explicit GridLayouts(Salonya* form);

    // The saved layouts of CariList, DBGridMüs and DBGridIslem, in this order, at start-up.
    static void loadAll(Salonya& f);
    // Columns wider together than what their grid shows give back the stretch column's width, down to its caption.
    static void fitAll(Salonya& f);
    // Program folder + "Salonya" + the grid's name + ".Dat".
    static QString fileOf(const DataGrid* grid);

    // Applies a layout file; unreadable lines, lines beyond the last column and a file that would
    // hide every column change nothing. Every column is then at least as wide as its caption.
    static void KolonYukle(DataGrid* grid, const QString& file);
    // Writes the layout; false when the file cannot be written (the old file then stays whole).
    static bool KolonKaydet(DataGrid* grid, const QString& file);
    // A resized stretch column takes the grid's free width, 270 twips short of its outer width.
    static void stretch(DataGrid* grid, int resizedColumn, int stretchColumn);
    // The record source ordered by a field; an ORDER BY outside quotes, in any letter case, is replaced.
    static QString sortedSource(const QString& source, const QString& field, bool ascending);
    // Re-sorts s.SiraVeri by the column's field and flips s.SiraYonu. A column without a field, or a
    // sorted source that fails, leaves the source as it was and the direction unchanged.
    static bool Sirala(DataGrid* grid, int column, FormState& s);

    // Width in twips of a text in a font.
    static double textTwips(const QFont& font, const QString& text);

private:
    void resized(DataGrid* grid, int column);

    Salonya* f;
};
