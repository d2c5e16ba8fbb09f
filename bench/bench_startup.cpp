// Start-up cost on a big salon: 100 000 customer cards, 20 000 stock cards, 30 employees.
// Prints the first start (empty own databases) and a repeat start to the ready state, each beside the
// floor this work can cost in SQLite (bench/floor_import.sql) measured in the same run, the cost of the
// own databases' check, and the peak memory. Then the two starts on a salon server, each beside the
// embedded engine's (see serverHalf()).
#include "benchsalon.h"
#include "app/restore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

long peakMemoryMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

qint64 startToReady()
{
    QElapsedTimer t;
    t.start();
    Salonya form;
    return startBenchDesk(form) ? t.elapsed() : -1;
}

// The least the imports can cost in SQLite: bench/floor_import.sql (kept as it is) run by the sqlite3
// shell on a fresh database, in a folder holding untouched copies of the accounting files as ACC/.
qint64 floorImport(const QString& folder, const QString& prefix)
{
    QDir().mkpath(folder + QStringLiteral("/ACC"));
    for (const char* name : {"Stok.mdb", "Cari.mdb"})
        if (!QFile::copy(prefix + QLatin1String(name), folder + QStringLiteral("/ACC/01") + QLatin1String(name))) return -1;
    QProcess shell;
    shell.setWorkingDirectory(folder);
    shell.setStandardInputFile(QStringLiteral(SALONYA_BENCH_DIR "/floor_import.sql"));
    QElapsedTimer t;
    t.start();
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("own.db")});
    if (!shell.waitForFinished(600000) || shell.exitCode() != 0) {
        std::fprintf(stderr, "floor_import.sql: %s\n", shell.readAllStandardError().constData());
        return -1;
    }
    return t.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    takeServerSetting();
    QTemporaryDir temp;
    const QString root = prepareBenchSalon(argc, argv, temp);
    QApplication app(argc, argv);
    if (!writeBenchDemo(root, 100000, 20000, 30)) return 1;

    // The floor runs first, on copies of the accounting files as the generator left them (marks set).
    const qint64 floor = isServerHalf() ? 0 : floorImport(root + QStringLiteral("/floor"), benchPrefix(root));
    const qint64 first = startToReady();
    const qint64 repeat = startToReady();
    QElapsedTimer t;
    t.start();
    const bool sound = Restore::damaged(root + QStringLiteral("/program")).isEmpty();
    const qint64 check = t.elapsed();
    if (!isServerHalf()) std::printf("floor (bench/floor_import.sql by the sqlite3 shell): %lld ms\n", floor);
    std::printf("first start: %lld ms\n", first);
    std::printf("repeat start: %lld ms\n", repeat);
    if (!isServerHalf()) // the files only; a server checks its own
        std::printf("own database check at start-up (quick_check of the three files, part of both starts): %lld ms%s\n", check,
                    sound ? "" : " (damage found!)");
    if (floor > 0) {
        std::printf("first start ratio: %.2f\n", double(first) / double(floor));
        std::printf("repeat start ratio: %.2f\n", double(repeat) / double(floor));
    }
    std::printf("peak memory: %ld MB\n", peakMemoryMb());
    if (isServerHalf()) return first > 0 && repeat > 0 ? 0 : 1;
    qint64 serverFirst = -1, serverRepeat = -1;
    const bool server = serverHalf({}, [&](const QString& line) {
        const QString ms = line.section(u' ', -2, -2);
        if (line.startsWith(QLatin1String("first start: "))) serverFirst = ms.toLongLong();
        if (line.startsWith(QLatin1String("repeat start: "))) serverRepeat = ms.toLongLong();
    });
    if (serverFirst > 0 && serverRepeat > 0) {
        std::printf("server first start / embedded: %.2f\n", double(serverFirst) / double(first));
        std::printf("server repeat start / embedded: %.2f\n", double(serverRepeat) / double(repeat));
    }
    return first > 0 && repeat > 0 && floor > 0 && server ? 0 : 1;
}
