// The customer and employee fields: their lists, choosing by list, card or Enter, new cards, the photo, the sources.
#include "otherdesk.h"
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QDate>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {

const QString kAyse = u"AYŞE YILMAZ"_s;
const QString kNazli = u"NAZLI D'ANGELO"_s;
const QString kNur = u"Nur D'Souza"_s;

QList<Row> salonCards()
{
    return {card(u"M1"_s, kAyse, u"Müşteri"_s, u"4400"_s), card(u"M2"_s, kNazli, u"Müşteri"_s, u"4401"_s),
            card(u"M3"_s, u"ALİ VURAL"_s, u"Müşteri"_s, u"4402"_s), card(u"M4"_s, u"ALTAN KOÇ"_s),
            card(u"E1"_s, u"Gülay Kaya"_s, u"Eleman"_s), card(u"E2"_s, kNur, u"Eleman"_s)};
}

QString today() { return Startup::dateCriterion(QDate::currentDate()); }
QString q(QString s) { return u'\'' + s.replace(u'\'', u"''"_s) + u'\''; }

} // namespace

class TestCustomers : public QObject
{
    Q_OBJECT

    // A salon with the cards above and the counter as given (the start puts 0 into an empty table).
    static Salonya* open(SalonFixture& fx, const QString& counterSql = {}, const QList<Row>& cards = salonCards())
    {
        if (!writeCards(fx.cardFile(), cards)) return nullptr;
        if (!counterSql.isEmpty() && !fx.execOwn(u"Cari.Mdb"_s, u"DELETE FROM RecNo; INSERT INTO RecNo VALUES (%1)"_s.arg(counterSql)))
            return nullptr;
        return fx.start();
    }

    static bool chooseCustomer(SalonFixture& fx, const QString& title)
    {
        SalonFixture::touch(fx.form()->Text1);
        return fx.tapListEntry(fx.form()->DBListe1, title);
    }

    static int cari(const SalonFixture& fx, const QString& sql = u"SELECT count(*) FROM CariKartlar"_s) { return count(fx.ownFile(u"Cari.Mdb"_s), sql); }

private slots:
    // Entering each field; an activation or a pop-up closing is no touch on it; a hidden list hands the focus on.
    void enteringTheFields()
    {
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        // Without a customer the customer field takes the touch.
        SalonFixture::touch(f->Text2);
        QCOMPARE(QApplication::focusWidget(), f->Text1);
        QCOMPARE(f->Text1->text(), QString());
        QCOMPARE(f->state.AktifAlan, u"CariKartlar"_s); // the rest of the keyboard contract is tst_keyboard's
        QCOMPARE(f->DataGecmis->recordSource(), u"Select * From Salonya Where Cari='0'"_s);
        QVERIFY(!f->Frame1->isEnabled());
        // Left empty, a field shows its placeholder.
        SalonFixture::touch(f->DBGridIslem);
        QCOMPARE(f->Text1->text(), u"MÜŞTERİ"_s);
        QCOMPARE(f->state.AktifAlan, QString());

        // Typed on a physical keyboard into the field itself ("\b" is Backspace): its own search.
        const auto typeIntoTheField = [f](const QString& typed) {
            SalonFixture::touch(f->DBGridIslem);
            SalonFixture::touch(f->Text1);
            for (const QChar c : typed) {
                if (c == u'\b') QTest::keyClick(f->Text1, Qt::Key_Backspace);
                else SalonFixture::typeOnKeyboard(f->Text1, c);
            }
            return f->DataCari->recordSource();
        };
        const QString every = u"Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan ASC"_s;
        QCOMPARE(typeIntoTheField(u"nazlı d'"_s), u"Select * From CariKartlar Where Unvan Like 'nazl? d''*' And Gurup='Müşteri' Order By Unvan Asc"_s);
        QVERIFY(f->DBListe1->isVisible() && f->Frame2->isVisible());
        QCOMPARE(f->DBListe1->text(), kNazli);
        // An emptied field selects nobody: ALTAN KOÇ's card has no number.
        QCOMPARE(typeIntoTheField(u"a\b"_s), every);
        QVERIFY(!f->DBListe1->isVisible() && !f->Frame2->isVisible());
        QCOMPARE(f->DBListe1->text(), QString());
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(QApplication::focusWidget(), f->Text1);

        SalonFixture::touch(f->Text1);
        fx.typeOnKeys(u"ay"_s);
        for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason})
            for (QWidget* w : {static_cast<QWidget*>(f->Text1), static_cast<QWidget*>(f->DBListe1)}) {
                QFocusEvent out(QEvent::FocusOut, reason), in(QEvent::FocusIn, reason);
                QApplication::sendEvent(w, &out);
                QApplication::sendEvent(w, &in);
            }
        QVERIFY(f->DBListe1->isVisible());
        fx.typeOnKeys(u"ş"_s);
        QCOMPARE(f->Text1->text(), u"Ayş"_s);
        QCOMPARE(f->DBListe1->text(), kAyse);
        f->DBListe1->setFocus(Qt::MouseFocusReason);
        f->DBListe1->hide();
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        QVERIFY(chooseCustomer(fx, kAyse));
        // The window active again hands the focus to the customer field: it keeps its customer until touched.
        QApplication::focusWidget()->clearFocus();
        f->Text1->setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(f->Text1->hasFocus());
        QCOMPARE(f->Text1->text(), kAyse);
        QVERIFY(!f->DBListe1->isVisible() && f->state.AktifAlan.isEmpty());
        SalonFixture::touch(f->Text1);
        QCOMPARE(f->state.AktifAlan, u"CariKartlar"_s);
        QVERIFY(chooseCustomer(fx, kAyse));

        SalonFixture::touch(f->Text2);
        QCOMPARE(QApplication::focusWidget(), f->Text2);
        QCOMPARE(f->Text2->text(), QString());
        // Emptying the field shows today's lines of the customer titled as in the customer field.
        QCOMPARE(f->DataSalonya->recordSource(), u"Select * From Salonya Where "_s + today() + u" And Unvan='AYŞE YILMAZ'"_s);
        SalonFixture::touch(f->DBGridIslem);
        QCOMPARE(f->Text2->text(), u"ELEMAN"_s);
    }

    // A card read and a touch on "BOYA" while start-up works never run, lest the card import miss cards.
    void inputBeforeReadyIsDropped()
    {
        SalonFixture fx;
        QVERIFY(writeCards(fx.cardFile(), salonCards()));
        Salonya* f = fx.start([](Salonya* form) {
            // Start-up's refreshes let queued events run; after the last one they wait for the ready state.
            auto posts = std::make_shared<int>(0);
            QObject::connect(form->startup(), &Startup::ready, form, [posts] { *posts = 99; });
            const auto post = [form, posts] {
                if (++*posts > 3) return;
                for (const QChar c : u"4401\r"_s)
                    for (auto type : {QEvent::KeyPress, QEvent::KeyRelease})
                        QCoreApplication::postEvent(form->Text1, new QKeyEvent(type, c == u'\r' ? Qt::Key_Return : Qt::Key(c.unicode()), Qt::NoModifier, QString(c)));
                QPushButton* boya = form->Command1[0];
                const QPointF at = boya->rect().center();
                for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    QCoreApplication::postEvent(boya, new QMouseEvent(type, at, boya->mapToGlobal(at), Qt::LeftButton,
                                                                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {}));
            };
            QObject::connect(form->DataCari, &DataSource::requeried, form, post);
            QObject::connect(form->DataSalonya, &DataSource::requeried, form, post);
        });
        QVERIFY(f);
        QCoreApplication::processEvents();
        QCOMPARE(cari(fx), salonCards().size());
        QCOMPARE(f->Text1->text(), u"MÜŞTERİ"_s);
        QVERIFY(!f->BoyaFrm->isVisible());
        fx.stop();
        QVERIFY(fx.start());
        QCOMPARE(cari(fx), salonCards().size());
    }

    // Chosen by a tap or a loyalty card, with the photo; the employee then chosen narrows the open lines.
    void choosingACustomer_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("cardNo"); // read instead of a tap
        QTest::addColumn<QString>("photo");  // a bitmap under a .Jpg name, relative to the program folder
        QTest::addColumn<bool>("shown");
        QTest::newRow("tap, photo name in other case") << "M2" << "" << "resimm2.JPG" << true;
        QTest::newRow("loyalty card") << "M2" << "4401" << "ResimM2.Jpg" << true;
        QTest::newRow("photo of a code reaching outside") << "/../../gizli" << "" << "../gizli.jpg" << false;
    }
    void choosingACustomer()
    {
        QFETCH(QString, code); QFETCH(QString, cardNo); QFETCH(QString, photo); QFETCH(bool, shown);
        SalonFixture fx;
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(fx.programDir() + u'/' + photo, "BMP"));
        QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, u"INSERT INTO Salonya (Islem, Cari, Tarih, Eleman, Yeni) VALUES ('Saç', %1, '%2', 'ELEMAN', 1),"
                                             "('Fön', %1, '%2', %3, 1), ('Kesim', %1, '%2', %3, 0), ('Boya', %1, '%2', 'Başkası', 1), "
                                             "('Maşa', %1, '2020-01-02', %3, 1)"_s.arg(q(code), QDate::currentDate().toString(Qt::ISODate), q(kNur))));
        const QString title = code == u"M2" ? kNazli : u"UZAK KOD"_s;
        Salonya* f = open(fx, {}, salonCards() << card(u"/../../gizli"_s, u"UZAK KOD"_s));
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        Program::ResimCekildi = true; // a photo taken for the customer before is not this one's
        if (cardNo.isEmpty()) {
            QVERIFY(fx.tapListEntry(f->DBListe1, title));
            QVERIFY(!Program::ResimCekildi);
        } else {
            SalonFixture::typeOnKeyboard(f->Text1, cardNo); // a card reader types like a keyboard
        }

        QCOMPARE(f->Text1->text(), title);
        QCOMPARE(f->state.SeciliCari, cardNo.isEmpty() ? code : QString()); // only a pick from the list sets it
        QVERIFY(!f->DBListe1->isVisible() && !f->Frame2->isVisible());
        QCOMPARE(Look::backColor(f->Text1), Look::White);
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        QCOMPARE(f->DataSalonya->recordSource(), u"Select * From Salonya Where "_s + today() + u" And Cari="_s + q(code));
        QCOMPARE(f->DataGecmis->recordSource(), u"Select * From Salonya Where Cari="_s + q(code) + u" Order By Islem ASC"_s);
        QCOMPARE(f->Picture1->hasPicture(), shown); // what it shows is tst_camera's
        if (!cardNo.isEmpty() || !shown) return;
        QVERIFY(f->Frame1->isEnabled());
        // Open lines with the employee in the field ("ELEMAN" while none is chosen) make the ticket sendable.
        QVERIFY(f->KasaCmd->isEnabled());

        SalonFixture::touch(f->Text2);
        QVERIFY(fx.tapListEntry(f->DBListe2, kNur));
        QCOMPARE(f->DataSalonya->recordSource(), u"Select * From Salonya Where "_s + today() + u" And Cari='M2' And Eleman="_s + q(kNur) + u" And Yeni=1"_s);
        QCOMPARE(f->DataSalonya->recordCount(), 1);
        QCOMPARE(Look::backColor(f->Text2), Look::White); // the field and the lists hidden as tst_visit sees them
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        // The employee stays; another customer without lines with them cannot be sent, and her photo went.
        QVERIFY(chooseCustomer(fx, kAyse));
        QCOMPARE(f->Text2->text(), kNur);
        QVERIFY(!f->KasaCmd->isEnabled());
        QVERIFY(!f->Picture1->hasPicture());
        QVERIFY(chooseCustomer(fx, kNazli));
        QVERIFY(f->KasaCmd->isEnabled());
    }

    // Enter: a known title selects it, a new one gets a card with the shared counter's next free code, or nothing on a failed save.
    void enterOnTheField_data()
    {
        QTest::addColumn<bool>("employee"); QTest::addColumn<QString>("counterSql"); QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how"); // "keys", "keyboard" or "scan"
        QTest::addColumn<QString>("shown");   // the current card's title (and the field's, but for a customer found); empty: not checked
        QTest::addColumn<QString>("newCode"); // of the card created; empty when none is
        QTest::addColumn<qlonglong>("stored");
        // A table that cannot be written (the card written before must go as well), or "desk": on a salon server another
        // desk takes the next free code at the same moment ("cut desk": after the desk's connection was cut).
        QTest::addColumn<QString>("trouble");
        const QString typed = u"yeni müşteri"_s;
        const QString title = u"Yeni Müşteri"_s; // capitals off: proper case
        QTest::newRow("known title on the keys") << false << "1005" << "ayşe yılmaz" << "keys" << kAyse << "" << 1005LL << "";
        QTest::newRow("known apostrophe title on a keyboard") << false << "1005" << kNazli << "keyboard" << kNazli << "" << 1005LL << "";
        QTest::newRow("empty field") << false << "" << "" << "keys" << "" << "" << 0LL << "";
        QTest::newRow("counter not a number") << false << "'on beş'" << typed << "keys" << title << "Cr-1002" << 1002LL << "";
        QTest::newRow("new apostrophe title on a keyboard") << false << "7" << "DEFNE O'NEIL" << "keyboard" << "DEFNE O'NEIL" << "Cr-8" << 8LL << "";
        // A scanned number no card has is refused in the field; Enter on the refusal makes no card either.
        QTest::newRow("unknown card scanned") << false << "1005" << "5550001112" << "scan" << "" << "" << 1005LL << "";
        QTest::newRow("failed save keeps nothing") << false << "" << "yarım kart" << "keys" << "" << "" << 0LL << "RecNo";
        QTest::newRow("known employee") << true << "1005" << kNur << "keyboard" << kNur << "" << 1005LL << "";
        QTest::newRow("new employee on the keys") << true << "0" << "yeni eleman" << "keys" << "Yeni Eleman" << "Cr-1" << 1LL << "";
        QTest::newRow("new employee, next code taken") << true << "1005" << "Şule O'Neil" << "keyboard" << "Şule O'Neil" << "Cr-1007" << 1007LL << "";
        QTest::newRow("employee save fails") << true << "1005" << "Yarım Kayıt" << "keyboard" << "" << "" << 1005LL << "Eleman";
        QTest::newRow("two desks, one code") << false << "1005" << typed << "keys" << title << "Cr-1008" << 1008LL << "desk";
        QTest::newRow("two desks after a cut line") << true << "1005" << "Şule O'Neil" << "keyboard" << "Şule O'Neil" << "Cr-1008" << 1008LL << "cut desk";
    }
    void enterOnTheField()
    {
        QFETCH(bool, employee); QFETCH(QString, counterSql); QFETCH(QString, typed); QFETCH(QString, how); QFETCH(QString, shown);
        QFETCH(QString, newCode); QFETCH(qlonglong, stored); QFETCH(QString, trouble);
        const bool desk = trouble.endsWith(u"desk"_s);
        OtherDesk other(u"Cari.Mdb"_s);
        if (desk && !other.ok()) QSKIP("only desks sharing a salon server take codes at the same moment");
        const QString locked = desk ? QString() : trouble;
        SalonFixture fx;
        // A card already holds a code the counter would give next.
        Salonya* f = open(fx, counterSql, salonCards() << card(u"Cr-1006"_s, u"ESKİ KART"_s));
        QVERIFY(f);
        if (!locked.isEmpty()) {
            const QString when = employee ? u"INSERT"_s : u"UPDATE"_s;
            QVERIFY(other.ok() ? other.exec(u"CREATE FUNCTION kilit() RETURNS trigger AS $$BEGIN RAISE EXCEPTION 'kilitli'; END$$ LANGUAGE plpgsql;"
                                            " CREATE TRIGGER kilit BEFORE %1 ON %2 FOR EACH ROW EXECUTE FUNCTION kilit()"_s.arg(when, locked))
                               : fx.execOwn(u"Cari.Mdb"_s, u"CREATE TRIGGER kilit BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'kilitli'); END"_s.arg(when, locked)));
        }
        if (employee) QVERIFY(chooseCustomer(fx, kAyse));
        if (trouble == u"cut desk"_s) {
            QVERIFY(other.cutOthers());
            QVERIFY(!f->DataCari->database()->exec(u"SELECT 1"_s, nullptr)); // the desk finds the line cut
        }
        // The other desk, one step ahead, writes its card while the desk looks for a free code.
        if (desk)
            QVERIFY(other.lockThenWrite(7203, u"INSERT INTO CariKartlar (CariKod, Unvan, Gurup, Yeni) VALUES ('Cr-1007', 'ÖBÜR MASA', 'Müşteri', 1)"_s));
        TextBox* field = employee ? f->Text2 : f->Text1;
        SalonFixture::touch(field);
        if (how == u"keys") {
            fx.typeOnKeys(typed);
            fx.touchKey(48);
            QCoreApplication::processEvents(); // the key sends Enter once its touch is handled
        } else if (how == u"scan") {
            for (const char c : typed.toLatin1()) QTest::keyClick(f->windowHandle(), c); // a burst, as the screen gets it
            QTest::keyClick(f->windowHandle(), Qt::Key_Return);
            QCOMPARE(field->text(), u"Kart bulunamadı"_s);
            QCOMPARE(fx.beeps, 1);
            QTest::keyClick(field, Qt::Key_Return);
        } else {
            SalonFixture::typeOnKeyboard(field, typed);
            QTest::keyClick(field, Qt::Key_Return);
        }

        other.commit();
        const bool created = !newCode.isEmpty();
        QCOMPARE(cari(fx), salonCards().size() + 1 + created + desk);
        QCOMPARE(cari(fx, u"SELECT count(*) FROM Eleman"_s), 2 + (employee && created));
        QCOMPARE(fx.ownValue(u"Cari.Mdb"_s, u"SELECT SonNo FROM RecNo"_s).toLongLong(), stored);
        QVERIFY(!f->Frame2->isVisible());
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(fx.messages.size(), int(!locked.isEmpty()));
        if (!locked.isEmpty()) QVERIFY(fx.messages.first().contains(u"kaydedilemedi"_s));
        if (created)
            QCOMPARE(fx.ownValue(u"Cari.Mdb"_s, u"SELECT Unvan || '|' || Gurup || '|' || Yeni FROM CariKartlar WHERE CariKod="_s + q(newCode)).toString(),
                     shown + (employee ? u"|Eleman|1"_s : u"|Müşteri|1"_s));
        if (employee) {
            // The customer chosen before is current again.
            QCOMPARE(f->DataCari->recordSource(), u"Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc"_s);
            QCOMPARE(f->DataCari->field(0).toString(), u"M1"_s);
        }
        if (shown.isEmpty()) return;
        if (created || employee) QCOMPARE(field->text(), shown);
        if (!employee) QCOMPARE(f->DataCari->field(1).toString(), shown);
        if (employee && created) QCOMPARE(f->DataEleman->field(0).toString(), shown);
        QVERIFY(!f->DBListe1->isVisible() && !f->DBListe2->isVisible());
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
    }
};

QTEST_MAIN(TestCustomers)
#include "tst_customers.moc"
