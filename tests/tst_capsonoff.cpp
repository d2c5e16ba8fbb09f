// Caps Lock kept in step: nothing is sent when the state is already right, a toggle otherwise; on an
// X server the real lock follows and is read back (run again on the xcb platform when one is reachable).
#include "input/capsonoff.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <X11/Xlib.h>

class TestCapsOnOff : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { CapsOnOff::SetCapsLock(false); }

    void setCapsLock_data()
    {
        QTest::addColumn<bool>("from");
        QTest::addColumn<bool>("wanted");
        for (bool from : {false, true})
            for (bool wanted : {false, true})
                QTest::addRow("%s, wanted %s", from ? "on" : "off", wanted ? "on" : "off") << from << wanted;
    }
    void setCapsLock()
    {
        QFETCH(bool, from);
        QFETCH(bool, wanted);
        if (CapsOnOff::CapsLockOn() != from) CapsOnOff::ToggleCapsLock();
        const int before = CapsOnOff::sentKeyEvents();
        CapsOnOff::SetCapsLock(wanted);
        QCOMPARE(CapsOnOff::sentKeyEvents() - before, from == wanted ? 0 : 2); // a press and a release
        QCOMPARE(CapsOnOff::CapsLockOn(), wanted);
    }

    void realCapsLockOnX11()
    {
        if (QGuiApplication::platformName() == u"xcb") {
            QVERIFY(CapsOnOff::usesX11());
            return; // the data-driven cases above ran against the X server's lock
        }
        if (qEnvironmentVariableIsEmpty("DISPLAY")) QSKIP("no X server to run against");
        if (Display* d = XOpenDisplay(nullptr)) XCloseDisplay(d);
        else QSKIP("DISPLAY names no reachable X server");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-platform"), QStringLiteral("xcb")});
        QVERIFY(p.waitForFinished(60000));
        if (p.exitCode() != 0) qWarning().noquote() << p.readAll();
        QCOMPARE(p.exitCode(), 0);
    }
};

QTEST_MAIN(TestCapsOnOff)
#include "tst_capsonoff.moc"
