// The camera window on the test camera: photos for the chosen customer, the window's place, driver
// and size, and cameras that are missing, busy or pulled out.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "camera/captureview.h"
#include "camera/kamera.h"
#include "camera/testcamera.h"
#include "customers/customerphoto.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

namespace {
enum { Kamera_ = 30, ResimCek = 31 };

void store(const QString& section, const QString& key, const QString& value) { Settings::save(Kamera::appTitle(), section, key, value); }
QString stored(const QString& section, const QString& key) { return Settings::get(Kamera::appTitle(), section, key); }

// A window on test cameras the test keeps a handle on.
struct Window {
    TestCamera* cam = nullptr;
    std::unique_ptr<Kamera> k;
    explicit Window(int cameras, bool busy = false)
    {
        auto dev = std::make_unique<TestCamera>(cameras);
        cam = dev.get();
        cam->setBusy(busy);
        k = std::make_unique<Kamera>(nullptr, std::move(dev));
        k->setAttribute(Qt::WA_DeleteOnClose, false);
    }
};
} // namespace

class TestCamera_ : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("SALONYA_TEST_CAMERA", "1"); }
    void cleanup() { qunsetenv("SALONYA_TEST_CAMERA"); }

    void photoGoesToTheChosenCustomer()
    {
        SalonFixture fx;
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, u"8690001"_s, 150)}));
        QVERIFY(writeCards(fx.cardFile(), {card(u"Cr-1001"_s, u"AYŞE YILMAZ"_s), card(u"Cr-1002"_s, u"NAZLI KAYA"_s),
                                           card(u"E1"_s, u"Gülay"_s, u"Eleman"_s)}));
        Salonya* f = fx.start();
        QVERIFY(f);
        const auto pick = [&](const QString& title) {
            SalonFixture::touch(f->Text1);
            return fx.tapListEntry(f->DBListe1, title);
        };
        const QString file = fx.programDir() + u"/ResimCr-1001.Jpg"_s;
        const auto fileImage = [&] { return CustomerPhoto::load(file); };

        // "KAMERA" opens the window on the live picture; "RESİM ÇEK" takes the photo and closes it.
        QVERIFY(pick(u"AYŞE YILMAZ"_s));
        SalonFixture::touch(f->Command1[Kamera_]);
        Kamera* k = f->findChild<Kamera*>();
        QVERIFY(k && k->isVisible() && k->capwnd());
        QCOMPARE(k->windowTitle(), u" Kamera"_s);
        QPointer<Kamera> window = k;
        SalonFixture::touch(f->Command1[ResimCek]);
        QTRY_VERIFY(!window);
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        QCOMPARE(bytes.read(2), QByteArray("BM"));
        const QImage first = fileImage();
        QCOMPARE(first.size(), QSize(320, 240));
        QCOMPARE(f->Picture1->picture(), first);
        QCOMPARE(fx.beeps, 1); // no Kamera.wav in the program folder: the platform's sound instead

        // Another customer and back: the photo shows again.
        QVERIFY(pick(u"NAZLI KAYA"_s));
        f->Picture1->clearPicture();
        QVERIFY(pick(u"AYŞE YILMAZ"_s));
        QCOMPARE(f->Picture1->picture(), first);

        // Without the window open, "RESİM ÇEK" loads it, takes a new picture and replaces the photo.
        SalonFixture::touch(f->Command1[ResimCek]);
        const QImage second = fileImage();
        QVERIFY(!second.isNull() && second != first);
        QCOMPARE(f->Picture1->picture(), second);
        QCOMPARE(QDir(fx.programDir()).entryList({u"Resim*"_s}), QStringList{u"ResimCr-1001.Jpg"_s});

        // No customer chosen: the photo is taken but nothing is written.
        f->state.SeciliCari.clear();
        QGuiApplication::clipboard()->clear();
        SalonFixture::touch(f->Command1[ResimCek]);
        QCOMPARE(fileImage(), second);
        QCOMPARE(QDir(fx.programDir()).entryList({u"Resim*"_s}).size(), 1);
        QVERIFY(fx.messages.isEmpty());
    }

    void placeOnTheScreen_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("right"); // expected to touch the right and bottom edges
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        QTest::newRow("inside") << 30 << 40 << false;
        QTest::newRow("past right and bottom") << s.width() - 50 << s.height() - 20 << true;
        QTest::newRow("off left and top") << -400 << -300 << false;
    }
    void placeOnTheScreen()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(bool, right);
        SalonFixture fx;
        store(u"preferences"_s, u"left"_s, QString::number(left * 15));
        store(u"preferences"_s, u"top"_s, QString::number(top * 15));
        store(u"preferences"_s, u"backcolor"_s, u"&HFF0000"_s);
        Window w(1);
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        const QRect g = w.k->frameGeometry();
        if (right) {
            QCOMPARE(g.right() + 1, s.width());
            QCOMPARE(g.bottom() + 1, s.height());
        } else {
            QCOMPARE(g.topLeft(), QPoint(qMax(0, left), qMax(0, top)));
        }
        QCOMPARE(w.k->inside()->palette().color(QPalette::Window), QColor(Qt::blue));
        w.k->move(12, 34);
        w.k->close();
        QCOMPARE(stored(u"preferences"_s, u"left"_s), u"180"_s);
        QCOMPARE(stored(u"preferences"_s, u"top"_s), u"510"_s);
    }

    void driverIndex_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("index");
        QTest::newRow("second camera") << u"1"_s << 1;
        QTest::newRow("past the last camera") << u"5"_s << 0;
        QTest::newRow("nothing stored") << QString() << 0;
    }
    void driverIndex()
    {
        QFETCH(QString, value);
        QFETCH(int, index);
        SalonFixture fx;
        if (!value.isEmpty()) store(u"driver"_s, u"index"_s, value);
        Window w(2);
        QCOMPARE(w.k->driverIndex(), index);
        QVERIFY(w.k->mnuDriver[index]->isChecked());
        QCOMPARE(w.k->mnuDriver[1]->text(), u"Test Kamera 2 1.0"_s);
        QVERIFY(!w.k->mnuSource->isEnabled() && !w.k->mnuDisplay->isEnabled() && w.k->mnuFormat->isEnabled());
        // A choice from the menu is remembered; a busy camera is not, and the check stays.
        w.k->mnuDriver[1 - index]->trigger();
        QCOMPARE(stored(u"driver"_s, u"index"_s), QString::number(1 - index));
        w.cam->setBusy(true);
        w.k->mnuDriver[index]->trigger();
        QCOMPARE(fx.messages, QStringList{u"could not connect to capture driver"_s});
        QCOMPARE(stored(u"driver"_s, u"index"_s), QString::number(1 - index));
        QVERIFY(w.k->mnuDriver[1 - index]->isChecked() && !w.k->mnuDriver[index]->isChecked());
    }

    void smallImageIsCentred()
    {
        SalonFixture fx;
        Window w(1);
        w.k->show();
        QVERIFY(w.k->chooseFormat(w.cam->formats().indexOf(u"160 × 120, 15 fps"_s)));
        QTRY_COMPARE(w.k->inside()->size(), QSize(320, 240));
        QCOMPARE(w.k->capwnd()->geometry(), QRect(80, 60, 160, 120));
        QCOMPARE(w.k->capwnd()->frame().size(), QSize(160, 120));
    }

    void missingBusyOrLostCamera_data()
    {
        QTest::addColumn<int>("cameras");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("message");
        QTest::newRow("no driver") << 0 << false << false << u"No capture hardware detected"_s;
        QTest::newRow("busy") << 1 << true << false << u"could not connect to capture driver"_s;
        QTest::newRow("pulled out") << 1 << false << true << u"could not connect to capture driver"_s;
    }
    void missingBusyOrLostCamera()
    {
        QFETCH(int, cameras);
        QFETCH(bool, busy);
        QFETCH(bool, unplug);
        QFETCH(QString, message);
        SalonFixture fx;
        Window w(cameras, busy);
        w.k->show();
        if (unplug) w.cam->unplug();
        QCOMPARE(fx.messages, QStringList{message});
        QCOMPARE(w.k->capwnd() != nullptr, cameras > 0);
        // No picture: the clipboard keeps its own and no photo counts as taken.
        QGuiApplication::clipboard()->setText(u"eski"_s);
        w.k->Command1->click();
        QVERIFY(!Program::ResimCekildi);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"eski"_s);
        QCOMPARE(fx.beeps, 1);
    }
};

QTEST_MAIN(TestCamera_)
#include "tst_camera.moc"
