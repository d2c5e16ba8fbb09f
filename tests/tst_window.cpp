// The main screen's window: geometry kept across a restart, the resize guard, Ctrl + touch on the
// background, Caps Lock at close, and the wheel over lists and grids. The headless screen is 800 x 600.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "input/capsonoff.h"
#include "ui/datagrid.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

namespace {

// Records the keys that reach one widget.
struct KeyLog : QObject {
    QList<int> keys;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
        return false;
    }
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void geometryKeptAcrossARestart()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->move(40, 30);
        f->resize(700, 500);
        fx.stop();
        QCOMPARE(Settings::get(QStringLiteral("SalonyaLeft")), QStringLiteral("600"));
        QCOMPARE(Settings::get(QStringLiteral("SalonyaTop")), QStringLiteral("450"));
        QCOMPARE(Settings::get(QStringLiteral("SalonyaWidth")), QStringLiteral("10500"));
        QCOMPARE(Settings::get(QStringLiteral("SalonyaHeight")), QStringLiteral("7500"));
        f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->pos(), QPoint(40, 30)); // the frame's corner, as it was stored
        QCOMPARE(f->size(), QSize(700, 500));
        // The controls follow the restored size: 55 per cent of the width, 65 of the height.
        QCOMPARE(f->KasaCmd->geometry(), QRect(14475 * 55 / 100 / 15, 4140 * 65 / 100 / 15, 4485 * 55 / 100 / 15, 3435 * 65 / 100 / 15));
        // The grids' columns shrank with them: the last one still ends inside the grid.
        for (DataGrid* g : {f->DBGridIslem, f->DBGridMus, f->CariList}) {
            const int last = g->horizontalHeader()->count() - 1;
            // Inside the frame; a vertical scroll bar may still cover the last few pixels.
            QVERIFY(g->horizontalHeader()->sectionPosition(last) + g->columnWidth(last) <= g->width() - 2 * g->frameWidth());
        }
        // Dragging the edge about and back leaves the columns as they were.
        const int before = f->DBGridIslem->columnWidth(0);
        for (const QSize s : {QSize(613, 411), QSize(777, 560), QSize(650, 480), QSize(700, 500)}) {
            f->resize(s);
            QCoreApplication::processEvents();
            QCOMPARE(f->DBGridIslem->columnWidth(0) == before, s.width() == 700);
        }
    }

    void resizeGuard_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QPoint>("shown");
        QTest::addColumn<bool>("narrowed");
        QTest::newRow("wider than the screen") << QRect(0, 0, 1272, 500) << QPoint(0, 0) << true;
        QTest::newRow("off the left and top") << QRect(-300, -150, 640, 480) << QPoint(0, 0) << false;
        QTest::newRow("off the right and bottom") << QRect(700, 550, 640, 480) << QPoint(700, 550) << false;
    }
    void resizeGuard()
    {
        QFETCH(QRect, stored);
        QFETCH(QPoint, shown);
        QFETCH(bool, narrowed);
        SalonFixture fx;
        Settings::save(QStringLiteral("IpNo"), QStringLiteral("C:\\DefteryaData\\01"));
        const QStringList keys{QStringLiteral("SalonyaLeft"), QStringLiteral("SalonyaTop"), QStringLiteral("SalonyaWidth"), QStringLiteral("SalonyaHeight")};
        const int values[] = {stored.x(), stored.y(), stored.width(), stored.height()};
        for (int i = 0; i < 4; ++i) Settings::save(keys[i], QString::number(values[i] * 15));
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->pos(), shown);
        QCOMPARE(f->height(), stored.height());
        // Narrowed, the window with its frame is as wide as the screen.
        QCOMPARE(narrowed ? f->frameGeometry().width() : f->width(), narrowed ? 800 : stored.width());
    }

    void controlTouchOnTheBackgroundGoesTopCentre()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->resize(600, 450);
        f->move(150, 120);
        const QPoint background(1, 1);
        QCOMPARE(f->childAt(background), nullptr);
        QTest::mouseClick(f, Qt::LeftButton, Qt::NoModifier, background);
        QCOMPARE(f->pos(), QPoint(150, 120));
        QTest::mouseClick(f, Qt::LeftButton, Qt::ControlModifier, background);
        QTest::keyRelease(f, Qt::Key_Control);
        QCOMPARE(f->pos(), QPoint((800 - f->frameGeometry().width()) / 2, 0));
    }

    void capsLockOffAfterClosing()
    {
        SalonFixture fx;
        QVERIFY(fx.start());
        CapsOnOff::SetCapsLock(true);
        fx.stop();
        QVERIFY(!CapsOnOff::CapsLockOn());
    }

    void wheel_data()
    {
        QTest::addColumn<QString>("over");
        QTest::addColumn<QList<int>>("turns");
        QTest::addColumn<QList<int>>("keys");
        const QList<int> up{Qt::Key_Up}, down{Qt::Key_Down};
        QTest::newRow("notch away over a grid") << "DBGridMüs" << QList<int>{120} << up;
        QTest::newRow("notch towards over a grid") << "DBGridMüs" << QList<int>{-120} << down;
        QTest::newRow("touchpad thirds") << "DBGridMüs" << QList<int>{40, 40, 40, 40} << up;
        QTest::newRow("touchpad short of a notch") << "DBGridMüs" << QList<int>{40, 40} << QList<int>{};
        QTest::newRow("back and forth") << "DBGridMüs" << QList<int>{60, -60, -60} << down;
        QTest::newRow("hidden list") << "DBListe2" << QList<int>{120} << QList<int>{};
        QTest::newRow("text box") << "Text1" << QList<int>{120} << QList<int>{};
        QTest::newRow("button") << "Command1" << QList<int>{-120} << QList<int>{};
    }
    void wheel()
    {
        QFETCH(QString, over);
        QFETCH(QList<int>, turns);
        QFETCH(QList<int>, keys);
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        QWidget* w = f->findChild<QWidget*>(over);
        QVERIFY(w);
        // The hidden list's lower part lies over the employee label only.
        const QPoint local = over == u"DBListe2" ? QPoint(10, w->height() - 5) : w->rect().center();
        KeyLog log;
        f->KlvTxt->setFocus();
        f->KlvTxt->installEventFilter(&log);
        const QPoint global = w->mapToGlobal(local);
        for (int turn : turns) {
            QWheelEvent e(f->windowHandle()->mapFromGlobal(QPointF(global)), QPointF(global), {}, QPoint(0, turn), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f->windowHandle(), &e);
        }
        QCOMPARE(log.keys, keys);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
