// The day's backup of the desk's own databases: once a day with the last 14 days kept, each a copy
// that opens with the same rows, and a backup that cannot be written never stopping the desk.
#include "salonfixture.h"

#include "app/backup.h"
#include "app/salonya.h"
#include "app/startup.h"

#include <QDir>
#include <QTest>

using AccountingFiles::count;

class TestBackup : public QObject
{
    Q_OBJECT

    static QStringList days(const QString& programDir)
    {
        return QDir(programDir + QStringLiteral("/Yedek")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private slots:
    // One backup a day whatever the number of starts, the same rows in a sound file; the fifteenth day drops the oldest.
    void onceADayForFourteenDays()
    {
        SalonFixture fx;
        QVERIFY(QDir(fx.programDir() + QStringLiteral("/Yedek")).removeRecursively());
        QVERIFY(fx.execOwn(QStringLiteral("Salonya.Mdb"), QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000)"
            " INSERT INTO Salonya (Islem, Cari, Yeni) SELECT 'Hizmet '||i, 'M'||(i%300), i%2 FROM n")));
        QVERIFY(fx.execOwn(QStringLiteral("Cari.Mdb"), QStringLiteral("INSERT INTO CariKartlar (CariKod, Unvan, Gurup) VALUES ('M1', 'NAZLI', 'Müşteri')")));
        QVERIFY(fx.execOwn(QStringLiteral("Stok.Mdb"), QStringLiteral("INSERT INTO StokKartlar (StokKod, StokAdi) VALUES ('S1', 'Fön')")));
        const QDate first(2026, 1, 25);
        const QString lines = QStringLiteral("SELECT count(*) FROM Salonya");
        for (int d = 0; d < 16; ++d) {
            const QDate day = first.addDays(d);
            QCOMPARE(Backup::run(fx.programDir(), day), QString());
            const QString folder = Backup::folderOf(fx.programDir(), day);
            for (const QString t : {QStringLiteral("Cari.Mdb:CariKartlar"), QStringLiteral("Stok.Mdb:StokKartlar"), QStringLiteral("Salonya.Mdb:Salonya")}) {
                const QString file = t.section(u':', 0, 0), sql = QStringLiteral("SELECT count(*) FROM ") + t.section(u':', 1);
                QCOMPARE(AccountingFiles::rows(folder + u'/' + file, QStringLiteral("PRAGMA integrity_check")).value(0).value(QStringLiteral("integrity_check")),
                         QVariant(QStringLiteral("ok")));
                QCOMPARE(count(folder + u'/' + file, sql), count(fx.ownFile(file), sql));
            }
            // A later start the same day leaves the day's copy as it was.
            QVERIFY(fx.execOwn(QStringLiteral("Salonya.Mdb"), QStringLiteral("INSERT INTO Salonya (Islem, Yeni) VALUES ('Kesim', 1)")));
            QCOMPARE(Backup::run(fx.programDir(), day), QString());
            QCOMPARE(count(folder + QStringLiteral("/Salonya.Mdb"), lines), 20000 + d);
            const QStringList kept = days(fx.programDir());
            QCOMPARE(kept.size(), qMin(d + 1, Backup::KeepDays));
            QCOMPARE(kept.first(), first.addDays(qMax(0, d + 1 - Backup::KeepDays)).toString(Qt::ISODate));
        }
    }

    // The desk reaches ready with the backup folder blocked, says so once, and backs up on a later
    // start once the way is clear.
    void failingBackupDoesNotStopTheDesk()
    {
        SalonFixture fx;
        QVERIFY(fx.writeDemo(20));
        QVERIFY(QDir(fx.programDir() + QStringLiteral("/Yedek")).removeRecursively());
        QFile blocker(fx.programDir() + QStringLiteral("/Yedek"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Salonya* f = fx.start();
        QVERIFY(f);
        QTRY_COMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages[0].startsWith(QStringLiteral("Günlük yedek alınamadı:\n")), qPrintable(fx.messages[0]));
        QVERIFY(f->startup()->isReady());

        QVERIFY(blocker.remove());
        QVERIFY(fx.start());
        const QString today = Backup::folderOf(fx.programDir(), QDate::currentDate());
        QTRY_VERIFY(QFileInfo::exists(today + QStringLiteral("/Salonya.Mdb")));
        QCOMPARE(days(fx.programDir()), QStringList{QFileInfo(today).fileName()});
        QCOMPARE(fx.messages.size(), 1);
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
