#pragma once
// A salon in a temporary folder for one test; starts the whole main screen on it and drives it as a user would.

#include "accountingfiles.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class DataGrid;
class Salonya;
class QWidget;
class TouchList;
class TextBox;

class SalonFixture
{
public:
    SalonFixture();
    ~SalonFixture();

    QString root() const { return m_dir.path(); }
    QString programDir() const;
    // Local path of the accounting prefix C:\DefteryaData\01 (file names are appended to it).
    QString localPrefix() const;
    QString stockFile() const { return localPrefix() + QStringLiteral("Stok.mdb"); }
    QString cardFile() const { return localPrefix() + QStringLiteral("Cari.mdb"); }
    QString slotFile() const;
    QString ownFile(const QString& name) const; // "Cari.Mdb", "Stok.Mdb", "Salonya.Mdb"

    // Runs SQL statements on one of the desk's own databases ("Cari.Mdb", ...), creating them first when missing.
    bool execOwn(const QString& name, const QString& sql);
    // The first row's value of a one-column query on an own database; invalid when there is no row.
    QVariant ownValue(const QString& name, const QString& sql) const;


    // Loads and shows the main screen, waits for ready; beforeShow sees it first. Null when refused (fatalError() says why).
    Salonya* start(const std::function<void(Salonya*)>& beforeShow = {});
    Salonya* form() const { return m_form.get(); }
    void stop();

    // What the desk said: beeps and message boxes since the fixture started.
    int beeps = 0;
    QStringList messages;

    // A press and release at a control's centre, focus following as on the screen; modifiers are the keys held.
    static void touch(QWidget* w, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Touches a cell of a grid; false when the grid has no such cell.
    static bool touchCell(DataGrid* grid, int row, int column = 0);
    void touchKey(int index);
    // Types text on the on-screen keys; letters, digits, blank and "*" only.
    void typeOnKeys(const QString& text);
    // Types any Unicode text on a physical keyboard or scanner, one key per character (QTest::keyClicks knows Latin-1 only).
    static void typeOnKeyboard(QWidget* w, const QString& text);
    // Taps the list entry showing exactly this text; false when the list does not show it.
    bool tapListEntry(TouchList* list, const QString& text);
    // Gives a field the keyboard with the data source and kind the field takes it with on the screen.
    static void giveKeyboard(Salonya* form, TextBox* field);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Salonya> m_form;
    QByteArrayList m_savedEnv;
};
