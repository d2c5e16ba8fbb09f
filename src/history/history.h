#pragma once
// The chosen customer's past lines under the customer field: CariList over DataGecmis, the filter
// buttons "İşlemler", "Boya" and "Aynı", the day filter of DTPicker1 (which also sets TarihKriter),
// and ElemanLbl naming who served the line under the cursor. "Aynı" writes the listed lines onto
// today's ticket as the dye frame would write them.

#include <QObject>

class DataSource;
class QDate;
class Salonya;

class History : public QObject
{
    Q_OBJECT
public:
    explicit History(Salonya* form);

    void Command3_Click(int index);
    void DataGecmis_Reposition();
    void DTPicker1_Change();
    void CariList_DblClick();
    void CariList_RowColChange();

private:
    void showDay(const QDate& day);
    void repeatLines();
    bool selectionMissing();
    bool customerChosen() const;
    void listNothing();
    static QList<int> newestLines(const DataSource* h, int from);
    void setPicker(const QDate& day);
    QString customerCode() const;

    Salonya* f;
};
