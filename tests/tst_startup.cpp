// Start-up: first-start settings, the data folder, the imports and their faults, the daily backup, ready or refused.
#include "otherdesk.h"
#include "salonfixture.h"

#include "app/backup.h"
#include "app/hostpaths.h"
#include "app/restore.h"
#include "app/salonya.h"
#include "app/serverwait.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/pgengine.h"
#include "data/database.h"
#include "data/datasource.h"
#include "data/jet.h"

#include <QDir>
#include <QSettings>
#include <QTest>
#include <sqlite3.h>

using namespace AccountingFiles;
using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

    static bool onServer() { return !Pg::serverSetting().isEmpty(); }
    static int rowsIn(const QString& file, const QString& table, const QString& where = u"1=1"_s)
    {
        return count(file, u"SELECT count(*) FROM %1 WHERE %2"_s.arg(table, where));
    }
    static QString numbers(int n) { return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) "_s.arg(n); }
    static QStringList backupDays(const SalonFixture& fx)
    {
        return QDir(fx.programDir() + u"/Yedek"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private slots:
    // Nothing there yet, the backup folder blocked: ready, said once; a later start backs up.
    void firstStartWithoutAnything()
    {
        if (onServer()) QSKIP("the daily backup of a salon server's databases is its dump, not the desk's files");
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
        QVERIFY(exec(stok, u"UPDATE StokKartlar SET StokAdi='Yerel Ad', Barkod='111' WHERE StokKod='S1'"_s) && QFile::remove(fx.stockFile()));
        QVERIFY(writeStock(fx.stockFile(), {stock(u"s1"_s, u"Kaynak Adı"_s, u"999"_s, 55.00004, u"Boya"_s), stock(u"S2"_s, u"Fön"_s, {}, 150, u"Ürün"_s)}));
        Salonya* f = fx.start();
        QVERIFY(f);
        // Found by its key in any case: fields 0 to 2 stay, 3 and 4 come from the source.
        QStringList cards;
        for (const QVariantMap& r : rows(stok, u"SELECT StokKod, StokAdi, Barkod, Fiyat, Gurup FROM StokKartlar ORDER BY StokKod"_s))
            cards << QStringList{r[u"StokKod"_s].toString(), r[u"StokAdi"_s].toString(), r[u"Barkod"_s].toString(),
                                 QString::number(r[u"Fiyat"_s].toDouble()), r[u"Gurup"_s].toString()}.join(u'/');
        QCOMPARE(cards.join(u", "_s), u"S1/Yerel Ad/111/55/Boya, S2/Fön//150/Ürün"_s);
        QCOMPARE(column(fx.stockFile(), u"StokKartlar"_s, 13), (QVariantList{0, 0}));
        if (!onServer()) QCOMPARE(rowsIn(stok, u"sqlite_master"_s, u"type='index'"_s), 3); // the first import's rebuilt indexes
        QCOMPARE(column(cari, u"CariKartlar"_s, 0, u"CariKod"_s), (QVariantList{u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"M1"_s}));
        QCOMPARE(rowsIn(cari, u"CariKartlar"_s, u"KartNo='4400' AND Gurup='Müşteri' AND Sehir='İstanbul'"_s), 1);
        QTRY_COMPARE(column(fx.cardFile(), u"CariKartlar"_s, 26), (QVariantList{0, 1, 1, 0, 0, 0, 0}));
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
        QTest::addColumn<QString>("kind"); QTest::addColumn<QString>("counts"); // own stock cards, stock and card marks still set
        QTest::newRow("own copy fails part-way") << "fails" << "0 3 0";
        QTest::newRow("stock list showing the dyes") << "dyes" << "3 0 0";
        QTest::newRow("card file write-locked through the start") << "busy" << "3 0 0";
        QTest::newRow("stock file held for the whole start") << "held" << "0 3 0";
        QTest::newRow("another desk importing the same card") << "desk" << "3 0 0";
    }
    void importKeepsCopyAndMarksInStep()
    {
        QFETCH(QString, kind); QFETCH(QString, counts);
        SalonFixture fx;
        OtherDesk other(u"Cari.Mdb"_s);
        if (kind == u"desk") {
            if (!other.ok()) QSKIP("only desks sharing a salon server import at the same moment");
            QVERIFY(fx.start()); // the salon's tables are there for the other desk
            fx.stop();
        }
        QVERIFY(writeStock(fx.stockFile(), {stock(u"S1"_s, u"Fön"_s, {}, 10), stock(u"S2"_s, u"Kesim"_s, {}, 20),
                                            stock(u"B1"_s, u"Boya 7.0"_s, u"7"_s, 50, u"Boya"_s)}));
        QVERIFY(writeCards(fx.cardFile(), {card(u"M1"_s, u"AYŞE YILMAZ"_s)}));
        sqlite3* lock = nullptr;
        if (kind == u"fails") { // the third card cannot be written
            QVERIFY(fx.execOwn(u"Stok.Mdb"_s, onServer()
                ? u"CREATE FUNCTION dolu() RETURNS trigger AS $$BEGIN IF (SELECT count(*) FROM StokKartlar)=2 THEN RAISE EXCEPTION 'disk dolu';"
                  " END IF; RETURN NEW; END$$ LANGUAGE plpgsql; CREATE TRIGGER dolu BEFORE INSERT ON StokKartlar FOR EACH ROW EXECUTE FUNCTION dolu()"_s
                : u"CREATE TRIGGER dolu BEFORE INSERT ON StokKartlar WHEN (SELECT count(*) FROM StokKartlar)=2 "
                  "BEGIN SELECT RAISE(ABORT, 'disk dolu'); END"_s));
        } else if (kind == u"busy" || kind == u"held") { // the accounting program writes the card file, or holds the stock file
            QCOMPARE(sqlite3_open((kind == u"busy" ? fx.cardFile() : fx.stockFile()).toUtf8().constData(), &lock), SQLITE_OK);
            QCOMPARE(sqlite3_exec(lock, kind == u"busy" ? "BEGIN IMMEDIATE" : "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else if (kind == u"desk") { // one step ahead, it copies the card while this desk starts
            QVERIFY(other.lockThenWrite(7202, u"INSERT INTO CariKartlar (CariKod, Unvan, Gurup) VALUES ('M1', 'AYŞE YILMAZ', 'Müşteri')"_s));
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
        other.commit();
        const int stockCards = rowsIn(fx.ownFile(u"Stok.Mdb"_s), u"StokKartlar"_s);
        QTRY_COMPARE(u"%1 %2 %3"_s.arg(stockCards).arg(rowsIn(fx.stockFile(), u"StokKartlar"_s, u"Qx13_bayrak<>0"_s))
                         .arg(rowsIn(fx.cardFile(), u"CariKartlar"_s, u"Qx26_bayrak<>0"_s)), counts);
        QCOMPARE(f->DataStok->recordCount(), kind == u"dyes" ? 1 : stockCards); // no rows the file does not hold
        QCOMPARE(rowsIn(fx.ownFile(u"Cari.Mdb"_s), u"CariKartlar"_s), 1);
    }

    void dataFolderChoice_data()
    {
        QTest::addColumn<QString>("network"); QTest::addColumn<bool>("fromShare");
        QTest::newRow("stored prefix with network") << "1" << true;
        QTest::newRow("stored prefix without network") << "0" << false;
    }
    void dataFolderChoice()
    {
        QFETCH(QString, network); QFETCH(bool, fromShare);
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

    // Bad sources: ready with nothing in edit; an unusable program folder or own database: refused with the reason.
    void readyOrRefused_data()
    {
        QTest::addColumn<QString>("kind"); QTest::addColumn<QString>("fatal"); // empty: ready
        QTest::newRow("garbage source files") << "garbage" << "";
        QTest::newRow("source files with wrong tables") << "tables" << "";
        QTest::newRow("program folder not writable") << "folder" << "yazılamıyor";
        QTest::newRow("own database not a database") << "database" << "Cari.Mdb (dosya bir veritabanı değil)";
        QTest::newRow("salon server not answering, asked twice") << "server" << "Salon sunucusuna bağlanılamadı";
    }
    void readyOrRefused()
    {
        QFETCH(QString, kind); QFETCH(QString, fatal);
        SalonFixture fx;
        int asks = 0;
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
        } else if (kind == u"server") {
            qputenv("SALONYA_SERVER", ("host=" + fx.root() + "/yok").toUtf8());
            ServerWait::setAskHandler([&](const QString&) { return ++asks < 2; }); // "Yeniden Dene" once, then "Kapat"
        } else if (kind == u"database") {
            QFile bad(fx.ownFile(u"Cari.Mdb"_s));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(QByteArray(8192, '\x5a'));
        }
        Salonya* f = fx.start();
        ServerWait::setAskHandler({});
        QCOMPARE(asks, kind == u"server" ? 2 : 0);
        QCOMPARE(!f, !fatal.isEmpty());
        if (!f) {
            QVERIFY(fx.form() && fx.form()->fatalError().contains(fatal));
            QVERIFY(fx.form()->fatalError().contains(u"\n\nGünlük yedekler: "_s + fx.root()));
            return;
        }
        for (DataSource* ds : {f->DataStok, f->DataCari, f->DataEleman, f->DataTmp})
            QCOMPARE(ds->editMode(), DataSource::EditMode::None);
    }

    // A repeat start over unchanged accounting cards writes nothing into the own copies, whatever they hold.
    void repeatStartWritesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("stock card without a code") << "nullStock";
        QTest::newRow("employee without a name") << "nullEmployee";
        QTest::newRow("phone kept as a number") << "phone";
        QTest::newRow("stock table without rowids") << "withoutRowid";
    }
    void repeatStartWritesNothing()
    {
        QFETCH(QString, kind);
        SalonFixture fx;
        Row s = stock(u"S1"_s, u"Fön"_s, {}, 150), c = card(u"M1"_s, u"AYŞE"_s), e = card(u"E1"_s, u"Gülay"_s, u"Eleman"_s);
        Layout stockLayout, cardLayout;
        if (kind == u"nullStock") s[0] = QVariant();
        else if (kind == u"nullEmployee") e[1] = QVariant();
        else if (kind == u"phone") { cardLayout.declared[28] = u"Qx28_tel INTEGER"_s; c[28] = 5321234567LL; }
        else stockLayout.withoutRowid = true;
        QVERIFY(writeStock(fx.stockFile(), {s, stock(u"S2"_s, u"Kesim"_s, {}, 20)}, nullptr, stockLayout));
        QVERIFY(writeCards(fx.cardFile(), {c, e}, nullptr, cardLayout));
        QVERIFY(fx.start());
        QTRY_COMPARE(rowsIn(fx.stockFile(), u"StokKartlar"_s, u"Qx13_bayrak<>0"_s), 0);
        fx.stop();
        const QString stok = fx.ownFile(u"Stok.Mdb"_s), cari = fx.ownFile(u"Cari.Mdb"_s);
        for (const QString& t : {u"Stok.Mdb StokKartlar"_s, u"Cari.Mdb CariKartlar"_s, u"Cari.Mdb Eleman"_s}) {
            const QString table = t.section(u' ', 1);
            QVERIFY(fx.execOwn(t.section(u' ', 0, 0), onServer()
                ? u"CREATE TABLE IF NOT EXISTS yazim (t text); CREATE OR REPLACE FUNCTION yaz() RETURNS trigger AS $$BEGIN INSERT INTO yazim"
                  " VALUES (TG_TABLE_NAME); RETURN NULL; END$$ LANGUAGE plpgsql; CREATE TRIGGER %1_e AFTER INSERT OR UPDATE ON %1 FOR EACH ROW"
                  " EXECUTE FUNCTION yaz()"_s.arg(table)
                : u"CREATE TABLE IF NOT EXISTS yazim (t); CREATE TRIGGER %1_e AFTER INSERT ON %1 BEGIN INSERT INTO yazim"
                  " VALUES ('%1'); END; CREATE TRIGGER %1_d AFTER UPDATE ON %1 BEGIN INSERT INTO yazim VALUES ('%1'); END"_s.arg(table)));
        }
        QVERIFY(fx.start());
        QCOMPARE(u"%1 %2 %3"_s.arg(rowsIn(stok, u"StokKartlar"_s)).arg(rowsIn(cari, u"CariKartlar"_s)).arg(rowsIn(cari, u"Eleman"_s)), u"2 2 1"_s);
        QCOMPARE(rowsIn(stok, u"yazim"_s) + rowsIn(cari, u"yazim"_s), 0);
    }

    // A damaged own database is neither used nor backed up; the newest good day is offered in its place.
    void damagedOwnDatabase_data()
    {
        QTest::addColumn<int>("goodDays"); // days backed up before the damage
        QTest::addColumn<bool>("accept");
        QTest::newRow("no good backup") << 0 << true;
        QTest::newRow("restore refused") << 2 << false;
        QTest::newRow("restore accepted") << 2 << true;
    }
    void damagedOwnDatabase()
    {
        QFETCH(int, goodDays); QFETCH(bool, accept);
        if (onServer()) QSKIP("a damaged file and its backups exist only on the desk's embedded files");
        SalonFixture fx;
        QVERIFY(QDir(fx.programDir() + u"/Yedek"_s).removeRecursively());
        QVERIFY(fx.execOwn(u"Cari.Mdb"_s, numbers(3000) + u"INSERT INTO CariKartlar (CariKod, Unvan, Gurup) SELECT 'M'||i, 'Müşteri '||i, 'Müşteri' FROM n"_s));
        const QDate today = QDate::currentDate();
        for (int d = goodDays; d > 0; --d) QCOMPARE(Backup::run(fx.programDir(), today.addDays(-d)), QString());
        QFile file(fx.ownFile(u"Cari.Mdb"_s)); // a disk fault: 8 KiB of zeros in the middle
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2) && file.write(QByteArray(8192, 0)) == 8192);
        file.close();
        QVERIFY(Backup::run(fx.programDir(), today).contains(u"Cari.Mdb bozuk olduğu için yedeklenmedi"_s));
        QCOMPARE(Backup::days(fx.programDir()).size(), goodDays);
        QStringList asked;
        Restore::setAskHandler([&](const QString& text) { asked << text; return accept; });
        Salonya* f = fx.start();
        Restore::setAskHandler({});
        QCOMPARE(asked.size(), goodDays ? 1 : 0);
        QCOMPARE(!f, !goodDays || !accept);
        if (!f) {
            QVERIFY2(fx.form()->fatalError().startsWith(u"Salonya veritabanı bozuk:\n"_s + fx.programDir() + u"/Cari.Mdb (dosya bozuk)"_s),
                     qPrintable(fx.form()->fatalError()));
            return;
        }
        QVERIFY(asked[0].contains(today.addDays(-1).toString(u"dd.MM.yyyy"_s)));
        QCOMPARE(rows(fx.ownFile(u"Cari.Mdb"_s), u"PRAGMA integrity_check"_s).value(0).value(u"integrity_check"_s), QVariant(u"ok"_s));
        QCOMPARE(rowsIn(fx.ownFile(u"Cari.Mdb"_s), u"CariKartlar"_s), 3000);
        QVERIFY(fx.messages.contains(u"Cari.Mdb %1 yedeğinden geri yüklendi."_s.arg(Backup::folderOf(fx.programDir(), today.addDays(-1)))));
    }

    // The journal a crash left beside the file is not rolled onto the restored copy.
    void restoreOverHotJournal()
    {
        if (onServer()) QSKIP("a hot journal exists only beside an embedded file");
        SalonFixture fx;
        const QString own = fx.ownFile(u"Salonya.Mdb"_s), day = Backup::folderOf(fx.programDir(), QDate(2026, 3, 1));
        QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, numbers(20000) + u"INSERT INTO Salonya (Islem, Yeni) SELECT 'Hizmet '||i, 1 FROM n"_s));
        QCOMPARE(Backup::run(fx.programDir(), QDate(2026, 3, 1)), QString());
        sqlite3* db = nullptr; // a crash in the middle of a write: the file and its journal as they were then
        QCOMPARE(sqlite3_open(own.toUtf8().constData(), &db), SQLITE_OK);
        Database::registerFunctions(db);
        QCOMPARE(sqlite3_exec(db, "PRAGMA cache_size=10; BEGIN; UPDATE Salonya SET Islem=Islem||'x'", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(QFile::copy(own, own + u".an"_s) && QFile::copy(own + u"-journal"_s, own + u".an-journal"_s));
        sqlite3_close(db);
        QVERIFY(QFile::remove(own) && QFile::rename(own + u".an"_s, own) && QFile::rename(own + u".an-journal"_s, own + u"-journal"_s));
        QStringList done;
        QCOMPARE(Restore::run(fx.programDir(), QDate(2026, 3, 1), {u"Salonya.Mdb"_s}, &done), QString());
        QCOMPARE(done, QStringList{u"Salonya.Mdb"_s});
        QCOMPARE(rows(own, u"PRAGMA integrity_check"_s).value(0).value(u"integrity_check"_s), QVariant(u"ok"_s));
        QCOMPARE(rowsIn(own, u"Salonya"_s, u"substr(Islem, -1)<>'x'"_s), 20000);
        QVERIFY(QFileInfo::exists(day + u"/Salonya.Mdb"_s));
    }

    void mappedPathsStayUnderTheirRoot_data()
    {
        QTest::addColumn<QString>("path"); QTest::addColumn<QString>("local"); // under the fixture's root
        QTest::newRow("share climbing out") << u"\\\\..\\..\\..\\..\\..\\srv\\x\\01Stok.mdb"_s << u"shares/srv/x/01Stok.mdb"_s;
        QTest::newRow("drive climbing out") << u"C:\\DefteryaData\\..\\..\\..\\etc\\passwd"_s << u"drives/C/etc/passwd"_s;
    }
    void mappedPathsStayUnderTheirRoot()
    {
        QFETCH(QString, path); QFETCH(QString, local);
        SalonFixture fx;
        QCOMPARE(HostPaths::toLocal(path), fx.root() + u'/' + local);
    }

    // One sound backup a day whatever the starts; the last 14 days kept, and only day folders the desk made are pruned.
    void backupOnceADayForFourteenDays()
    {
        if (onServer()) QSKIP("the daily backup of a salon server's databases is its dump, not the desk's files");
        SalonFixture fx;
        const QString yedek = fx.programDir() + u"/Yedek/"_s;
        QVERIFY(QDir(yedek).removeRecursively());
        QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, numbers(20000) + u"INSERT INTO Salonya (Islem, Cari, Yeni) SELECT 'Hizmet '||i, 'M'||(i%300), i%2 FROM n"_s));
        QVERIFY(fx.execOwn(u"Cari.Mdb"_s, u"INSERT INTO CariKartlar (CariKod, Unvan, Gurup) VALUES ('M1', 'NAZLI', 'Müşteri')"_s));
        QVERIFY(fx.execOwn(u"Stok.Mdb"_s, u"INSERT INTO StokKartlar (StokKod, StokAdi) VALUES ('S1', 'Fön')"_s));
        const auto day = [&](const QString& name, const QString& file = u"Cari.Mdb"_s) {
            return QDir().mkpath(yedek + name) && QFile(yedek + name + u'/' + file).open(QIODevice::WriteOnly);
        };
        // Not the desk's: invalid names, folders without a database, a link out; a far future day counts but stays.
        const QStringList others{u"2099-12-31/Cari.Mdb"_s, u"2025-13-45/Cari.Mdb"_s, u"0000-00-00/notlar.txt"_s, u"2000-01-02/notlar.txt"_s};
        for (const QString& o : others) QVERIFY(day(o.section(u'/', 0, 0), o.section(u'/', 1)));
        QVERIFY(QDir().mkpath(fx.root() + u"/dis"_s) && QFile(fx.root() + u"/dis/Cari.Mdb"_s).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(fx.root() + u"/dis"_s, yedek + u"2000-01-01"_s));
        const QDate first(2026, 1, 25);
        for (int d = 0; d < 16; ++d) {
            const QDate today = first.addDays(d);
            QCOMPARE(Backup::run(fx.programDir(), today), QString());
            const QString folder = Backup::folderOf(fx.programDir(), today);
            for (const QString& t : {u"Cari.Mdb CariKartlar"_s, u"Stok.Mdb StokKartlar"_s, u"Salonya.Mdb Salonya"_s}) {
                const QString file = folder + u'/' + t.section(u' ', 0, 0), table = t.section(u' ', 1);
                QCOMPARE(rows(file, u"PRAGMA integrity_check"_s).value(0).value(u"integrity_check"_s), QVariant(u"ok"_s));
                QCOMPARE(rowsIn(file, table), rowsIn(fx.ownFile(t.section(u' ', 0, 0)), table));
            }
            // A later start the same day leaves the day's copy as it was.
            QVERIFY(fx.execOwn(u"Salonya.Mdb"_s, u"INSERT INTO Salonya (Islem, Yeni) VALUES ('Kesim', 1)"_s));
            QCOMPARE(Backup::run(fx.programDir(), today), QString());
            QCOMPARE(rowsIn(folder + u"/Salonya.Mdb"_s, u"Salonya"_s), 20000 + d);
            const QList<QDate> kept = Backup::days(fx.programDir());
            QCOMPARE(kept.size(), qMin(d + 1, Backup::KeepDays) + 1);
            QCOMPARE(kept.first(), first.addDays(qMax(0, d + 1 - Backup::KeepDays)));
        }
        for (const QString& o : others) QVERIFY2(QFileInfo::exists(yedek + o), qPrintable(o));
        QVERIFY(QFileInfo::exists(fx.root() + u"/dis/Cari.Mdb"_s));
        // The clock set back a month: that day is backed up and kept, the later ones stay.
        QCOMPARE(Backup::run(fx.programDir(), first.addMonths(-1)), QString());
        const QList<QDate> kept = Backup::days(fx.programDir());
        QCOMPARE(kept.size(), 16);
        QCOMPARE(kept.first(), first.addMonths(-1));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
