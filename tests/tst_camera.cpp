// The camera window on the test camera: photos, its own settings, and failing cameras.
#include "desk.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "camera/captureview.h"
#include "camera/kamera.h"
#include "camera/qtcamera.h"
#include "camera/testcamera.h"
#include "customers/customerphoto.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
void store(const QString& section, const QString& key, const QString& value) { Settings::save(Kamera::appTitle(), section, key, value); }
QString stored(const QString& section, const QString& key) { return Settings::get(Kamera::appTitle(), section, key); }

struct Window {
    TestCamera* cam;
    std::unique_ptr<Kamera> k;
    explicit Window(int cameras, bool busy = false)
        : cam(new TestCamera(cameras))
    {
        cam->setBusy(busy);
        k = std::make_unique<Kamera>(nullptr, std::unique_ptr<TestCamera>(cam));
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
        Desk d;
        QVERIFY(d.open() && d.select(Desk::Ayse, QString()));
        const QString file = d.fx.programDir() + u"/ResimM1.Jpg"_s;
        // "KAMERA" opens the window on the live picture; "RESİM ÇEK" takes the photo and closes it.
        d.touch(Desk::Kamera);
        QPointer<Kamera> k = d.f->findChild<Kamera*>();
        QVERIFY(k && k->isVisible() && k->capwnd());
        d.touch(Desk::ResimCek);
        // The closed window outlives the waits of the refresh its closing caused; the next touch replaces it.
        QVERIFY(k && k->isClosed() && !k->isVisible());
        QTest::qWait(20);
        QVERIFY(k);
        const QImage first = CustomerPhoto::load(file);
        QCOMPARE(first.size(), QSize(320, 240));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(2), QByteArray("BM")); // a bitmap, whatever the name says
        QCOMPARE(d.f->Picture1->picture(), first);
        // Without the window open, "RESİM ÇEK" loads it, takes a new picture and replaces the photo.
        d.touch(Desk::ResimCek);
        QVERIFY(!k);
        const QImage second = CustomerPhoto::load(file);
        QVERIFY(!second.isNull() && second != first);
        QCOMPARE(d.f->Picture1->picture(), second);
        // Another customer's title in the field (her open ticket touched, no panel test): refused, nothing written.
        d.f->state.Durum = 2;
        d.f->Text1->setText(Desk::Nazli);
        d.f->state.Durum = 0;
        d.f->state.AktifListe = 1;
        d.touch(Desk::ResimCek);
        QCOMPARE(d.f->Text1->text(), u"MÜŞTERİ SEÇİN..?"_s);
        QCOMPARE(CustomerPhoto::load(file), second);
        QCOMPARE(QDir(d.fx.programDir()).entryList({u"Resim*"_s}), QStringList{u"ResimM1.Jpg"_s});
        QVERIFY(d.fx.messages.isEmpty());
    }

    // A webcam takes a while to start and its wait lets events run: a second touch then is refused.
    void touchWhileTheCameraStarts_data()
    {
        QTest::addColumn<int>("first"); QTest::addColumn<int>("meanwhile");
        QTest::newRow("RESİM ÇEK twice") << int(Desk::ResimCek) << int(Desk::ResimCek);
        QTest::newRow("KAMERA, then RESİM ÇEK") << int(Desk::Kamera) << int(Desk::ResimCek);
        QTest::newRow("RESİM ÇEK, then KAMERA") << int(Desk::ResimCek) << int(Desk::Kamera);
    }
    void touchWhileTheCameraStarts()
    {
        QFETCH(int, first); QFETCH(int, meanwhile);
        struct SlowCamera : TestCamera {
            std::function<void()> during;
            bool connectDriver(int index) override
            {
                QEventLoop wait;
                if (during) QTimer::singleShot(0, this, std::exchange(during, {}));
                QTimer::singleShot(30, &wait, &QEventLoop::quit);
                wait.exec();
                return TestCamera::connectDriver(index);
            }
        };
        Desk d;
        QVERIFY(d.open() && d.select(Desk::Ayse, QString()));
        bool touched = false;
        CaptureDevice::setFactory([&] {
            auto cam = std::make_unique<SlowCamera>();
            // Straight to the button: the desk's input gate would hold a real touch back until the first is done.
            cam->during = [&] { d.f->Command1[meanwhile]->click(); touched = true; };
            return cam;
        });
        d.touch(first);
        CaptureDevice::setFactory({});
        QVERIFY(touched);
        QCOMPARE(d.fx.beeps, first == Desk::ResimCek ? 2 : 1); // the shutter sounds as a beep here
        QCOMPARE(d.f->findChildren<Kamera*>().size(), 1);
        // The first touch finishes as if it had been alone.
        if (first == Desk::Kamera) QVERIFY(d.f->findChild<Kamera*>()->capwnd()->isVisible());
        else QVERIFY(!CustomerPhoto::load(d.fx.programDir() + u"/ResimM1.Jpg"_s).isNull());
    }

    void startFormatFitsTheScreen()
    {
        const QList<QSize> webcam{{320, 240}, {1920, 1080}, {640, 480}, {1280, 720}, {800, 600}};
        QCOMPARE(QtCamera::startFormat(webcam, {1920, 1080}), 2);
        QCOMPARE(QtCamera::startFormat(webcam, {1024, 600}), 0);
        QCOMPARE(QtCamera::startFormat({{1920, 1080}, {1280, 720}}, {1366, 768}), 1); // none fits: the smallest
        QCOMPARE(QtCamera::startFormat({}, {1280, 720}), -1);
    }

    void storedPreferences_data()
    {
        QTest::addColumn<QPoint>("place"); QTest::addColumn<QString>("driver");
        QTest::addColumn<QPoint>("shown"); // negative: against the right and bottom edges
        QTest::addColumn<int>("index");
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        QTest::newRow("inside, second camera") << QPoint(30, 40) << u"1"_s << QPoint(30, 40) << 1;
        QTest::newRow("past right and bottom, past the last camera") << QPoint(s.width() - 50, s.height() - 20) << u"5"_s << QPoint(-1, -1) << 0;
        QTest::newRow("off left and top, nothing stored") << QPoint(-400, -300) << QString() << QPoint(0, 0) << 0;
    }
    void storedPreferences()
    {
        QFETCH(QPoint, place); QFETCH(QString, driver); QFETCH(QPoint, shown); QFETCH(int, index);
        SalonFixture fx;
        store(u"preferences"_s, u"left"_s, QString::number(place.x() * 15));
        store(u"preferences"_s, u"top"_s, QString::number(place.y() * 15));
        if (!driver.isEmpty()) store(u"driver"_s, u"index"_s, driver);
        Window w(2);
        const QRect g = w.k->frameGeometry();
        const QRect s = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(shown.x() < 0 ? g.bottomRight() : g.topLeft(), shown.x() < 0 ? s.bottomRight() : shown);
        QCOMPARE(w.k->driverIndex(), index);
        QVERIFY(w.k->mnuDriver[index]->isChecked());
        w.k->show();
        // A choice from the menu is remembered; a busy camera is not, and the check stays.
        w.k->mnuDriver[1 - index]->trigger();
        w.cam->setBusy(true);
        w.k->mnuDriver[index]->trigger();
        QCOMPARE(fx.messages, QStringList{u"could not connect to capture driver"_s});
        QVERIFY(w.k->mnuDriver[1 - index]->isChecked() && !w.k->mnuDriver[index]->isChecked());
        w.k->move(12, 34);
        w.k->close();
        QCOMPARE(stored(u"preferences"_s, u"left"_s) + u' ' + stored(u"preferences"_s, u"top"_s), u"180 510"_s);
        QCOMPARE(stored(u"driver"_s, u"index"_s), QString::number(1 - index));
    }

    void missingBusyOrLostCamera_data()
    {
        QTest::addColumn<int>("cameras"); QTest::addColumn<bool>("busy"); QTest::addColumn<bool>("unplug"); QTest::addColumn<QString>("message");
        QTest::newRow("no driver") << 0 << false << false << u"No capture hardware detected"_s;
        QTest::newRow("busy") << 1 << true << false << u"could not connect to capture driver"_s;
        QTest::newRow("pulled out") << 1 << false << true << u"could not connect to capture driver"_s;
    }
    void missingBusyOrLostCamera()
    {
        QFETCH(int, cameras); QFETCH(bool, busy); QFETCH(bool, unplug); QFETCH(QString, message);
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
