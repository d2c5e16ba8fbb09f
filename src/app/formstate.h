#pragma once
// Form-level state of the main screen shared by the subsystems, and the two program-wide values.

#include <QString>

class DataSource;
class TextBox;

struct FormState {
    float Durum = 0;            // 99 loading/creating/sending, 2 filling Text1 by code, 4 searching, 1/3 colour targets
    bool KayitBekle = false;    // save-wait flag, cleared by the before-update notification
    TextBox* AktifText = nullptr;
    DataSource* AktifData = nullptr;
    QString AktifAlan;          // "CariKartlar", "Eleman", "StokKartlar", "Boya", "Miktar" or empty
    bool CapsDurum = false;
    int SonTus = 0;
    float SeciliButon = 0;
    QString SeciliCari;
    float AktifListe = 0;       // 0 none, 1 DBGridMüs, 2 DBGridIslem, 3 CariList, 4 DBListe1, 5 DBListe2
    QString TarihKriter;
    QString VeriYolu;
    DataSource* SiraVeri = nullptr;
    bool SiraYonu = false;
};

namespace Program {
extern QString GeciciMetin;
extern bool ResimCekildi;
}
