// The register companion salonya-kasa: listing the waiting slots, paying one, and its exit codes.
#include "accountingfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QVariantMap row(int slot, int rowSay, const QString& name, double qty, double price, const QString& who)
{
    return {{QStringLiteral("Qx01_urun"), name}, {QStringLiteral("MusLbl"), slot}, {QStringLiteral("Müsteri"), who},
            {QStringLiteral("Barkod"), QString()}, {QStringLiteral("Miktar"), qty}, {QStringLiteral("Fiyat"), price},
            {QStringLiteral("Tutar"), qty * price}, {QStringLiteral("eLEMAN"), QStringLiteral("Gülay Kaya")},
            {QStringLiteral("RowSay"), rowSay}, {QStringLiteral("Peron"), 0}};
}

struct Run {
    int code = -1;
    QString out, err;
};

Run kasa(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(SALONYA_KASA), args);
    p.waitForFinished(20000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestSlotKasa : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

private slots:
    void init()
    {
        m_file = m_dir.path() + QStringLiteral("/DefteryaData/Müsteri.mdb");
        QFile::remove(m_file);
        QVERIFY(AccountingFiles::writeSlots(m_file, {row(2, 1, QStringLiteral("Saç Kesimi"), 1, 150, QStringLiteral("NAZLI D'ANGELO")),
                                                     row(2, 2, QStringLiteral("Boya Kahve"), 0.25, 120, QStringLiteral("NAZLI D'ANGELO")),
                                                     row(3, 1, QStringLiteral("Fön"), 1, 100, QStringLiteral("AYŞE YILMAZ"))}));
    }

    // The list, then paying slot 2 (twice) and slot 3 through the prefix that names the file's folder.
    void listThenPay()
    {
        Run r = kasa({QStringLiteral("--file"), m_file, QStringLiteral("list")});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(1), QStringLiteral("Kasa 1: boş"));
        QCOMPARE(lines.value(2), QStringLiteral("Kasa 2: NAZLI D'ANGELO — 2 satır, toplam 180,00"));
        QVERIFY2(lines.value(3).contains(QStringLiteral("Saç Kesimi")) && lines.value(3).contains(QStringLiteral("150,00")), qPrintable(r.out));
        QVERIFY2(lines.value(4).contains(QStringLiteral("0,25 x")) && lines.value(4).contains(QStringLiteral("30,00")), qPrintable(r.out));
        QCOMPARE(lines.value(5), QStringLiteral("Kasa 3: AYŞE YILMAZ — 1 satır, toplam 100,00"));
        QCOMPARE(lines.last(), QStringLiteral("Bekleyen toplam: 280,00"));

        const QStringList pay2{QStringLiteral("--file"), m_file, QStringLiteral("pay"), QStringLiteral("2")};
        r = kasa(pay2);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.trimmed(), QStringLiteral("Kasa 2 ödendi: 2 satır kaldırıldı."));
        QCOMPARE(AccountingFiles::column(m_file, QStringLiteral("Müsteri"), 2), QVariantList{3});
        r = kasa(pay2);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.trimmed(), QStringLiteral("Kasa 2 zaten boştu."));
        r = kasa({QStringLiteral("--prefix"), m_dir.path() + QStringLiteral("/DefteryaData/01"), QStringLiteral("pay"), QStringLiteral("3")});
        QCOMPARE(r.code, 0);
        QCOMPARE(AccountingFiles::count(m_file, QStringLiteral("SELECT count(*) FROM \"Müsteri\"")), 0);
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("args"); // %F the slot file, %D its folder
        QTest::addColumn<int>("code");
        QTest::newRow("no arguments") << QStringList{} << 2;
        QTest::newRow("no command") << QStringList{"--file", "%F"} << 2;
        QTest::newRow("no file") << QStringList{"list"} << 2;
        QTest::newRow("file and prefix") << QStringList{"--file", "%F", "--prefix", "%D/01", "list"} << 2;
        QTest::newRow("unknown command") << QStringList{"--file", "%F", "sil"} << 2;
        QTest::newRow("pay without a slot") << QStringList{"--file", "%F", "pay"} << 2;
        QTest::newRow("unknown option") << QStringList{"--dosya", "%F", "list"} << 2;
        QTest::newRow("slot 4") << QStringList{"--file", "%F", "pay", "4"} << 1;
        QTest::newRow("slot not a number") << QStringList{"--file", "%F", "pay", "iki"} << 1;
        QTest::newRow("missing file") << QStringList{"--file", "%D/yok.mdb", "list"} << 1;
        QTest::newRow("folder instead of file") << QStringList{"--file", "%D", "pay", "1"} << 1;
        QTest::newRow("prefix list") << QStringList{"--prefix", "%D/01", "list"} << 0;
    }
    void exitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const QString folder = QFileInfo(m_file).absolutePath();
        for (QString& a : args) a.replace(QStringLiteral("%F"), m_file).replace(QStringLiteral("%D"), folder);
        const Run r = kasa(args);
        QCOMPARE(r.code, code);
        if (code != 0) QVERIFY2(r.err.startsWith(QStringLiteral("salonya-kasa: ")), qPrintable(r.err));
        // Failed or wrong use changes nothing.
        QCOMPARE(AccountingFiles::count(m_file, QStringLiteral("SELECT count(*) FROM \"Müsteri\"")), 3);
    }
};

QTEST_GUILESS_MAIN(TestSlotKasa)
#include "tst_slotkasa.moc"
