#pragma once
// The stock frame StokFrm: a barcode scanner or a typed name in StokText makes a stock card current
// for "ÜRÜN İŞLE", and a pick in the stock list DBListe4 assigns a card to the marked service button.

#include <QObject>

class Salonya;
class StockPick;

class StockFrame : public QObject
{
    Q_OBJECT
public:
    StockFrame(Salonya* form, StockPick* pick);

    // Enter in StokText: the code as a barcode, else as a name, over every card (hidden ones too).
    void lookUp();
    // Hides the frame, and the keyboard when its field was the last to take it.
    static void close(Salonya& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepare();
    void textChanged();
    void follow(const QString& name);
    void assign(const QString& name);

    Salonya* f;
    StockPick* m_pick;
    bool m_afterEnd = false; // the last key ended a code: the LF of a CR LF pair ends nothing more
};
