// The salon's own look: the colour and font menus, their settings kept across a restart, a
// cancelled dialog, and the long press that stands in for the right button on a touch screen.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "ui/desktouch.h"
#include "ui/fontscolours.h"
#include "ui/look.h"
#include "ui/touchgestures.h"

#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

struct Answers : LookDialogs {
    std::optional<QColor> colour;
    std::optional<QFont> font;
    Answers() { LookDialogs::replace(this); }
    ~Answers() override { LookDialogs::replace(nullptr); }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return colour; }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return font; }
};

// The menu that popped up, its item with this caption chosen.
bool choose(const QString& caption)
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return false;
    for (QAction* a : menu->actions())
        if (a->text() == caption) {
            menu->hide();
            a->trigger();
            return true;
        }
    return false;
}

// Form, buttons, frames; 1 where the buttons or the frames do not share one colour.
QList<quint32> coloursOf(const Salonya* f)
{
    auto shared = [](const QList<QWidget*>& ws) {
        for (QWidget* w : ws)
            if (Look::backColor(w) != Look::backColor(ws[0])) return 1u;
        return Look::backColor(ws[0]);
    };
    const QList<QWidget*> buttons(f->Command1.begin(), f->Command1.end());
    return {Look::backColor(f), shared(buttons), shared(QList<QWidget*>{f->UrunlerFrm, f->Frame1, f->StokFrm, f->BoyaFrm})};
}

} // namespace

class TestLook : public QObject
{
    Q_OBJECT
private slots:
    void colourMenus_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QList<quint32>>("after");
        QTest::newRow("background") << "form" << true << QList<quint32>{0x123456, 0xFFFF, 0x80};
        QTest::newRow("buttons") << "button" << true << QList<quint32>{0xFF00FF, 0x123456, 0x80};
        QTest::newRow("frames") << "panel" << true << QList<quint32>{0xFF00FF, 0xFFFF, 0x123456};
        QTest::newRow("cancelled") << "panel" << false << QList<quint32>{0xFF00FF, 0xFFFF, 0x80};
    }
    void colourMenus()
    {
        QFETCH(QString, place);
        QFETCH(bool, chosen);
        QFETCH(QList<quint32>, after);
        SalonFixture fx;
        Answers answers;
        if (chosen) answers.colour = Look::fromBgr(0x123456);
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(coloursOf(f), (QList<quint32>{0xFF00FF, 0xFFFF, 0x80})); // magenta, yellow, dark red
        if (place == u"form") {
            QTest::mouseClick(f, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
            QCOMPARE(f->state.Durum, 1.0f);
        } else if (place == u"panel") {
            const QRect stoklar = f->Command1[27]->geometry();
            QTest::mouseClick(f->UrunlerFrm, Qt::RightButton, Qt::NoModifier, QPoint(stoklar.left() - 3, stoklar.center().y()));
            QCOMPARE(f->state.Durum, 3.0f);
        } else {
            QTest::mouseClick(f->Command1[7], Qt::RightButton);
        }
        QVERIFY(choose(QStringLiteral("Renk Seçimi")));
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(coloursOf(f), after);
        QCOMPARE(f->state.SeciliButon, 0.0f);
        fx.stop();
        f = fx.start();
        QVERIFY(f);
        QCOMPARE(coloursOf(f), after);
        const QString key = place == u"form" ? QStringLiteral("Salonya") : place == u"button" ? QStringLiteral("ZeminRenk") : QStringLiteral("FrmRenk");
        QCOMPARE(Settings::get(key), chosen ? QStringLiteral("1193046") : QString());
    }

    void fontReachesEveryButtonAndStays()
    {
        SalonFixture fx;
        Answers answers;
        Salonya* f = fx.start();
        QVERIFY(f);
        const QFont designed = f->Command1[4]->font();
        QTest::mouseClick(f->Command1[4], Qt::RightButton);
        QVERIFY(choose(QStringLiteral("Yazı Fontu"))); // cancelled
        QCOMPARE(f->Command1[4]->font(), designed);
        QVERIFY(!Settings::contains(Settings::appName(), QStringLiteral("Salonya"), QStringLiteral("FontName")));

        QFont chosen(QStringLiteral("DejaVu Sans"));
        chosen.setPointSizeF(16.5);
        answers.font = chosen;
        QTest::mouseClick(f->Command1[4], Qt::RightButton);
        QVERIFY(choose(QStringLiteral("Yazı Fontu")));
        QCOMPARE(Settings::get(QStringLiteral("FontSize")), QStringLiteral("16.5"));
        for (int restart = 0; restart < 2; ++restart) {
            for (QPushButton* b : f->Command1) {
                QCOMPARE(b->font().family(), QStringLiteral("DejaVu Sans"));
                QCOMPARE(b->font().pixelSize(), 22);
            }
            fx.stop();
            f = fx.start();
            QVERIFY(f);
        }
    }

    void longPressIsTheRightButton()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->findChild<DeskTouch*>()->longPress()->setDelay(40);
        // A finger that moves is not holding.
        QPushButton* other = f->Command1[5];
        QTest::mousePress(other, Qt::LeftButton);
        QTest::mouseMove(other, other->rect().center() + QPoint(20, 0));
        QTest::qWait(80);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QTest::mouseRelease(other, Qt::LeftButton, {}, other->rect().center() + QPoint(20, 0));
        // Held on EXİT it opens the menu and does not close the desk.
        QPushButton* exit = f->Command1[32];
        QTest::mousePress(exit, Qt::LeftButton);
        QTRY_COMPARE(QApplication::activePopupWidget(), FontsColours::of(*f)->YazFnt);
        QTest::mouseRelease(exit, Qt::LeftButton);
        QVERIFY(f->isVisible());
        QCOMPARE(f->state.SeciliButon, 0.0f);
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
