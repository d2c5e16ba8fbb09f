// The on-screen keyboard: key roles and beeps, the capitals switch and Caps Lock, its owner, and the live search.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "data/recordmodels.h"
#include "input/capsonoff.h"
#include "input/keyboard.h"
#include "input/scanreader.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QStringList kCustomers{u"AYŞE YILMAZ"_s, u"AYŞEGÜL KAYA"_s, u"ALİ VURAL"_s,      u"ALI OKTAY"_s,   u"ASLI TEKİN"_s,
                              u"IŞIK DEMİR"_s,  u"İPEK ŞAHİN"_s,   u"D'ANGELO MARCO"_s, u"ZEYNEP ÇELİK"_s};

TextBox* fieldNamed(Salonya* f, const QString& name) { return f->findChild<TextBox*>(name); }

QStringList listed(TouchList* list)
{
    QStringList out;
    for (int r = 0; r < list->listModel()->rowCount(); ++r) out << list->listModel()->text(r);
    return out;
}

QString cariSearch(const QString& like) { return u"Select * From CariKartlar Where Unvan Like '%1' And Gurup='Müşteri' Order By Unvan Asc"_s.arg(like); }

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<SalonFixture> fx;
    Salonya* f = nullptr;

private slots:
    void init()
    {
        fx = std::make_unique<SalonFixture>();
        QList<Row> cards;
        for (int i = 0; i < kCustomers.size(); ++i) cards << card(u"M%1"_s.arg(i), kCustomers[i]);
        for (const QString& name : {u"Gülay Kaya"_s, u"Gizem Ak"_s, u"Seda Ün"_s}) cards << card(name, name, u"Eleman"_s);
        QVERIFY(writeCards(fx->cardFile(), cards));
        QVERIFY(writeStock(fx->stockFile(), {stock(u"B1"_s, u"Kestane Boya 6.3"_s, {}, 50, u"Boya"_s), stock(u"B2"_s, u"Küllü Sarı Boya"_s, {}, 50, u"Boya"_s),
                                             stock(u"S1"_s, u"Kesim"_s, {}, 200), stock(u"S2"_s, u"Fön"_s, {}, 150)}));
        f = fx->start();
        QVERIFY(f);
    }
    void cleanup()
    {
        fx.reset();
        CapsOnOff::SetCapsLock(false);
    }

    void keyRoles_data()
    {
        QTest::addColumn<QString>("field"); // empty: nobody took the keyboard since start-up
        QTest::addColumn<QList<int>>("keys"); QTest::addColumn<QString>("buffer"); QTest::addColumn<QString>("fieldText");
        QTest::addColumn<int>("beeps");

        // Text mode (capitals off: the letter keys read a, l, ı and the search capitalises words).
        QTest::newRow("letters") << "Text1" << QList<int>{0, 14, 10} << "Alı" << "Alı" << 0;
        QTest::newRow("Geri Al on empty buffer changes nothing") << "Text1" << QList<int>{33} << "" << "MÜŞTERİ" << 0;
        QTest::newRow("Sil empties buffer and field") << "Text1" << QList<int>{0, 14, 46} << "" << "" << 0;
        QTest::newRow("text field full beeps, never overflows") << "StokText" << QList<int>(21, 44) << QString(20, u'1') << QString(20, u'1') << 2;
        // The target is white: letters and digits type nothing, the blank is always appended.
        QTest::newRow("no owner") << "" << QList<int>{0, 10, 44, 34} << " " << " " << 0;
        QTest::newRow("quantity six digits: fifth and sixth beep") << "Text4" << QList<int>{44, 43, 42, 41, 40, 39} << "12345" << "12345" << 2;
        QTest::newRow("quantity refuses a letter, Geri Al, blank, ab, ENTER") << "Text4" << QList<int>{0, 44, 33, 34, 47, 48} << "1" << "1" << 5;
        QTest::newRow("quantity Sil shows 0") << "Text4" << QList<int>{44, 43, 46} << "" << "0" << 0;
        QTest::newRow("quantity star") << "Text4" << QList<int>{45} << "*" << "*" << 0;
    }
    void keyRoles()
    {
        QFETCH(QString, field); QFETCH(QList<int>, keys);
        TextBox* target = field.isEmpty() ? f->Text1 : fieldNamed(f, field);
        if (!field.isEmpty()) SalonFixture::giveKeyboard(f, target);
        fx->beeps = 0;
        for (int k : keys) fx->touchKey(k);
        QTEST(f->KlvTxt->text(), "buffer");
        QTEST(target->text(), "fieldText");
        QTEST(fx->beeps, "beeps");
    }

    // The customer field has the keyboard: the capitals switch types nothing (ENTER is tst_customers').
    void customerFieldKeys()
    {
        SalonFixture::giveKeyboard(f, f->Text1);
        for (bool on : {true, false}) {
            fx->touchKey(47);
            QCOMPARE(f->state.CapsDurum, on);
            CapsOnOff::SetCapsLock(on); // already so: must not toggle
            QCOMPARE(CapsOnOff::CapsLockOn(), on);
            QCOMPARE(Settings::get(Settings::appName(), u"SizeKlv"_s, u"Caps"_s), on ? u"True"_s : u"False"_s);
            QStringList captions; // of the capitals switch and of keys a, ş, ı and i
            for (int k : {47, 0, 22, 10, 11}) captions << f->key(k)->text();
            QCOMPARE(captions.join(u' '), on ? u"AB A Ş I İ"_s : u"ab a ş ı i"_s);
            if (on) { // the capitals come back after a restart
                f = fx->start();
                QVERIFY(f && f->state.CapsDurum);
                QCOMPARE(f->key(0)->text(), u"A"_s);
                SalonFixture::giveKeyboard(f, f->Text1);
            }
        }
        QCOMPARE(f->KlvTxt->text(), QString());
        // An unreadable list is said once, and again after a search that worked.
        SalonFixture::giveKeyboard(f, f->Text1);
        f->DataCari->setDatabaseName(fx->root() + u"/gone/Cari.Mdb"_s);
        fx->typeOnKeys(u"ay"_s);
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY(fx->messages.first().startsWith(u"Liste okunamadı"_s));
        f->DataCari->setDatabaseName(fx->ownFile(u"Cari.Mdb"_s));
        fx->typeOnKeys(u"ş"_s);
        f->DataCari->setDatabaseName(fx->root() + u"/gone/Cari.Mdb"_s);
        fx->typeOnKeys(u"e"_s);
        QCOMPARE(fx->messages.size(), 2);
        f->DataStok->setDatabaseName(fx->root() + u"/gone/Stok.Mdb"_s); // the dye search, typed on a keyboard
        QTest::keyClicks(f->Text3, u"bo"_s);
        QCOMPARE(fx->messages.size(), 3);
    }

    // Arrow keys, Home and End move the highlight of an open list, and each move is reported.
    void listKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("row"); // -1: the last
        QTest::addColumn<int>("moves");
        QTest::newRow("down twice") << QList<int>{Qt::Key_Down, Qt::Key_Down} << 2 << 2;
        QTest::newRow("up at the top stays") << QList<int>{Qt::Key_Up} << 0 << 0;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << -1 << 1;
        QTest::newRow("end, then home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0 << 2;
        QTest::newRow("end, then up") << QList<int>{Qt::Key_End, Qt::Key_Up} << -2 << 2;
    }
    void listKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, row);
        QFETCH(int, moves);
        SalonFixture::giveKeyboard(f, f->Text1);
        fx->typeOnKeys(u"a"_s);
        TouchList* list = f->DBListe1;
        QVERIFY(list->isVisible());
        const QStringList rows = listed(list);
        list->setText(rows.first());
        QSignalSpy spy(list, &TouchList::highlightChanged);
        list->setFocus();
        for (int k : keys) QTest::keyClick(list, Qt::Key(k));
        QCOMPARE(list->text(), rows.at(row < 0 ? rows.size() + row : row));
        QCOMPARE(spy.size(), moves);
    }

    void takingTheKeyboard_data()
    {
        QTest::addColumn<QString>("field"); QTest::addColumn<QString>("kind"); QTest::addColumn<QStringList>("white");
        QTest::newRow("customer") << "Text1" << "CariKartlar" << QStringList{"Text2", "Text3"};
        QTest::newRow("employee") << "Text2" << "Eleman" << QStringList{"Text1", "Text3"};
        // The barcode field's own change handling shows the keyboard once the field is emptied.
        QTest::newRow("barcode") << "StokText" << "StokKartlar" << QStringList{};
        QTest::newRow("dye") << "Text3" << "Boya" << QStringList{"Text1", "Text2", "Text4"};
        QTest::newRow("quantity") << "Text4" << "Miktar" << QStringList{"Text1", "Text2", "Text3"};
    }
    void takingTheKeyboard()
    {
        QFETCH(QString, field); QFETCH(QString, kind); QFETCH(QStringList, white);
        f->BoyaFrm->show();
        f->StokFrm->show();
        // Another field owned the keyboard and left text in the buffer; every field starts lit.
        SalonFixture::giveKeyboard(f, f->StokText);
        const QList<TextBox*> fields{f->Text1, f->Text2, f->Text3, f->Text4, f->StokText};
        for (TextBox* t : fields) Look::setBackColor(t, Look::LightCyan);
        fx->typeOnKeys(u"86"_s);

        TextBox* target = fieldNamed(f, field);
        SalonFixture::giveKeyboard(f, target);
        QCOMPARE(f->state.AktifAlan, kind);
        QCOMPARE(f->KlvTxt->text(), QString());
        QCOMPARE(target->text(), target == f->Text4 ? u"0"_s : QString());
        for (TextBox* t : fields) QCOMPARE(Look::backColor(t), white.contains(t->objectName()) ? Look::White : Look::LightCyan);
        QVERIFY(f->Frame2->isVisible());
        if (target == f->Text4) QCOMPARE(target->selectedText(), u"0"_s);

        Keyboard::releaseKeyboard(*f, target);
        QCOMPARE(f->state.AktifAlan, target == f->Text4 || target == f->StokText ? kind : QString());
        if (target == f->Text4) QVERIFY(!f->Frame2->isVisible());
    }

    // Each search typed on the keys ("\b" Geri Al) or a keyboard: proper case, either i a wildcard after the first letter.
    void search_data()
    {
        QTest::addColumn<QString>("field"); QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how"); // "keys", "capitals" (on the keys) or "keyboard"
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("source"); // empty: the search is not checked; "=": it is the one before
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("found"); // in the list the search opened; none when it opened none
        const QStringList ali{"ALI OKTAY", "ALİ VURAL"}; // the blank after the name matches too
        QTest::newRow("ı and i") << "Text1" << "alıi" << "keys" << "Alıi" << cariSearch("Al??*") << 2 << ali;
        QTest::newRow("capital I and İ") << "Text1" << "ALIİ" << "capitals" << "ALIİ" << cariSearch("AL??*") << 2 << ali;
        QTest::newRow("first İ kept, two words") << "Text1" << "ipek ş" << "keys" << "İpek Ş" << cariSearch("İpek Ş*") << 1 << QStringList{"İPEK ŞAHİN"};
        // No match closes the list and brings every customer (or employee) back behind it.
        QTest::newRow("customer no match") << "Text1" << "ayx" << "keys" << "Ayx" << "Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc" << 9 << QStringList{};
        QTest::newRow("employee") << "Text2" << "gü" << "keys" << "Gü" << "Select * From Eleman Where Eleman Like 'Gü*' Order By Eleman Asc" << 1
                                  << QStringList{"Gülay Kaya"};
        QTest::newRow("employee no match") << "Text2" << "sz" << "keys" << "Sz" << "Select * From Eleman Order By Eleman Asc" << 3 << QStringList{};
        QTest::newRow("stock") << "StokText" << "kes" << "keys" << "Kes" << "Select * From StokKartlar Where StokAdi Like 'Kes*' Order By StokAdi Asc" << 2 << QStringList{};
        // The dye field searches the dyes only; without a match it empties, and typing starts again.
        const QString dyes = u"Select * From StokKartlar Where Gurup='Boya' And StokAdi Like '%1' Order By StokAdi Asc"_s;
        QTest::newRow("dye without a match") << "Text3" << "küz" << "keys" << "" << dyes.arg("Küz*") << 0 << QStringList{};
        QTest::newRow("dye typed again") << "Text3" << "küzk" << "keys" << "K" << dyes.arg("K*") << 2 << QStringList{};
        // Not searched: a star alone, the quantity, a text emptied with Geri Al.
        QTest::newRow("star alone") << "Text1" << "*" << "keys" << "*" << "=" << 0 << QStringList{};
        QTest::newRow("quantity") << "Text4" << "23" << "keys" << "23" << "=" << 0 << QStringList{};
        QTest::newRow("emptied") << "Text1" << "a\b" << "keys" << "" << cariSearch("A*") << 5
                                 << QStringList{"ALI OKTAY", "ALİ VURAL", "ASLI TEKİN", "AYŞE YILMAZ", "AYŞEGÜL KAYA"};
        QTest::newRow("the field's limit wins") << "StokText" << "8690000000001234567890123" << "keyboard" << "86900000000012345678" << "" << 0 << QStringList{};
        QTest::newRow("proper case") << "Text1" << "ipek ırmak IŞIK İPEK çİĞDEM öZTÜRK" << "keyboard" << "İpek Irmak Işık İpek Çiğdem Öztürk" << "" << 0 << QStringList{};
        QTest::newRow("apostrophe") << "Text1" << "D'An" << "keyboard" << "D'an" << cariSearch("D''an*") << 1 << QStringList{"D'ANGELO MARCO"};
        QTest::newRow("star inside") << "Text1" << "a*z" << "keyboard" << "A*z" << cariSearch("A*z*") << 1 << QStringList{"AYŞE YILMAZ"};
    }
    void search()
    {
        QFETCH(QString, field); QFETCH(QString, typed); QFETCH(QString, how); QFETCH(QString, shown); QFETCH(QString, source); QFETCH(int, rows);
        QFETCH(QStringList, found);
        f->BoyaFrm->show();
        SalonFixture::giveKeyboard(f, f->StokText); // the quantity searches nothing in the source the field before it set
        SalonFixture::giveKeyboard(f, fieldNamed(f, field));
        if (how == u"capitals") fx->touchKey(47);
        TouchList* list = field == u"Text2" ? f->DBListe2 : f->DBListe1;
        if (source == u"=") {
            source = f->state.AktifData->recordSource();
            rows = f->state.AktifData->recordCount();
        }
        if (how == u"keyboard") {
            f->KlvTxt->setFocus();
            SalonFixture::typeOnKeyboard(f->KlvTxt, typed);
        } else {
            for (const QChar c : typed.chopped(1)) c == u'\b' ? fx->touchKey(33) : fx->typeOnKeys(c);
            // The last key reads its list once, also when the field turns its letter to a capital.
            QSignalSpy reads(list->listModel(), &QAbstractItemModel::modelReset);
            typed.back() == u'\b' ? fx->touchKey(33) : fx->typeOnKeys(typed.back());
            if (!found.isEmpty() && typed.back() != u'\b') QCOMPARE(reads.count(), 1);
        }
        QCOMPARE(f->KlvTxt->text(), shown);
        QCOMPARE(f->state.AktifText->text(), shown);
        QCOMPARE(list->isVisible(), !found.isEmpty());
        if (source.isEmpty()) return;
        QCOMPARE(f->state.AktifData->recordSource(), source);
        QCOMPARE(f->state.AktifData->recordCount(), rows);
        if (field == u"Text3") QCOMPARE(f->DBListe3->isEnabled(), rows > 0);
        if (field == u"Text3" && rows > 0) QCOMPARE(f->DBListe3->text(), u"Kestane Boya 6.3"_s);
        if (found.isEmpty()) return;
        QCOMPARE(listed(list), found);
        if (field == u"Text1") QCOMPARE(list->text(), found.first()); // typing never highlights in the employee list
    }

    // A scanner told from a person by the keys' own times, 5 ms apart unless the script says: "|" 60 ms before the next key,
    // "~" 100 ms, "^" a touch, "\r" Enter, "\n" LF (Ctrl+J). The outcome: what reached the desk, "=", what was scanned.
    // The limits are the settings BarkodAralik and ElleAralik, kept to what a scanner and a person can be.
    void scanReader_data()
    {
        QTest::addColumn<QStringList>("limits"); QTest::addColumn<QString>("script"); QTest::addColumn<QString>("outcome");
        const QStringList unset{"", ""};
        QTest::newRow("scan") << unset << "8697912359696\r" << "=8697912359696";
        QTest::newRow("CR LF ends it once") << unset << "4401\r\n" << "=4401";
        QTest::newRow("a person at 60 ms, limits no numbers") << QStringList{"hızlı", "nan"} << "|4|4|0|1|\r" << "4401\r=";
        QTest::newRow("a slow scanner, limits beyond") << QStringList{"1000", "-5"} << "|4|4|0|1\r" << "=4401";
        QTest::newRow("three are too few") << unset << "123\r" << "123\r=";
        QTest::newRow("Enter after a pause") << unset << "12345|\r" << "=12345";
        QTest::newRow("Enter late") << unset << "12345~\r" << "12345\r=";
        QTest::newRow("no Enter: typed after the wait") << unset << "12345" << "12345=";
        QTest::newRow("a person then a scanner") << unset << "ay|8690001\r" << "ay=8690001";
        QTest::newRow("a touch comes after the keys before it") << unset << "12^34" << "12^34=";
    }
    void scanReader()
    {
        QFETCH(QStringList, limits); QFETCH(QString, script);
        Settings::save(u"BarkodAralik"_s, limits[0]);
        Settings::save(u"ElleAralik"_s, limits[1]);
        QString delivered, scans;
        int releases = 0; // delivered, beside the presses
        const auto note = [&](QEvent* e) {
            if (e->type() == QEvent::KeyRelease) ++releases;
            else if (e->type() == QEvent::MouseButtonPress) delivered += u"^"_s;
            else delivered += static_cast<QKeyEvent*>(e)->key() == Qt::Key_J ? u"\n"_s : static_cast<QKeyEvent*>(e)->text();
        };
        ScanReader reader([&](QObject*, QEvent* e) { note(e); });
        reader.readLimits();
        connect(&reader, &ScanReader::scanned, this, [&](const QString& code) { scans += code; });
        QObject target;
        ulong t = 1000, gap = 5;
        for (const QChar c : script) {
            if (c == u'|' || c == u'~') {
                gap = c == u'|' ? 60 : 100;
                continue;
            }
            t += std::exchange(gap, 5);
            const Qt::Key key = c == u'\r' ? Qt::Key_Return : c == u'\n' ? Qt::Key_J : Qt::Key(c.toUpper().unicode());
            const Qt::KeyboardModifiers mods = c == u'\n' ? Qt::ControlModifier : Qt::NoModifier;
            QKeyEvent press(QEvent::KeyPress, key, mods, QString(c)), release(QEvent::KeyRelease, key, mods, QString(c));
            QMouseEvent touch(QEvent::MouseButtonPress, {}, {}, Qt::LeftButton, Qt::LeftButton, {});
            for (QInputEvent* e : c == u'^' ? QList<QInputEvent*>{&touch} : QList<QInputEvent*>{&press, &release}) {
                e->setTimestamp(t);
                if (!reader.offer(&target, e)) note(e);
            }
        }
        QTest::qWait(reader.personMs() + 40); // the last key of a person waits no longer, give or take a busy machine
        QFETCH(QString, outcome);
        QTRY_COMPARE(delivered + u'=' + scans, outcome);
        QCOMPARE(releases, int(delivered.size() - delivered.count(u'^')));
    }

};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
