#include "demodata.h"
#include "demosalon.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cmath>

using namespace Demo;

using FixedColumns = QList<QPair<int, QString>>; // position and name

namespace {

// Read-only view of one generated file.
class Db {
public:
    explicit Db(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~Db() { sqlite3_close(m_db); }
    bool isOpen() const { return m_db != nullptr; }

    QList<QStringList> rows(const QString& sql) const
    {
        QList<QStringList> out;
        sqlite3_stmt* st = nullptr;
        if (!m_db || sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << row;
        }
        sqlite3_finalize(st);
        return out;
    }
    QString value(const QString& sql) const
    {
        const auto r = rows(sql);
        return r.isEmpty() || r[0].isEmpty() ? QString() : r[0][0];
    }
    qint64 count(const QString& sql) const { return value(sql).toLongLong(); }

private:
    sqlite3* m_db = nullptr;
};

DemoOptions optionsIn(const QTemporaryDir& dir, int customers, int stock, int employees, quint32 seed = 1)
{
    DemoOptions o;
    o.prefix = dir.filePath(QStringLiteral("DefteryaData/01"));
    o.customers = customers;
    o.stock = stock;
    o.employees = employees;
    o.seed = seed;
    return o;
}

// Checked here from the digits alone, independent of ean13().
bool validEan13(const QString& code)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{13}$"));
    if (!digits.match(code).hasMatch())
        return false;
    int sum = 0;
    for (int i = 0; i < 13; ++i)
        sum += code[i].digitValue() * (i % 2 ? 3 : 1);
    return sum % 10 == 0;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QSet<QString> upperNameWords()
{
    QSet<QString> words;
    for (const auto& list : {Data::femaleNames(), Data::maleNames(), Data::femaleSecondNames(),
                             Data::maleSecondNames(), Data::surnames(), Data::apostropheSurnames()})
        for (const char* name : list)
            words.insert(turkishUpper(QString::fromUtf8(name)));
    return words;
}

} // namespace

class TestDemoSalon : public QObject {
    Q_OBJECT

private slots:
    void ean13_data();
    void ean13();
    void turkishUpper_data();
    void turkishUpper();
    void columns_data();
    void columns();
    void plainSchema_data();
    void plainSchema();
    void counts_data();
    void counts();
    void stockCards_data();
    void stockCards();
    void cariCards_data();
    void cariCards();
    void refusesToOverwrite_data();
    void refusesToOverwrite();
    void slotFileLeftAlone();
    void buttonCaptions();
    void deterministic_data();
    void deterministic();
    void prefixForms_data();
    void prefixForms();
    void badOptions_data();
    void badOptions();
    void tool_data();
    void tool();
};

// The desk's panel: services first, a few offered products at its end, every name a real card.
void TestDemoSalon::buttonCaptions()
{
    QTemporaryDir dir;
    QString error;
    const DemoOptions o = optionsIn(dir, 10, -1, 2);
    QVERIFY2(writeDemoSalon(o, &error), qPrintable(error));
    const QStringList names = Demo::buttonCaptions(o.prefix);
    QCOMPARE(names.size(), 26);
    Db stock(stockFile(o.prefix));
    QStringList groups;
    for (const QString& n : names)
        groups << stock.value(QStringLiteral("SELECT StokGrubu FROM StokKartlar WHERE StokGizle=0 AND StokAdi='%1'")
                                  .arg(QString(n).replace(u'\'', QStringLiteral("''"))));
    QCOMPARE(groups.mid(0, 22), QStringList(22, QStringLiteral("Hizmet")));
    QCOMPARE(groups.mid(22), QStringList(4, QStringLiteral("Ürün")));
}

void TestDemoSalon::ean13_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("retail sample") << "400638133393" << "4006381333931";
    QTest::newRow("GS1 sample") << "590123412345" << "5901234123457";
    QTest::newRow("book") << "978030640615" << "9780306406157";
    QTest::newRow("leading zeros") << "001234567890" << "0012345678905";
    QTest::newRow("check digit 0") << "869123456789" << "8691234567890";
    QTest::newRow("all zeros") << "000000000000" << "0000000000000";
    QTest::newRow("too short") << "86912345678" << "";
    QTest::newRow("already 13") << "8691234567890" << "";
    QTest::newRow("letter") << "86912345678a" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٨٦٩١٢٣٤٥٦٧٨٩") << "";
}

void TestDemoSalon::ean13()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(Demo::ean13(input), expected);
    if (!expected.isEmpty())
        QVERIFY(validEan13(expected));
}

void TestDemoSalon::turkishUpper_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("dotted i") << "ipek" << "İPEK";
    QTest::newRow("dotless i") << "ılgın" << "ILGIN";
    QTest::newRow("both i") << "ipek ışık" << "İPEK IŞIK";
    QTest::newRow("all Turkish letters") << "çğıöşü" << "ÇĞIÖŞÜ";
    QTest::newRow("name") << "ayşe yılmaz" << "AYŞE YILMAZ";
    QTest::newRow("mixed case") << "Çiğdem Öztürk" << "ÇİĞDEM ÖZTÜRK";
    QTest::newRow("already upper") << "İSTANBUL IĞDIR" << "İSTANBUL IĞDIR";
    QTest::newRow("capital I stays") << "Iğdır" << "IĞDIR";
    QTest::newRow("apostrophe") << "Nazlı D'Angelo" << "NAZLI D'ANGELO";
    QTest::newRow("circumflex") << "âşık" << "ÂŞIK";
    QTest::newRow("digits and marks") << "no:12 d:4/b" << "NO:12 D:4/B";
    QTest::newRow("empty") << "" << "";
}

void TestDemoSalon::turkishUpper()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(Demo::turkishUpper(input), expected);
}

void TestDemoSalon::columns_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("count");
    QTest::addColumn<FixedColumns>("fixed");
    using Fixed = FixedColumns;
    QTest::newRow("stock") << "Stok.mdb" << "StokKartlar" << 32
                           << Fixed{{0, "StokKod"}, {1, "StokAdi"}, {13, "Aktarim"}, {15, "BarkodNo"},
                                    {16, "SatisFiyati"}, {30, "StokGrubu"}, {31, "StokGizle"}};
    QTest::newRow("accounts") << "Cari.mdb" << "CariKartlar" << 46
                              << Fixed{{0, "CariKod"}, {1, "Unvan"}, {15, "KartNumarasi"}, {26, "Guncel"},
                                       {28, "Telefon"}, {29, "Adres"}, {30, "Sehir"}, {44, "Gurup"},
                                       {45, "HesKullan"}};
    QTest::newRow("slot") << "Müsteri.mdb" << "Müsteri" << 11
                          << Fixed{{0, "Kayit"}, {1, "UrunAdi"}, {2, "MusLbl"}, {3, "Müsteri"}, {4, "Barkod"},
                                   {5, "Miktar"}, {6, "Fiyat"}, {7, "Tutar"}, {8, "eLEMAN"}, {9, "RowSay"},
                                   {10, "Peron"}};
}

void TestDemoSalon::columns()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(int, count);
    QFETCH(FixedColumns, fixed);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(writeDemoSalon(optionsIn(dir, 60, -1, 3), &error), qPrintable(error));

    const QString path = file == QStringLiteral("Müsteri.mdb") ? dir.filePath(QStringLiteral("DefteryaData/Müsteri.mdb"))
                                                               : dir.filePath(QStringLiteral("DefteryaData/01") + file);
    Db db(path);
    QVERIFY(db.isOpen());
    const auto info = db.rows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    QCOMPARE(info.size(), count);
    QSet<QString> names;
    for (const QStringList& col : info)
        names.insert(col[1].toLower()); // SQLite treats column names case-insensitively
    QCOMPARE(names.size(), count);
    for (const auto& [position, name] : fixed)
        QCOMPARE(info[position][1], name);
}

void TestDemoSalon::plainSchema_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("stock") << "01Stok.mdb";
    QTest::newRow("accounts") << "01Cari.mdb";
    QTest::newRow("slot") << "Müsteri.mdb";
}

// Another program opens these files: no indexes, collations or types it would not know.
void TestDemoSalon::plainSchema()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(writeDemoSalon(optionsIn(dir, 30, 20, 2), &error), qPrintable(error));
    Db db(dir.filePath(QStringLiteral("DefteryaData/") + file));
    QVERIFY(db.isOpen());
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index'")), 0);
    for (const QStringList& t : db.rows(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='table'"))) {
        QVERIFY2(!t[1].contains(QStringLiteral("COLLATE"), Qt::CaseInsensitive), qPrintable(t[1]));
        if (t[0] == QStringLiteral("sqlite_sequence"))
            continue;
        for (const QStringList& col : db.rows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t[0])))
            QVERIFY2(QStringList({"TEXT", "INTEGER", "REAL"}).contains(col[2]), qPrintable(col[1] + u' ' + col[2]));
    }
}

void TestDemoSalon::counts_data()
{
    QTest::addColumn<int>("customers");
    QTest::addColumn<int>("stock");
    QTest::addColumn<int>("employees");
    QTest::newRow("empty") << 0 << 0 << 0;
    QTest::newRow("tiny") << 10 << 2 << 1;
    QTest::newRow("below internal threshold") << 19 << 5 << 1;
    QTest::newRow("defaults") << 300 << -1 << 10;
    QTest::newRow("short catalogue") << 1000 << 60 << 25;
    QTest::newRow("grown catalogue") << 5000 << 3000 << 3;
}

void TestDemoSalon::counts()
{
    QFETCH(int, customers);
    QFETCH(int, stock);
    QFETCH(int, employees);
    QTemporaryDir dir;
    QString error;
    QStringList report;
    QVERIFY2(writeDemoSalon(optionsIn(dir, customers, stock, employees), &error, &report), qPrintable(error));
    QCOMPARE(report.size(), 3);

    const int stockCount = stock < 0 ? baseStockCount() : stock;
    Db st(dir.filePath(QStringLiteral("DefteryaData/01Stok.mdb")));
    QCOMPARE(st.count(QStringLiteral("SELECT count(*) FROM StokKartlar")), stockCount);
    QCOMPARE(st.count(QStringLiteral("SELECT count(*) FROM StokKartlar WHERE Aktarim = 1")), stockCount);
    QCOMPARE(st.count(QStringLiteral("SELECT count(*) FROM StokKartlar WHERE StokGrubu NOT IN ('Hizmet','Ürün','Boya')")), 0);
    QCOMPARE(st.count(QStringLiteral("SELECT sum(StokGizle) FROM StokKartlar")), std::llround(stockCount * 0.02));
    if (stockCount >= 3) {
        for (const char* group : {"Hizmet", "Ürün", "Boya"})
            QVERIFY2(st.count(QStringLiteral("SELECT count(*) FROM StokKartlar WHERE StokGrubu='%1'").arg(QString::fromUtf8(group))) > 0,
                     group);
    }

    const qint64 internal = customers >= 20 ? qMax<qint64>(1, std::llround(customers * 0.005)) : 0;
    Db cari(dir.filePath(QStringLiteral("DefteryaData/01Cari.mdb")));
    QCOMPARE(cari.count(QStringLiteral("SELECT count(*) FROM CariKartlar WHERE Gurup='Müşteri'")), customers);
    QCOMPARE(cari.count(QStringLiteral("SELECT count(*) FROM CariKartlar WHERE Gurup='Eleman'")), employees);
    QCOMPARE(cari.count(QStringLiteral("SELECT count(*) FROM CariKartlar")), customers + employees);
    QCOMPARE(cari.count(QStringLiteral("SELECT count(*) FROM CariKartlar WHERE Guncel = 1")), customers + employees);
    QCOMPARE(cari.count(QStringLiteral("SELECT count(*) FROM CariKartlar WHERE substr(CariKod,1,1)='='")), internal);
    QCOMPARE(cari.count(QStringLiteral("SELECT sum(HesKullan) FROM CariKartlar")), std::llround((customers - internal) * 0.01));

    Db slot(dir.filePath(QStringLiteral("DefteryaData/Müsteri.mdb")));
    QVERIFY(slot.isOpen());
    QCOMPARE(slot.value(QStringLiteral("SELECT count(*) FROM \"Müsteri\"")), QStringLiteral("0"));
}

void TestDemoSalon::stockCards_data()
{
    QTest::addColumn<int>("stock");
    QTest::newRow("short") << 50;
    QTest::newRow("base") << -1;
    QTest::newRow("grown") << 5000;
    QTest::newRow("past every variant") << 40000;
}

void TestDemoSalon::stockCards()
{
    QFETCH(int, stock);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(writeDemoSalon(optionsIn(dir, 0, stock, 0), &error), qPrintable(error));
    Db db(dir.filePath(QStringLiteral("DefteryaData/01Stok.mdb")));
    const auto rows = db.rows(QStringLiteral("SELECT StokKod, StokAdi, BarkodNo, SatisFiyati, StokGrubu FROM StokKartlar"));
    QCOMPARE(rows.size(), stock < 0 ? baseStockCount() : stock);

    static const QRegularExpression code(QStringLiteral("^(HZM|URN|BOY)\\d{5}$"));
    const QHash<QString, QString> prefixOf{{"Hizmet", "HZM"}, {"Ürün", "URN"}, {"Boya", "BOY"}};
    QSet<QString> codes, names, barcodes;
    for (const QStringList& r : rows) {
        QVERIFY2(code.match(r[0]).hasMatch(), qPrintable(r[0]));
        QCOMPARE(r[0].left(3), prefixOf.value(r[4]));
        QVERIFY2(!r[1].trimmed().isEmpty() && r[1] == r[1].trimmed(), qPrintable(r[0]));
        QVERIFY2(r[3].toDouble() > 0, qPrintable(r[1]));
        if (r[4] == QStringLiteral("Hizmet")) {
            QVERIFY2(r[2].isEmpty(), qPrintable(r[1]));
            QVERIFY2(!r[1].contains(QStringLiteral("Seri")), qPrintable(r[1]));
        } else {
            QVERIFY2(validEan13(r[2]), qPrintable(r[1] + u' ' + r[2]));
            QVERIFY2(!barcodes.contains(r[2]), qPrintable(r[2]));
            barcodes.insert(r[2]);
        }
        QVERIFY2(!codes.contains(r[0]), qPrintable(r[0]));
        QVERIFY2(!names.contains(r[1]), qPrintable(r[1]));
        codes.insert(r[0]);
        names.insert(r[1]);
    }
}

void TestDemoSalon::cariCards_data()
{
    QTest::addColumn<int>("customers");
    QTest::addColumn<int>("employees");
    QTest::newRow("few") << 40 << 2;
    QTest::newRow("defaults") << 300 << 10;
    QTest::newRow("many") << 20000 << 40;
}

void TestDemoSalon::cariCards()
{
    QFETCH(int, customers);
    QFETCH(int, employees);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(writeDemoSalon(optionsIn(dir, customers, 0, employees), &error), qPrintable(error));
    Db db(dir.filePath(QStringLiteral("DefteryaData/01Cari.mdb")));
    const auto rows = db.rows(QStringLiteral("SELECT CariKod, Unvan, KartNumarasi, Telefon, Gurup, Sehir FROM CariKartlar"));
    QCOMPARE(rows.size(), customers + employees);

    static const QRegularExpression customerCode(QStringLiteral("^M\\d{6}$"));
    static const QRegularExpression employeeCode(QStringLiteral("^E\\d{3}$"));
    static const QRegularExpression cardNumber(QStringLiteral("^[1-9]\\d{9}$"));
    static const QRegularExpression phone(QStringLiteral("^05\\d\\d \\d{3} \\d\\d \\d\\d$"));
    const QSet<QString> words = upperNameWords();
    QSet<QString> codes, cards;
    bool apostrophe = false;
    for (const QStringList& r : rows) {
        QVERIFY2(!codes.contains(r[0]), qPrintable(r[0]));
        codes.insert(r[0]);
        QVERIFY2(r[5] == Demo::turkishUpper(r[5]), qPrintable(r[5]));
        if (r[0].startsWith(u'=')) {
            QCOMPARE(r[4], QStringLiteral("Müşteri"));
            continue;
        }
        QVERIFY2(phone.match(r[3]).hasMatch(), qPrintable(r[3]));
        if (r[4] == QStringLiteral("Eleman")) {
            QVERIFY2(employeeCode.match(r[0]).hasMatch(), qPrintable(r[0]));
            QVERIFY(r[2].isEmpty());
            QVERIFY2(r[1] != Demo::turkishUpper(r[1]), qPrintable(r[1])); // proper case, not shouting
            continue;
        }
        QCOMPARE(r[4], QStringLiteral("Müşteri"));
        QVERIFY2(customerCode.match(r[0]).hasMatch(), qPrintable(r[0]));
        QVERIFY2(cardNumber.match(r[2]).hasMatch(), qPrintable(r[2]));
        QVERIFY2(!cards.contains(r[2]), qPrintable(r[2]));
        cards.insert(r[2]);
        // Every word must be a known name upper-cased the Turkish way ("ŞİRİN", never "ŞIRIN").
        for (const QString& w : r[1].split(u' '))
            QVERIFY2(words.contains(w), qPrintable(r[1]));
        apostrophe = apostrophe || r[1].contains(u'\'');
    }
    QCOMPARE(apostrophe, customers > 50);
}

void TestDemoSalon::refusesToOverwrite_data()
{
    QTest::addColumn<QString>("existing");
    QTest::newRow("stock") << "01Stok.mdb";
    QTest::newRow("accounts") << "01Cari.mdb";
}

void TestDemoSalon::refusesToOverwrite()
{
    QFETCH(QString, existing);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("DefteryaData")));
    const QString path = dir.filePath(QStringLiteral("DefteryaData/") + existing);
    writeBytes(path, "not a database");

    DemoOptions options = optionsIn(dir, 20, 10, 2);
    QString error;
    QVERIFY(!writeDemoSalon(options, &error));
    QVERIFY(error.contains(existing));
    QCOMPARE(fileBytes(path), QByteArray("not a database"));
    // Nothing else written either.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("DefteryaData"))).entryList(QDir::Files), QStringList{existing});

    // A journal left by a crashed writer must not be rolled into the new file.
    writeBytes(path + QStringLiteral("-journal"), "stale");
    options.force = true;
    QVERIFY2(writeDemoSalon(options, &error), qPrintable(error));
    QCOMPARE(Db(dir.filePath(QStringLiteral("DefteryaData/01Cari.mdb"))).count(QStringLiteral("SELECT count(*) FROM CariKartlar")), 22);
    QCOMPARE(Db(dir.filePath(QStringLiteral("DefteryaData/01Stok.mdb"))).count(QStringLiteral("SELECT count(*) FROM StokKartlar")), 10);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("DefteryaData"))).entryList(QDir::Files).size(), 3); // no .part or journal left over
}

void TestDemoSalon::slotFileLeftAlone()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("DefteryaData")));
    const QString slot = dir.filePath(QStringLiteral("DefteryaData/Müsteri.mdb"));
    writeBytes(slot, "the register's own");
    QCOMPARE(slotFile(dir.filePath(QStringLiteral("DefteryaData/01"))), slot);

    DemoOptions options = optionsIn(dir, 5, 5, 1);
    QString error;
    QStringList report;
    QVERIFY2(writeDemoSalon(options, &error, &report), qPrintable(error));
    QCOMPARE(fileBytes(slot), QByteArray("the register's own"));
    QCOMPARE(report.size(), 3);

    options.force = true;
    QVERIFY2(writeDemoSalon(options, &error), qPrintable(error));
    QCOMPARE(fileBytes(slot), QByteArray("the register's own"));
}

void TestDemoSalon::deterministic_data()
{
    QTest::addColumn<int>("customers");
    QTest::addColumn<int>("stock");
    QTest::newRow("defaults") << 300 << -1;
    QTest::newRow("grown") << 3000 << 2000;
}

void TestDemoSalon::deterministic()
{
    QFETCH(int, customers);
    QFETCH(int, stock);
    auto dump = [](const QTemporaryDir& dir) {
        QList<QStringList> all = Db(dir.filePath(QStringLiteral("DefteryaData/01Stok.mdb"))).rows(QStringLiteral("SELECT * FROM StokKartlar"));
        all += Db(dir.filePath(QStringLiteral("DefteryaData/01Cari.mdb"))).rows(QStringLiteral("SELECT * FROM CariKartlar"));
        return all;
    };
    auto stockDump = [](const QTemporaryDir& dir) {
        return Db(dir.filePath(QStringLiteral("DefteryaData/01Stok.mdb"))).rows(QStringLiteral("SELECT * FROM StokKartlar"));
    };
    QTemporaryDir a, b, c, d;
    QString error;
    QVERIFY2(writeDemoSalon(optionsIn(a, customers, stock, 10, 7), &error), qPrintable(error));
    QVERIFY2(writeDemoSalon(optionsIn(b, customers, stock, 10, 7), &error), qPrintable(error));
    QVERIFY2(writeDemoSalon(optionsIn(c, customers, stock, 10, 8), &error), qPrintable(error));
    // Other sizes of the other file must not move the stock cards.
    QVERIFY2(writeDemoSalon(optionsIn(d, customers / 2, stock, 4, 7), &error), qPrintable(error));

    const auto first = dump(a);
    QCOMPARE(first.size(), (stock < 0 ? baseStockCount() : stock) + customers + 10);
    QCOMPARE(dump(b), first);
    QVERIFY(dump(c) != first);
    QCOMPARE(stockDump(d), stockDump(a));
}

void TestDemoSalon::prefixForms_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("slot");
    QTest::newRow("slot number") << "DefteryaData/01" << "DefteryaData/01Stok.mdb" << "DefteryaData/Müsteri.mdb";
    QTest::newRow("folder only") << "DefteryaData/" << "DefteryaData/Stok.mdb" << "DefteryaData/Müsteri.mdb";
    QTest::newRow("missing folders") << "a/b/c/02" << "a/b/c/02Stok.mdb" << "a/b/c/Müsteri.mdb";
}

void TestDemoSalon::prefixForms()
{
    QFETCH(QString, prefix);
    QFETCH(QString, stock);
    QFETCH(QString, slot);
    QTemporaryDir dir;
    DemoOptions options;
    options.prefix = dir.filePath(prefix);
    options.customers = 3;
    QString error;
    QVERIFY2(writeDemoSalon(options, &error), qPrintable(error));
    QCOMPARE(stockFile(options.prefix), dir.filePath(stock));
    QCOMPARE(slotFile(options.prefix), dir.filePath(slot));
    QVERIFY(QFile::exists(dir.filePath(stock)));
    QVERIFY(QFile::exists(dir.filePath(slot)));
    QVERIFY(QFile::exists(cariFile(options.prefix)));
}

void TestDemoSalon::badOptions_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("customers");
    QTest::addColumn<int>("stock");
    QTest::addColumn<int>("employees");
    QTest::newRow("no prefix") << "" << 10 << 10 << 1;
    QTest::newRow("negative customers") << "x/01" << -1 << 10 << 1;
    QTest::newRow("too many customers") << "x/01" << 1000000 << 10 << 1;
    QTest::newRow("negative stock") << "x/01" << 10 << -2 << 1;
    QTest::newRow("too many employees") << "x/01" << 10 << 10 << 1000;
}

void TestDemoSalon::badOptions()
{
    QFETCH(QString, prefix);
    QFETCH(int, customers);
    QFETCH(int, stock);
    QFETCH(int, employees);
    QTemporaryDir dir;
    DemoOptions options = optionsIn(dir, customers, stock, employees);
    options.prefix = prefix.isEmpty() ? QString() : dir.filePath(prefix);
    QString error;
    QVERIFY(!writeDemoSalon(options, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestDemoSalon::tool_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("runTwice");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("lines");
    QTest::newRow("fresh") << QStringList{"--customers", "25"} << false << 0 << 3;
    QTest::newRow("files exist") << QStringList{} << true << 1 << 0;
    QTest::newRow("files exist, force") << QStringList{"--force"} << true << 0 << 3;
    QTest::newRow("not a number") << QStringList{"--stock", "12x"} << false << 2 << 0;
    QTest::newRow("no prefix") << QStringList{"--no-prefix"} << false << 2 << 0;
}

void TestDemoSalon::tool()
{
    QFETCH(QStringList, args);
    QFETCH(bool, runTwice);
    QFETCH(int, exitCode);
    QFETCH(int, lines);
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("DefteryaData/01"));
    if (args.contains(QStringLiteral("--no-prefix")))
        args.clear();
    else
        args << QStringLiteral("--prefix") << prefix;
    auto run = [&](const QStringList& a) {
        QProcess p;
        p.start(QStringLiteral(SALONYA_DEMO_TOOL), a);
        p.waitForFinished(60000);
        return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
    };
    if (runTwice)
        QCOMPARE(run({QStringLiteral("--prefix"), prefix}).first, 0);
    const auto [code, out] = run(args);
    QCOMPARE(code, exitCode);
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts).size(), lines);
}

QTEST_GUILESS_MAIN(TestDemoSalon)
#include "tst_demosalon.moc"
