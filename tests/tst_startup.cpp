// Start-up: first-start settings, the data folder, the three imports and their faults, the day's backup,
// start-ups that must still reach ready, and ones that must refuse.
#include "salonfixture.h"

#include "app/backup.h"
#include "app/salonya.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"

#include <QDir>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

    static int rowsIn(const QString& file, const QString& table, const QString& where = u"1"_s)
    {
        return count(file, u"SELECT count(*) FROM %1 WHERE %2"_s.arg(table, where));
    }
    static QStringList backupDays(const SalonFixture& fx)
    {
        return QDir(fx.programDir() + u"/Yedek"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private slots:
    // Nothing there yet and the backup folder blocked: the desk still reaches ready and says so once;
    // a later start backs up once the way is clear.
    void firstStartWithoutAnything()
    {
        SalonFixture fx;
        QVERIFY(QDir(fx.programDir() + u"/Yedek"_s).removeRecursively());
        QVERIFY(QFile(fx.programDir() + u"/Yedek"_s).open(QIODevice::WriteOnly));
        Salonya* f = fx.start();
        QVERIFY(f);
        QSettings ini(fx.root() + u"/config/salonya/"_s + Settings::appName() + u".ini"_s, QSettings::IniFormat);
        QCOMPARE(ini.allKeys(), QStringList{u"Salonya/IpNo"_s});
        QCOMPARE(Settings::get(u"IpNo"_s), u"\\\\127.0.0.1\\DefteryaData\\01"_s);
        QCOMPARE(f->state.VeriYolu, u"C:\\DefteryaData\\01"_s);
        QTRY_COMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages[0].startsWith(u"Günlük yedek alınamadı:\n"_s), qPrintable(fx.messages[0]));
        QVERIFY(QFile::remove(fx.programDir() + u"/Yedek"_s));
        QVERIFY(fx.start());
        const QString today = Backup::folderOf(fx.programDir(), QDate::currentDate());
        QTRY_VERIFY(QFileInfo::exists(today + u"/Salonya.Mdb"_s));
        QCOMPARE(backupDays(fx), QStringList{QFileInfo(today).fileName()});
        QCOMPARE(fx.messages.size(), 1);
        // The counter row is made once, and the second start left it alone.
        QCOMPARE(column(fx.ownFile(u"Cari.Mdb"_s), u"RecNo"_s, 0), QVariantList{0});
    }

    void importsFollowTheRules()
    {
        SalonFixture fx;
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Kaynak Adı"_s, u"999"_s, 50, u"Boya"_s), stock(u"S2"_s, u"Fön"_s, {}, 150),
                                            stock(u"S3"_s, u"Gizli Ürün"_s, u"123"_s, 10, u"Ürün"_s, 1)}));
        QVERIFY(writeCards(fx.cardFile(), {card(u"M1"_s, u"NAZLI D'ANGELO"_s, u"Müşteri"_s, u"4400"_s), card(u"=KASA"_s, u"KASA HESABI"_s),
                                           card(u"M2"_s, u"KAPALI HESAP"_s, u"Müşteri"_s, {}, 1), card(u"E1"_s, u"Gülay Kaya"_s, u"Eleman"_s),
                                           card(u"E2"_s, u"Gülay Kaya"_s, u"Eleman"_s), card(u"E3"_s, u"Selin Ak"_s, u"Eleman"_s),
                                           card(u"E4"_s, u"Özcan Er"_s, u"Eleman"_s)}));
        // The desk already knows S1 under its own name and barcode.
        QVERIFY(fx.start());
        fx.stop();
        const QString stok = fx.ownFile(u"Stok.Mdb"_s), cari = fx.ownFile(u"Cari.Mdb"_s);
        QVERIFY(exec(stok, u"UPDATE StokKartlar SET StokAdi='Yerel Ad', Barkod='111' WHERE StokKod='S1'"_s));
        QFile::remove(fx.stockFile());
        QVERIFY(writeStock(fx.stockFile(), {stock(u"s1"_s, u"Kaynak Adı"_s, u"999"_s, 55.00004, u"Boya"_s), stock(u"S2"_s, u"Fön"_s, {}, 150, u"Ürün"_s)}));
        Salonya* f = fx.start();
        QVERIFY(f);

        // Found by its key in any case: fields 0 to 2 stay, 3 and 4 come from the source.
        QCOMPARE(fx.ownValue(u"Stok.Mdb"_s, u"SELECT group_concat(c, ', ') FROM (SELECT StokKod || '/' || StokAdi || '/' || Barkod || '/' || Fiyat || '/' "
                                            "|| Gurup AS c FROM StokKartlar ORDER BY StokKod)"_s), u"S1/Yerel Ad/111/55/Boya, S2/Fön//150/Ürün"_s);
        QCOMPARE(column(fx.stockFile(), u"StokKartlar"_s, 13), (QVariantList{0, 0}));
        QCOMPARE(rowsIn(stok, u"sqlite_master"_s, u"type='index'"_s), 3); // the first import's rebuilt indexes
        QCOMPARE(column(cari, u"CariKartlar"_s, 0, u"CariKod"_s), (QVariantList{u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"M1"_s}));
        QCOMPARE(rowsIn(cari, u"CariKartlar"_s, u"KartNo='4400' AND Gurup='Müşteri' AND Sehir='İstanbul'"_s), 1);
        QCOMPARE(column(fx.cardFile(), u"CariKartlar"_s, 26), (QVariantList{0, 1, 1, 0, 0, 0, 0}));
        // One employee per name, in Turkish order whatever the accounting file's column knows of it.
        QCOMPARE(column(cari, u"Eleman"_s, 0), (QVariantList{u"Gülay Kaya"_s, u"Özcan Er"_s, u"Selin Ak"_s}));
        QVERIFY(f->DataCari->findFirst(u"Unvan="_s + Jet::quote(u"nazlı d'angelo"_s)));
        QCOMPARE(f->DataCari->recordCount(), 1);
        // A second activation imports nothing again.
        QVERIFY(f->DataCari->deleteRecord());
        emit f->activated();
        QCOMPARE(rowsIn(cari, u"CariKartlar"_s), 4);
    }

    void importKeepsCopyAndMarksInStep_data()
    {
        QTest::addColumn<QString>("kind");
        // Stock cards in the own copy, stock and card marks still set in the accounting files.
        QTest::addColumn<QString>("counts");
        QTest::newRow("own copy fails part-way") << "fails" << "0 3 0";
        QTest::newRow("stock list showing the dyes") << "dyes" << "3 0 0";
        QTest::newRow("card file write-locked for a while") << "busy" << "3 0 0";
        QTest::newRow("stock file held for the whole start") << "held" << "0 3 0";
    }
    void importKeepsCopyAndMarksInStep()
    {
        QFETCH(QString, kind);
        QFETCH(QString, counts);
        SalonFixture fx;
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, {}, 10), stock(u"S2"_s, u"Kesim"_s, {}, 20),
                                            stock(u"B1"_s, u"Boya 7.0"_s, u"7"_s, 50, u"Boya"_s)}));
        QVERIFY(writeCards(fx.cardFile(), {card(u"M1"_s, u"AYŞE YILMAZ"_s)}));
        sqlite3* lock = nullptr;
        QTimer release;
        if (kind == u"fails") { // the third card cannot be written
            QVERIFY(fx.execOwn(u"Stok.Mdb"_s, u"CREATE TRIGGER dolu BEFORE INSERT ON StokKartlar WHEN (SELECT count(*) FROM StokKartlar)=2 "
                                               "BEGIN SELECT RAISE(ABORT, 'disk dolu'); END"_s));
        } else if (kind == u"busy") { // another desk or the accounting program is writing the card file
            QCOMPARE(sqlite3_open(fx.cardFile().toUtf8().constData(), &lock), SQLITE_OK);
            QCOMPARE(sqlite3_exec(lock, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
            release.setSingleShot(true);
            connect(&release, &QTimer::timeout, this, [&] { sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr); });
            release.start(2500);
        } else if (kind == u"held") {
            QCOMPARE(sqlite3_open(fx.stockFile().toUtf8().constData(), &lock), SQLITE_OK);
            QCOMPARE(sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        Salonya* f = fx.start();
        QVERIFY(f);
        if (kind == u"dyes") { // a touch left the stock list on the dyes; the cards are found all the same
            f->DataStok->setRecordSource(u"Select * From StokKartlar Where Gurup='Boya'"_s);
            f->DataStok->refresh();
            f->DataTmp->setDatabaseName(fx.stockFile());
            f->startup()->importStock();
        }
        sqlite3_close(lock);
        const int stockCards = rowsIn(fx.ownFile(u"Stok.Mdb"_s), u"StokKartlar"_s);
        QCOMPARE(u"%1 %2 %3"_s.arg(stockCards)
                     .arg(rowsIn(fx.stockFile(), u"StokKartlar"_s, u"Qx13_bayrak<>0"_s))
                     .arg(rowsIn(fx.cardFile(), u"CariKartlar"_s, u"Qx26_bayrak<>0"_s)),
                 counts);
        QCOMPARE(f->DataStok->recordCount(), kind == u"dyes" ? 1 : stockCards); // no rows the file does not hold
        QCOMPARE(rowsIn(fx.ownFile(u"Cari.Mdb"_s), u"CariKartlar"_s), 1);
    }

    void dataFolderChoice_data()
    {
        QTest::addColumn<QString>("network");
        QTest::addColumn<bool>("fromShare");
        QTest::newRow("stored prefix with network") << "1" << true;
        QTest::newRow("stored prefix without network") << "0" << false;
    }
    void dataFolderChoice()
    {
        QFETCH(QString, network);
        QFETCH(bool, fromShare);
        SalonFixture fx;
        Settings::save(u"IpNo"_s, u"\\\\merkez\\DefteryaData\\01"_s);
        QVERIFY(writeStock(fx.root() + u"/shares/merkez/DefteryaData/01Stok.mdb"_s, {stock(u"P1"_s, u"Merkez Şampuan"_s, {}, 10)}));
        QVERIFY(writeStock(fx.stockFile(), {stock(u"L1"_s, u"Yerel Şampuan"_s, {}, 10)}));
        qputenv("SALONYA_NETWORK", network.toUtf8());
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->state.VeriYolu, fromShare ? u"\\\\merkez\\DefteryaData\\01"_s : u"C:\\DefteryaData\\01"_s);
        QCOMPARE(column(fx.ownFile(u"Stok.Mdb"_s), u"StokKartlar"_s, 0), QVariantList{fromShare ? u"P1"_s : u"L1"_s});
    }

    // Bad sources still let the desk reach ready with nothing in edit; a program folder or own database
    // it cannot use stops it with the reason.
    void readyOrRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fatal"); // empty: ready
        QTest::newRow("garbage source files") << "garbage" << "";
        QTest::newRow("source files with wrong tables") << "tables" << "";
        QTest::newRow("program folder not writable") << "folder" << "yazılamıyor";
        QTest::newRow("own database unreadable") << "database" << "açılamadı";
    }
    void readyOrRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fatal);
        SalonFixture fx;
        for (const QString& p : {fx.stockFile(), fx.cardFile()}) {
            QFile file(p);
            if (kind == u"tables")
                QVERIFY(writeSlots(p));
            else if (kind == u"garbage")
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) > 0);
        }
        if (kind == u"folder") {
            QVERIFY(QFile(fx.root() + u"/dosya"_s).open(QIODevice::WriteOnly));
            qputenv("SALONYA_PROGRAM_DIR", (fx.root() + u"/dosya/program"_s).toUtf8());
        } else if (kind == u"database") {
            QFile bad(fx.ownFile(u"Cari.Mdb"_s));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(QByteArray(8192, '\x5a'));
        }
        Salonya* f = fx.start();
        QCOMPARE(!f, !fatal.isEmpty());
        if (!f) {
            QVERIFY(fx.form() && fx.form()->fatalError().contains(fatal));
            return;
        }
        for (DataSource* ds : {f->DataStok, f->DataCari, f->DataEleman, f->DataTmp})
            QCOMPARE(ds->editMode(), DataSource::EditMode::None);
    }

    // One backup a day whatever the number of starts, a sound file with the same rows; the fifteenth day drops the oldest.
    void backupOnceADayForFourteenDays()
    {
        SalonFixture fx;
        QVERIFY(QDir(fx.programDir() + u"/Yedek"_s).removeRecursively());
        QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000)"
                                             " INSERT INTO Salonya (Islem, Cari, Yeni) SELECT 'Hizmet '||i, 'M'||(i%300), i%2 FROM n"_s));
        QVERIFY(fx.execOwn(u"Cari.Mdb"_s, u"INSERT INTO CariKartlar (CariKod, Unvan, Gurup) VALUES ('M1', 'NAZLI', 'Müşteri')"_s));
        QVERIFY(fx.execOwn(u"Stok.Mdb"_s, u"INSERT INTO StokKartlar (StokKod, StokAdi) VALUES ('S1', 'Fön')"_s));
        const QDate first(2026, 1, 25);
        for (int d = 0; d < 16; ++d) {
            const QDate day = first.addDays(d);
            QCOMPARE(Backup::run(fx.programDir(), day), QString());
            const QString folder = Backup::folderOf(fx.programDir(), day);
            for (const QString& t : {u"Cari.Mdb CariKartlar"_s, u"Stok.Mdb StokKartlar"_s, u"Salonya.Mdb Salonya"_s}) {
                const QString file = folder + u'/' + t.section(u' ', 0, 0), table = t.section(u' ', 1);
                QCOMPARE(rows(file, u"PRAGMA integrity_check"_s).value(0).value(u"integrity_check"_s), QVariant(u"ok"_s));
                QCOMPARE(rowsIn(file, table), rowsIn(fx.ownFile(t.section(u' ', 0, 0)), table));
            }
            // A later start the same day leaves the day's copy as it was.
            QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, u"INSERT INTO Salonya (Islem, Yeni) VALUES ('Kesim', 1)"_s));
            QCOMPARE(Backup::run(fx.programDir(), day), QString());
            QCOMPARE(rowsIn(folder + u"/Salonya.Mdb"_s, u"Salonya"_s), 20000 + d);
            const QStringList kept = backupDays(fx);
            QCOMPARE(kept.size(), qMin(d + 1, Backup::KeepDays));
            QCOMPARE(kept.first(), first.addDays(qMax(0, d + 1 - Backup::KeepDays)).toString(Qt::ISODate));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
