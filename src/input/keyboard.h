#pragma once
// The on-screen keyboard of the main screen: what each key of Label1 does to the buffer KlvTxt,
// the capitals switch, the hover highlight, and the contract by which a field takes the keyboard.

#include <QObject>

class DataSource;
class KeyboardSearch;
class Salonya;
class TextBox;

class Keyboard : public QObject
{
    Q_OBJECT
public:
    // Hangs the key handlers on every key of form.Label1 and the buffer's live search on KlvTxt.
    explicit Keyboard(Salonya* form);

    // --- For the focus handlers of the input fields ---

    // The field takes the keyboard: AktifText = field, AktifAlan = kind, AktifData = data (left as it
    // is when data is null, as the quantity field wants), the buffer emptied (its change handling then
    // empties the field), the field painted 0xFFFF80 and the other input fields white, and Frame2 shown:
    //   Text1    DataCari   "CariKartlar"  white Text2, Text3        Frame2 shown
    //   Text2    DataEleman "Eleman"       white Text1, Text3        Frame2 shown
    //   StokText DataStok   "StokKartlar"  white none                Frame2 left alone
    //   Text3    DataStok   "Boya"         white Text1, Text2, Text4 Frame2 shown
    //   Text4    (null)     "Miktar"       white Text1, Text2, Text3 Frame2 shown; Text4 shows "0", selected
    static void takeKeyboard(Salonya& form, TextBox* field, DataSource* data, const QString& kind);
    // The field lost the focus: Text1, Text2 and Text3 leave AktifAlan empty (AktifText keeps
    // pointing at the field); Text4 hides Frame2.
    static void releaseKeyboard(Salonya& form, TextBox* field);
    // Paints the key under the pointer (SonTus) idle again, e.g. when a pick closes the keyboard.
    static void clearHover(Salonya& form);

    // Captions for the capitals mode: key 47 "AB"/"ab", keys 0-31 upper/lower case, keys 10 and 11
    // "I"/"İ" or "ı"/"i". Start-up applies it with the saved mode.
    static void applyCapitalsCaptions(Salonya& form, bool capitals);

    KeyboardSearch* search() const { return m_search; }

private:
    void keyTouched(int index);
    void keyHovered(int index);
    void switchCapitals();
    void sendEnter();
    bool eventFilter(QObject* watched, QEvent* event) override;

    Salonya& f;
    KeyboardSearch* m_search = nullptr;
};
