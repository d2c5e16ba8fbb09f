// A whole visit on a real X display: the program runs under an X server of its own on a generated
// salon and is driven by real X input (xdotool), which goes through the window activation and focus
// paths that offscreen events skip. The register's slot file must then hold the ticket.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/turkish.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"
#include "ui/textbox.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace AccountingFiles;

class TestTouchScreen : public QObject
{
    Q_OBJECT
    SalonFixture fx;
    QProcess xvfb, desk;
    QString display, window;
    std::unique_ptr<Salonya> screen; // an unstarted copy of the main screen: where each control is

    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("DISPLAY"), display);
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        e.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("salonya.startup.info=true"));
        return e;
    }
    QString xdotool(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(QStringLiteral("xdotool"), args);
        return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QStringLiteral("!");
    }
    // One tap on a control, at its centre or at a point of it.
    bool tap(QWidget* w, QPoint at = {})
    {
        const QPoint p = w->mapTo(screen.get(), at.isNull() ? w->rect().center() : at);
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(p.x()), QString::number(p.y()),
                        QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("sleep"), QStringLiteral("0.15")}) != u"!";
    }
    bool typeOnKeys(const QString& text)
    {
        for (const QChar ch : text) {
            TouchKey* key = nullptr;
            for (TouchKey* k : std::as_const(screen->Label1))
                if (k && k->index() != 33 && Turkish::toLower(k->text()) == (ch == u' ' ? QStringLiteral(" boşluk") : QString(ch))) key = k;
            if (!key || !tap(key)) return false;
        }
        return true;
    }
    // Touch the field, type on the keys, tap the first entry of its list once.
    bool choose(TextBox* field, TouchList* list, const QString& keys)
    {
        return tap(field) && typeOnKeys(Turkish::toLower(keys)) && tap(list, {list->width() / 2, 18});
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("SKIPPED: Xvfb or xdotool is not installed, the visit on a real X display was not run");
        // A display number nobody uses, so parallel runs keep apart.
        for (int n = 150; n < 400 && display.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) continue;
            xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (QTest::qWaitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || xvfb.state() == QProcess::NotRunning; }, 10000)
                && xvfb.state() == QProcess::Running)
                display = QStringLiteral(":%1").arg(n);
        }
        QVERIFY2(!display.isEmpty(), "no X server could be started");
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
        QVERIFY(fx.writeDemo(40, -1, 5, 3));
        QString customer, employee, service;
        const QVariantList titles = column(fx.cardFile(), QStringLiteral("CariKartlar"), 1);
        const QVariantList groups = column(fx.cardFile(), QStringLiteral("CariKartlar"), 44);
        const QVariantList used = column(fx.cardFile(), QStringLiteral("CariKartlar"), 45);
        const QRegularExpression typable(QStringLiteral("^[\\w ]+$"), QRegularExpression::UseUnicodePropertiesOption);
        for (int i = 0; i < titles.size(); ++i) {
            const QString t = titles[i].toString();
            if (!typable.match(t).hasMatch() || used[i].toInt() != 0) continue;
            if (groups[i].toString() != u"Eleman") customer = t;
        }
        const QVariantList stockNames = column(fx.stockFile(), QStringLiteral("StokKartlar"), 1);
        const QVariantList stockGroups = column(fx.stockFile(), QStringLiteral("StokKartlar"), 30);
        service = stockNames[stockGroups.indexOf(QStringLiteral("Hizmet"))].toString();
        Settings::save(QStringLiteral("salonya"), QStringLiteral("Salonya"), QStringLiteral("Buton1"), service); // the desk's own file
        QVERIFY(!customer.isEmpty());

        desk.setProcessEnvironment(env());
        desk.setProcessChannelMode(QProcess::MergedChannels);
        desk.start(QStringLiteral(SALONYA_DESK));
        QByteArray said;
        QVERIFY2(QTest::qWaitFor([&] { said += desk.readAll(); return said.contains("ready in"); }, 60000), said.constData());
        window = xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                          QStringLiteral("^Salonya$")}).section(u'\n', 0, 0);
        QVERIFY(window != u"!");
        employee = column(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("Eleman"), 0).value(0).toString();

        screen = std::make_unique<Salonya>();
        QVERIFY(choose(screen->Text1, screen->DBListe1, customer));
        // Untyped, the field shows its placeholder when the list takes the focus, and that waits for a
        // refresh while the tap's release is already queued.
        QVERIFY(choose(screen->Text2, screen->DBListe2, {}));
        QVERIFY(tap(screen->Command1[1]));
        QVERIFY(tap(screen->Command1[28])); // "ÜRÜN İŞLE"
        QVERIFY(tap(screen->KasaCmd));

        auto slotColumn = [&](int position) { return column(fx.slotFile(), QStringLiteral("Müsteri"), position, QStringLiteral("Kayit")); };
        QTRY_COMPARE_WITH_TIMEOUT(slotColumn(1), QVariantList{service}, 10000);
        QCOMPARE(slotColumn(2), QVariantList{1}); // slot 1
        QCOMPARE(slotColumn(3), QVariantList{customer});
        QCOMPARE(slotColumn(8), QVariantList{employee});
    }
};

QTEST_MAIN(TestTouchScreen)
#include "tst_touchscreen.moc"
