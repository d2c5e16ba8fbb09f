// The on-screen keyboard driven by touch: key roles in text and quantity mode with their beeps, the
// capitals switch and its persistence, the hover highlight, ENTER, and taking the keyboard.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "input/capsonoff.h"
#include "input/keyboard.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

using namespace AccountingFiles;

namespace {

Salonya* startSalon(SalonFixture& fx)
{
    if (!writeCards(fx.cardFile(), {card(QStringLiteral("M1"), QStringLiteral("AYŞE YILMAZ")),
                                    card(QStringLiteral("M2"), QStringLiteral("ALİ VURAL")),
                                    card(QStringLiteral("E1"), QStringLiteral("Gülay Kaya"), QStringLiteral("Eleman"))}))
        return nullptr;
    if (!writeStock(fx.stockFile(), {stock(QStringLiteral("S1"), QStringLiteral("Kestane Boya"), {}, 50, QStringLiteral("Boya"))}))
        return nullptr;
    return fx.start();
}

// Captions of the capitals switch and of keys a, ş, ı and i.
QStringList captions(Salonya* f)
{
    QStringList out;
    for (int k : {47, 0, 22, 10, 11}) out << f->key(k)->text();
    return out;
}

TextBox* fieldNamed(Salonya* f, const QString& name) { return f->findChild<TextBox*>(name); }

// A point of w that no child covers, so the pointer is over w itself.
QPoint bareSpotOf(QWidget* w)
{
    for (int y = 2; y < w->height(); y += 4)
        for (int x = 2; x < w->width(); x += 4)
            if (!w->childAt(x, y)) return {x, y};
    return {};
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { CapsOnOff::SetCapsLock(false); }

    void keyRoles_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<int>("beeps");

        // Text mode (capitals off: the letter keys read a, l, i and the search capitalises words).
        QTest::newRow("letters") << "Text1" << QList<int>{0, 14, 11} << "Ali" << "Ali" << 0;
        QTest::newRow("dotless i") << "Text1" << QList<int>{0, 14, 10} << "Alı" << "Alı" << 0;
        QTest::newRow("blank starts a word") << "Text1" << QList<int>{0, 34, 14} << "A L" << "A L" << 0;
        QTest::newRow("digits and star") << "Text1" << QList<int>{44, 35, 45} << "10*" << "10*" << 0;
        QTest::newRow("Geri Al on empty buffer changes nothing") << "Text1" << QList<int>{33} << "" << "MÜŞTERİ" << 0;
        QTest::newRow("Geri Al drops the last character") << "Text1" << QList<int>{0, 14, 33} << "A" << "A" << 0;
        QTest::newRow("Sil empties buffer and field") << "Text1" << QList<int>{0, 14, 46} << "" << "" << 0;
        QTest::newRow("text field full beeps, never overflows")
            << "StokText" << QList<int>(21, 44) << QString(20, u'1') << QString(20, u'1') << 2;
        // Quantity mode.
        QTest::newRow("quantity digits") << "Text4" << QList<int>{44, 43} << "12" << "12" << 0;
        QTest::newRow("quantity six digits: fifth and sixth beep")
            << "Text4" << QList<int>{44, 43, 42, 41, 40, 39} << "12345" << "12345" << 2;
        QTest::newRow("quantity refuses a letter") << "Text4" << QList<int>{0} << "" << "0" << 1;
        QTest::newRow("quantity refuses Geri Al, blank, ab, ENTER") << "Text4" << QList<int>{44, 33, 34, 47, 48} << "1" << "1" << 4;
        QTest::newRow("quantity Sil shows 0") << "Text4" << QList<int>{44, 43, 46} << "" << "0" << 0;
        QTest::newRow("quantity star") << "Text4" << QList<int>{45} << "*" << "*" << 0;
    }
    void keyRoles()
    {
        QFETCH(QString, field);
        QFETCH(QList<int>, keys);
        QFETCH(QString, buffer);
        QFETCH(QString, fieldText);
        QFETCH(int, beeps);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        TextBox* target = fieldNamed(f, field);
        QVERIFY(target);
        SalonFixture::giveKeyboard(f, target);
        const bool caps = f->state.CapsDurum;
        fx.beeps = 0;
        for (int k : keys) fx.touchKey(k);
        QCOMPARE(f->KlvTxt->text(), buffer);
        QCOMPARE(target->text(), fieldText);
        QCOMPARE(fx.beeps, beeps);
        QCOMPARE(f->state.CapsDurum, caps);
        QVERIFY(target->text().size() <= target->designMaxLength());
    }

    void letterKeysTypeNothingWithoutAnOwner()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        // After start-up Text1 is the target but white: nobody owns the keyboard.
        QCOMPARE(f->state.AktifText, f->Text1);
        fx.typeOnKeys(QStringLiteral("ay1"));
        QCOMPARE(f->KlvTxt->text(), QString());
        QCOMPARE(f->Text1->text(), QStringLiteral("MÜŞTERİ"));
        // The blank is not a letter: it is always appended.
        fx.touchKey(34);
        QCOMPARE(f->KlvTxt->text(), QStringLiteral(" "));
    }

    void physicalTypingKeepsTheFieldLimit()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        SalonFixture::giveKeyboard(f, f->StokText);
        f->KlvTxt->setFocus();
        SalonFixture::typeOnKeyboard(f->KlvTxt, QStringLiteral("8690000000001234567890123"));
        QCOMPARE(f->KlvTxt->text(), QStringLiteral("86900000000012345678"));
        QCOMPARE(f->StokText->text(), QStringLiteral("86900000000012345678"));
    }

    void capitalsSwitch()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        QCOMPARE(f->key(47)->text(), QStringLiteral("ab"));
        SalonFixture::giveKeyboard(f, f->Text1);
        const int sentBefore = CapsOnOff::sentKeyEvents();

        fx.touchKey(47);
        QVERIFY(f->state.CapsDurum);
        QVERIFY(CapsOnOff::CapsLockOn());
        QCOMPARE(CapsOnOff::sentKeyEvents() - sentBefore, 2);
        QCOMPARE(Settings::get(Settings::appName(), QStringLiteral("SizeKlv"), QStringLiteral("Caps")), QStringLiteral("True"));
        const QStringList upper{QStringLiteral("AB"), QStringLiteral("A"), QStringLiteral("Ş"), QStringLiteral("I"), QStringLiteral("İ")};
        QCOMPARE(captions(f), upper);
        // With capitals the text is typed as the keys read, without capitalising words.
        fx.touchKey(0);
        fx.touchKey(10);
        fx.touchKey(11);
        QCOMPARE(f->Text1->text(), QStringLiteral("AIİ"));

        fx.touchKey(47);
        QVERIFY(!f->state.CapsDurum);
        QVERIFY(!CapsOnOff::CapsLockOn());
        QCOMPARE(Settings::get(Settings::appName(), QStringLiteral("SizeKlv"), QStringLiteral("Caps")), QStringLiteral("False"));
        QCOMPARE(captions(f), (QStringList{QStringLiteral("ab"), QStringLiteral("a"), QStringLiteral("ş"), QStringLiteral("ı"), QStringLiteral("i")}));
        // The switch types nothing.
        QCOMPARE(f->KlvTxt->text(), QStringLiteral("AIİ"));

        // Capitals survive a restart.
        fx.touchKey(47);
        fx.stop();
        CapsOnOff::SetCapsLock(false);
        f = fx.start();
        QVERIFY(f);
        QVERIFY(f->state.CapsDurum);
        QVERIFY(CapsOnOff::CapsLockOn());
        QCOMPARE(captions(f), upper);
    }

    void hoverFollowsThePointer_data()
    {
        QTest::addColumn<QString>("leaveOver");
        for (const char* name : {"form", "ÜrünlerFrm", "BoyaFrm", "CariList", "DBGridIslem", "DBListe1", "DBListe2", "DBListe3"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void hoverFollowsThePointer()
    {
        QFETCH(QString, leaveOver);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        f->Frame2->show();
        TouchKey* a = f->key(0);
        TouchKey* s = f->key(21);
        QTest::mouseMove(a, a->rect().center());
        QCOMPARE(f->state.SonTus, 0);
        QCOMPARE(Look::backColor(a), Look::Yellow);
        QTest::mouseMove(s, s->rect().center());
        QCOMPARE(f->state.SonTus, 21);
        QCOMPARE(Look::backColor(a), Look::Cyan);
        QCOMPARE(Look::backColor(s), Look::Yellow);

        // The pointer leaves the keyboard over another control: the highlight goes out.
        f->Frame2->hide();
        QWidget* w = leaveOver == u"form" ? f : f->findChild<QWidget*>(leaveOver);
        QVERIFY(w);
        for (QWidget* p = w; p && p != f; p = p->parentWidget()) {
            p->setEnabled(true);
            p->show();
            p->raise();
        }
        if (auto* view = qobject_cast<QAbstractScrollArea*>(w)) w = view->viewport();
        const QPoint spot = bareSpotOf(w);
        QVERIFY(!spot.isNull());
        QTest::mouseMove(w, spot);
        QCOMPARE(Look::backColor(s), Look::Cyan);
        QCOMPARE(f->state.SonTus, 21);
    }

    void enterRunsTheFieldsOwnHandling()
    {
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        SalonFixture::giveKeyboard(f, f->Text1);
        f->KlvTxt->setFocus();
        // Watched before any handler runs: the field's own Enter handling may move the focus on.
        struct EnterWatch : QObject {
            QWidget* focusedAtEnter = nullptr;
            int enters = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return) {
                    ++enters;
                    focusedAtEnter = QApplication::focusWidget();
                }
                return false;
            }
        } watch;
        f->Text1->installEventFilter(&watch);
        QSignalSpy released(f->Text1, &TextBox::keyUp);
        fx.typeOnKeys(QStringLiteral("ay"));
        fx.touchKey(48);
        QTRY_COMPARE(watch.enters, 1);
        QCOMPARE(watch.focusedAtEnter, f->Text1);
        QTRY_COMPARE(released.count(), 1);
        QCOMPARE(released.first().first().toInt(), int(Qt::Key_Return));
    }

    void takingTheKeyboard_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QStringList>("white");
        QTest::addColumn<bool>("keyboardShown");
        QTest::addColumn<QString>("fieldText");
        QTest::newRow("customer") << "Text1" << "CariKartlar" << "DataCari" << QStringList{"Text2", "Text3"} << true << "";
        QTest::newRow("employee") << "Text2" << "Eleman" << "DataEleman" << QStringList{"Text1", "Text3"} << true << "";
        // The barcode field's own change handling shows the keyboard once the field is emptied.
        QTest::newRow("barcode") << "StokText" << "StokKartlar" << "DataStok" << QStringList{} << true << "";
        QTest::newRow("dye") << "Text3" << "Boya" << "DataStok" << QStringList{"Text1", "Text2", "Text4"} << false << "";
        // The quantity field keeps the data source the previous field set.
        QTest::newRow("quantity") << "Text4" << "Miktar" << "DataStok" << QStringList{"Text1", "Text2", "Text3"} << true << "0";
    }
    void takingTheKeyboard()
    {
        QFETCH(QString, field);
        QFETCH(QString, kind);
        QFETCH(QString, data);
        QFETCH(QStringList, white);
        QFETCH(bool, keyboardShown);
        QFETCH(QString, fieldText);
        SalonFixture fx;
        Salonya* f = startSalon(fx);
        QVERIFY(f);
        f->BoyaFrm->show();
        f->StokFrm->show();
        // Another field owned the keyboard and left text in the buffer; every field starts lit.
        SalonFixture::giveKeyboard(f, f->StokText);
        for (TextBox* t : {f->Text1, f->Text2, f->Text3, f->Text4, f->StokText}) Look::setBackColor(t, Look::LightCyan);
        fx.typeOnKeys(QStringLiteral("86"));
        QCOMPARE(f->KlvTxt->text(), QStringLiteral("86"));

        TextBox* target = fieldNamed(f, field);
        SalonFixture::giveKeyboard(f, target);
        QCOMPARE(f->state.AktifText, target);
        QCOMPARE(f->state.AktifAlan, kind);
        QCOMPARE(f->state.AktifData->objectName(), data);
        QCOMPARE(f->KlvTxt->text(), QString());
        QCOMPARE(target->text(), fieldText);
        QCOMPARE(Look::backColor(target), Look::LightCyan);
        for (TextBox* t : {f->Text1, f->Text2, f->Text3, f->Text4, f->StokText}) {
            if (t == target) continue;
            QCOMPARE(Look::backColor(t), white.contains(t->objectName()) ? Look::White : Look::LightCyan);
        }
        QCOMPARE(f->Frame2->isVisible(), keyboardShown);
        if (target == f->Text4) QCOMPARE(target->selectedText(), QStringLiteral("0"));

        // Leaving the field.
        Keyboard::releaseKeyboard(*f, target);
        QCOMPARE(f->state.AktifText, target);
        QCOMPARE(f->state.AktifAlan, target == f->Text4 || target == f->StokText ? kind : QString());
        if (target == f->Text4) QVERIFY(!f->Frame2->isVisible());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
