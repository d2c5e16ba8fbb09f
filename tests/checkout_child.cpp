// A desk process that sends a ticket book's open lines (or those a record source given after the files selects)
// to the slot file, for the race and kill tests; prints "ready", waits for a line with --wait, "go", then "sent <slot> <lines> <us> <start> <end>", "full <start> <end>" or "failed <why>".
#include "checkout/slotsender.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    SlotSender sender(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]));
    sender.setBusyTimeout(10000); // a racing desk waits its turn
    bool wait = false;
    QString source = QStringLiteral("Select * From Salonya Where Yeni=1");
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wait") == 0) wait = true;
        else source = QString::fromUtf8(argv[i]);
    }
    std::puts("ready"), std::fflush(stdout);
    char line[16];
    if (wait && !std::fgets(line, sizeof line, stdin)) return 2;
    std::puts("go"), std::fflush(stdout);
    QElapsedTimer t;
    t.start();
    const qint64 begin = QDateTime::currentMSecsSinceEpoch();
    const SlotSender::Result r = sender.sendRecordSource(source);
    const qint64 us = t.nsecsElapsed() / 1000, end = QDateTime::currentMSecsSinceEpoch();
    if (r.outcome == SlotSender::Outcome::Sent) std::printf("sent %d %d %lld %lld %lld\n", r.slot, r.lines, us, begin, end);
    else if (r.outcome == SlotSender::Outcome::Full) std::printf("full %lld %lld\n", begin, end);
    else std::printf("failed %s\n", r.message.toUtf8().constData());
    return r.outcome == SlotSender::Outcome::Failed;
}
