#pragma once
// The salon a benchmark's desk runs on: its folders and environment (call before the QApplication),
// the generated accounting files, the desk started to the ready state, and the figures' percentiles.
// An optional last argument names a folder that keeps the generated salon for a look afterwards.
// A bench runs on the embedded files, then once more on a salon server (serverHalf()).

#include "app/backup.h"
#include "app/salonya.h"
#include "app/startup.h"
#include "data/datasource.h"
#include "ui/feedback.h"
#include "demosalon.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

inline QString prepareBenchSalon(int argc, char** argv, const QTemporaryDir& temp)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[argc - 1]) : temp.path();
    qputenv("SALONYA_PROGRAM_DIR", (root + QStringLiteral("/program")).toUtf8());
    qputenv("SALONYA_DRIVES", (root + QStringLiteral("/drives")).toUtf8());
    qputenv("SALONYA_SHARES", (root + QStringLiteral("/shares")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    qputenv("SALONYA_NETWORK", "0");
    qputenv("QT_LOGGING_RULES", "salonya.*=false");
    QDir().mkpath(root + QStringLiteral("/program"));
    QDir().mkpath(root + QStringLiteral("/drives/C/DefteryaData"));
    // No sound, and a message is printed rather than waiting for a tap that never comes.
    Feedback::setBeepHandler([] {});
    Feedback::setMessageHandler([](Feedback::Icon, const QString&, const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    return root;
}

// The accounting prefix the desk reads under the bench salon's root.
inline QString benchPrefix(const QString& root)
{
    return root + QStringLiteral("/drives/C/DefteryaData/01");
}

// Generated accounting files at the bench salon's prefix (replacing any); false and a message on failure.
inline bool writeBenchDemo(const QString& root, int customers, int stock = -1, int employees = 10)
{
    Demo::DemoOptions o;
    o.prefix = benchPrefix(root);
    o.customers = customers;
    o.stock = stock;
    o.employees = employees;
    o.force = true;
    QString error;
    if (Demo::writeDemoSalon(o, &error)) return true;
    std::fprintf(stderr, "demo salon: %s\n", qPrintable(error));
    return false;
}

// Loads the desk, shows it and runs events until it is ready; false and a message when it never gets there.
inline bool startBenchDesk(Salonya& form)
{
    if (!form.startup()->load()) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(form.fatalError()));
        return false;
    }
    form.show();
    QElapsedTimer t;
    t.start();
    while (!form.startup()->isReady() && t.elapsed() < 600000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (form.startup()->isReady()) return true;
    std::fprintf(stderr, "the desk was not ready after 10 minutes\n");
    return false;
}

// Runs events until the work the desk does after ready (the import marks, the day's backup) is over, so
// the figures that follow measure the desk alone; the milliseconds waited come back.
inline qint64 waitAfterReadyWork(Salonya& form)
{
    QElapsedTimer t;
    t.start();
    auto busy = [&] {
        const Backup* backup = form.findChild<Backup*>();
        return form.startup()->marksPending() || (backup && backup->isRunning());
    };
    while (busy() && t.elapsed() < 600000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return t.elapsed();
}

inline double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// One field of every record a data source shows.
inline QStringList column(DataSource* ds, int pos)
{
    QStringList out;
    for (int r = 0; r < ds->recordCount(); ++r) out << ds->value(r, pos).toString();
    return out;
}

// True in the second half's own process.
inline bool isServerHalf() { return qEnvironmentVariableIsSet("SALONYA_BENCH_SERVER_HALF"); }

// The server the bench's second half runs on: SALONYA_SERVER as given (an empty database), else none yet.
// Read and cleared first thing, so that the first half runs on the embedded files whatever is set; the
// second half keeps it.
inline QString takeServerSetting()
{
    static const QString server = [] {
        const QString s = qEnvironmentVariable("SALONYA_SERVER");
        if (!isServerHalf()) qunsetenv("SALONYA_SERVER");
        else if (s.isEmpty()) { std::fprintf(stderr, "the server half has no server\n"); std::exit(1); }
        return s;
    }();
    return server;
}

// Runs this bench again with the desk's own databases on a salon server: the one SALONYA_SERVER named,
// else a private one that tests/pgserver.sh starts and stops here. Its figures come out as "server <line>"
// after the embedded ones; the lines are given to seen() too. Without the server programs it says so
// and the bench's result stands.
template <typename Seen>
inline bool serverHalf(const QStringList& args, Seen seen)
{
    QString server = takeServerSetting();
    const QString script = QStringLiteral(SALONYA_BENCH_DIR "/../tests/pgserver.sh");
    // The server's own user must reach the folder: one directly under the temporary folder.
    const QString dir = QDir::tempPath() + QStringLiteral("/salonya-bench-pg-%1").arg(QCoreApplication::applicationPid());
    const bool privateServer = server.isEmpty();
    if (privateServer) {
        QProcess start;
        start.start(QStringLiteral("bash"), {script, QStringLiteral("start"), dir});
        start.waitForFinished(180000);
        if (start.exitCode() != 0 || !QFileInfo::exists(dir + QStringLiteral("/data"))) {
            std::printf("server: skipped (%s)\n", qPrintable(QString::fromUtf8(start.readAll()).trimmed()));
            return true;
        }
        server = QStringLiteral("host=%1 port=5432 user=postgres dbname=postgres").arg(dir);
    }
    std::fflush(stdout);
    QProcess half;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SALONYA_SERVER"), server);
    env.insert(QStringLiteral("SALONYA_BENCH_SERVER_HALF"), QStringLiteral("1"));
    half.setProcessEnvironment(env);
    half.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    half.start(QCoreApplication::applicationFilePath(), args);
    half.waitForFinished(-1);
    for (const QByteArray& line : half.readAllStandardOutput().split('\n')) {
        if (line.isEmpty()) continue;
        std::printf("server %s\n", line.constData());
        seen(QString::fromUtf8(line));
    }
    const bool ok = half.exitStatus() == QProcess::NormalExit && half.exitCode() == 0;
    if (!ok) std::printf("server: the run failed (exit %d)\n", half.exitCode());
    if (privateServer) {
        QProcess stop;
        stop.start(QStringLiteral("bash"), {script, QStringLiteral("stop"), dir});
        stop.waitForFinished(60000);
    }
    return ok;
}
