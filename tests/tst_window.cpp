// The main screen's window: layout, geometry and its guard, the colour and font menus.
#include "salonfixture.h"

#include "app/formdesign.h"
#include "app/resizefrm.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "input/capsonoff.h"
#include "ui/desktouch.h"
#include "ui/fontscolours.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchgestures.h"
#include "ui/touchkey.h"

#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QThread>

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

struct Answers : LookDialogs {
    std::optional<QColor> colour;
    std::optional<QFont> font;
    Answers() { LookDialogs::replace(this); }
    ~Answers() override { LookDialogs::replace(nullptr); }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return colour; }
    QFont start;
    std::optional<QFont> chooseFont(QWidget*, const QFont& from) override { return start = from, font; }
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
        QTest::addColumn<QList<QSize>>("sizes"); QTest::addColumn<int>("widthPercent"); QTest::addColumn<int>("heightPercent");
        QTest::newRow("double width") << QList<QSize>{{2544, 768}} << 200 << 100;
        // Truncated in twips: the 6435-twip list becomes 8751 twips, 583 pixels and not 584.
        QTest::newRow("136 per cent high") << QList<QSize>{{1272, 1052}} << 100 << 136;
        // Odd sizes on the way must leave no trace: each layout starts from the registration.
        QTest::newRow("back from odd sizes") << QList<QSize>{{1000, 613}, {1931, 1079}, {1272, 768}} << 100 << 100;
    }
    void scalesFromTheDesign()
    {
        QFETCH(QList<QSize>, sizes); QFETCH(int, widthPercent); QFETCH(int, heightPercent);
        Salonya f;
        const QHash<QWidget*, QRect> design = designOf(f);
        QCOMPARE(design.size(), 48 + int(FormDesign::controls().size()));
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
    }

    // The headless screen is 800 x 600; a stored place or look it cannot show, or cannot read, takes its default.
    void storedGeometryAndLookOnAShortScreen_data()
    {
        QTest::addColumn<QStringList>("stored"); // left, top, width, height in twips; font size, colour
        QTest::addColumn<QRect>("shown");
        QTest::addColumn<int>("pixels"); // of the buttons' font
        QTest::newRow("too wide, huge, negative") << QStringList{u"0"_s, u"0"_s, u"19080"_s, u"7500"_s, u"9999"_s, u"-1"_s} << QRect(0, 0, 796, 500) << 16;
        QTest::newRow("off the top left, zero, overflowing")
            << QStringList{u"-4500"_s, u"-2250"_s, u"9600"_s, u"7200"_s, u"0"_s, u"1e300"_s} << QRect(0, 0, 640, 480) << 16;
        QTest::newRow("beyond right and bottom, negative, not a number")
            << QStringList{u"10500"_s, u"8250"_s, u"9600"_s, u"7200"_s, u"-3"_s, u"nan"_s} << QRect(700, 550, 640, 480) << 16;
        QTest::newRow("taller than the screen, readable, beyond white")
            << QStringList{u"0"_s, u"0"_s, u"9600"_s, u"11520"_s, u"16.5"_s, u"16777216"_s} << QRect(0, 0, 640, 596) << 22;
        QTest::newRow("absurd") << QStringList{u"0"_s, u"99999999"_s, u"2000000000"_s, u"2000000000"_s, u"9999"_s, u"-1"_s} << QRect(0, 0, 796, 596) << 16;
        QTest::newRow("unreadable") << QStringList{u"nan"_s, u"1e300"_s, u"abc"_s, u"-5"_s, u"abc"_s, u"abc"_s} << QRect(0, 0, 796, 596) << 16;
    }
    void storedGeometryAndLookOnAShortScreen()
    {
        QFETCH(QStringList, stored);
        SalonFixture fx;
        Settings::save(u"IpNo"_s, u"C:\\X"_s);
        Settings::save(u"FontName"_s, u"DejaVu Sans"_s);
        const QStringList keys{u"SalonyaLeft"_s, u"SalonyaTop"_s, u"SalonyaWidth"_s, u"SalonyaHeight"_s, u"FontSize"_s, u"Salonya"_s, u"ZeminRenk"_s, u"FrmRenk"_s};
        for (int i = 0; i < keys.size(); ++i) Settings::save(keys[i], stored[qMin(i, 5)]);
        Salonya* f = fx.start();
        QVERIFY(f);
        QTEST(QRect(f->pos(), f->size()), "shown"); // the frame's corner, 2 px round the window
        QTEST(f->Command1[0]->font().pixelSize(), "pixels");
        QCOMPARE(coloursOf(f), (QList<quint32>{0xFF00FF, 0xFFFF, 0x80}));
        // Every control, keyboard keys included, lies inside the window, and the field captions show whole.
        for (QWidget* w : ResizeFrm::controlsOf(f) + QList<QWidget*>(f->Label1.begin(), f->Label1.end()))
            if (w && w != f->KlvTxt) QVERIFY2(f->rect().contains(QRect(w->mapTo(f, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
        f->Text2->setText(u"ELEMAN SEÇİN..?"_s); // the prompt, longer than the placeholder
        for (TextBox* t : {f->Text1, f->Text2}) // within the 2 px border, 8 px padding and 2 px margin a side
            QVERIFY2(QFontMetrics(t->font()).horizontalAdvance(t->text()) <= t->width() - 24, qPrintable(t->text()));
    }

    // An open frame hides the history under it whole; its rounded corners show the form, not what lies beneath.
    void openFrameCorners()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->StokFrm->show();
        f->StokFrm->raise();
        const QImage shot = f->grab().toImage();
        const QRect frame = f->StokFrm->geometry();
        QCOMPARE(shot.pixelColor(frame.topLeft()), Look::fromBgr(Look::backColor(f)));
        QCOMPARE(shot.pixelColor(frame.left() + 2, frame.center().y()), Look::fromBgr(Look::backColor(f->StokFrm)));
    }

    // A finger held still opens the menu of the place it rests on, whose colour is then chosen (or cancelled) and
    // stored; the panel takes the form's edges beside its buttons, where Ctrl only centres, as on the background.
    // A touch released while the desk was held up stays one: its button is marked.
    void longPressMenus_data()
    {
        QTest::addColumn<QString>("place"); QTest::addColumn<bool>("control"); QTest::addColumn<QString>("menu"); QTest::addColumn<float>("target");
        QTest::addColumn<bool>("heldUp");
        QTest::addColumn<QList<quint32>>("colours"); // form, buttons, frames after the choice
        const QList<quint32> none{0xFF00FF, 0xFFFF, 0x80}, frames{0xFF00FF, 0xFFFF, 0x111111};
        QTest::newRow("gap beside STOKLAR, cancelled") << u"gap"_s << false << u"Renk"_s << 3.0f << false << none;
        QTest::newRow("panel under the buttons") << u"under"_s << false << u"Renk"_s << 3.0f << false << frames;
        QTest::newRow("panel left of the buttons") << u"left"_s << false << u"Renk"_s << 3.0f << false << frames;
        QTest::newRow("background") << u"background"_s << false << u"Renk"_s << 1.0f << false << QList<quint32>{0x111111, 0xFFFF, 0x80};
        QTest::newRow("EXİT, not closing") << u"EXİT"_s << false << u"YazFnt"_s << 0.0f << false << QList<quint32>{0xFF00FF, 0x111111, 0x80};
        QTest::newRow("Ctrl, background") << u"background"_s << true << QString() << 0.0f << false << none;
        QTest::newRow("Ctrl, panel under the buttons") << u"under"_s << true << QString() << 0.0f << false << none;
        QTest::newRow("STOKLAR touched, the desk held up") << u"STOKLAR"_s << false << QString() << 0.0f << true << QList<quint32>{0xFF00FF, 1, 0x80};
    }
    void longPressMenus()
    {
        QFETCH(QString, place); QFETCH(bool, control); QFETCH(bool, heldUp); QFETCH(QList<quint32>, colours);
        SalonFixture fx;
        Answers answers;
        Salonya* f = fx.start();
        QVERIFY(f);
        f->findChild<DeskTouch*>()->longPress()->setDelay(40);
        const auto button = [&](int i) { return f->Command1[i]->geometry().translated(f->UrunlerFrm->pos()); };
        const QPoint at = QHash<QString, QPoint>{{u"gap"_s, {button(27).left() - 3, button(27).center().y()}}, {u"background"_s, {1, 1}},
                                                 {u"under"_s, {button(5).center().x(), button(32).bottom() + 8}}, {u"left"_s, {1, button(1).center().y()}},
                                                 {u"EXİT"_s, button(32).center()}, {u"STOKLAR"_s, button(27).center()}}[place];
        f->move(40, 30);
        const Qt::KeyboardModifiers mods = control ? Qt::ControlModifier : Qt::NoModifier;
        QWidget* touched = f->childAt(at) ? f->childAt(at) : f;
        QTest::mousePress(touched, Qt::LeftButton, mods, touched->mapFrom(f, at));
        if (heldUp) QThread::msleep(300); // the release waits in the queue past the timeout
        QTest::qWait(heldUp ? 0 : 120);
        QTest::mouseRelease(touched, Qt::LeftButton, mods, touched->mapFrom(f, at));
        if (control) QTest::keyRelease(f, Qt::Key_Control);
        QWidget* popup = QApplication::activePopupWidget();
        QTEST(popup ? popup->objectName() : QString(), "menu");
        QTEST(f->state.Durum, "target");
        const bool chosen = popup && colours != QList<quint32>{0xFF00FF, 0xFFFF, 0x80};
        if (chosen) answers.colour = Look::fromBgr(0x111111);
        QVERIFY(!popup || choose(u"Renk Seçimi"_s));
        QCOMPARE(coloursOf(f), colours);
        QCOMPARE(Settings::get(u"Salonya"_s) + Settings::get(u"ZeminRenk"_s) + Settings::get(u"FrmRenk"_s), chosen ? u"1118481"_s : QString());
        QCOMPARE(f->state.Durum, 0.0f);
        QVERIFY(f->isVisible());
        QCOMPARE(f->pos(), control ? QPoint((800 - f->frameGeometry().width()) / 2, 0) : QPoint(40, 30));
    }

    // Right button: the font menu; the look and the window's place are kept across restarts.
    void colourAndFontMenusAndTheirSettings()
    {
        SalonFixture fx;
        Answers answers;
        for (const auto& [key, colour] : {std::pair{u"Salonya"_s, u"1118481"_s}, {u"ZeminRenk"_s, u"2236962"_s}, {u"FrmRenk"_s, u"3355443"_s}})
            Settings::save(key, colour);
        Salonya* f = fx.start();
        QVERIFY(f);
        for (quint32 back : {Look::White, Look::Black}) { // "Eleman >" stays readable on the form
            Look::setBackColor(f, back);
            QCOMPARE(f->ElemanLbl->palette().color(f->ElemanLbl->foregroundRole()), Look::fromBgr(back ^ 0xFFFFFF));
        }
        Look::setBackColor(f, 0x111111);

        const QFont designed = f->Command1[4]->font();
        QTest::mouseClick(f->Command1[4], Qt::RightButton);
        QVERIFY(choose(u"Yazı Fontu"_s)); // cancelled
        QCOMPARE(answers.start.family(), QFontInfo(designed).family()); // the family shown, not the designed one missing
        QCOMPARE(f->Command1[4]->font(), designed);
        QVERIFY(!Settings::contains(Settings::appName(), u"Salonya"_s, u"FontName"_s));
        QFont chosen(u"DejaVu Sans"_s);
        chosen.setPointSizeF(16.5);
        answers.font = chosen;
        QTest::mouseClick(f->Command1[4], Qt::RightButton);
        QVERIFY(choose(u"Yazı Fontu"_s));
        const QStringList stored{u"Salonya"_s, u"ZeminRenk"_s, u"FrmRenk"_s, u"FontSize"_s};
        f->move(40, 30);
        f->resize(700, 500);
        for (int restart = 0; restart < 2; ++restart) {
            QCOMPARE(coloursOf(f), (QList<quint32>{0x111111, 0x222222, 0x333333}));
            for (QPushButton* b : f->Command1)
                QVERIFY(b->font().family() == u"DejaVu Sans"_s && b->font().pixelSize() == 22);
            QStringList values;
            for (const QString& key : stored) values << Settings::get(key);
            QCOMPARE(values.join(u' '), u"1118481 2236962 3355443 16.5"_s);
            CapsOnOff::SetCapsLock(true);
            fx.stop();
            QVERIFY(!CapsOnOff::CapsLockOn()); // off at close
            QVERIFY(f = fx.start());
            // The place in twips, as stored; the controls follow it: 55 per cent of the width, 65 of the height.
            QCOMPARE(QRect(f->pos(), f->size()), QRect(40, 30, 700, 500));
            QCOMPARE(f->KasaCmd->geometry(), QRect(14475 * 55 / 100 / 15, 4140 * 65 / 100 / 15, 4485 * 55 / 100 / 15, 3435 * 65 / 100 / 15));
        }
    }
};

// A headless screen of 800 x 600 with window frames, the smallest the desk serves.
int main(int argc, char** argv)
{
    QFile screen(QDir::temp().filePath(u"tst_window-screen.json"_s));
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screen.open(QIODevice::WriteOnly)) {
        screen.write(R"({"windowFrameMargins": true, "screens": [{"name": "S", "width": 800, "height": 600, "logicalDpi": 96}]})");
        screen.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    TestWindow t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_window.moc"
