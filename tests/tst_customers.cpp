// The customer field as the desk uses it: opening the list, choosing by list, by loyalty card and by
// Enter, creating cards with the shared counter, the photo, and the sources that follow the customer.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/recordmodels.h"
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

namespace {

const QString kAyse = QStringLiteral("AYŞE YILMAZ");
const QString kNazli = QStringLiteral("NAZLI D'ANGELO");

QList<Row> salonCards()
{
    return {card(QStringLiteral("M1"), kAyse, QStringLiteral("Müşteri"), QStringLiteral("4400")),
            card(QStringLiteral("M2"), kNazli, QStringLiteral("Müşteri"), QStringLiteral("4401")),
            card(QStringLiteral("M3"), QStringLiteral("ALİ VURAL"), QStringLiteral("Müşteri"), QStringLiteral("4402")),
            card(QStringLiteral("M4"), QStringLiteral("ALTAN KOÇ"), QStringLiteral("Müşteri"), QStringLiteral("4403")),
            card(QStringLiteral("E1"), QStringLiteral("Gülay Kaya"), QStringLiteral("Eleman"))};
}

QString today() { return Startup::dateCriterion(QDate::currentDate()); }

} // namespace

class TestCustomers : public QObject
{
    Q_OBJECT

    // A salon with the cards above and the counter as given (the start puts 0 into an empty table).
    static Salonya* open(SalonFixture& fx, const QString& counterSql = {}, const QList<Row>& cards = salonCards())
    {
        if (!writeCards(fx.cardFile(), cards)) return nullptr;
        if (!counterSql.isEmpty() && !fx.execOwn(QStringLiteral("Cari.Mdb"), QStringLiteral("DELETE FROM RecNo; INSERT INTO RecNo VALUES (%1)").arg(counterSql)))
            return nullptr;
        return fx.start();
    }

    // Types into the customer field on the screen keys and touches ENTER, or on a physical keyboard and presses Enter.
    static void typeAndEnter(SalonFixture& fx, const QString& text, bool onKeys)
    {
        if (onKeys) {
            fx.typeOnKeys(text);
            fx.touchKey(48);
            QCoreApplication::processEvents(); // the key sends Enter once its touch is handled
        } else {
            SalonFixture::typeOnKeyboard(fx.form()->Text1, text);
            QTest::keyClick(fx.form()->Text1, Qt::Key_Return);
        }
    }

    static QVariant counter(const SalonFixture& fx) { return fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT SonNo FROM RecNo")); }
    static int cardCount(const SalonFixture& fx) { return count(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("SELECT count(*) FROM CariKartlar")); }

private slots:
    void enteringTheFieldOpensTheSearch()
    {
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        QCOMPARE(f->Text1->text(), QStringLiteral("MÜŞTERİ"));
        f->state.SeciliButon = 5;
        Look::setBackColor(f->Command1[5], Look::Green);
        SalonFixture::touch(f->Text1);

        QVERIFY(f->DBListe1->isVisible());
        QVERIFY(f->Frame2->isVisible());
        QVERIFY(!f->DBListe2->isVisible());
        QCOMPARE(f->Text1->text(), QString());
        QCOMPARE(f->state.AktifData, f->DataCari); // the rest of the keyboard contract is tst_keyboard's
        QCOMPARE(Look::backColor(f->Command1[5]), Look::Yellow);
        QCOMPARE(f->DataCari->recordSource(), QStringLiteral(" Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan DESC"));
        QCOMPARE(f->DataCari->recordCount(), 4); // the employee card is not a customer
        QCOMPARE(f->DBListe1->listModel()->rowCount(), 4);
        QCOMPARE(f->DataCari->field(1).toString(), kNazli);
        QCOMPARE(f->DataGecmis->recordSource(), QStringLiteral("Select * From Salonya Where Cari='0'"));
        QVERIFY(!f->Frame1->isEnabled());

        // Leaving the field empty shows the placeholder, centred.
        SalonFixture::touch(f->DBGridIslem);
        QCOMPARE(f->Text1->text(), QStringLiteral("MÜŞTERİ"));
        QCOMPARE(f->Text1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(f->state.AktifAlan, QString());
    }

    // A card reader's "4401" + Enter and a touch on "BOYA" while start-up works: none of it runs, then or later.
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
                for (const QChar c : QStringLiteral("4401\r")) {
                    const auto key = c == u'\r' ? Qt::Key_Return : Qt::Key(c.unicode());
                    QCoreApplication::postEvent(form->Text1, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c)));
                    QCoreApplication::postEvent(form->Text1, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c)));
                }
                const QPointF at = form->Command1[0]->rect().center();
                for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    QCoreApplication::postEvent(form->Command1[0], new QMouseEvent(type, at, form->Command1[0]->mapToGlobal(at), Qt::LeftButton,
                                                                                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {}));
            };
            QObject::connect(form->DataCari, &DataSource::requeried, form, post);
            QObject::connect(form->DataSalonya, &DataSource::requeried, form, post);
        });
        QVERIFY(f);
        QCoreApplication::processEvents();
        QCOMPARE(cardCount(fx), salonCards().size());
        QCOMPARE(f->Text1->text(), QStringLiteral("MÜŞTERİ"));
        QCOMPARE(Look::backColor(f->Text1), Look::White);
        QVERIFY(!f->BoyaFrm->isVisible());
    }

    // The window losing and regaining its activation, or a pop-up closing, is no touch on the field.
    void focusComingBackIsNoTouch_data()
    {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::newRow("window re-activated") << Qt::ActiveWindowFocusReason;
        QTest::newRow("pop-up closed") << Qt::PopupFocusReason;
    }
    void focusComingBackIsNoTouch()
    {
        QFETCH(Qt::FocusReason, reason);
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        fx.typeOnKeys(QStringLiteral("ay"));
        for (QWidget* w : {static_cast<QWidget*>(f->Text1), static_cast<QWidget*>(f->DBListe1)}) {
            QFocusEvent out(QEvent::FocusOut, reason), in(QEvent::FocusIn, reason);
            QApplication::sendEvent(w, &out);
            QApplication::sendEvent(w, &in);
        }
        QVERIFY(f->DBListe1->isVisible());
        fx.typeOnKeys(QStringLiteral("ş"));
        QCOMPARE(f->Text1->text(), QStringLiteral("Ayş"));
        QCOMPARE(f->DBListe1->text(), kAyse);
    }

    // A list hiding with the focus hands it to the keyboard buffer; a touched button never keeps it,
    // so no Enter or space can press it.
    void focusNeverRestsOnAButton()
    {
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        f->DBListe1->setFocus(Qt::MouseFocusReason);
        f->DBListe1->hide();
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        SalonFixture::touch(f->Command1[1]);
        QVERIFY(!QApplication::focusWidget() || !QApplication::focusWidget()->inherits("QPushButton"));
    }

    void startingAgainCopiesNoCardTwice()
    {
        // The field takes the first focus when the screen shows; the card import that follows must
        // still see every card it copied before, employees included.
        SalonFixture fx;
        QVERIFY(open(fx));
        fx.stop();
        QVERIFY(fx.start());
        QCOMPARE(cardCount(fx), salonCards().size());
    }

    // Chosen by a tap (after typing on the screen keys, if any) or by a loyalty card read into the field.
    void choosingACustomer_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("keys");   // typed on the screen keys before the tap
        QTest::addColumn<QString>("shown");  // the field while typing
        QTest::addColumn<QString>("cardNo"); // scanned instead of a tap
        QTest::newRow("plain title") << kAyse << "M1" << "" << "" << "";
        QTest::newRow("apostrophe") << kNazli << "M2" << "" << "" << "";
        QTest::newRow("Turkish case") << kAyse << "M1" << "ayşe" << "Ayşe" << "";
        QTest::newRow("dotted or dotless i") << "ALİ VURAL" << "M3" << "alı" << "Alı" << "";
        QTest::newRow("first letters of an apostrophe title") << kNazli << "M2" << "nazlı" << "Nazlı" << "";
        QTest::newRow("loyalty card") << kNazli << "M2" << "" << "" << "4401";
    }
    void choosingACustomer()
    {
        QFETCH(QString, title);
        QFETCH(QString, code);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, cardNo);
        SalonFixture fx;
        QVERIFY(fx.execOwn(QStringLiteral("Salonya.Mdb"),
                           QStringLiteral("INSERT INTO Salonya (Islem, Miktar, Fiyat, Cari, Tarih, Eleman, Yeni, Unvan) VALUES "
                                          "('Fön', 1, 100, '%1', '%2', 'ELEMAN', 1, 'x'), ('Kesim', 1, 200, '%1', '2020-01-02', 'ELEMAN', 0, 'x')")
                               .arg(code, QDate::currentDate().toString(Qt::ISODate))));
        Salonya* f = open(fx);
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        Program::ResimCekildi = true; // a photo taken for the customer before is not this one's
        if (!keys.isEmpty()) {
            fx.typeOnKeys(keys);
            QCOMPARE(f->Text1->text(), shown);
            QCOMPARE(QApplication::focusWidget(), f->Text1);
            QVERIFY(f->Frame2->isVisible());
            QCOMPARE(f->DBListe1->text(), title);
        }
        if (cardNo.isEmpty()) {
            QVERIFY(fx.tapListEntry(f->DBListe1, title));
            QVERIFY(!Program::ResimCekildi);
        } else {
            SalonFixture::typeOnKeyboard(f->Text1, cardNo); // a card reader types like a keyboard
        }

        QCOMPARE(f->Text1->text(), title);
        QCOMPARE(f->state.SeciliCari, cardNo.isEmpty() ? code : QString()); // only a pick from the list sets it
        QCOMPARE(f->DataCari->field(0).toString(), code);
        QVERIFY(!f->DBListe1->isVisible());
        QVERIFY(!f->Frame2->isVisible());
        QCOMPARE(Look::backColor(f->Text1), Look::White);
        QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
        QCOMPARE(f->DataSalonya->recordSource(), QStringLiteral("Select * From Salonya Where ") + today() + QStringLiteral(" And Cari='") + code + u'\'');
        QCOMPARE(f->DataGecmis->recordSource(), QStringLiteral("Select * From Salonya Where Cari='") + code + QStringLiteral("' Order By Islem ASC"));
        if (!cardNo.isEmpty()) return;
        QVERIFY(f->Frame1->isEnabled());
        QCOMPARE(f->Text1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(f->DataSalonya->recordCount(), 1);
        QCOMPARE(f->DataGecmis->recordCount(), 2);
        // Open lines with the employee in the field ("ELEMAN" while none is chosen) make the ticket sendable.
        QVERIFY(f->KasaCmd->isEnabled());
    }

    void titleSearchOnKeyRelease_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("recordSource");
        QTest::addColumn<bool>("listShown");
        QTest::addColumn<QString>("highlighted");
        QTest::newRow("lower case finds upper case")
            << "ayşe" << "Select * From CariKartlar Where Unvan Like 'ayşe*' And Gurup='Müşteri' Order By Unvan Asc" << true << kAyse;
        QTest::newRow("i after the first letter is any letter")
            << "alı" << "Select * From CariKartlar Where Unvan Like 'al?*' And Gurup='Müşteri' Order By Unvan Asc" << true << "ALİ VURAL";
        QTest::newRow("apostrophe") << "nazlı d'" << "Select * From CariKartlar Where Unvan Like 'nazl? d''*' And Gurup='Müşteri' Order By Unvan Asc"
                                    << true << kNazli;
        QTest::newRow("star alone starts no search")
            << "*" << " Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan DESC" << true << "";
        QTest::newRow("no match restores every customer")
            << "zz" << "Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan ASC" << false << "";
    }
    void titleSearchOnKeyRelease()
    {
        QFETCH(QString, typed);
        QFETCH(QString, recordSource);
        QFETCH(bool, listShown);
        QFETCH(QString, highlighted);
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        SalonFixture::typeOnKeyboard(f->Text1, typed);
        QCOMPARE(f->DataCari->recordSource(), recordSource);
        QCOMPARE(f->DBListe1->isVisible(), listShown);
        QCOMPARE(f->Frame2->isVisible(), listShown);
        QCOMPARE(f->DBListe1->text(), highlighted);
        QCOMPARE(f->state.Durum, 0.0f);
    }

    void emptiedFieldSelectsNobody()
    {
        SalonFixture fx;
        Salonya* f = open(fx);
        QVERIFY(f);
        // A card without a number must not be taken for the empty text.
        QVERIFY(fx.execOwn(QStringLiteral("Cari.Mdb"), QStringLiteral("UPDATE CariKartlar SET KartNo='' WHERE CariKod='M4'")));
        SalonFixture::touch(f->Text1);
        QTest::keyClick(f->Text1, Qt::Key_A);
        QTest::keyClick(f->Text1, Qt::Key_Backspace);
        QCOMPARE(f->Text1->text(), QString());
        QVERIFY(!f->DBListe1->isVisible());
        QCOMPARE(f->DataCari->recordSource(), QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan ASC"));
        QCOMPARE(QApplication::focusWidget(), f->Text1);
    }

    void photo_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("file"); // relative to the program folder
        QTest::addColumn<bool>("shown");
        QTest::newRow("bitmap under a .Jpg name") << "Cr-1001" << "ResimCr-1001.Jpg" << true;
        QTest::newRow("name in other case") << "Cr-1001" << "resimcr-1001.JPG" << true;
        QTest::newRow("no file") << "Cr-1001" << "ResimCr-1002.Jpg" << false;
        QTest::newRow("code reaching outside") << "/../../gizli" << "../gizli.jpg" << false;
    }
    void photo()
    {
        QFETCH(QString, code);
        QFETCH(QString, file);
        QFETCH(bool, shown);
        SalonFixture fx;
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(fx.programDir() + u'/' + file, "BMP"));
        Salonya* f = open(fx, {}, {card(code, QStringLiteral("FOTOĞRAFLI MÜŞTERİ")), card(QStringLiteral("M1"), kAyse)});
        QVERIFY(f);
        SalonFixture::touch(f->Text1);
        QVERIFY(fx.tapListEntry(f->DBListe1, QStringLiteral("FOTOĞRAFLI MÜŞTERİ")));
        QCOMPARE(f->Picture1->hasPicture(), shown);
        if (shown) {
            QCOMPARE(f->Picture1->picture().size(), image.size());
            QCOMPARE(f->Picture1->picture().pixelColor(3, 3), QColor(Qt::red));
            // Entering the field again clears it.
            SalonFixture::touch(f->Text1);
            QVERIFY(!f->Picture1->hasPicture());
            QVERIFY(!f->Frame1->isEnabled());
        }
    }

    // Enter on the field: a known title selects it, a new one creates a card with the next free code.
    void enterOnTheField_data()
    {
        QTest::addColumn<QString>("counterSql");
        QTest::addColumn<QString>("takenCode"); // a card already holding a code the counter would give
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("onKeys");
        QTest::addColumn<QString>("title"); // of the new card; empty when none is created
        QTest::addColumn<QString>("code");  // current afterwards; empty when nobody is
        QTest::addColumn<qlonglong>("stored");
        QTest::addColumn<bool>("locked"); // the counter cannot be written: the card written before it must go as well
        const QString typed = QStringLiteral("yeni müşteri");
        const QString title = QStringLiteral("Yeni Müşteri"); // capitals off: proper case
        QTest::newRow("known title on the keys") << "1005" << "" << "ayşe yılmaz" << true << "" << "M1" << 1005LL << false;
        QTest::newRow("known apostrophe title on a keyboard") << "1005" << "" << kNazli << false << "" << "M2" << 1005LL << false;
        QTest::newRow("empty field") << "" << "" << "" << true << "" << "" << 0LL << false;
        QTest::newRow("counter at 0") << "" << "" << typed << true << title << "Cr-1" << 1LL << false;
        QTest::newRow("empty counter") << "''" << "" << typed << true << title << "Cr-1002" << 1002LL << false;
        QTest::newRow("counter at 1005") << "1005" << "" << typed << true << title << "Cr-1006" << 1006LL << false;
        QTest::newRow("counter not a number") << "'on beş'" << "" << typed << true << title << "Cr-1002" << 1002LL << false;
        QTest::newRow("next code taken") << "1005" << "Cr-1006" << typed << true << title << "Cr-1007" << 1007LL << false;
        QTest::newRow("new apostrophe title on a keyboard") << "7" << "" << "DEFNE O'NEIL" << false << "DEFNE O'NEIL" << "Cr-8" << 8LL << false;
        QTest::newRow("failed save keeps nothing") << "" << "" << "yarım kart" << true << "" << "" << 0LL << true;
    }
    void enterOnTheField()
    {
        QFETCH(QString, counterSql);
        QFETCH(QString, takenCode);
        QFETCH(QString, typed);
        QFETCH(bool, onKeys);
        QFETCH(QString, title);
        QFETCH(QString, code);
        QFETCH(qlonglong, stored);
        QFETCH(bool, locked);
        SalonFixture fx;
        if (locked)
            QVERIFY(fx.execOwn(QStringLiteral("Cari.Mdb"),
                               QStringLiteral("CREATE TRIGGER kilit BEFORE UPDATE ON RecNo BEGIN SELECT RAISE(ABORT, 'kilitli'); END")));
        QList<Row> cards = salonCards();
        if (!takenCode.isEmpty()) cards << card(takenCode, QStringLiteral("ESKİ KART"));
        Salonya* f = open(fx, counterSql, cards);
        QVERIFY(f);
        const int before = cardCount(fx);
        SalonFixture::touch(f->Text1);
        typeAndEnter(fx, typed, onKeys);

        QCOMPARE(cardCount(fx), before + (title.isEmpty() ? 0 : 1));
        QCOMPARE(counter(fx).toLongLong(), stored);
        QVERIFY(!f->Frame2->isVisible());
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(fx.messages.size(), int(locked));
        if (locked) {
            QVERIFY(fx.messages.first().contains(QStringLiteral("kaydedilemedi")));
            QVERIFY(f->DataCari->locate(QStringLiteral("Unvan='Yarım Kart'")) < 0);
        }
        if (code.isEmpty()) return;
        QCOMPARE(f->DataCari->field(0).toString(), code);
        if (title.isEmpty()) {
            QVERIFY(!f->DBListe1->isVisible());
            QCOMPARE(QApplication::focusWidget(), f->KlvTxt);
            return;
        }
        const QString where = QStringLiteral(" FROM CariKartlar WHERE CariKod='%1'").arg(code);
        QCOMPARE(fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT Unvan") + where).toString(), title);
        QCOMPARE(fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT Gurup") + where).toString(), QStringLiteral("Müşteri"));
        QCOMPARE(fx.ownValue(QStringLiteral("Cari.Mdb"), QStringLiteral("SELECT Yeni") + where).toInt(), 1);
        QCOMPARE(f->Text1->text(), title);
        // The new customer can be served at once.
        SalonFixture::touch(f->Text2);
        QVERIFY(f->DBListe2->isVisible());
    }
};

QTEST_MAIN(TestCustomers)
#include "tst_customers.moc"
