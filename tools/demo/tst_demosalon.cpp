// The demo salon as the desk imports it: columns, groups, barcodes, dye prices, loyalty numbers; a real salon left alone.
#include "demodata.h"
#include "demosalon.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace Demo;
using FixedColumns = QList<QPair<int, QString>>; // position and name

namespace {

// Every row of a query on a generated file, as text.
QList<QStringList> rows(const QString& path, const QString& sql)
{
    QList<QStringList> out;
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        for (QStringList row; sqlite3_step(st) == SQLITE_ROW; out << row, row.clear())
            for (int i = 0; i < sqlite3_column_count(st); ++i) row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}
// The first row's fields, joined by spaces.
QString first(const QString& path, const QString& sql) { return rows(path, sql).value(0).join(u' '); }

// A salon in dir/DefteryaData with prefix "01".
bool demo(const QTemporaryDir& dir, int customers, int stock, int employees, quint32 seed = 1, bool force = false, QString* error = nullptr)
{
    QString e;
    return writeDemoSalon({dir.filePath(QStringLiteral("DefteryaData/01")), customers, stock, employees, seed, force}, error ? error : &e);
}
QString file(const QTemporaryDir& dir, const QString& name) { return dir.filePath(QStringLiteral("DefteryaData/") + name); }

// Checked from the digits alone, independent of ean13().
bool validEan13(const QString& code)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{13}$"));
    int sum = 0;
    for (int i = 0; i < code.size(); ++i) sum += code[i].digitValue() * (i % 2 ? 3 : 1);
    return digits.match(code).hasMatch() && sum % 10 == 0;
}

QByteArray fileBytes(const QString& path) { QFile f(path); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }
void writeBytes(const QString& path, const QByteArray& bytes) { QFile f(path); if (f.open(QIODevice::WriteOnly)) f.write(bytes); }

} // namespace

class TestDemoSalon : public QObject {
    Q_OBJECT
    QTemporaryDir m_salon; // 20 000 customers, 40 employees, the base catalogue

private slots:
    void initTestCase() { QVERIFY(demo(m_salon, 20000, -1, 40)); }

    // The desk reads fields by position; another program opens the files, so only plain types and no indexes.
    void columns_data()
    {
        QTest::addColumn<QString>("name"); QTest::addColumn<QString>("table"); QTest::addColumn<int>("width"); QTest::addColumn<FixedColumns>("fixed");
        QTest::newRow("stock") << "01Stok.mdb" << "StokKartlar" << 32 << FixedColumns{{0, "StokKod"}, {1, "StokAdi"}, {13, "Aktarim"}, {15, "BarkodNo"}, {16, "SatisFiyati"}, {30, "StokGrubu"}, {31, "StokGizle"}};
        QTest::newRow("accounts") << "01Cari.mdb" << "CariKartlar" << 46 << FixedColumns{{0, "CariKod"}, {1, "Unvan"}, {15, "KartNumarasi"}, {26, "Guncel"}, {28, "Telefon"}, {29, "Adres"}, {30, "Sehir"}, {44, "Gurup"}, {45, "HesKullan"}};
        QTest::newRow("slot") << "Müsteri.mdb" << "Müsteri" << 11 << FixedColumns{{0, "Kayit"}, {1, "UrunAdi"}, {2, "MusLbl"}, {3, "Müsteri"}, {4, "Barkod"}, {5, "Miktar"}, {6, "Fiyat"}, {7, "Tutar"}, {8, "eLEMAN"}, {9, "RowSay"}, {10, "Peron"}};
    }
    void columns()
    {
        QFETCH(QString, name); QFETCH(QString, table); QFETCH(int, width); QFETCH(FixedColumns, fixed);
        const auto info = rows(file(m_salon, name), QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        QCOMPARE(info.size(), width);
        for (const auto& [position, column] : fixed) QCOMPARE(info[position][1], column);
        for (const QStringList& col : info) QVERIFY2(QStringList({"TEXT", "INTEGER", "REAL"}).contains(col[2]), qPrintable(col[1]));
        QCOMPARE(first(file(m_salon, name), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' OR sql LIKE '%COLLATE%'")), u"0"_qs);
    }

    void counts_data()
    {
        QTest::addColumn<int>("customers"); QTest::addColumn<int>("stock"); QTest::addColumn<int>("employees");
        QTest::newRow("empty") << 0 << 0 << 0;
        QTest::newRow("below internal threshold") << 19 << 5 << 1;
        QTest::newRow("grown catalogue") << 5000 << 3000 << 3;
    }
    void counts()
    {
        QFETCH(int, customers); QFETCH(int, stock); QFETCH(int, employees);
        QTemporaryDir dir;
        QVERIFY(demo(dir, customers, stock, employees));
        const qint64 internal = customers >= 20 ? qMax<qint64>(1, std::llround(customers * 0.005)) : 0;
        QCOMPARE(first(file(dir, u"01Stok.mdb"_qs),
                       QStringLiteral("SELECT count(*) FILTER (WHERE Aktarim = 1 AND StokGrubu IN ('Hizmet','Ürün','Boya')),"
                                      " count(DISTINCT StokGrubu), ifnull(sum(StokGizle), 0) FROM StokKartlar")),
                 u"%1 %2 %3"_qs.arg(stock).arg(qMin(stock, 3)).arg(std::llround(stock * 0.02)));
        QCOMPARE(first(file(dir, u"01Cari.mdb"_qs),
                       QStringLiteral("SELECT count(*) FILTER (WHERE Gurup='Müşteri' AND Guncel = 1), count(*) FILTER (WHERE Gurup='Eleman' AND Guncel = 1),"
                                      " count(*) FILTER (WHERE substr(CariKod,1,1)='='), ifnull(sum(HesKullan), 0) FROM CariKartlar")),
                 u"%1 %2 %3 %4"_qs.arg(customers).arg(employees).arg(internal).arg(std::llround((customers - internal) * 0.01)));
        QCOMPARE(first(file(dir, u"Müsteri.mdb"_qs), QStringLiteral("SELECT count(*) FROM \"Müsteri\"")), u"0"_qs);
    }

    // Codes, names and barcodes unique and well formed; services have no barcode; dyes priced per 100 g.
    void stockCards_data()
    {
        QTest::addColumn<int>("stock");
        QTest::newRow("base") << -1;
        QTest::newRow("past every variant") << 40000;
    }
    void stockCards()
    {
        QFETCH(int, stock);
        QTemporaryDir dir;
        QVERIFY(stock < 0 || demo(dir, 0, stock, 0));
        const QString st = file(stock < 0 ? m_salon : dir, u"01Stok.mdb"_qs);
        static const QRegularExpression code(QStringLiteral("^(HZM|URN|BOY)\\d{5}$"));
        const QHash<QString, QString> prefixOf{{"Hizmet", "HZM"}, {"Ürün", "URN"}, {"Boya", "BOY"}};
        QSet<QString> codes, names, barcodes;
        for (const QStringList& r : rows(st, QStringLiteral("SELECT StokKod, StokAdi, BarkodNo, SatisFiyati, StokGrubu FROM StokKartlar"))) {
            QVERIFY2(code.match(r[0]).hasMatch() && r[0].left(3) == prefixOf.value(r[4]), qPrintable(r[0]));
            QVERIFY2(!r[1].isEmpty() && r[1] == r[1].trimmed() && r[3].toDouble() > 0, qPrintable(r[1]));
            QVERIFY2(r[4] == u"Hizmet" ? r[2].isEmpty() : validEan13(r[2]) && !barcodes.contains(r[2]), qPrintable(r[1] + u' ' + r[2]));
            QVERIFY2(!codes.contains(r[0]) && !names.contains(r[1]), qPrintable(r[1]));
            codes << r[0], names << r[1], barcodes << r[2];
        }
        QCOMPARE(codes.size(), stock < 0 ? baseStockCount() : stock);
        const auto dye = rows(st, QStringLiteral("SELECT DISTINCT SatisFiyati FROM StokKartlar WHERE StokAdi LIKE 'Boya %'"));
        QCOMPARE(dye, QList<QStringList>{{QString::number(Data::dyePricePer100g - 0.1)}});
    }

    // Customers carry unique loyalty numbers in field 15 and titles upper-cased the Turkish way.
    void cariCards()
    {
        QCOMPARE(Demo::turkishUpper(u"ipek ışık Iğdır D'Angelo çğöşü"_qs), u"İPEK IŞIK IĞDIR D'ANGELO ÇĞÖŞÜ"_qs);
        static const QRegularExpression customer(QStringLiteral("^M\\d{6}$")), employee(QStringLiteral("^E\\d{3}$")), cardNumber(QStringLiteral("^[1-9]\\d{9}$"));
        QSet<QString> codes, cards, words;
        for (const auto& list : {Data::femaleNames(), Data::maleNames(), Data::femaleSecondNames(), Data::maleSecondNames(), Data::surnames(), Data::apostropheSurnames()})
            for (const char* name : list) words << Demo::turkishUpper(QString::fromUtf8(name));
        for (const QStringList& r : rows(file(m_salon, u"01Cari.mdb"_qs), QStringLiteral("SELECT CariKod, Unvan, KartNumarasi, Gurup FROM CariKartlar"))) {
            QVERIFY2(!codes.contains(r[0]), qPrintable(r[0]));
            codes << r[0];
            if (r[0].startsWith(u'=')) continue; // the salon's own internal accounts
            if (r[3] == u"Eleman") {
                QVERIFY2(employee.match(r[0]).hasMatch() && r[2].isEmpty() && r[1] != Demo::turkishUpper(r[1]), qPrintable(r[1]));
                continue;
            }
            QVERIFY2(customer.match(r[0]).hasMatch() && cardNumber.match(r[2]).hasMatch() && !cards.contains(r[2]), qPrintable(r[0] + u' ' + r[2]));
            for (const QString& w : r[1].split(u' ')) QVERIFY2(words.contains(w), qPrintable(r[1])); // "ŞİRİN", never "ŞIRIN"
            cards << r[2];
        }
        QCOMPARE(codes.size(), 20040);
    }

    // A real salon's files are overwritten only with --force, the slot file never; the code formats cap the sizes.
    void leavesARealSalonAlone()
    {
        QTemporaryDir dir;
        QVERIFY(!demo(dir, 1000001, 0, 1) && !demo(dir, 10, 0, 1000));
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("DefteryaData")));
        const QString cari = file(dir, u"01Cari.mdb"_qs), slot = file(dir, u"Müsteri.mdb"_qs);
        writeBytes(cari, "not a database");
        writeBytes(slot, "the register's own");
        QString error;
        QVERIFY(!demo(dir, 20, 10, 2, 1, false, &error) && error.contains(QStringLiteral("01Cari.mdb")));
        QCOMPARE(fileBytes(cari), QByteArray("not a database"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("DefteryaData"))).entryList(QDir::Files).size(), 2);
        writeBytes(cari + QStringLiteral("-journal"), "stale"); // a crashed writer's journal is not rolled in
        QVERIFY(demo(dir, 20, 10, 2, 1, true));
        QCOMPARE(first(cari, QStringLiteral("SELECT count(*) FROM CariKartlar")), u"22"_qs);
        QCOMPARE(fileBytes(slot), QByteArray("the register's own"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("DefteryaData"))).entryList(QDir::Files).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDemoSalon)
#include "tst_demosalon.moc"
