// A visit by real X input on its own X server, bare and under a window manager: the focus paths offscreen skips,
// the camera window keeping the customer, a drag never picking, the slot file holding the ticket, the place kept.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/turkish.h"
#include "ui/datagrid.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"
#include "ui/textbox.h"

#include <QFile>
#include <QProcess>
#include <QResizeEvent>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <X11/XKBlib.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

class TestTouchScreen : public QObject
{
    Q_OBJECT
    QProcess xvfb, wm, desk;
    QString window;
    QProcessEnvironment env; // of the desk and xdotool, on the X server
    std::unique_ptr<Salonya> screen; // an unstarted copy of the main screen: where each control is

    QString xdotool(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(u"xdotool"_s, args);
        return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : u"!"_s;
    }
    // One tap on a control, at its centre or at a point of it.
    bool tap(QWidget* w, QPoint at = {})
    {
        const QPoint p = w->mapTo(screen.get(), at.isNull() ? w->rect().center() : at);
        return xdotool({u"mousemove"_s, u"--window"_s, window, QString::number(p.x()), QString::number(p.y()), u"click"_s, u"1"_s, u"sleep"_s, u"0.15"_s})
            != u"!";
    }
    bool managed() { return xdotool({u"get_num_desktops"_s}) != u"!"; } // a window manager's root property
    // The middle of a row of the grid on the desk; the unshown copy lays the grid out first.
    QPoint rowCentre(DataGrid* grid, int row)
    {
        grid->ensurePolished();
        QResizeEvent laidOut(grid->size(), grid->size());
        QCoreApplication::sendEvent(grid, &laidOut);
        return grid->viewport()->mapTo(screen.get(), QPoint(grid->viewport()->width() / 2, row * 30 + 15));
    }
    // A finger rests on a row of the grid, then drags over the rows before it is lifted.
    bool drag(DataGrid* grid, int fromRow, int toRow)
    {
        const QPoint p = rowCentre(grid, fromRow);
        QStringList args{u"mousemove"_s, u"--window"_s, window, QString::number(p.x()), QString::number(p.y()), u"mousedown"_s, u"1"_s,
                         u"sleep"_s, u"0.35"_s};
        for (int i = 1; i <= 6; ++i)
            args << u"mousemove"_s << u"--window"_s << window << QString::number(p.x()) << QString::number(p.y() + (toRow - fromRow) * 5 * i)
                 << u"sleep"_s << u"0.03"_s;
        return xdotool(args << u"mouseup"_s << u"1"_s << u"sleep"_s << u"0.3"_s) != u"!";
    }
    bool tapRow(DataGrid* grid, int row) { return tap(screen.get(), rowCentre(grid, row)); }
    // Touch the field, type on the keys, tap the first entry of its list once.
    bool choose(TextBox* field, TouchList* list, const QString& keys)
    {
        if (!tap(field)) return false;
        for (const QChar ch : keys) {
            TouchKey* key = nullptr;
            for (TouchKey* k : std::as_const(screen->Label1))
                if (k && k->index() != 33 && Turkish::toLower(k->text()) == QString(ch)) key = k;
            if (!key || !tap(key)) return false;
        }
        return tap(list, {list->width() / 2, 18});
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
            QSKIP("SKIPPED: Xvfb or xdotool is not installed, the visit on a real X display was not run");
    }
    void cleanup()
    {
        for (QProcess* p : {&desk, &wm, &xvfb}) {
            p->terminate(); // the server removes its lock and socket
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished(5000);
        }
    }

    void aVisitByRealTouches_data()
    {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }
    void aVisitByRealTouches()
    {
        QFETCH(bool, windowManager);
        if (windowManager && QStandardPaths::findExecutable(u"openbox"_s).isEmpty())
            QSKIP("SKIPPED: openbox is not installed, the visit under a window manager was not run");
        SalonFixture fx;
        env = QProcessEnvironment::systemEnvironment();
        // The server picks a display number nobody uses and says which, so parallel runs keep apart.
        xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
        QVERIFY2(QTest::qWaitFor([&] { return xvfb.canReadLine(); }, 10000), "no X server could be started");
        env.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(xvfb.readLine()).trimmed());
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(u"QT_LOGGING_RULES"_s, u"salonya.startup.info=true"_s);
        env.insert(u"SALONYA_TEST_CAMERA"_s, u"1"_s);
        if (windowManager) {
            wm.setProcessEnvironment(env);
            wm.setProcessChannelMode(QProcess::MergedChannels);
            // A server that has just said its number may still refuse a client for a moment.
            QVERIFY2(QTest::qWaitFor([&] {
                if (wm.state() == QProcess::NotRunning) wm.start(u"openbox"_s, {u"--sm-disable"_s});
                return managed();
            }, 10000), qPrintable(u"openbox did not take the X server: "_s + wm.readAll()));
        }

        QVERIFY(writeCards(fx.cardFile(), {card(u"M1"_s, u"AYŞE YILMAZ"_s), card(u"M2"_s, u"NAZLI ÇELİK"_s),
                                           card(u"E1"_s, u"Gülay Kaya"_s, u"Eleman"_s)}));
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, {}, 150), stock(u"S2"_s, u"Kesim"_s, {}, 200)}));
        QVERIFY(writeSlots(fx.slotFile()));
        Settings::save(u"salonya"_s, u"Salonya"_s, u"Buton1"_s, u"Fön"_s); // the desk's own file
        Settings::save(u"salonya"_s, u"Salonya"_s, u"Buton2"_s, u"Kesim"_s);
        Settings::save(u"salonya"_s, u"SizeKlv"_s, u"Caps"_s, u"True"_s);
        for (const char* key : {"IpNo", "SalonyaLeft", "SalonyaTop"}) // a stored place, framed by the window manager after
            if (windowManager) Settings::save(u"salonya"_s, u"Salonya"_s, QString::fromLatin1(key), key[0] == 'I' ? u"C:\\X"_s : u"1500"_s);

        desk.setProcessEnvironment(env);
        desk.setProcessChannelMode(QProcess::MergedChannels);
        desk.start(QStringLiteral(SALONYA_DESK));
        QByteArray said;
        QVERIFY2(QTest::qWaitFor([&] { said += desk.readAll(); return said.contains("ready in"); }, 60000), said.constData());
        window = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Salonya$"_s}).section(u'\n', 0, 0);
        QVERIFY(window != u"!");
        // The capitals switch left on at the last close locks the server's own Caps Lock again.
        const std::unique_ptr<Display, int (*)(Display*)> x(XOpenDisplay(env.value(u"DISPLAY"_s).toLocal8Bit().constData()), XCloseDisplay);
        XkbStateRec state{};
        QVERIFY(x && XkbGetState(x.get(), XkbUseCoreKbd, &state) == Success);
        QVERIFY(state.locked_mods & LockMask);

        screen = std::make_unique<Salonya>();
        auto write = [&](int service) { return tap(screen->Command1[service]) && tap(screen->Command1[28]); }; // "ÜRÜN İŞLE"
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"ayşe"_s));
        // Untyped: the placeholder shown as the list takes the focus waits for a refresh, the release queued.
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));
        QVERIFY(write(1));
        // The camera window closes after "RESİM ÇEK" and the desk is active again: the customer stays.
        QVERIFY(tap(screen->Command1[30]));
        const QString camera = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^ Kamera$"_s}).section(u'\n', 0, 0);
        ::Window owner = 0; // the desk, so that a touch on the desk leaves the live picture above it
        QVERIFY(camera != u"!" && XGetTransientForHint(x.get(), camera.toULong(), &owner));
        QCOMPARE(QString::number(owner), window);
        QVERIFY(tap(screen->Command1[31]));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fx.programDir() + u"/ResimM1.Jpg"_s), 10000);
        QTest::qWait(500);
        QVERIFY(write(2));
        // Another customer; a finger resting on her row and dragging over the others picks nothing.
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"naz"_s));
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));
        QVERIFY(write(1));
        QVERIFY(drag(screen->DBGridMus, 2, 0));
        QVERIFY(write(2));
        // A tap on Ayşe's row takes her ticket over; with Nazlı chosen again, a tap on the current row too.
        QVERIFY(tapRow(screen->DBGridMus, 0));
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"naz"_s));
        QVERIFY(tapRow(screen->DBGridMus, 0));
        QVERIFY(tap(screen->KasaCmd));

        auto slotColumn = [&](int position) { return column(fx.slotFile(), u"Müsteri"_s, position, u"Kayit"_s); };
        QTRY_COMPARE_WITH_TIMEOUT(slotColumn(1), (QVariantList{u"Fön"_s, u"Kesim"_s}), 10000);
        QCOMPARE(slotColumn(3), (QVariantList{u"AYŞE YILMAZ"_s, u"AYŞE YILMAZ"_s}));
        QCOMPARE(slotColumn(8), (QVariantList{u"Gülay Kaya"_s, u"Gülay Kaya"_s}));
        QCOMPARE(count(fx.ownFile(u"Salonya.Mdb"_s), u"SELECT count(*) FROM Salonya WHERE Unvan='NAZLI ÇELİK' AND Yeni=1"_s), 2);
        QCOMPARE(desk.state(), QProcess::Running);
        if (!windowManager) return;
        QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, window, u"key"_s, u"alt+F4"_s}) != u"!"); // the window manager's close
        QVERIFY(desk.waitForFinished(20000));
        const auto place = [](const QString& key) { return Settings::get(u"salonya"_s, u"Salonya"_s, key); };
        QCOMPARE(place(u"SalonyaLeft"_s) + u' ' + place(u"SalonyaTop"_s), u"1500 1500"_s); // exactly as stored
    }
};

QTEST_MAIN(TestTouchScreen)
#include "tst_touchscreen.moc"
