// The proportional layout engine on the main screen's design and on small forms of its own.
// The main screen has no line controls, so every case here moves rectangles.
#include "app/formdesign.h"
#include "app/resizefrm.h"
#include "app/salonya.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QPushButton>
#include <QTest>

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

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void scalesFromTheDesign_data()
    {
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<int>("widthFactor");
        QTest::newRow("design size") << QList<QSize>{} << 1;
        QTest::newRow("double width") << QList<QSize>{{2544, 768}} << 2;
        // Odd sizes on the way must leave no trace: each layout starts from the registration.
        QTest::newRow("back from odd sizes") << QList<QSize>{{1000, 613}, {1931, 1079}, {1272, 768}} << 1;
    }
    void scalesFromTheDesign()
    {
        QFETCH(QList<QSize>, sizes);
        QFETCH(int, widthFactor);
        Salonya f;
        const QHash<QWidget*, QRect> design = designOf(f);
        QCOMPARE(design.size(), 48 + int(FormDesign::controls().size()));
        ResizeFrm layout;
        layout.ResizeForm(&f);
        QCOMPARE(layout.controlRecords().size(), ResizeFrm::controlsOf(&f).size());
        for (const QSize& s : sizes) {
            f.resize(s);
            layout.ResizeForm(&f);
        }
        const QFont font = f.Command1[5]->font();
        for (auto it = design.cbegin(); it != design.cend(); ++it) {
            const QRect d = it.value();
            const QRect want(d.left() * widthFactor, d.top(), d.width() * widthFactor, d.height());
            QVERIFY2(it.key()->geometry() == want, qPrintable(it.key()->objectName()));
        }
        QCOMPARE(f.Command1[5]->font(), font);
    }

    void listHeightIsExact()
    {
        Salonya f;
        ResizeFrm layout;
        layout.ResizeForm(&f);
        f.resize(1272, 1052); // 136 per cent: 6435 twips * 136 / 100 = 8751 twips = 583 pixels
        layout.ResizeForm(&f);
        QCOMPARE(layout.HeightPercent(&f), 136);
        QCOMPARE(f.DBListe1->height(), 583);
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
        QCOMPARE(layout.controlRecords().at(0).Left, 990);
        QCOMPARE(parked->x(), (990 - 75000) / 15); // still parked at 100 per cent

        auto* late = new QPushButton(&form);
        late->setObjectName(QStringLiteral("Sonra"));
        late->setGeometry(100, 100, 80, 30);
        back->move(5, 40); // brought onto the form: it no longer subtracts the offset
        form.resize(1500, 600);
        layout.ResizeForm(&form);
        QCOMPARE(parked->x(), (990 * 150 / 100 - 75000) / 15);
        QCOMPARE(back->x(), 990 * 150 / 100 / 15);
        QCOMPARE(parked->width(), 75);
        QCOMPARE(late->geometry(), QRect(100, 100, 80, 30));

        // A form moved 30000 twips down counts as parked and is not laid out.
        form.move(0, 2000);
        form.resize(3000, 600);
        layout.ResizeForm(&form);
        QCOMPARE(parked->width(), 75);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
