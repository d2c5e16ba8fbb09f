// A whole visit on its own X server driven by real X input (xdotool): it takes the activation and focus paths
// offscreen events skip, taps arriving while a handler waits are held back, and the slot file holds the ticket.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/turkish.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"
#include "ui/textbox.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <X11/XKBlib.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

class TestTouchScreen : public QObject
{
    Q_OBJECT
    SalonFixture fx;
    QProcess xvfb, desk;
    QString window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment(); // of the desk and xdotool, on the X server
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
        // The server picks a display number nobody uses and says which, so parallel runs keep apart.
        xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s});
        QVERIFY2(QTest::qWaitFor([&] { return xvfb.canReadLine(); }, 10000), "no X server could be started");
        env.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(xvfb.readLine()).trimmed());
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(u"QT_LOGGING_RULES"_s, u"salonya.startup.info=true"_s);
    }
    void cleanupTestCase()
    {
        for (QProcess* p : {&desk, &xvfb}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    void aVisitByRealTouches()
    {
        QVERIFY(writeCards(fx.cardFile(), {card(u"M1"_s, u"AYŞE YILMAZ"_s), card(u"E1"_s, u"Gülay Kaya"_s, u"Eleman"_s)}));
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, {}, 150)}));
        QVERIFY(writeSlots(fx.slotFile()));
        Settings::save(u"salonya"_s, u"Salonya"_s, u"Buton1"_s, u"Fön"_s); // the desk's own file
        Settings::save(u"salonya"_s, u"SizeKlv"_s, u"Caps"_s, u"True"_s);

        desk.setProcessEnvironment(env);
        desk.setProcessChannelMode(QProcess::MergedChannels);
        desk.start(QStringLiteral(SALONYA_DESK));
        QByteArray said;
        QVERIFY2(QTest::qWaitFor([&] { said += desk.readAll(); return said.contains("ready in"); }, 60000), said.constData());
        window = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Salonya$"_s}).section(u'\n', 0, 0);
        QVERIFY(window != u"!");
        // The capitals switch left on at the last close locks the server's own Caps Lock again.
        Display* x = XOpenDisplay(env.value(u"DISPLAY"_s).toLocal8Bit().constData());
        XkbStateRec state{};
        QVERIFY(x && XkbGetState(x, XkbUseCoreKbd, &state) == Success);
        XCloseDisplay(x);
        QVERIFY(state.locked_mods & LockMask);

        screen = std::make_unique<Salonya>();
        QVERIFY(choose(screen->Text1, screen->DBListe1, u"ayşe"_s));
        // Untyped, the field shows its placeholder when the list takes the focus, and that waits for a
        // refresh while the tap's release is already queued.
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));
        QVERIFY(tap(screen->Command1[1]));
        QVERIFY(tap(screen->Command1[28])); // "ÜRÜN İŞLE"
        QVERIFY(tap(screen->KasaCmd));

        auto slotColumn = [&](int position) { return column(fx.slotFile(), u"Müsteri"_s, position, u"Kayit"_s); };
        QTRY_COMPARE_WITH_TIMEOUT(slotColumn(1), QVariantList{u"Fön"_s}, 10000);
        QCOMPARE(slotColumn(3), QVariantList{u"AYŞE YILMAZ"_s});
        QCOMPARE(slotColumn(8), QVariantList{u"Gülay Kaya"_s});
    }
};

QTEST_MAIN(TestTouchScreen)
#include "tst_touchscreen.moc"
