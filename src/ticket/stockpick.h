#pragma once
// The stock card "ÜRÜN İŞLE" writes: a service button, a scan or a stock-list pick makes a card
// current in DataStok with the quantity 1. A dye is weighed, never written by pieces: reached by a
// button or a scan it opens the dye frame for its grams. The pick lasts while DataStok stays on the
// card and the quantity is left alone.

#include <QObject>
#include <QString>

class DyeFrame;
class Salonya;

class StockPick : public QObject
{
    Q_OBJECT
public:
    StockPick(Salonya* form, DyeFrame* dye);

    // The record source a scan searches: every card, hidden ones too.
    static const QString EveryCard;

    // A service button's caption, found among every card whatever a search left in DataStok.
    bool byName(const QString& name);
    // A scanned or typed code: a barcode, else a name, over every card (hidden ones too).
    bool byCode(const QString& code);
    // The entry highlighted in the stock list.
    bool byList(const QString& name);

    bool picked() const { return m_picked; }
    void drop() { m_picked = false; }

private:
    bool everyCard();
    bool take(bool found, bool weighDye);

    Salonya* f;
    DyeFrame* m_dye;
    bool m_picked = false;
};
