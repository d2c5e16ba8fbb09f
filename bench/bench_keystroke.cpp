// Keystroke search over 100 000 customer cards (or as many as the first argument says): the main screen
// on a generated salon, the customer field owning the keyboard, a few hundred first-name prefixes typed
// by touching the keys. Each key is timed from the touch until the list's model holds the new rows. A key
// that leaves no match brings the full list back; those keys are counted apart. The salon is generated
// in a child process, so the peak memory printed is the desk's own. Then the same on a salon server, its
// lines beginning "server " (see serverHalf()).
#include "benchsalon.h"

#include "data/datasource.h"
#include "data/recordmodels.h"
#include "data/turkish.h"
#include "demodata.h"
#include "input/keyboard.h"
#include "ui/feedback.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <cerrno>
#include <cstdio>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kDefaultCustomers = 100000;
constexpr int kPrefixes = 400;

double peakMemoryMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void touch(TouchKey* k)
{
    const QPointF c = QRectF(k->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, c, k->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(k, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, c, k->mapToGlobal(c), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(k, &release);
}

// First names as typed at the desk: one to six letters, and now and then a slip that matches nobody.
QStringList prefixes()
{
    QStringList names;
    for (const char* n : Demo::Data::femaleNames()) names << QString::fromUtf8(n);
    for (const char* n : Demo::Data::maleNames()) names << QString::fromUtf8(n);
    std::mt19937 rng(7);
    QStringList out;
    for (int i = 0; i < kPrefixes; ++i) {
        const QString name = names[int(rng() % names.size())];
        const int len = 1 + int(rng() % 6);
        QString p = name.left(len);
        if (rng() % 5 == 0) p += QStringLiteral("xq").at(int(rng() % 2));
        out << p;
    }
    return out;
}

// The generator's own memory (all cards built at once) must not count as the desk's.
bool writeDemoApart(const QString& root, int customers)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return writeBenchDemo(root, customers);
    if (child == 0) _exit(writeBenchDemo(root, customers) ? 0 : 1);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    takeServerSetting();
    int customers = kDefaultCustomers;
    if (argc > 1) {
        bool number = false;
        const int n = QByteArray(argv[1]).toInt(&number);
        if (number) {
            customers = n;
            std::copy(argv + 2, argv + argc + 1, argv + 1); // the folder argument, if any, stays last
            --argc;
        }
    }
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);

    QElapsedTimer t;
    t.start();
    if (!writeDemoApart(root, customers)) return 1;
    QApplication app(argc, argv);
    std::fprintf(stderr, "demo salon written in %lld ms\n", t.restart());

    Salonya form;
    if (!startBenchDesk(form)) return 1;
    std::fprintf(stderr, "main screen ready in %lld ms\n", t.restart());
    std::fprintf(stderr, "import marks and backup done %lld ms later\n", waitAfterReadyWork(form));

    // The customer field takes the keyboard as its focus handler does.
    form.DataCari->setRecordSource(QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan DESC"));
    form.DataCari->refresh();
    Keyboard::takeKeyboard(form, form.Text1, form.DataCari, QStringLiteral("CariKartlar"));
    form.DBListe1->show();
    std::fprintf(stderr, "%d customer rows\n", form.DataCari->recordCount());

    QHash<QChar, TouchKey*> keyFor;
    for (TouchKey* k : std::as_const(form.Label1))
        if (k && k->text().size() == 1) keyFor.insert(k->text().at(0), k);

    RecordListModel* model = form.DBListe1->listModel();
    const QString resetSource = QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc");
    std::vector<double> searches, resets, withPaint, handlers;
    // The key's figure ends when the list's model last took new rows during the key; what the key's
    // handling does after that (the highlighted customer's history and open lines) is timed apart.
    QElapsedTimer key;
    double rowsAt = 0;
    QObject::connect(model, &QAbstractItemModel::modelReset, model, [&] { rowsAt = double(key.nsecsElapsed()) / 1e6; });
    std::map<int, std::vector<double>> byLength;
    long long mismatches = 0;
    for (const QString& prefix : prefixes()) {
        touch(form.key(46)); // "Sil": start the next name from an empty field
        QCoreApplication::processEvents();
        for (const QChar ch : prefix) {
            TouchKey* k = keyFor.value(Turkish::toLower(QString(ch)).at(0));
            if (!k) { std::fprintf(stderr, "no key for %s\n", qPrintable(QString(ch))); return 1; }
            rowsAt = 0;
            key.start();
            touch(k);
            handlers.push_back(double(key.nsecsElapsed()) / 1e6);
            const double ms = rowsAt;
            if (model->rowCount() != form.DataCari->recordCount()) ++mismatches;
            const bool reset = form.DataCari->recordSource() == resetSource;
            (reset ? resets : searches).push_back(ms);
            if (!reset) byLength[int(form.KlvTxt->text().size())].push_back(ms);
            QCoreApplication::processEvents(); // what the screen does between two touches
            withPaint.push_back(double(key.nsecsElapsed()) / 1e6);
        }
    }
    if (mismatches) std::fprintf(stderr, "%lld keys left the list behind its data\n", mismatches);
    std::fprintf(stderr, "%zu prefix keys, %zu reset keys\n", searches.size(), resets.size());
    for (const auto& [len, v] : byLength)
        std::fprintf(stderr, "  %d letters: %zu keys, median %.2f ms, p99 %.2f ms, max %.2f ms\n", len, v.size(),
                     percentile(v, 0.5), percentile(v, 0.99), percentile(v, 1.0));
    std::fprintf(stderr, "whole key handling (list, then the highlighted customer's history and open lines): median %.2f ms, p99 %.2f ms\n",
                 percentile(handlers, 0.5), percentile(handlers, 0.99));
    std::fprintf(stderr, "any key including the events it leaves behind: median %.2f ms, p99 %.2f ms\n",
                 percentile(withPaint, 0.5), percentile(withPaint, 0.99));

    std::printf("customers: %d\n", customers);
    std::printf("keystroke search median: %.2f ms\n", percentile(searches, 0.5));
    std::printf("keystroke search p99: %.2f ms\n", percentile(searches, 0.99));
    std::printf("full list reset p99: %.2f ms\n", percentile(resets, 0.99));
    std::printf("whole key p99: %.2f ms\n", percentile(handlers, 0.99));
    std::printf("desk peak memory (generator apart): %.0f MB\n", peakMemoryMb());
    const bool server = isServerHalf() || serverHalf({QString::number(customers)}, [](const QString&) {});
    return mismatches || !server ? 1 : 0;
}
