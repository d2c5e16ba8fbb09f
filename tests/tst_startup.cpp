// Start-up on fixture salons: settings on a first start, the data-folder choice, the three imports
// with their edge cases, start-ups that must still reach the ready state, and ones that must refuse.
#include "salonfixture.h"

#include "app/salonya.h"
#include "app/settings.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "input/capsonoff.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/touchkey.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <sqlite3.h>

using namespace AccountingFiles;

class TestStartup : public QObject
{
    Q_OBJECT

    static QStringList settingKeys(const SalonFixture& fx)
    {
        QSettings s(fx.root() + QStringLiteral("/config/salonya/") + Settings::appName() + QStringLiteral(".ini"), QSettings::IniFormat);
        return s.allKeys();
    }

private slots:
    void firstStartWithoutAnything()
    {
        SalonFixture fx;
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->KasaCmd->text(), QStringLiteral("HESABI  KASAYA  GÖNDER"));
        QVERIFY(f->DBGridMus->isVisible());
        QCOMPARE(f->state.Durum, 0.0f);
        QCOMPARE(settingKeys(fx), QStringList{QStringLiteral("Salonya/IpNo")});
        QCOMPARE(Settings::get(QStringLiteral("IpNo")), QStringLiteral("\\\\127.0.0.1\\DefteryaData\\01"));
        QCOMPARE(Look::backColor(f), 0xFF00FFu);
        QCOMPARE(Look::backColor(f->Command1[32]), 0xFFFFu);
        QCOMPARE(Look::backColor(f->BoyaFrm), 0x80u);
        QCOMPARE(count(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("SELECT count(*) FROM RecNo WHERE SonNo=0")), 1);
        QCOMPARE(f->state.VeriYolu, QStringLiteral("C:\\DefteryaData\\01"));
        QVERIFY(fx.messages.isEmpty());
        // A second start leaves the counter row alone.
        fx.stop();
        QVERIFY(fx.start());
        QCOMPARE(count(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("SELECT count(*) FROM RecNo")), 1);
    }

    void importsFollowTheRules()
    {
        SalonFixture fx;
        QVERIFY(writeStock(fx.stockFile(), {stock(QStringLiteral("S1"), QStringLiteral("Kaynak Adı"), QStringLiteral("999"), 50, QStringLiteral("Boya")),
                                            stock(QStringLiteral("S2"), QStringLiteral("Fön"), QString(), 150),
                                            stock(QStringLiteral("S3"), QStringLiteral("Gizli Ürün"), QStringLiteral("123"), 10, QStringLiteral("Ürün"), 1)}));
        QVERIFY(writeCards(fx.cardFile(), {card(QStringLiteral("M1"), QStringLiteral("NAZLI D'ANGELO"), QStringLiteral("Müşteri"), QStringLiteral("4400")),
                                           card(QStringLiteral("=KASA"), QStringLiteral("KASA HESABI")),
                                           card(QStringLiteral("M2"), QStringLiteral("KAPALI HESAP"), QStringLiteral("Müşteri"), QString(), 1),
                                           card(QStringLiteral("E1"), QStringLiteral("Gülay Kaya"), QStringLiteral("Eleman")),
                                           card(QStringLiteral("E2"), QStringLiteral("Gülay Kaya"), QStringLiteral("Eleman"))}));
        // The desk already knows S1 under its own name and barcode.
        QVERIFY(fx.start());
        fx.stop();
        {
            DataSource ds(QStringLiteral("x"));
            ds.setDatabaseName(fx.ownFile(QStringLiteral("Stok.Mdb")));
            ds.setRecordSource(QStringLiteral("StokKartlar"));
            QVERIFY(ds.refresh());
            QVERIFY(ds.findFirst(QStringLiteral("StokKod='S1'")));
            QVERIFY(ds.edit() && ds.setField(1, QStringLiteral("Yerel Ad")) && ds.setField(2, QStringLiteral("111")) && ds.update());
        }
        QFile::remove(fx.stockFile());
        QVERIFY(writeStock(fx.stockFile(), {stock(QStringLiteral("S1"), QStringLiteral("Kaynak Adı"), QStringLiteral("999"), 55, QStringLiteral("Boya")),
                                            stock(QStringLiteral("S2"), QStringLiteral("Fön"), QString(), 150)}));
        Salonya* f = fx.start();
        QVERIFY(f);

        const QString stok = fx.ownFile(QStringLiteral("Stok.Mdb"));
        QCOMPARE(column(stok, QStringLiteral("StokKartlar"), 0, QStringLiteral("StokKod")), (QVariantList{QStringLiteral("S1"), QStringLiteral("S2")}));
        QCOMPARE(column(stok, QStringLiteral("StokKartlar"), 1, QStringLiteral("StokKod")).first().toString(), QStringLiteral("Yerel Ad"));
        QCOMPARE(column(stok, QStringLiteral("StokKartlar"), 2, QStringLiteral("StokKod")).first().toString(), QStringLiteral("111"));
        QCOMPARE(column(stok, QStringLiteral("StokKartlar"), 3, QStringLiteral("StokKod")).first().toDouble(), 55.0);
        QCOMPARE(column(stok, QStringLiteral("StokKartlar"), 4, QStringLiteral("StokKod")).first().toString(), QStringLiteral("Boya"));
        QCOMPARE(column(fx.stockFile(), QStringLiteral("StokKartlar"), 13), (QVariantList{0, 0}));

        const QString cari = fx.ownFile(QStringLiteral("Cari.Mdb"));
        QCOMPARE(column(cari, QStringLiteral("CariKartlar"), 0, QStringLiteral("CariKod")),
                 (QVariantList{QStringLiteral("E1"), QStringLiteral("E2"), QStringLiteral("M1")}));
        QCOMPARE(count(cari, QStringLiteral("SELECT count(*) FROM CariKartlar WHERE KartNo='4400' AND Gurup='Müşteri' AND Sehir='İstanbul'")), 1);
        QCOMPARE(column(fx.cardFile(), QStringLiteral("CariKartlar"), 26), (QVariantList{0, 1, 1, 0, 0}));
        QCOMPARE(column(cari, QStringLiteral("Eleman"), 0), QVariantList{QStringLiteral("Gülay Kaya")});
        // The apostrophe title is found like any other.
        QVERIFY(f->DataCari->findFirst(QStringLiteral("Unvan=") + Jet::quote(QStringLiteral("nazlı d'angelo"))));
        QCOMPARE(f->DataCari->recordCount(), 1);
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
        Settings::save(QStringLiteral("IpNo"), QStringLiteral("\\\\merkez\\DefteryaData\\01"));
        const QString share = fx.root() + QStringLiteral("/shares/merkez/DefteryaData/01");
        QVERIFY(writeStock(share + QStringLiteral("Stok.mdb"), {stock(QStringLiteral("P1"), QStringLiteral("Merkez Şampuan"), {}, 10)}));
        QVERIFY(writeStock(fx.stockFile(), {stock(QStringLiteral("L1"), QStringLiteral("Yerel Şampuan"), {}, 10)}));
        qputenv("SALONYA_NETWORK", network.toUtf8());
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->state.VeriYolu, fromShare ? QStringLiteral("\\\\merkez\\DefteryaData\\01") : QStringLiteral("C:\\DefteryaData\\01"));
        QCOMPARE(column(fx.ownFile(QStringLiteral("Stok.Mdb")), QStringLiteral("StokKartlar"), 0),
                 QVariantList{fromShare ? QStringLiteral("P1") : QStringLiteral("L1")});
    }

    void readyDespiteBadSources_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("garbage files") << "garbage";
        QTest::newRow("wrong tables") << "wrong";
        QTest::newRow("locked source") << "locked";
    }
    void readyDespiteBadSources()
    {
        QFETCH(QString, kind);
        SalonFixture fx;
        sqlite3* lock = nullptr;
        if (kind == u"garbage") {
            for (const QString& p : {fx.stockFile(), fx.cardFile()}) {
                QFile file(p);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(QByteArray(4096, 'x'));
            }
        } else if (kind == u"wrong") {
            QVERIFY(writeSlots(fx.stockFile()));
            QVERIFY(writeSlots(fx.cardFile()));
        } else {
            QVERIFY(writeStock(fx.stockFile(), {stock(QStringLiteral("S1"), QStringLiteral("Fön"), {}, 10)}));
            QVERIFY(writeCards(fx.cardFile(), {card(QStringLiteral("M1"), QStringLiteral("AYŞE YILMAZ"))}));
            // Another program holds a write lock on the stock file for the whole start.
            QCOMPARE(sqlite3_open(fx.stockFile().toUtf8().constData(), &lock), SQLITE_OK);
            QCOMPARE(sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        Salonya* f = fx.start();
        QVERIFY(f);
        QCOMPARE(f->KasaCmd->text(), QStringLiteral("HESABI  KASAYA  GÖNDER"));
        for (DataSource* ds : {f->DataStok, f->DataCari, f->DataEleman, f->DataTmp})
            QCOMPARE(ds->editMode(), DataSource::EditMode::None);
        if (kind == u"locked") {
            // The stock copy went back whole, the cards still arrived.
            QCOMPARE(count(fx.ownFile(QStringLiteral("Stok.Mdb")), QStringLiteral("SELECT count(*) FROM StokKartlar")), 0);
            QCOMPARE(count(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("SELECT count(*) FROM CariKartlar")), 1);
            sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(lock);
        }
    }

    void refusesToStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("program folder not writable") << "folder";
        QTest::newRow("own database unreadable") << "database";
    }
    void refusesToStart()
    {
        QFETCH(QString, kind);
        SalonFixture fx;
        if (kind == u"folder") {
            QFile blocker(fx.root() + QStringLiteral("/dosya"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            qputenv("SALONYA_PROGRAM_DIR", (fx.root() + QStringLiteral("/dosya/program")).toUtf8());
        } else {
            QFile bad(fx.ownFile(QStringLiteral("Cari.Mdb")));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(QByteArray(8192, '\x5a'));
        }
        QVERIFY(!fx.start());
        QVERIFY(fx.form());
        QVERIFY(!fx.form()->fatalError().isEmpty());
        QVERIFY(fx.form()->fatalError().contains(kind == u"folder" ? QStringLiteral("yazılamıyor") : QStringLiteral("açılamadı")));
    }

    void capitalsAndGeometryRestored()
    {
        SalonFixture fx;
        Settings::save(Settings::appName(), QStringLiteral("SizeKlv"), QStringLiteral("Caps"), QStringLiteral("True"));
        Settings::save(QStringLiteral("IpNo"), QStringLiteral("C:\\DefteryaData\\01"));
        Settings::save(QStringLiteral("SalonyaTop"), QStringLiteral("300"));
        Settings::save(QStringLiteral("SalonyaLeft"), QStringLiteral("450"));
        Settings::save(QStringLiteral("Buton3"), QStringLiteral("Fön"));
        Settings::save(QStringLiteral("Buton4"), QString());
        Salonya* f = fx.start();
        QVERIFY(f);
        QVERIFY(f->state.CapsDurum);
        QVERIFY(CapsOnOff::CapsLockOn());
        QCOMPARE(f->key(47)->text(), QStringLiteral("AB"));
        QCOMPARE(f->key(0)->text(), QStringLiteral("A"));
        QCOMPARE(f->key(10)->text(), QStringLiteral("I"));
        QCOMPARE(f->key(11)->text(), QStringLiteral("İ"));
        QCOMPARE(f->pos(), QPoint(30, 20));
        QCOMPARE(f->Command1[3]->text(), QStringLiteral("Fön"));
        QCOMPARE(f->Command1[4]->text(), QString());
        QCOMPARE(f->Command1[0]->text(), QStringLiteral("BOYA"));
        CapsOnOff::SetCapsLock(false);
    }

    void secondActivationDoesNothing()
    {
        SalonFixture fx;
        QVERIFY(writeCards(fx.cardFile(), {card(QStringLiteral("M1"), QStringLiteral("AYŞE YILMAZ"))}));
        Salonya* f = fx.start();
        QVERIFY(f);
        QVERIFY(f->DataCari->findFirst(QStringLiteral("CariKod='M1'")));
        QVERIFY(f->DataCari->deleteRecord());
        emit f->activated();
        QCOMPARE(count(fx.ownFile(QStringLiteral("Cari.Mdb")), QStringLiteral("SELECT count(*) FROM CariKartlar")), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
