// A whole visit on a generated salon, by touch only: choose the customer and the employee on the
// on-screen keys and lists, write two services, send the ticket to the register, list and pay it with
// the register companion salonya-kasa, and see the next customer's ticket take slot 1 again.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "data/datasource.h"
#include "data/turkish.h"
#include "ui/datagrid.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace AccountingFiles;

class TestVisit : public QObject
{
    Q_OBJECT

    SalonFixture* fx = nullptr;
    Salonya* f = nullptr;

    // The first two customers by title, the first employee and two services of the generated salon.
    QStringList customers, employees, services;

    void choose(TextBox* field, TouchList* list, const QString& name)
    {
        SalonFixture::touch(field);
        QVERIFY(list->isVisible());
        // Three letters narrow the list; the name is then tapped.
        fx->typeOnKeys(Turkish::toLower(name.left(3)));
        QTRY_VERIFY(list->isVisible());
        QVERIFY2(fx->tapListEntry(list, name), qPrintable(name));
        QCOMPARE(field->text(), name);
        QVERIFY(!list->isVisible());
        QVERIFY(!f->Frame2->isVisible());
    }

    void writeService(int button)
    {
        SalonFixture::touch(f->Command1[button]);
        SalonFixture::touch(f->Command1[28]); // "ÜRÜN İŞLE"
    }

    QVariantList slotColumn(int position) { return column(fx->slotFile(), QStringLiteral("Müsteri"), position, QStringLiteral("Kayit")); }

    // The register companion's exit code; what it printed in *out.
    int runRegister(const QStringList& args, QString* out = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(SALONYA_KASA), QStringList{QStringLiteral("--prefix"), fx->localPrefix()} + args);
        if (!p.waitForFinished(20000)) return -1;
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void init()
    {
        fx = new SalonFixture;
        QVERIFY(fx->writeDemo(60, -1, 5, 7));
        const QVariantList titles = column(fx->cardFile(), QStringLiteral("CariKartlar"), 1,
                                           QStringLiteral("rowid"));
        const QVariantList groups = column(fx->cardFile(), QStringLiteral("CariKartlar"), 44, QStringLiteral("rowid"));
        const QVariantList codes = column(fx->cardFile(), QStringLiteral("CariKartlar"), 0, QStringLiteral("rowid"));
        const QVariantList used = column(fx->cardFile(), QStringLiteral("CariKartlar"), 45, QStringLiteral("rowid"));
        customers.clear();
        employees.clear();
        for (int i = 0; i < titles.size(); ++i) {
            const QString t = titles[i].toString();
            if (groups[i].toString() == u"Eleman") employees << t;
            else if (!codes[i].toString().startsWith(u'=') && used[i].toInt() == 0 && !t.contains(u'\'')
                     && titles.count(titles[i]) == 1)
                customers << t;
        }
        QVERIFY(customers.size() >= 2 && !employees.isEmpty());
        const QVariantList stockNames = column(fx->stockFile(), QStringLiteral("StokKartlar"), 1);
        const QVariantList stockGroups = column(fx->stockFile(), QStringLiteral("StokKartlar"), 30);
        services.clear();
        for (int i = 0; i < stockNames.size() && services.size() < 2; ++i)
            if (stockGroups[i].toString() == u"Hizmet") services << stockNames[i].toString();
        Settings::save(QStringLiteral("Buton1"), services[0]);
        Settings::save(QStringLiteral("Buton2"), services[1]);
        f = fx->start();
        QVERIFY(f);
    }
    void cleanup()
    {
        delete fx;
        fx = nullptr;
    }

    void fromCustomerToPaymentAndAgain()
    {
        choose(f->Text1, f->DBListe1, customers[0]);
        choose(f->Text2, f->DBListe2, employees[0]);
        writeService(1);
        writeService(2);
        QCOMPARE(f->DataSalonya->recordCount(), 2);
        QVERIFY(f->KasaCmd->isEnabled());

        SalonFixture::touch(f->KasaCmd);
        QVERIFY(fx->messages.isEmpty());

        // The register lists the slot, takes the payment and frees slot 1; a slot 4 does not exist.
        QString out;
        QCOMPARE(runRegister({QStringLiteral("list")}, &out), 0);
        const QStringList listed = out.split(u'\n', Qt::SkipEmptyParts);
        double total = 0;
        for (const QVariant& t : slotColumn(7)) total += t.toDouble();
        QCOMPARE(listed.value(1), QStringLiteral("Kasa 1: %1 — 2 satır, toplam %2").arg(customers[0], QLocale(QLocale::Turkish).toString(total, 'f', 2)));
        QVERIFY2(listed.value(2).contains(services[0]) && listed.value(3).contains(services[1]), qPrintable(out));
        QCOMPARE(listed.value(4), QStringLiteral("Kasa 2: boş"));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 ödendi: 2 satır kaldırıldı."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 zaten boştu."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("4")}), 1);
        QCOMPARE(runRegister({QStringLiteral("öde"), QStringLiteral("1")}), 2);

        choose(f->Text1, f->DBListe1, customers[1]);
        choose(f->Text2, f->DBListe2, employees[0]);
        writeService(2);
        SalonFixture::touch(f->KasaCmd);
        QCOMPARE(slotColumn(2), QVariantList{1});
        QCOMPARE(slotColumn(3), QVariantList{customers[1]});
    }
};

QTEST_MAIN(TestVisit)
#include "tst_visit.moc"
