// A visit by real X input on its own X server, bare and under a window manager: the focus paths offscreen skips,
// the camera window keeping the customer, a drag never picking, the slot file holding the ticket, the place kept;
// two desks on one salon server, each on an X server of its own.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "checkout/registerslots.h"
#include "data/turkish.h"
#include "ui/datagrid.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"
#include "ui/textbox.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <X11/XKBlib.h>
#include <sqlite3.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

class TestTouchScreen : public QObject
{
    Q_OBJECT
    QProcess xvfb, wm, desk;
    QProcess xvfb2, desk2; // the second desk of the two-desk visit and its X server
    QString pgFolder;      // a private salon server, stopped after the test
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
    bool tapKeys(const QString& keys)
    {
        for (const QChar ch : keys) {
            TouchKey* key = nullptr;
            for (TouchKey* k : std::as_const(screen->Label1))
                if (k && k->index() != 33 && Turkish::toLower(k->text()) == QString(ch)) key = k;
            if (!key || !tap(key)) return false;
        }
        return true;
    }
    // Touch the field, type on the keys, tap the first entry of its list once.
    bool choose(TextBox* field, TouchList* list, const QString& keys)
    {
        return tap(field) && tapKeys(keys) && tap(list, {list->width() / 2, 18});
    }
    // An X server of its own, under openbox when asked; the server picks a display number nobody uses and says which.
    bool startX(bool windowManager) { return startX(windowManager, xvfb); }
    bool startX(bool windowManager, QProcess& xvfb)
    {
        env = QProcessEnvironment::systemEnvironment();
        xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
        if (!QTest::qWaitFor([&] { return xvfb.canReadLine(); }, 10000)) return false;
        env.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(xvfb.readLine()).trimmed());
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(u"QT_LOGGING_RULES"_s, u"salonya.startup.info=true"_s);
        env.insert(u"SALONYA_TEST_CAMERA"_s, u"1"_s);
        wm.setProcessEnvironment(env);
        wm.setProcessChannelMode(QProcess::MergedChannels);
        // A server that has just said its number may still refuse a client for a moment.
        return !windowManager || QTest::qWaitFor([&] {
            if (wm.state() == QProcess::NotRunning) wm.start(u"openbox"_s, {u"--sm-disable"_s});
            return managed();
        }, 10000);
    }
    // Two customers with loyalty cards, an employee, two services on the first buttons, two products with barcodes.
    static bool writeSalon(SalonFixture& fx)
    {
        for (int n = 1; n <= 2; ++n) Settings::save(u"salonya"_s, u"Salonya"_s, u"Buton%1"_s.arg(n), n == 1 ? u"Fön"_s : u"Kesim"_s); // the desk's own file
        return writeCards(fx.cardFile(), {card(u"M1"_s, u"AYŞE YILMAZ"_s, u"Müşteri"_s, u"4400001"_s), card(u"M2"_s, u"NAZLI ÇELİK"_s, u"Müşteri"_s, u"6936322694"_s),
                                          card(u"E1"_s, u"Gülay Kaya"_s, u"Eleman"_s)})
            && writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, {}, 150), stock(u"S2"_s, u"Kesim"_s, {}, 200),
                                           stock(u"P1"_s, u"Şampuan"_s, u"8693574461180"_s, 250, u"Ürün"_s), stock(u"P2"_s, u"Krem"_s, u"8690000000017"_s, 200, u"Ürün"_s),
                                           stock(u"D1"_s, u"Boya 7.0 Kumral"_s, u"8690900"_s, 120, u"Boya"_s)})
            && writeSlots(fx.slotFile());
    }
    // The desk on it, once ready, and its window; else what went wrong.
    QByteArray startDesk() { return startDesk(desk); }
    QByteArray startDesk(QProcess& desk)
    {
        desk.setProcessEnvironment(env);
        desk.setProcessChannelMode(QProcess::MergedChannels);
        desk.start(QStringLiteral(SALONYA_DESK));
        QByteArray said;
        if (!QTest::qWaitFor([&] { said += desk.readAll(); return said.contains("ready in"); }, 60000)) return "not ready: " + said;
        window = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Salonya$"_s}).section(u'\n', 0, 0);
        screen = std::make_unique<Salonya>();
        return window == u"!" ? "no window" : QByteArray();
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
            QSKIP("SKIPPED: Xvfb or xdotool is not installed, the visit on a real X display was not run");
    }
    void cleanup()
    {
        for (QProcess* p : {&desk, &desk2, &wm, &xvfb, &xvfb2}) {
            p->terminate(); // the server removes its lock and socket
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished(5000);
        }
        if (!pgFolder.isEmpty()) QProcess::execute(QStringLiteral(PGSERVER), {u"stop"_s, std::exchange(pgFolder, {})});
    }

    // Two desks on one salon server and one slot file, each on its own screen: the colour bar weighs a dye into Ayşe's
    // ticket, the reception sees it in its grid without a touch and sends it, the register reads it once; a send of the
    // same ticket from the colour bar afterwards adds nothing.
    void twoDesksOnOneServer()
    {
        pgFolder = u"/tmp/salonya-2desk-%1"_s.arg(QCoreApplication::applicationPid()); // the server's own user must reach it
        QCOMPARE(QProcess::execute(QStringLiteral(PGSERVER), {u"start"_s, pgFolder}), 0);
        if (!QFileInfo::exists(pgFolder + u"/data"_s)) QSKIP("SKIPPED: no PostgreSQL server programs, the two desks were not run");
        const auto unset = qScopeGuard([] { qunsetenv("SALONYA_SERVER"); });
        qputenv("SALONYA_SERVER", "host=" + pgFolder.toUtf8() + " port=5432 user=postgres dbname=postgres");
        SalonFixture fx;
        QVERIFY(writeSalon(fx));
        QProcessEnvironment seat[2];
        QString windows[2];
        QByteArray said[2];
        for (int d = 0; d < 2; ++d) {
            QVERIFY(startX(false, d ? xvfb2 : xvfb));
            env.insert(u"QT_LOGGING_RULES"_s, u"salonya.startup.info=true;salonya.checkout.info=true"_s);
            said[d] = startDesk(d ? desk2 : desk);
            QVERIFY2(said[d].isEmpty(), said[d].constData());
            seat[d] = env;
            windows[d] = window;
        }
        const auto at = [&](int d) { env = seat[d]; window = windows[d]; };
        const auto output = [&](int d) { return QString::fromUtf8(said[d] += (d ? desk2 : desk).readAll()); };
        enum { ColourBar, Reception };

        // The colour bar: Ayşe, the employee, "BOYA", the dye picked on the keys, 35 g, "Tamam".
        at(ColourBar);
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"ayşe"_s));
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));
        QVERIFY(tap(screen->Command1[0]));
        QVERIFY(choose(screen->Text3, screen->DBListe3, u"boy"_s));
        QVERIFY(tapKeys(u"35"_s) && tap(screen->Command2[0]));
        const QString open = u"SELECT count(*) FROM Salonya WHERE Yeni=1"_s;
        QTRY_COMPARE_WITH_TIMEOUT(fx.ownValue(u"Salonya.Mdb"_s, open).toInt(), 1, 5000);

        // The reception, untouched meanwhile, shows her ticket two seconds later: its first row takes it, and it goes.
        QTest::qWait(2000);
        at(Reception);
        QVERIFY(tapRow(screen->DBGridMus, 0));
        QVERIFY(tap(screen->KasaCmd));
        QTRY_VERIFY_WITH_TIMEOUT(output(Reception).contains(u"1 lines sent to slot 1"_s), 10000);
        at(ColourBar);
        QVERIFY(tap(screen->KasaCmd));
        QTRY_VERIFY_WITH_TIMEOUT(output(ColourBar).contains(u"0 lines sent"_s), 10000);

        QList<RegisterSlots::Line> lines;
        QString error;
        QVERIFY2(RegisterSlots::read(fx.slotFile(), &lines, &error), qPrintable(error));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].name + u' ' + lines[0].customer + u' ' + lines[0].quantity.toString(), u"Boya 7.0 Kumral AYŞE YILMAZ 0.035"_s);
        QCOMPARE(fx.ownValue(u"Salonya.Mdb"_s, open).toInt(), 0);
        QVERIFY(desk.state() == QProcess::Running && desk2.state() == QProcess::Running);
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
        QVERIFY2(startX(windowManager), qPrintable(u"no X server or window manager: "_s + wm.readAll()));

        QVERIFY(writeSalon(fx));
        Settings::save(u"salonya"_s, u"SizeKlv"_s, u"Caps"_s, u"True"_s);
        for (const char* key : {"IpNo", "SalonyaLeft", "SalonyaTop"}) // a stored place, framed by the window manager after
            if (windowManager) Settings::save(u"salonya"_s, u"Salonya"_s, QString::fromLatin1(key), key[0] == 'I' ? u"C:\\X"_s : u"1500"_s);

        const QByteArray said = startDesk();
        QVERIFY2(said.isEmpty(), said.constData());
        // The capitals switch left on at the last close locks the server's own Caps Lock again.
        const std::unique_ptr<Display, int (*)(Display*)> x(XOpenDisplay(env.value(u"DISPLAY"_s).toLocal8Bit().constData()), XCloseDisplay);
        XkbStateRec state{};
        QVERIFY(x && XkbGetState(x.get(), XkbUseCoreKbd, &state) == Success);
        QVERIFY(state.locked_mods & LockMask);

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

    // A scanner types its code and Enter within milliseconds, wherever the focus is. Each row chooses Ayşe and Gülay, then
    // runs its script: "@" taps a control, "#" scans (a burst of 5 ms keys; "\r" inside: back to back), "~" types a key each
    // 80 ms, then Enter; "%" taps "STOKLAR" and scans at once while the stock file is locked, so the scan waits for its refresh.
    void scansWhereverTheFocusIs_data()
    {
        QTest::addColumn<bool>("windowManager"); QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("lines");  // of the ticket, as name, customer and quantity
        QTest::addColumn<int>("newCards"); // "Cr-" cards the desk made
        const QString shampoo = u"Şampuan M1 1"_s;
        QTest::newRow("right after STOKLAR") << false << QStringList{"@STOKLAR", "#8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("after a panel button") << false << QStringList{"@Fön", "#8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("KlvTxt after a customer pick") << false << QStringList{"#8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("KlvTxt under openbox") << true << QStringList{"#8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("the stock field itself") << false << QStringList{"@STOKLAR", "@StokText", "#8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("customer field, known card") << false << QStringList{"@Text1", "#6936322694", "@Fön", "@İŞLE"} << u"Fön M2 1"_s << 0;
        QTest::newRow("customer field, unknown card, then Enter") << false << QStringList{"@Text1", "#5550001112", "~", "@Fön", "@İŞLE"} << "" << 0;
        QTest::newRow("a slow typist's new customer") << false << QStringList{"@Text1", "~5550123"} << "" << 1;
        QTest::newRow("two scans back to back") << false << QStringList{"@STOKLAR", "#8690000000017\r8693574461180", "@İŞLE"} << shampoo << 0;
        QTest::newRow("a scan during a refresh") << false << QStringList{"%8693574461180", "@İŞLE"} << shampoo << 0;
    }
    void scansWhereverTheFocusIs()
    {
        QFETCH(bool, windowManager); QFETCH(QStringList, script);
        if (windowManager && QStandardPaths::findExecutable(u"openbox"_s).isEmpty()) QSKIP("SKIPPED: openbox is not installed");
        SalonFixture fx;
        QVERIFY(startX(windowManager));
        QVERIFY(writeSalon(fx));
        // xdotool on a busy test machine keeps its 5 ms only roughly; a person's 80 ms stay apart.
        Settings::save(u"salonya"_s, u"Salonya"_s, u"BarkodAralik"_s, u"50"_s);
        Settings::save(u"salonya"_s, u"Salonya"_s, u"ElleAralik"_s, u"75"_s);
        const QByteArray said = startDesk();
        QVERIFY2(said.isEmpty(), said.constData());
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"ayşe"_s));
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));

        const QHash<QString, QWidget*> controls{{u"Text1"_s, screen->Text1}, {u"StokText"_s, screen->StokText}, {u"STOKLAR"_s, screen->Command1[27]},
                                                {u"Fön"_s, screen->Command1[1]}, {u"İŞLE"_s, screen->Command1[28]}};
        const auto type = [&](const QString& text, int delay, QStringList before = {}) {
            return xdotool(before << u"type"_s << u"--delay"_s << QString::number(delay) << text + u'\r') != u"!"; // CR is the Return key
        };
        for (const QString& step : std::as_const(script)) {
            const QString arg = step.mid(1);
            if (step.startsWith(u'@')) {
                QVERIFY2(tap(controls.value(arg)), qPrintable(step));
            } else if (step.startsWith(u'#')) {
                QVERIFY(type(arg, 5));
            } else if (step.startsWith(u'~')) {
                // A call a key: xdotool waits for the server each time, so a busy server cannot bunch a person's keys up.
                for (const QChar c : arg + u'\r') {
                    QVERIFY(xdotool({u"type"_s, c}) != u"!");
                    QTest::qWait(80);
                }
            } else {
                sqlite3* lock = nullptr;
                QVERIFY(sqlite3_open(fx.ownFile(u"Stok.Mdb"_s).toUtf8().constData(), &lock) == SQLITE_OK);
                QVERIFY(sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK);
                const QPoint p = screen->Command1[27]->mapTo(screen.get(), screen->Command1[27]->rect().center());
                const bool typed = type(arg, 5, {u"mousemove"_s, u"--window"_s, window, QString::number(p.x()), QString::number(p.y()), u"click"_s, u"1"_s});
                QTest::qWait(500);
                sqlite3_close(lock); // rolls back, the file free again
                QVERIFY(typed);
            }
            QTest::qWait(300);
        }
        QFETCH(QString, lines); QFETCH(int, newCards);
        const QString ticket = u"SELECT group_concat(Islem || ' ' || Cari || ' ' || printf('%g', Miktar), ', ') FROM Salonya"_s;
        QTRY_COMPARE_WITH_TIMEOUT(fx.ownValue(u"Salonya.Mdb"_s, ticket).toString(), lines, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(count(fx.ownFile(u"Cari.Mdb"_s), u"SELECT count(*) FROM CariKartlar WHERE substr(CariKod, 1, 3) = 'Cr-'"_s), newCards, 3000);
    }
};

QTEST_MAIN(TestTouchScreen)
#include "tst_touchscreen.moc"
