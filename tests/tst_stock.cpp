// The stock frame: scans as a scanner sends them (a burst of key events queued behind each Enter, with
// every kind of end key), the lookup over all cards, and assigning a card to a service button.
#include "desk.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QApplication>

using namespace Qt::StringLiterals;

namespace {

// A scanner's burst: one key every millisecond to whatever has the focus, whether or not the desk is
// still busy with the key before, as keys arrive from the device. end: "CR", "keypad", "CRLF" or "LF" (Ctrl+J).
void scan(const QStringList& codes, const QString& end)
{
    struct Key { int key; QString text; Qt::KeyboardModifiers mods; };
    QList<Key> keys;
    for (const QString& code : codes) {
        for (const QChar ch : code) keys.append({ch.isLetterOrNumber() ? QString(ch).toUpper().at(0).unicode() : ch.unicode(), QString(ch), {}});
        if (end != u"LF") keys.append({end == u"keypad" ? Qt::Key_Enter : Qt::Key_Return, u"\r"_s, end == u"keypad" ? Qt::KeypadModifier : Qt::NoModifier});
        if (end.endsWith(u"LF")) keys.append({Qt::Key_J, u"\n"_s, Qt::ControlModifier});
    }
    int sent = 0;
    for (int i = 0; i < keys.size(); ++i)
        QTimer::singleShot(i, qApp, [k = keys[i], &sent] {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent e(type, k.key, k.mods, k.text);
                QCoreApplication::sendEvent(QApplication::focusWidget(), &e);
            }
            ++sent;
        });
    QVERIFY(QTest::qWaitFor([&] { return sent == keys.size(); }, 5000));
}

} // namespace

class TestStock : public QObject
{
    Q_OBJECT

private slots:
    void scans_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("shown"); // StokText after the burst; the card current unless not found
        const QString none = u"Stok Bulunamadı..?"_s;
        QTest::newRow("barcode, Return") << QStringList{u"8690500"_s} << "CR" << u"Şampuan 400 ml"_s;
        QTest::newRow("barcode, keypad Enter") << QStringList{u"8690500"_s} << "keypad" << u"Şampuan 400 ml"_s;
        QTest::newRow("barcode, CR LF") << QStringList{u"8690001"_s} << "CRLF" << u"Fön"_s;
        QTest::newRow("barcode, LF") << QStringList{u"8690001"_s} << "LF" << u"Fön"_s;
        QTest::newRow("name") << QStringList{u"Kadın'a Bakım"_s} << "CR" << u"Kadın'a Bakım"_s;
        QTest::newRow("hidden card") << QStringList{u"8690777"_s} << "CR" << u"Gizli Serum"_s;
        QTest::newRow("nothing") << QStringList{u"4711"_s} << "CRLF" << none;
        QTest::newRow("empty") << QStringList{QString()} << "CR" << none;
        QTest::newRow("nothing, then a second scan") << QStringList{u"4711"_s, u"8690901"_s} << "CRLF" << u"D'Or Boya 5.1"_s;
        QTest::newRow("two scans") << QStringList{u"8690500"_s, u"8690002"_s} << "CR" << u"Saç Kesim"_s;
    }
    void scans()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, end);
        QFETCH(QString, shown);
        Desk d;
        QVERIFY(d.open());
        QVERIFY(d.select(Desk::Ayse, Desk::Gulay));
        d.touch(Desk::Fon);
        d.touch(Desk::Stoklar);
        QCOMPARE(d.f->StokText->text(), u"BARKOD OKUTUN"_s);
        QVERIFY(d.f->DBListe4->hasFocus());
        // Entering the field: the offered cards (no hidden one), the keyboard, the marked button.
        SalonFixture::touch(d.f->StokText);
        QCOMPARE(d.f->StokText->text(), QString());
        QVERIFY(d.f->Frame2->isVisible());
        QCOMPARE(d.f->state.AktifText, d.f->StokText);
        QCOMPARE(d.f->state.AktifAlan, u"StokKartlar"_s);
        QCOMPARE(d.f->DataStok->recordCount(), 6);
        QCOMPARE(d.colour(Desk::Stoklar), Look::Yellow);
        QCOMPARE(Look::backColor(d.f->StokText), Look::LightCyan);

        d.f->Text4->setText(u"2"_s);
        scan(codes, end);
        QCOMPARE(d.f->StokText->text(), shown);
        QCOMPARE(d.f->StokText->selectedText(), shown); // the next scan replaces it
        const bool found = shown != u"Stok Bulunamadı..?";
        if (found) QCOMPARE(d.f->DataStok->field(1).toString(), shown);
        if (found) QCOMPARE(d.f->DBListe4->text(), shown);
        QCOMPARE(d.fx.beeps, 0);
        // "ÜRÜN İŞLE" writes the scanned card with the quantity standing in Text4; after a failed
        // scan it writes nothing, not the card that happened to be current.
        d.touch(Desk::UrunIsle);
        const QList<QVariantMap> lines = d.lines();
        QCOMPARE(lines.size(), found ? 1 : 0);
        QCOMPARE(d.fx.beeps, found ? 0 : 1);
        if (found) QCOMPARE(lines[0][u"Islem"_s].toString(), shown);
        if (found) QCOMPARE(lines[0][u"Miktar"_s].toDouble(), 2.0);
    }

    // A pick in the stock list assigns the card to the button touched last, if it is a service button;
    // "SİL" with the frame open clears that button.
    void buttonAssignment_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("sil");
        QTest::addColumn<QString>("caption"); // of the button afterwards
        QTest::newRow("empty service button") << int(Desk::Empty) << false << u"D'Or Boya 5.1"_s;
        QTest::newRow("named service button") << int(Desk::SacKesim) << false << u"D'Or Boya 5.1"_s;
        QTest::newRow("after BOYA") << int(Desk::Boya) << false << u"BOYA"_s;
        QTest::newRow("after STOKLAR") << int(Desk::Stoklar) << false << u"STOKLAR"_s;
        QTest::newRow("SİL after a service button") << int(Desk::SacKesim) << true << QString();
        QTest::newRow("SİL after STOKLAR") << int(Desk::Stoklar) << true << u"STOKLAR"_s;
    }
    void buttonAssignment()
    {
        QFETCH(int, button);
        QFETCH(bool, sil);
        QFETCH(QString, caption);
        Desk d;
        QVERIFY(d.open());
        d.touch(Desk::Stoklar);
        if (button != Desk::Stoklar) d.touch(button);
        QVERIFY(d.f->StokFrm->isVisible());
        QCOMPARE(d.f->state.SeciliButon, float(button));
        if (sil) d.touch(Desk::Sil);
        else QVERIFY(d.fx.tapListEntry(d.f->DBListe4, u"D'Or Boya 5.1"_s)); // in the dye list after BOYA too
        QCOMPARE(d.f->Command1[button]->text(), caption);
        const QString key = u"Buton%1"_s.arg(button);
        if (button >= 1 && button <= 26) QCOMPARE(Settings::get(key, u"x"_s), caption);
        else QVERIFY(!Settings::contains(Settings::appName(), u"Salonya"_s, key));
        if (!sil) QVERIFY(d.f->KlvTxt->hasFocus());
        QCOMPARE(d.fx.beeps, 0);
        const int marked = int(d.f->state.SeciliButon);
        d.touch(Desk::Stoklar); // closes the frame and un-marks the button
        QVERIFY(!d.f->StokFrm->isVisible());
        QCOMPARE(d.colour(marked), d.normal());
        // The next start shows the assignment.
        d.fx.stop();
        QVERIFY((d.f = d.fx.start()));
        QCOMPARE(d.f->Command1[button]->text(), caption);
    }
};

QTEST_MAIN(TestStock)
#include "tst_stock.moc"
