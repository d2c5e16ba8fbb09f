#pragma once
// The touch panel of ÜrünlerFrm: service buttons pick a stock card, function buttons write and delete
// ticket lines, open the stock, dye and camera frames and close the desk; the touched button is marked.

#include <QObject>

class DyeFrame;
class Salonya;
class StockPick;

class ServicePanel : public QObject
{
    Q_OBJECT
public:
    ServicePanel(Salonya* form, StockPick* pick, DyeFrame* dye);

    // The touch of element index of Command1; controlDown is the Control key at that moment.
    void Command1_Click(int index, bool controlDown);
    // KasaCmd is usable exactly while the ticket has lines (once the desk is ready).
    void DataSalonya_Reposition();

    // The photo file of a customer code in the program's folder; empty when the code could name
    // a file elsewhere.
    static QString photoFile(const QString& customerCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool selectionMissing(int index);
    quint32 normalColour() const;
    void unmark(int index);
    void pickService(int index);
    void toggleStock();
    void showCamera();
    void takePhoto();

    Salonya* f;
    Qt::KeyboardModifiers m_releaseModifiers;
    StockPick* m_pick;
    DyeFrame* m_dye;
};
