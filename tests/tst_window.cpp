// The main screen's window: layout, geometry and its guard, the wheel, the colour and font menus.
// The headless screen is 800 x 600.
#include "salonfixture.h"

#include "app/formdesign.h"
#include "app/resizefrm.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "input/capsonoff.h"
#include "ui/datagrid.h"
#include "ui/desktouch.h"
#include "ui/fontscolours.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchgestures.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The designed pixel rectangle of every control, keyboard keys included, by widget.
QHash<QWidget*, QRect> designOf(Salonya& f)
{
    QHash<QWidget*, QRect> d;
    for (QWidget* w : ResizeFrm::controlsOf(&f)) {
        const QVariant index = w->property("Index");
        if (const FormDesign::Control* c = FormDesign::find(w->objectName(), index.isValid() ? index.toInt() : -1))
            d.insert(w, FormDesign::toPixels(c->left, c->top, c->width, c->height));
    }
    for (const FormDesign::Key& k : FormDesign::keys()) d.insert(f.key(k.index), FormDesign::toPixels(k.left, k.top, k.width, k.height));
    return d;
}

struct KeyLog : QObject {
    QList<int> keys;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
        return false;
    }
};

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
    const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
    const auto it = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == caption; });
    if (it == actions.end()) return false;
    menu->hide();
    (*it)->trigger();
    return true;
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

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void scalesFromTheDesign_data()
    {
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<int>("widthPercent");
        QTest::addColumn<int>("heightPercent");
        QTest::newRow("double width") << QList<QSize>{{2544, 768}} << 200 << 100;
        // Truncated in twips: the 6435-twip list becomes 8751 twips, 583 pixels and not 584.
        QTest::newRow("136 per cent high") << QList<QSize>{{1272, 1052}} << 100 << 136;
        // Odd sizes on the way must leave no trace: each layout starts from the registration.
        QTest::newRow("back from odd sizes") << QList<QSize>{{1000, 613}, {1931, 1079}, {1272, 768}} << 100 << 100;
    }
    void scalesFromTheDesign()
    {
        QFETCH(QList<QSize>, sizes);
        QFETCH(int, widthPercent);
        QFETCH(int, heightPercent);
        Salonya f;
        const QHash<QWidget*, QRect> design = designOf(f);
        QCOMPARE(design.size(), 48 + int(FormDesign::controls().size()));
        const QFont font = f.Command1[5]->font();
        ResizeFrm layout;
        layout.ResizeForm(&f);
        for (const QSize& s : sizes) {
            f.resize(s);
            layout.ResizeForm(&f);
        }
        const auto w = [&](int pixels) { return pixels * 15 * widthPercent / 100 / 15; };
        const auto h = [&](int pixels) { return pixels * 15 * heightPercent / 100 / 15; };
        for (auto it = design.cbegin(); it != design.cend(); ++it) {
            const QRect d = it.value();
            QVERIFY2(it.key()->geometry() == QRect(w(d.left()), h(d.top()), w(d.width()), h(d.height())), qPrintable(it.key()->objectName()));
        }
        QCOMPARE(f.Command1[5]->font(), font);
    }

    void parkedControlsFormsAndLateControls()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("Deneme"));
        form.resize(1000, 600);
        auto* parked = new QPushButton(&form);
        parked->setObjectName(QStringLiteral("Park"));
        parked->setGeometry(-4934, 10, 50, 20); // -74010 twips, stored as 990
        auto* back = new QPushButton(&form);
        back->setObjectName(QStringLiteral("Geri"));
        back->setGeometry(-4934, 40, 50, 20);
        ResizeFrm layout;
        layout.ResizeForm(&form);
        QCOMPARE(parked->x(), (990 - 75000) / 15); // still parked at 100 per cent

        auto* late = new QPushButton(&form);
        late->setObjectName(QStringLiteral("Sonra"));
        late->setGeometry(100, 100, 80, 30);
        back->move(5, 40); // brought onto the form: it no longer subtracts the offset
        form.resize(1500, 600);
        layout.ResizeForm(&form);
        QCOMPARE(parked->x(), (990 * 150 / 100 - 75000) / 15);
        QCOMPARE(back->x(), 990 * 150 / 100 / 15);
        QCOMPARE(late->geometry(), QRect(100, 100, 80, 30));

        // A form moved 30000 twips down counts as parked and is not laid out.
        form.move(0, 2000);
        form.resize(3000, 600);
        layout.ResizeForm(&form);
        QCOMPARE(parked->width(), 75);
    }

    // Stored in twips, which start-up reads (tst_startup); Caps Lock goes off at close.
    void geometryKeptAcrossARestart()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->move(40, 30);
        f->resize(700, 500);
        CapsOnOff::SetCapsLock(true);
        fx.stop();
        QVERIFY(!CapsOnOff::CapsLockOn());
        f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->pos(), QPoint(40, 30)); // the frame's corner, as it was stored
        QCOMPARE(f->size(), QSize(700, 500));
        // The controls follow the restored size: 55 per cent of the width, 65 of the height.
        QCOMPARE(f->KasaCmd->geometry(), QRect(14475 * 55 / 100 / 15, 4140 * 65 / 100 / 15, 4485 * 55 / 100 / 15, 3435 * 65 / 100 / 15));
        // The grids' columns shrank with them; a vertical scroll bar may cover the last few pixels.
        for (DataGrid* g : {f->DBGridIslem, f->DBGridMus, f->CariList}) {
            const int last = g->horizontalHeader()->count() - 1;
            QVERIFY(g->horizontalHeader()->sectionPosition(last) + g->columnWidth(last) <= g->width() - 2 * g->frameWidth());
        }
        // Dragging the edge about and back leaves the columns as they were.
        const int before = f->DBGridIslem->columnWidth(0);
        for (const QSize s : {QSize(613, 411), QSize(777, 560), QSize(650, 480), QSize(700, 500)}) {
            f->resize(s);
            QCoreApplication::processEvents();
            QCOMPARE(f->DBGridIslem->columnWidth(0) == before, s.width() == 700);
        }
        // Ctrl + touch on the bare background, and only that, takes the window to the top centre.
        QCOMPARE(f->childAt(QPoint(1, 1)), nullptr);
        QTest::mouseClick(f, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        QCOMPARE(f->pos(), QPoint(40, 30));
        QTest::mouseClick(f, Qt::LeftButton, Qt::ControlModifier, QPoint(1, 1));
        QTest::keyRelease(f, Qt::Key_Control);
        QCOMPARE(f->pos(), QPoint((800 - f->frameGeometry().width()) / 2, 0));
        // Stored too wide or off the screen: brought back, and narrowed to the screen with its frame.
        for (const auto& [stored, shown] : {std::pair(QRect(0, 0, 1272, 500), QPoint(0, 0)), std::pair(QRect(-300, -150, 640, 480), QPoint(0, 0)),
                                            std::pair(QRect(700, 550, 640, 480), QPoint(700, 550))}) {
            fx.stop();
            Settings::save(u"SalonyaLeft"_s, QString::number(stored.x() * 15));
            Settings::save(u"SalonyaTop"_s, QString::number(stored.y() * 15));
            Settings::save(u"SalonyaWidth"_s, QString::number(stored.width() * 15));
            Settings::save(u"SalonyaHeight"_s, QString::number(stored.height() * 15));
            f = fx.start();
            QVERIFY(f);
            QCOMPARE(f->pos(), shown);
            QCOMPARE(f->height(), stored.height());
            QCOMPARE(stored.width() > 800 ? f->frameGeometry().width() : f->width(), qMin(800, stored.width()));
        }
    }

    // Over a grid a notch is an arrow key to the focused field, touchpad steps add up and a change of
    // direction starts afresh; over anything else nothing.
    void wheel()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        KeyLog log;
        f->KlvTxt->setFocus();
        f->KlvTxt->installEventFilter(&log);
        const auto turn = [&](QWidget* w, const QList<int>& turns) {
            // The hidden list's lower part lies over the employee label only.
            const QPoint global = w->mapToGlobal(w == f->DBListe2 ? QPoint(10, w->height() - 5) : w->rect().center());
            for (int t : turns) {
                QWheelEvent e(f->windowHandle()->mapFromGlobal(QPointF(global)), QPointF(global), {}, QPoint(0, t), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(f->windowHandle(), &e);
            }
            return std::exchange(log.keys, {});
        };
        const QList<int> up{Qt::Key_Up}, down{Qt::Key_Down}, none;
        QCOMPARE(turn(f->DBGridMus, {40, 40}), none);
        QCOMPARE(turn(f->DBGridMus, {-60, -60}), down);
        QCOMPARE(turn(f->DBGridMus, {40, 40, 40, 40}), up);
        QCOMPARE(turn(f->DBListe2, {120}), none);
        QCOMPARE(turn(f->Text1, {120}), none);
        QCOMPARE(turn(f->findChild<QWidget*>(u"Command1"_s), {-120}), none);
        QCOMPARE(turn(f->DBGridMus, {120}), up);
    }

    // Right button on the background, a button, a frame: the colour menu. A long press, as a finger
    // on the touch screen does, opens the font menu; a moving finger does not.
    void colourAndFontMenusAndTheirSettings()
    {
        SalonFixture fx;
        Answers answers;
        Salonya* f = fx.start();
        QVERIFY(f);
        const QRect stoklar = f->Command1[27]->geometry();
        const QPoint besideStoklar(stoklar.left() - 3, stoklar.center().y());
        QTest::mouseClick(f->UrunlerFrm, Qt::RightButton, Qt::NoModifier, besideStoklar);
        QCOMPARE(f->state.Durum, 3.0f);
        QVERIFY(choose(u"Renk Seçimi"_s)); // cancelled
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(coloursOf(f), (QList<quint32>{0xFF00FF, 0xFFFF, 0x80}));
        answers.colour = Look::fromBgr(0x111111);
        QTest::mouseClick(f, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
        QCOMPARE(f->state.Durum, 1.0f);
        QVERIFY(choose(u"Renk Seçimi"_s));
        QCOMPARE(coloursOf(f), (QList<quint32>{0x111111, 0xFFFF, 0x80}));
        answers.colour = Look::fromBgr(0x222222);
        QTest::mouseClick(f->Command1[7], Qt::RightButton);
        QVERIFY(choose(u"Renk Seçimi"_s));
        QCOMPARE(coloursOf(f), (QList<quint32>{0x111111, 0x222222, 0x80}));
        answers.colour = Look::fromBgr(0x333333);
        QTest::mouseClick(f->UrunlerFrm, Qt::RightButton, Qt::NoModifier, besideStoklar);
        QVERIFY(choose(u"Renk Seçimi"_s));
        QCOMPARE(f->state.Durum, 0.0f);

        f->findChild<DeskTouch*>()->longPress()->setDelay(40);
        QPushButton* other = f->Command1[5];
        QTest::mousePress(other, Qt::LeftButton);
        QTest::mouseMove(other, other->rect().center() + QPoint(20, 0));
        QTest::qWait(80);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QTest::mouseRelease(other, Qt::LeftButton, {}, other->rect().center() + QPoint(20, 0));
        // Held on EXİT it opens the menu and does not close the desk.
        const QFont designed = f->Command1[4]->font();
        QPushButton* exit = f->Command1[32];
        QTest::mousePress(exit, Qt::LeftButton);
        QTRY_COMPARE(QApplication::activePopupWidget(), FontsColours::of(*f)->YazFnt);
        QTest::mouseRelease(exit, Qt::LeftButton);
        QVERIFY(f->isVisible());
        QCOMPARE(f->state.SeciliButon, 0.0f);
        QVERIFY(choose(u"Yazı Fontu"_s)); // cancelled
        QCOMPARE(f->Command1[4]->font(), designed);
        QVERIFY(!Settings::contains(Settings::appName(), u"Salonya"_s, u"FontName"_s));
        QFont chosen(u"DejaVu Sans"_s);
        chosen.setPointSizeF(16.5);
        answers.font = chosen;
        QTest::mouseClick(f->Command1[4], Qt::RightButton);
        QVERIFY(choose(u"Yazı Fontu"_s));
        const QStringList stored{u"Salonya"_s, u"ZeminRenk"_s, u"FrmRenk"_s, u"FontSize"_s};
        for (int restart = 0; restart < 2; ++restart) {
            QCOMPARE(coloursOf(f), (QList<quint32>{0x111111, 0x222222, 0x333333}));
            for (QPushButton* b : f->Command1) {
                QCOMPARE(b->font().family(), u"DejaVu Sans"_s);
                QCOMPARE(b->font().pixelSize(), 22);
            }
            QStringList values;
            for (const QString& key : stored) values << Settings::get(key);
            QCOMPARE(values.join(u' '), u"1118481 2236962 3355443 16.5"_s);
            fx.stop();
            f = fx.start();
            QVERIFY(f);
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
