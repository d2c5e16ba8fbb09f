#pragma once
// The hair-dye frame BoyaFrm: the dye is searched in Text3 and picked in DBListe3, weighed in grams
// in Text4, and "Tamam" writes it as a line priced per 100 g; "Kapat" closes the frame.

#include <QObject>
#include <optional>

class Salonya;

class DyeFrame : public QObject
{
    Q_OBJECT
public:
    explicit DyeFrame(Salonya* form);

    // "BOYA": the dye cards in the list, the day of the date picker for the line, the search ready.
    void open();
    // A dye picked elsewhere: the frame opens with it chosen, the amount field ready for its grams.
    void weigh(const QString& dye);
    void Tamam();
    void Kapat();
    // The grams as typed: digits with one decimal comma (or point), "12," on the way to "12,5"
    // included; nothing when the text is not such a number.
    static std::optional<double> grams(const QString& text);

private:
    void searchEntered();
    void searchKeyUp(int key);
    void searchLeft();
    void picked(const QString& name);
    void stockMoved();
    void amountEntered();
    void amountChanged();
    void amountLeft();

    Salonya* f;
};
