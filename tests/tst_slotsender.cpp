// Sending a ticket to a register slot without the screen: what a slot row holds, all or nothing
// when a step fails, two desks racing for the last slot, and senders killed mid-way.
#include "accountingfiles.h"
#include "ticketlines.h"

#include "checkout/slotdb.h"
#include "checkout/slotsender.h"
#include "data/schema.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sqlite3.h>

using TicketLines::Line;
using TicketLines::line;
using TicketLines::takenSlot;

namespace {

const QString kSlotName = QStringLiteral("Müsteri.mdb");

// A desk's program folder with its own databases, and the slot file beside it.
struct Desk {
    QString ticket, slotFile;
};

Desk makeDesk(const QString& folder)
{
    QString error;
    if (!Schema::ensureOwnDatabases(folder, &error)) qWarning() << error;
    return {folder + QStringLiteral("/Salonya.Mdb"), folder + u'/' + kSlotName};
}

// One value a query gives, invalid on failure; each call opens the file on its own (and so recovers
// what a killed writer left), as the register and the desk do.
QVariant value(const QString& file, const QString& sql)
{
    SlotDb db;
    if (!db.open(file, false, 2000)) return {};
    SlotStatement st(db, sql);
    return st.next() ? st.value(0) : QVariant();
}
int number(const QString& file, const QString& sql)
{
    bool ok = false;
    const int n = value(file, sql).toInt(&ok);
    return ok ? n : -1;
}
int openLines(const QString& ticket) { return number(ticket, QStringLiteral("SELECT count(*) FROM Salonya WHERE Yeni=1")); }
int slotRows(const QString& slotFile, const QString& where = QStringLiteral("1"))
{
    return number(slotFile, QStringLiteral("SELECT count(*) FROM \"Müsteri\" WHERE ") + where);
}
bool execOn(const QString& file, const QString& sql)
{
    SlotDb db;
    return db.open(file, false, 2000) && db.exec(sql);
}
QList<Line> services(int n, double fiyat = 100, const QString& unvan = QStringLiteral("NAZLI D'ANGELO"))
{
    QList<Line> ls;
    for (int i = 0; i < n; ++i) ls << line(QStringLiteral("Hizmet %1").arg(i, 3, 10, QChar(u'0')), 1, fiyat, QStringLiteral("M1"), unvan);
    return ls;
}

// A child desk process; its stdout lines as they come.
struct Child {
    QProcess p;
    QByteArray out;
    void start(const QStringList& args) { p.start(QStringLiteral(CHECKOUT_CHILD), args); }
    // Reads until a line is `word` or the child has ended with nothing more to say.
    bool waitFor(const QByteArray& word)
    {
        QDeadlineTimer t(10000);
        while (!out.split('\n').contains(word) && !t.hasExpired() && (p.state() != QProcess::NotRunning || p.bytesAvailable())) {
            p.waitForReadyRead(50);
            out += p.readAllStandardOutput();
        }
        return out.split('\n').contains(word);
    }
    void finish() { p.waitForFinished(30000); out += p.readAllStandardOutput(); }
    // The last line: "sent <slot> <lines> <us>", "full" or "failed <message>".
    QList<QByteArray> result() const { return out.trimmed().split('\n').last().split(' '); }
    // Wall-clock milliseconds the send began and ended.
    qint64 span(int i) const
    {
        for (const QByteArray& l : out.split('\n'))
            if (l.startsWith("span ")) return l.split(' ').value(1 + i).toLongLong();
        return -1;
    }
};

} // namespace

class TestSlotSender : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    int m_case = 0;

    QString freshFolder()
    {
        const QString d = m_tmp.path() + QStringLiteral("/c%1").arg(++m_case);
        QDir().mkpath(d);
        return d;
    }

private slots:
    // What one line becomes in the slot: dye grams as kilograms, the amount from the written quantity
    // (not the ticket's own), Peron 0; a slot file left in WAL mode is put back to a rollback journal.
    void slotRowOfOneLine_data()
    {
        QTest::addColumn<QVariant>("gurup");
        QTest::addColumn<double>("miktar");
        QTest::addColumn<double>("fiyat");
        QTest::addColumn<double>("slotMiktar");
        QTest::addColumn<double>("slotTutar");
        QTest::addColumn<bool>("wal");
        QTest::newRow("dye 250 g") << QVariant(true) << 250.0 << 120.0 << 0.25 << 30.0 << false;
        QTest::newRow("dye 35 g") << QVariant(true) << 35.0 << 120.0 << 0.035 << 4.2 << false;
        QTest::newRow("service") << QVariant(false) << 2.0 << 75.5 << 2.0 << 151.0 << false;
        QTest::newRow("flag missing counts as false") << QVariant() << 3.0 << 10.0 << 3.0 << 30.0 << false;
        QTest::newRow("amount to four decimals") << QVariant(true) << 33.0 << 12.3457 << 0.033 << 0.4074 << false;
        QTest::newRow("slot file in WAL mode") << QVariant(false) << 1.0 << 50.0 << 1.0 << 50.0 << true;
    }
    void slotRowOfOneLine()
    {
        QFETCH(QVariant, gurup);
        QFETCH(double, miktar);
        QFETCH(double, fiyat);
        QFETCH(double, slotMiktar);
        QFETCH(double, slotTutar);
        QFETCH(bool, wal);
        const Desk d = makeDesk(freshFolder());
        QVERIFY(AccountingFiles::writeSlots(d.slotFile));
        if (wal) QVERIFY(execOn(d.slotFile, QStringLiteral("PRAGMA journal_mode=WAL")));
        Line l = line(QStringLiteral("Boya Kahve 001"), miktar, fiyat);
        l.gurup = gurup;
        const QList<qint64> ids = TicketLines::write(d.ticket, {l});
        QCOMPARE(ids.size(), 1);
        const SlotSender::Result r = SlotSender(d.ticket, d.slotFile).send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Sent);
        QCOMPARE(r.slot, 1);
        auto at = [&](int pos) { return AccountingFiles::column(d.slotFile, QStringLiteral("Müsteri"), pos); };
        QCOMPARE(at(1), QVariantList{QStringLiteral("Boya Kahve 001")});
        QCOMPARE(at(3), QVariantList{QStringLiteral("NAZLI D'ANGELO")});
        QCOMPARE(at(4), QVariantList{QStringLiteral("869001")});
        QCOMPARE(at(5).value(0).toDouble(), slotMiktar);
        QCOMPARE(at(6).value(0).toDouble(), fiyat);
        QCOMPARE(at(7).value(0).toDouble(), slotTutar);
        QCOMPARE(at(8), QVariantList{QStringLiteral("Gülay Kaya")});
        QCOMPARE(at(9), QVariantList{1});
        QCOMPARE(at(10), QVariantList{0});
        // The ticket line itself keeps its grams and is closed.
        const QVariantList after = TicketLines::read(d.ticket, ids[0]);
        QCOMPARE(after.value(1).toDouble(), miktar);
        QCOMPARE(after.value(7).toInt(), 0);
        QCOMPARE(value(d.slotFile, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

    // A step that fails sends nothing: the lines stay open and the slot file keeps only what it had;
    // once the obstacle is gone the same lines go.
    void failedStepSendsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // start of the message; %1 the slot file, %2 the ticket file
        QTest::newRow("missing slot file") << "missing" << "Kasa dosyası bulunamadı: %1";
        QTest::newRow("folder in place of the file") << "folder" << "Kasa dosyası açılamadı: %1";
        QTest::newRow("not a database") << "garbage" << "Kasa dosyası açılamadı: %1";
        QTest::newRow("no slot table") << "notable" << "Kasa dosyası okunamadı: %1";
        QTest::newRow("locked by another writer") << "exclusive" << "Kasa dosyası kilitli, biraz sonra tekrar deneyin.";
        QTest::newRow("reserved by another desk") << "reserved" << "Kasa dosyası kilitli, biraz sonra tekrar deneyin.";
        QTest::newRow("journal cannot be written") << "journal" << "Kasa dosyası açılamadı: %1";
        QTest::newRow("first slot row fails") << "slotrow1" << "Kasa dosyasına yazılamadı: %1";
        QTest::newRow("third slot row fails") << "slotrow3" << "Kasa dosyasına yazılamadı: %1";
        QTest::newRow("marking a line fails") << "mark" << "Adisyon satırları kapatılamadı";
        QTest::newRow("ticket file missing") << "noticket" << "Adisyon dosyası açılamadı: %2";
    }
    void failedStepSendsNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        Desk d = makeDesk(freshFolder());
        QVERIFY(AccountingFiles::writeSlots(d.slotFile, {takenSlot(1)}));
        const QList<qint64> ids = TicketLines::write(d.ticket, services(4));
        QCOMPARE(ids.size(), 4);

        sqlite3* other = nullptr;
        std::function<void()> undo = [&] { // a slot file in place of whatever broke it
            QVERIFY(!QFileInfo::exists(d.slotFile) || QFile::remove(d.slotFile) || QDir().rmdir(d.slotFile));
            QVERIFY(AccountingFiles::writeSlots(d.slotFile, {takenSlot(1)}));
        };
        const QString trigger = QStringLiteral("CREATE TRIGGER bozuk BEFORE %1 WHEN %2 BEGIN SELECT RAISE(ABORT, 'yazılamadı'); END");
        if (kind == u"missing") {
            QVERIFY(QFile::remove(d.slotFile));
        } else if (kind == u"folder") {
            QVERIFY(QFile::remove(d.slotFile) && QDir().mkdir(d.slotFile));
        } else if (kind == u"garbage") {
            QFile f(d.slotFile);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QByteArray(4096, 'x')) == 4096);
        } else if (kind == u"notable") {
            QVERIFY(execOn(d.slotFile, QStringLiteral("DROP TABLE \"Müsteri\"")));
        } else if (kind == u"exclusive" || kind == u"reserved") {
            QCOMPARE(sqlite3_open(d.slotFile.toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, kind == u"exclusive" ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
            undo = [&] { sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr); sqlite3_close(other); };
        } else if (kind == u"journal") {
            // Nothing can be created beside the file (a read-only share): the write cannot start its journal.
            QVERIFY(QDir().mkdir(d.slotFile + QStringLiteral("-journal")));
            undo = [&] { QVERIFY(QDir().rmdir(d.slotFile + QStringLiteral("-journal"))); };
        } else if (kind.startsWith(u"slotrow")) {
            QVERIFY(execOn(d.slotFile, trigger.arg(QStringLiteral("INSERT ON \"Müsteri\""), QStringLiteral("NEW.RowSay=") + kind.right(1))));
            undo = [&] { QVERIFY(execOn(d.slotFile, QStringLiteral("DROP TRIGGER bozuk"))); };
        } else if (kind == u"mark") {
            QVERIFY(execOn(d.ticket, trigger.arg(QStringLiteral("UPDATE ON Salonya"), QStringLiteral("OLD.rowid=%1").arg(ids[1]))));
            undo = [&] { QVERIFY(execOn(d.ticket, QStringLiteral("DROP TRIGGER bozuk"))); };
        } else if (kind == u"noticket") {
            d.ticket = QFileInfo(d.ticket).absolutePath() + QStringLiteral("/yok/Salonya.Mdb");
        }

        SlotSender sender(d.ticket, d.slotFile);
        sender.setBusyTimeout(200);
        SlotSender::Result r = sender.send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Failed);
        message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(d.slotFile)).replace(QStringLiteral("%2"), QDir::toNativeSeparators(d.ticket));
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        if (kind == u"noticket") {
            QVERIFY(!QFileInfo::exists(d.ticket)); // never created
            return;
        }
        QCOMPARE(openLines(d.ticket), 4);
        undo();
        QCOMPARE(slotRows(d.slotFile), 1);
        r = sender.send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Sent);
        QCOMPARE(r.lines, 4);
        QCOMPARE(slotRows(d.slotFile, QStringLiteral("MusLbl=2")), 4);
        QCOMPARE(openLines(d.ticket), 0);
    }
    // Two desks send different tickets to one slot file at the same moment.
    void racingDesks_data()
    {
        QTest::addColumn<int>("freeSlots");
        QTest::newRow("one free slot") << 1;
        QTest::newRow("two free slots") << 2;
    }
    void racingDesks()
    {
        QFETCH(int, freeSlots);
        const int lines = 300;
        const QStringList customers{QStringLiteral("NAZLI D'ANGELO"), QStringLiteral("AYŞE YILMAZ")};
        int overlapped = 0;
        const int rounds = 8;
        for (int round = 0; round < rounds; ++round) {
            const QString dir = freshFolder();
            const QString slotPath = dir + u'/' + kSlotName;
            QList<QVariantMap> full;
            for (int s = 1; s <= 3 - freeSlots; ++s) full << takenSlot(s);
            QVERIFY(AccountingFiles::writeSlots(slotPath, full));
            QString tickets[2];
            Child child[2];
            for (int d = 0; d < 2; ++d) {
                tickets[d] = makeDesk(dir + QStringLiteral("/desk%1").arg(d)).ticket;
                QCOMPARE(TicketLines::write(tickets[d], services(lines, 10, customers[d])).size(), lines);
                child[d].start({tickets[d], slotPath, QStringLiteral("--wait")});
            }
            for (Child& c : child) QVERIFY(c.waitFor("ready"));
            for (Child& c : child) c.p.write("go\n");
            for (Child& c : child) c.p.waitForBytesWritten(5000);
            for (Child& c : child) c.finish();
            QList<int> slotOf;
            if (child[0].span(0) <= child[1].span(1) && child[1].span(0) <= child[0].span(1)) ++overlapped;
            for (int d = 0; d < 2; ++d) {
                const QList<QByteArray> res = child[d].result();
                QVERIFY2(res.value(0) == "sent" || res == QList<QByteArray>{"full"}, child[d].out.constData());
                const int slot = res.value(0) == "sent" ? res.value(1).toInt() : 0;
                slotOf << slot;
                QCOMPARE(openLines(tickets[d]), slot ? 0 : lines);
                if (slot) {
                    QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl=%1").arg(slot)), lines);
                    QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl=%1 AND \"Müsteri\"='%2'").arg(slot).arg(QString(customers[d]).replace(u'\'', QStringLiteral("''")))), lines);
                }
            }
            std::sort(slotOf.begin(), slotOf.end());
            QVERIFY2(slotOf == (freeSlots == 1 ? QList<int>({0, 3}) : QList<int>({2, 3})), qPrintable(QStringLiteral("%1 %2").arg(slotOf[0]).arg(slotOf[1])));
            // No slot holds two tickets.
            QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl IN (SELECT MusLbl FROM \"Müsteri\" GROUP BY MusLbl HAVING count(DISTINCT \"Müsteri\") > 1)")), 0);
        }
        qInfo("%d of %d rounds had both sends under way at once", overlapped, rounds);
        QVERIFY(overlapped > 0); // the desks did race
    }

    // A sender killed at any moment leaves every line either open with no slot row or sent with exactly one.
    void killedSenderAllOrNothing()
    {
        const int lines = 400;
        const int rounds = 30;
        const QString tpl = freshFolder();
        const Desk tplDesk = makeDesk(tpl);
        QList<Line> ls;
        for (int i = 0; i < lines; ++i) ls << line(QStringLiteral("Hizmet %1").arg(i, 3, 10, QChar(u'0')), 1 + i % 3, 10 + i);
        QCOMPARE(TicketLines::write(tplDesk.ticket, ls).size(), lines);
        QVERIFY(AccountingFiles::writeSlots(tplDesk.slotFile, {takenSlot(1)}));

        auto copyRound = [&](const QString& dir) {
            QDir().mkpath(dir);
            return QFile::copy(tplDesk.ticket, dir + QStringLiteral("/Salonya.Mdb")) && QFile::copy(tplDesk.slotFile, dir + u'/' + kSlotName);
        };
        // How long a send takes here, to spread the kills over it.
        qint64 sendUs = 0;
        for (int i = 0; i < 3; ++i) {
            const QString dir = freshFolder();
            QVERIFY(copyRound(dir));
            Child c;
            c.start({dir + QStringLiteral("/Salonya.Mdb"), dir + u'/' + kSlotName});
            c.finish();
            const QList<QByteArray> res = c.result();
            QCOMPARE(res.value(0), QByteArray("sent"));
            sendUs = qMax(sendUs, res.value(3).toLongLong());
        }
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        int killedMidway = 0, notStarted = 0, completed = 0, inCommit = 0;
        for (int round = 0; round < rounds; ++round) {
            const QString dir = freshFolder();
            const QString ticket = dir + QStringLiteral("/Salonya.Mdb");
            const QString slotPath = dir + u'/' + kSlotName;
            QVERIFY(copyRound(dir));
            Child c;
            c.start({ticket, slotPath});
            QVERIFY(c.waitFor("go"));
            QThread::usleep(rng.bounded(quint32(sendUs * 3 / 2 + 1)));
            ::kill(pid_t(c.p.processId()), SIGKILL);
            c.finish();
            const bool journalLeft = !QDir(dir).entryList({QStringLiteral("*-journal"), QStringLiteral("*-mj*")}, QDir::Files).isEmpty();
            if (!QDir(dir).entryList({QStringLiteral("*-mj*")}, QDir::Files).isEmpty()) ++inCommit;

            // The register opens the slot file on its own, the desk its ticket file: each recovers alone.
            const int slotTwo = slotRows(slotPath, QStringLiteral("MusLbl=2"));
            const int slotOne = slotRows(slotPath, QStringLiteral("MusLbl=1"));
            const int sent = number(ticket, QStringLiteral("SELECT count(*) FROM Salonya WHERE Yeni=0"));
            const QString info = QStringLiteral("seed %1 round %2: %3 sent, %4 slot rows").arg(seed).arg(round).arg(sent).arg(slotTwo);
            QVERIFY2(slotOne == 1, qPrintable(info));
            QVERIFY2((sent == 0 && slotTwo == 0) || (sent == lines && slotTwo == lines), qPrintable(info));
            // Every sent line has exactly one slot row, and every slot row is a sent line.
            SlotDb both;
            QVERIFY(both.open(ticket, false, 2000) && both.attach(slotPath, QStringLiteral("k")));
            SlotStatement odd(both, QStringLiteral(
                "SELECT (SELECT count(*) FROM main.Salonya s WHERE Yeni=0 AND (SELECT count(*) FROM k.\"Müsteri\" m WHERE m.MusLbl=2 AND m.Qx01_urun=s.Islem) <> 1)"
                " + (SELECT count(*) FROM k.\"Müsteri\" m WHERE m.MusLbl=2 AND NOT EXISTS (SELECT 1 FROM main.Salonya s WHERE s.Islem=m.Qx01_urun AND s.Yeni=0))"));
            QVERIFY(odd.next());
            QVERIFY2(odd.value(0).toInt() == 0, qPrintable(info));
            if (sent == lines) ++completed;
            else if (journalLeft) ++killedMidway;
            else ++notStarted;
        }
        qInfo("send of %d lines takes %lld us here; %d rounds: %d killed mid-send (journal left; %d inside the two-file commit),"
              " %d before writing, %d completed; seed %u", lines, sendUs, rounds, killedMidway, inCommit, notStarted, completed, seed);
        QCOMPARE(killedMidway + notStarted + completed, rounds);
        QVERIFY(killedMidway > 0); // the kills did land inside sends
    }
};

QTEST_GUILESS_MAIN(TestSlotSender)
#include "tst_slotsender.moc"
