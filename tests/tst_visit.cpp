// A whole visit by touch only: choose the customer and the employee on the on-screen keys and lists,
// write two services, send the ticket to the register, list and pay it with the register companion
// salonya-kasa, and see the next customer's ticket take slot 1 again.
#include "desk.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/jet.h"
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
        choose(f->Text1, f->DBListe1, Desk::Ayse);
        choose(f->Text2, f->DBListe2, Desk::Gulay);
        d.write({Desk::Fon, Desk::SacKesim});
        QCOMPARE(f->DataSalonya->recordCount(), 2);
        SalonFixture::touch(f->KasaCmd);
        QVERIFY(fx.messages.isEmpty());

        // The register lists the slot, takes the payment and frees slot 1; a slot 4 does not exist.
        QString out;
        QCOMPARE(runRegister({QStringLiteral("list")}, &out), 0);
        const QStringList listed = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(listed.value(1), QStringLiteral("Kasa 1: AYŞE YILMAZ — 2 satır, toplam 450,00"));
        QVERIFY2(listed.value(2).contains(u"Fön") && listed.value(3).contains(u"Saç Kesim"), qPrintable(out));
        QCOMPARE(listed.value(4), QStringLiteral("Kasa 2: boş"));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 ödendi: 2 satır kaldırıldı."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("1")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("Kasa 1 zaten boştu."));
        QCOMPARE(runRegister({QStringLiteral("pay"), QStringLiteral("4")}), 1);
        QCOMPARE(runRegister({QStringLiteral("öde"), QStringLiteral("1")}), 2);

        choose(f->Text1, f->DBListe1, Desk::Nazli);
        d.write({Desk::SacKesim});
        SalonFixture::touch(f->KasaCmd);
        QCOMPARE(count(fx.slotFile(), QStringLiteral("SELECT count(*) FROM \"Müsteri\" WHERE MusLbl=1 AND \"Müsteri\"=") + Jet::quote(Desk::Nazli)), 1);
    }
};

QTEST_MAIN(TestVisit)
#include "tst_visit.moc"
