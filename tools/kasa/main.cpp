// salonya-kasa: what waits in the three register slots, and paying a slot, on the shared slot file.
// Exit codes: 0 done, 1 failed (no slot file, bad slot number, locked), 2 wrong use.

#include "checkout/registerslots.h"
#include "checkout/slotsender.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <cmath>
#include <cstdio>

namespace {

void printLine(FILE* to, const QString& line) { std::fputs((line + u'\n').toUtf8().constData(), to); }

const QLocale& turkish()
{
    static const QLocale l(QLocale::Turkish, QLocale::Turkey);
    return l;
}

// Half away from zero at the second decimal, as the register rounds: 10.995 is stored a hair below
// 10.995, so it is first taken to the sixth decimal (amounts keep four).
QString money(const QVariant& v)
{
    if (v.isNull()) return QStringLiteral("-");
    const double cents = std::round(std::round(v.toDouble() * 1e6) / 1e4);
    return turkish().toString(cents / 100.0, 'f', 2);
}
// A dye's kilograms in full, never in exponent notation.
QString quantity(const QVariant& v)
{
    return v.isNull() ? QStringLiteral("-") : turkish().toString(v.toDouble(), 'f', QLocale::FloatingPointShortest);
}

int list(const QString& file)
{
    QList<RegisterSlots::Line> lines;
    QString error;
    if (!RegisterSlots::read(file, &lines, &error)) {
        printLine(stderr, QStringLiteral("salonya-kasa: ") + error);
        return 1;
    }
    printLine(stdout, QStringLiteral("Kasa dosyası: %1").arg(QDir::toNativeSeparators(file)));
    double waiting = 0;
    for (int slot = 1; slot <= SlotSender::SlotCount; ++slot) {
        QStringList customers;
        QList<RegisterSlots::Line> own;
        double total = 0;
        for (const RegisterSlots::Line& l : std::as_const(lines)) {
            if (l.slot != slot) continue;
            own << l;
            total += l.amount.toDouble();
            if (!customers.contains(l.customer)) customers << l.customer;
        }
        if (own.isEmpty()) {
            printLine(stdout, QStringLiteral("Kasa %1: boş").arg(slot));
            continue;
        }
        waiting += total;
        printLine(stdout, QStringLiteral("Kasa %1: %2 — %3 satır, toplam %4")
                              .arg(slot).arg(customers.join(QStringLiteral(", "))).arg(own.size()).arg(money(total)));
        for (const RegisterSlots::Line& l : std::as_const(own))
            printLine(stdout, QStringLiteral("  %1  %2 %3 x %4 = %5  %6")
                                  .arg(l.rowSay, 3)
                                  .arg(l.name.leftJustified(28))
                                  .arg(quantity(l.quantity), 7)
                                  .arg(money(l.price), 10)
                                  .arg(money(l.amount), 10)
                                  .arg(l.employee));
    }
    printLine(stdout, QStringLiteral("Bekleyen toplam: %1").arg(money(waiting)));
    return 0;
}

int pay(const QString& file, const QString& slotText)
{
    bool isNumber = false;
    const int slot = slotText.toInt(&isNumber);
    if (!isNumber || slot < 1 || slot > SlotSender::SlotCount) {
        printLine(stderr, QStringLiteral("salonya-kasa: kasa numarası 1, 2 ya da 3 olmalı: %1").arg(slotText));
        return 1;
    }
    QString error;
    const int removed = RegisterSlots::pay(file, slot, &error);
    if (removed < 0) {
        printLine(stderr, QStringLiteral("salonya-kasa: ") + error);
        return 1;
    }
    printLine(stdout, removed == 0 ? QStringLiteral("Kasa %1 zaten boştu.").arg(slot)
                                   : QStringLiteral("Kasa %1 ödendi: %2 satır kaldırıldı.").arg(slot).arg(removed));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("salonya-kasa"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Kasa tarafı: Müsteri.mdb'deki üç kasada bekleyen hesapları gösterir (list) ya da bir kasayı öder ve boşaltır (pay N)."));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("file"), QStringLiteral("Kasa dosyasının yolu."), QStringLiteral("yol")},
        {QStringLiteral("prefix"), QStringLiteral("Veri klasörü öneki, ör. /veri/DefteryaData/01; kasa dosyası önekin klasöründedir."),
         QStringLiteral("önek")},
    });
    parser.addPositionalArgument(QStringLiteral("komut"), QStringLiteral("list | pay N"));

    auto usage = [&](const QString& why) {
        printLine(stderr, QStringLiteral("salonya-kasa: ") + why);
        printLine(stderr, parser.helpText());
        return 2;
    };
    if (!parser.parse(app.arguments())) return usage(parser.errorText());
    if (parser.isSet(help)) {
        printLine(stdout, parser.helpText());
        return 0;
    }
    const bool hasFile = parser.isSet(QStringLiteral("file"));
    const bool hasPrefix = parser.isSet(QStringLiteral("prefix"));
    if (hasFile == hasPrefix) return usage(QStringLiteral("--file ya da --prefix gerekli (yalnız biri)"));
    QString file;
    if (hasFile) {
        file = parser.value(QStringLiteral("file"));
    } else {
        QString prefix = parser.value(QStringLiteral("prefix"));
        if (!prefix.contains(u'/') && !prefix.contains(u'\\')) prefix.prepend(QStringLiteral("./")); // a bare "01": this folder
        file = SlotSender::slotFileOf(prefix);
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() == 1 && args[0] == u"list") return list(file);
    if (args.size() == 2 && args[0] == u"pay") return pay(file, args[1]);
    return usage(args.isEmpty() ? QStringLiteral("komut gerekli") : QStringLiteral("bilinmeyen komut: ") + args.join(u' '));
}
