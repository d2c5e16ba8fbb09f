// A whole visit by touch only: choose the customer and the employee on the on-screen keys and lists,
// write two services, send the ticket to the register, list and pay it with the register companion
// salonya-kasa, and see the next customer's ticket take slot 1 again.
#include "desk.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/turkish.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace AccountingFiles;

class TestVisit : public QObject
{
    Q_OBJECT

    Desk d;
    SalonFixture& fx = d.fx;
    Salonya* f = nullptr;

    // Three letters on the keys narrow the list; the name is then tapped.
    void choose(TextBox* field, TouchList* list, const QString& name)
    {
        SalonFixture::touch(field);
        fx.typeOnKeys(Turkish::toLower(name.left(3)));
        QVERIFY2(fx.tapListEntry(list, name), qPrintable(name));
        QCOMPARE(field->text(), name);
    }
    void writeService(int button)
    {
        SalonFixture::touch(f->Command1[button]);
        SalonFixture::touch(f->Command1[28]); // "ÜRÜN İŞLE"
    }
    QVariantList slotColumn(int position) { return column(fx.slotFile(), QStringLiteral("Müsteri"), position, QStringLiteral("Kayit")); }

    // The register companion's exit code; what it printed in *out.
    int runRegister(const QStringList& args, QString* out = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(SALONYA_KASA), QStringList{QStringLiteral("--prefix"), fx.localPrefix()} + args);
        if (!p.waitForFinished(20000)) return -1;
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void fromCustomerToPaymentAndAgain()
    {
        QVERIFY(writeSlots(fx.slotFile()) && d.open());
        f = d.f;
        const QStringList customers{Desk::Ayse, Desk::Nazli}, services{QStringLiteral("Fön"), QStringLiteral("Saç Kesim")};
        choose(f->Text1, f->DBListe1, customers[0]);
        choose(f->Text2, f->DBListe2, Desk::Gulay);
        writeService(1);
        writeService(2);
        QCOMPARE(f->DataSalonya->recordCount(), 2);
        SalonFixture::touch(f->KasaCmd);
        QVERIFY(fx.messages.isEmpty());

        // The register lists the slot, takes the payment and frees slot 1; a slot 4 does not exist.
        QString out;
        QCOMPARE(runRegister({QStringLiteral("list")}, &out), 0);
        const QStringList listed = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(listed.value(1), QStringLiteral("Kasa 1: AYŞE YILMAZ — 2 satır, toplam 450,00"));
        QVERIFY2(listed.value(2).contains(services[0]) && listed.value(3).contains(services[1]), qPrintable(out));
        QCOMPARE(listed.value(4), QStringLiteral("Kasa 2: boş"));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 ödendi: 2 satır kaldırıldı."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 zaten boştu."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("4")}), 1);
        QCOMPARE(runRegister({QStringLiteral("öde"), QStringLiteral("1")}), 2);

        choose(f->Text1, f->DBListe1, customers[1]);
        choose(f->Text2, f->DBListe2, Desk::Gulay);
        writeService(2);
        SalonFixture::touch(f->KasaCmd);
        QCOMPARE(slotColumn(2), QVariantList{1});
        QCOMPARE(slotColumn(3), QVariantList{customers[1]});
    }
};

QTEST_MAIN(TestVisit)
#include "tst_visit.moc"
