#pragma once
// The live search behind the on-screen keyboard: every change of the buffer KlvTxt is copied into
// the field that owns the keyboard and narrows that field's list with a Like prefix search.

#include <QObject>
#include <QString>

class DataSource;
class Salonya;

class KeyboardSearch : public QObject
{
    Q_OBJECT
public:
    KeyboardSearch(Salonya* form, QObject* parent = nullptr);

    // The Like pattern for a typed text: in a text of two or more characters every "İ", "ı", "i" and
    // "I" but the first character becomes "?", so any way of typing the letter finds the card.
    static QString pattern(const QString& text);
    // The search record source of a kind ("CariKartlar", "Eleman", "StokKartlar", "Boya") for a
    // pattern, the pattern quoted; empty for other kinds.
    static QString searchSource(const QString& kind, const QString& pattern);
    // What brings the whole list back after a search without match; empty for kinds without one.
    static QString resetSource(const QString& kind);

    // Re-runs a narrowed source; a source that cannot be read is told (once until it reads again).
    bool requery(DataSource* ds);

private:
    void bufferChanged();

    Salonya& f;
    bool m_searchedInside = false; // the re-entered handling of a converted text ran its search
    QString m_shownFailure; // a source that cannot be read is reported once, not on every key
};
