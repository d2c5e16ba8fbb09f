#pragma once
// The main screen: owns every control and data source and the form-level state.
// The subsystems hang their handlers on these controls; this class only builds and owns them.

#include "formstate.h"

#include <QList>
#include <QWidget>

class DataGrid;
class DataSource;
class QDateEdit;
class QGroupBox;
class QFrame;
class QLabel;
class QPushButton;
class PictureBox;
class TextBox;
class TouchKey;
class TouchList;
class Startup;

class Salonya : public QWidget
{
    Q_OBJECT
public:
    explicit Salonya(QWidget* parent = nullptr);
    ~Salonya() override;

    FormState state;

    // Fields
    TextBox* Text1 = nullptr;
    TextBox* Text2 = nullptr;
    TextBox* Text3 = nullptr;
    TextBox* Text4 = nullptr;
    TextBox* KlvTxt = nullptr;
    TextBox* StokText = nullptr;
    // Lists and grids
    TouchList* DBListe1 = nullptr;
    TouchList* DBListe2 = nullptr;
    TouchList* DBListe3 = nullptr;
    TouchList* DBListe4 = nullptr;
    DataGrid* DBGridIslem = nullptr;
    DataGrid* DBGridMus = nullptr; // "DBGridMüs"
    DataGrid* CariList = nullptr;
    // Buttons
    QList<QPushButton*> Command1; // 0..32
    QList<QPushButton*> Command2; // 0 "Tamam", 1 "Kapat"
    QList<QPushButton*> Command3; // 0..2
    QPushButton* KasaCmd = nullptr;
    // Others
    PictureBox* Picture1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    QList<TouchKey*> Label1;      // by index 0..48; element 32 is null
    QGroupBox* UrunlerFrm = nullptr; // "ÜrünlerFrm"
    QGroupBox* StokFrm = nullptr;
    QGroupBox* BoyaFrm = nullptr;
    QDateEdit* DTPicker1 = nullptr;
    QLabel* ElemanLbl = nullptr;

    // Data sources
    DataSource* DataRec = nullptr;
    DataSource* DataCari = nullptr;
    DataSource* DataEleman = nullptr;
    DataSource* DataStok = nullptr;
    DataSource* DataSalonya = nullptr;
    DataSource* DataGecmis = nullptr;
    DataSource* DataGunluk = nullptr; // "DataGünlük"
    DataSource* DataTmp = nullptr;

    Startup* startup() const { return m_startup; }
    TouchKey* key(int index) const { return index >= 0 && index < Label1.size() ? Label1[index] : nullptr; }
    // The control that has the focus inside this form, by name ("" when none).
    QString activeControlName() const;
    // Closes the customer or employee drop-down when its field does not have the focus.
    void ListeKapat();

    // Set by start-up when the own databases cannot be used; main() then exits non-zero.
    QString fatalError() const { return m_fatal; }
    void setFatalError(const QString& e) { m_fatal = e; }

signals:
    // The form was activated (shown and focused); start-up does its once-only work on the first one.
    void activated();

protected:
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    void buildDataSources();
    void bindViews();

    Startup* m_startup = nullptr;
    QString m_fatal;
};
