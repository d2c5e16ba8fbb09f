#include "formdesign.h"

namespace FormDesign {

namespace {

// Service buttons 1..26 in reading order, then "BOYA", on a 9 x 3 grid under the keyboard's place;
// the other function buttons in two columns to its right, always within reach. The panel reaches the
// form's left, right and bottom edges, so a finger held beside the buttons opens the panel's colour menu.
constexpr int kPanelLeft = 120; // the form's margin, taken into the panel
constexpr int kCellLeft = kPanelLeft + 90, kCellStep = 1575, kCellWidth = 1500;
constexpr int kRowTop[3] = {90, 1290, 2490};
constexpr int kRowHeight = 1110;

QList<Control> build()
{
    QList<Control> c = {
        // name, index, parent, left, top, width, height, caption, font pt, bold
        {"Text1", -1, "", 120, 120, 5280, 900, "MÜŞTERİ", 20.25, true},
        {"Text2", -1, "", 5520, 120, 3000, 900, "ELEMAN", 20.25, true},
        {"KlvTxt", -1, "", 19665, 120, 1200, 420, "", 0, false},

        {"Frame1", -1, "", 120, 1140, 8400, 4980, " Geçmiş ", 11.25, true},
        {"CariList", -1, "Frame1", 90, 330, 8220, 4560, "", 11.25, false},
        {"Command3", 0, "", 120, 6240, 1095, 615, "İşlemler", 14.25, false},
        {"Command3", 1, "", 1770, 6240, 1095, 615, "Boya", 14.25, false},
        {"Command3", 2, "", 3570, 6240, 1095, 615, "Aynı", 14.25, false},
        {"DTPicker1", -1, "", 5400, 6240, 3120, 615, "", 14.25, false},
        {"ElemanLbl", -1, "", 120, 6960, 8400, 615, "Eleman > ", 14.25, true},

        {"DBGridIslem", -1, "", 8640, 120, 5715, 3420, "", 11.25, false},
        {"DBGridMüs", -1, "", 8640, 3660, 5715, 3915, "", 11.25, false},

        {"Picture1", -1, "", 14475, 120, 4485, 3900, "", 14.25, true},
        {"KasaCmd", -1, "", 14475, 4140, 4485, 3435, "MERKEZ MAKİNA İLE BAĞLANTI KURULUYOR....", 20.25, true},

        {"ÜrünlerFrm", -1, "", 0, 7695, FormWidth, FormHeight - 7695, "", 0, false},

        // The drop-down lists open under their fields and end above the keyboard.
        {"DBListe1", -1, "", 120, 1140, 8400, 6435, "", 15.75, true},
        {"DBListe2", -1, "", 3120, 1140, 5400, 6435, "", 15.75, true},

        {"StokFrm", -1, "", 120, 1140, 8400, 6435, " Stoklar ", 11.25, true},
        {"StokText", -1, "StokFrm", 120, 360, 8160, 840, "BARKOD OKUTUN", 18, true},
        {"DBListe4", -1, "StokFrm", 120, 1320, 8160, 4980, "", 14.25, true},

        {"BoyaFrm", -1, "", 120, 1140, 8400, 6435, " Boya ", 11.25, true},
        {"Text3", -1, "BoyaFrm", 120, 360, 5400, 840, "", 18, true},
        {"Text4", -1, "BoyaFrm", 5640, 360, 2640, 840, "0", 18, true},
        {"DBListe3", -1, "BoyaFrm", 120, 1320, 5400, 4980, "", 14.25, true},
        {"Command2", 0, "BoyaFrm", 5640, 1320, 2640, 1200, "Tamam", 15.75, true},
        {"Command2", 1, "BoyaFrm", 5640, 2640, 2640, 1200, "Kapat", 15.75, true},

        {"Frame2", -1, "", 120, 7765, 14235, 3225, "", 0, false},
    };
    static const char* const kServiceCaption[27] = {"BOYA", "", "", "", "", "", "", "", "", "", "", "",
                                                    " ", " ", " ", " ", " ", " ", "", "", "", "", "", "", "", "", ""};
    for (int cell = 0; cell < 27; ++cell) {
        const int index = cell < 26 ? cell + 1 : 0;
        c.append({"Command1", index, "ÜrünlerFrm", kCellLeft + (cell % 9) * kCellStep, kRowTop[cell / 9], kCellWidth,
                  kRowHeight, kServiceCaption[index], 12, true});
    }
    const struct { int index; const char* caption; int col, row; } functions[] = {
        {27, "STOKLAR", 0, 0}, {28, "ÜRÜN İŞLE", 1, 0}, {29, "SİL", 0, 1},
        {30, "KAMERA", 1, 1},  {31, "RESİM ÇEK", 0, 2}, {32, "EXİT", 1, 2},
    };
    for (const auto& f : functions)
        c.append({"Command1", f.index, "ÜrünlerFrm", kPanelLeft + 14370 + f.col * 2220, kRowTop[f.row], 2100, kRowHeight, f.caption, 14.25, true});
    return c;
}

QList<Key> buildKeys()
{
    constexpr int col[16] = {90, 930, 1770, 2610, 3450, 4290, 5130, 5970, 6810, 7650, 8490, 9330, 10830, 11670, 12510, 13350};
    constexpr int w = 765, h = 720;
    constexpr double letters = 27.75;
    QList<Key> k;
    auto row = [&](int top, std::initializer_list<std::pair<const char*, int>> keys) {
        int c = 0;
        for (const auto& [caption, index] : keys) k.append({index, caption, col[c++], top, w, h, letters});
    };
    row(90, {{"Q", 30}, {"W", 29}, {"E", 5}, {"R", 20}, {"T", 23}, {"Y", 27}, {"U", 24}, {"I", 10}, {"O", 17}, {"P", 19},
             {"Ğ", 8}, {"Ü", 25}, {"7", 38}, {"8", 37}, {"9", 36}, {"Sil", 46}});
    row(870, {{"A", 0}, {"S", 21}, {"D", 4}, {"F", 6}, {"G", 7}, {"H", 9}, {"J", 12}, {"K", 13}, {"L", 14}, {"Ş", 22},
              {"İ", 11}, {"*", 45}, {"4", 41}, {"5", 40}, {"6", 39}});
    k.append({47, "ab", col[15], 870, w, h, 24});
    const struct { const char* caption; int index; int left; } third[] = {
        {"Z", 28, col[0]}, {"X", 31, col[1]}, {"C", 2, col[2]}, {"V", 26, col[3]}, {"B", 1, col[4]},
        {"N", 16, col[5]}, {"M", 15, col[6]}, {"Ö", 18, col[7]}, {"Ç", 3, col[8]},
        {"1", 44, col[12]}, {"2", 43, col[13]}, {"3", 42, col[14]}, {"0", 35, col[15]}};
    for (const auto& t : third) k.append({t.index, t.caption, t.left, 1650, w, h, letters});
    k.append({33, "Geri Al", 7650, 1650, 2445, h, letters});
    k.append({34, " Boşluk", 90, 2430, 10005, h, letters});
    k.append({48, "ENTER", 10830, 2430, 3285, h, 20.25});
    return k;
}

} // namespace

const QList<Control>& controls()
{
    static const QList<Control> c = build();
    return c;
}

const Control* find(const QString& name, int index)
{
    for (const Control& c : controls())
        if (QString::fromUtf8(c.name) == name && c.index == index) return &c;
    return nullptr;
}

const QList<Key>& keys()
{
    static const QList<Key> k = buildKeys();
    return k;
}

} // namespace FormDesign
