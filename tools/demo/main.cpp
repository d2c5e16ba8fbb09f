// salonya-demo: writes a demo accounting folder for trying the front desk without real data.

#include "demosalon.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

namespace {

void printLine(FILE* to, const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), to);
}

// Whole numbers only; "12abc" or an empty value is an error rather than a silent 0.
bool readNumber(const QCommandLineParser& parser, const QString& name, qint64 min, qint64 max, qint64* out)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 v = parser.value(name).toLongLong(&ok);
    if (!ok || v < min || v > max) {
        printLine(stderr, QStringLiteral("salonya-demo: --%1 için %2 ile %3 arasında bir tam sayı gerekli: %4")
                              .arg(name).arg(min).arg(max).arg(parser.value(name)));
        return false;
    }
    *out = v;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("salonya-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Deneme için muhasebe klasörü yazar: <önek>Stok.mdb, <önek>Cari.mdb ve önekin klasöründe Müsteri.mdb."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("prefix"), QStringLiteral("Veri klasörü öneki, ör. /veri/DefteryaData/01 (zorunlu)."),
         QStringLiteral("yol")},
        {QStringLiteral("customers"), QStringLiteral("Müşteri kartı sayısı (300)."), QStringLiteral("N")},
        {QStringLiteral("stock"), QStringLiteral("Stok kartı sayısı (temel katalog, %1).").arg(Demo::baseStockCount()),
         QStringLiteral("N")},
        {QStringLiteral("employees"), QStringLiteral("Eleman sayısı (10)."), QStringLiteral("N")},
        {QStringLiteral("seed"), QStringLiteral("Rastgele üretimin tohumu (1)."), QStringLiteral("N")},
        {QStringLiteral("force"), QStringLiteral("Var olan Stok ve Cari dosyalarının üzerine yaz.")},
        {QStringLiteral("buttons-ini"), QStringLiteral("Hizmet düğmelerini (Buton1..26) bu ayar dosyasına yaz; dolu düğmelere dokunmaz."),
         QStringLiteral("dosya")},
    });
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        printLine(stderr, QStringLiteral("salonya-demo: beklenmeyen bağımsız değişken: ") + parser.positionalArguments().join(u' '));
        return 2;
    }
    Demo::DemoOptions options;
    options.prefix = parser.value(QStringLiteral("prefix"));
    if (options.prefix.isEmpty()) {
        printLine(stderr, QStringLiteral("salonya-demo: --prefix gerekli"));
        printLine(stderr, parser.helpText());
        return 2;
    }
    qint64 customers = options.customers, stock = options.stock, employees = options.employees, seed = options.seed;
    if (!readNumber(parser, QStringLiteral("customers"), 0, 1000000, &customers)
        || !readNumber(parser, QStringLiteral("stock"), 0, 100000000, &stock)
        || !readNumber(parser, QStringLiteral("employees"), 0, 999, &employees)
        || !readNumber(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFll, &seed))
        return 2;
    options.customers = int(customers);
    options.stock = int(stock);
    options.employees = int(employees);
    options.seed = quint32(seed);
    options.force = parser.isSet(QStringLiteral("force"));

    QString error;
    QStringList report;
    if (!Demo::writeDemoSalon(options, &error, &report)) {
        printLine(stderr, QStringLiteral("salonya-demo: ") + error);
        return 1;
    }
    for (const QString& line : report)
        printLine(stdout, line);
    if (parser.isSet(QStringLiteral("buttons-ini"))) {
        // The desk's settings file: section "Salonya", keys "Buton1".."Buton26".
        QSettings ini(parser.value(QStringLiteral("buttons-ini")), QSettings::IniFormat);
        const QStringList captions = Demo::buttonCaptions(options.prefix);
        for (int n = 1; n <= captions.size(); ++n) {
            const QString key = QStringLiteral("Salonya/Buton") + QString::number(n);
            if (ini.value(key).toString().isEmpty()) ini.setValue(key, captions[n - 1]);
        }
        printLine(stdout, QStringLiteral("%1: %2 düğme").arg(ini.fileName()).arg(captions.size()));
    }
    return 0;
}
