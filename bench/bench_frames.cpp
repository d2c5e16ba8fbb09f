// The stock and dye frames over 100 000 stock cards, 5 000 of them dyes: Enter on a scanned barcode
// until the card's name stands in StokText, and a key released in the dye field until the dye list
// holds its matches. Key events go straight to the fields, as a scanner's and a keyboard's do.
#include "benchsalon.h"

#include "data/datasource.h"
#include "ui/feedback.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kStock = 100000;
constexpr int kDyes = 5000;
constexpr int kScans = 500;
constexpr int kSearches = 300;

void key(QWidget* w, QEvent::Type type, int k, const QString& text)
{
    QKeyEvent e(type, k, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &e);
}

void type(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        const int k = ch.isLetterOrNumber() ? QString(ch).toUpper().at(0).unicode() : ch.unicode();
        key(w, QEvent::KeyPress, k, QString(ch));
        key(w, QEvent::KeyRelease, k, QString(ch));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);
    QApplication app(argc, argv);

    QElapsedTimer t;
    t.start();
    if (!writeBenchDemo(root, 300, kStock)) return 1;
    Salonya form;
    if (!startBenchDesk(form)) return 1;
    std::fprintf(stderr, "salon written and desk ready in %lld ms\n", t.restart());

    // The import takes the offered cards only; cards hidden since make up the rest of kStock, and
    // exactly kDyes of all are dyes.
    QString error;
    Database* db = form.DataStok->database();
    if (!db || !db->exec(QStringLiteral("INSERT INTO StokKartlar SELECT StokKod || '-E', StokAdi || ' (eski)', Barkod || '1', Fiyat, 'Ürün', 1 "
                                        "FROM StokKartlar LIMIT max(0, %1 - (SELECT count(*) FROM StokKartlar))").arg(kStock), &error)
        || !db->exec(QStringLiteral("UPDATE StokKartlar SET Gurup='Ürün' WHERE rowid NOT IN "
                                        "(SELECT rowid FROM StokKartlar WHERE Gurup='Boya' LIMIT %1)").arg(kDyes), &error)
        || !db->exec(QStringLiteral("UPDATE StokKartlar SET Gurup='Boya' WHERE rowid IN (SELECT rowid FROM StokKartlar "
                                    "WHERE Gurup<>'Boya' LIMIT %1 - (SELECT count(*) FROM StokKartlar WHERE Gurup='Boya'))").arg(kDyes), &error)) {
        std::fprintf(stderr, "dyes: %s\n", qPrintable(error));
        return 1;
    }
    DataSource cards(QStringLiteral("Kartlar"));
    cards.setDatabaseName(form.DataStok->databaseName());
    cards.setRecordSource(QStringLiteral("Select * From StokKartlar Where Barkod<>''"));
    cards.refresh();
    const QStringList barcodes = column(&cards, 2);
    cards.setRecordSource(QStringLiteral("Select * From StokKartlar Where Gurup='Boya'"));
    cards.refresh();
    const QStringList dyes = column(&cards, 1);
    cards.setRecordSource(QStringLiteral("StokKartlar"));
    cards.refresh();
    std::fprintf(stderr, "%d stock cards, %lld with a barcode, %lld dyes\n", cards.recordCount(), qlonglong(barcodes.size()),
                 qlonglong(dyes.size()));
    if (cards.recordCount() < kStock || dyes.size() != kDyes || barcodes.isEmpty()) return 1;

    // Scans: the frame open, the field entered, each code typed and then Enter, timed until the name shows.
    std::mt19937 rng(11);
    form.state.AktifListe = 4; // a list touched last: the panel's buttons act without the selection test
    form.Command1[27]->click();
    form.StokText->setFocus();
    QCoreApplication::processEvents();
    std::vector<double> scans;
    int missed = 0;
    for (int i = 0; i < kScans; ++i) {
        const bool miss = i % 10 == 9; // now and then a code no card has
        const QString code = miss ? QStringLiteral("200%1").arg(i, 10, 10, QLatin1Char('0')) : barcodes[int(rng() % barcodes.size())];
        form.StokText->selectAll();
        type(form.StokText, code);
        QElapsedTimer k;
        k.start();
        key(form.StokText, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
        scans.push_back(double(k.nsecsElapsed()) / 1e6);
        key(form.StokText, QEvent::KeyRelease, Qt::Key_Return, QStringLiteral("\r"));
        if ((form.StokText->text() == QStringLiteral("Stok Bulunamadı..?")) != miss) ++missed;
        QCoreApplication::processEvents();
    }
    form.Command1[27]->click();

    // Dye searches: the dye frame open, the start of a dye name typed, each key release timed.
    form.state.AktifListe = 4;
    form.Command1[0]->click();
    QCoreApplication::processEvents();
    std::vector<double> searches;
    for (int i = 0; i < kSearches; ++i) {
        const QString name = dyes[int(rng() % dyes.size())];
        form.Text3->clear();
        const QString prefix = name.left(1 + int(rng() % 6));
        for (const QChar ch : prefix) {
            const int k = ch.isLetterOrNumber() ? QString(ch).toUpper().at(0).unicode() : ch.unicode();
            key(form.Text3, QEvent::KeyPress, k, QString(ch));
            QElapsedTimer r;
            r.start();
            key(form.Text3, QEvent::KeyRelease, k, QString(ch));
            searches.push_back(double(r.nsecsElapsed()) / 1e6);
            if (form.DBListe3->text().isEmpty()) ++missed;
            QCoreApplication::processEvents();
        }
    }
    std::fprintf(stderr, "%zu scans: median %.2f ms, max %.2f ms; %zu dye keys: median %.2f ms, max %.2f ms\n", scans.size(),
                 percentile(scans, 0.5), percentile(scans, 1.0), searches.size(), percentile(searches, 0.5),
                 percentile(searches, 1.0));
    if (missed) std::fprintf(stderr, "%d lookups showed the wrong result\n", missed);
    std::printf("barcode scan p99: %.2f ms\n", percentile(scans, 0.99));
    std::printf("dye search p99: %.2f ms\n", percentile(searches, 0.99));
    return missed ? 1 : 0;
}
