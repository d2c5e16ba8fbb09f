// Sending a ticket to a register slot: the slot row, all or nothing on failure, racing desks, senders killed mid-way.
#include "accountingfiles.h"
#include "ticketlines.h"

#include "checkout/registerslots.h"
#include "checkout/slotdb.h"
#include "checkout/slotsender.h"
#include "data/database.h"
#include "data/jet.h"
#include "data/pgengine.h"
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

using namespace Qt::StringLiterals;
using TicketLines::Line;
using TicketLines::line;
using TicketLines::takenSlot;

namespace {

const QString kSlotName = u"Müsteri.mdb"_s;

// A desk's program folder with its own databases; its ticket file.
QString makeDesk(const QString& folder) { return Schema::ensureOwnDatabases(folder, nullptr) ? folder + u"/Salonya.Mdb"_s : QString(); }

// Each query opens the slot file read-write on its own, as the register does, and so recovers what a killed writer left.
QVariant value(const QString& file, const QString& sql, const QVariant& none = {})
{
    SlotDb db;
    if (!db.open(file, false, 2000)) return none;
    SlotStatement st(db, sql);
    return st.next() ? st.value(0) : none;
}
int number(const QString& file, const QString& sql) { return value(file, sql, -1).toInt(); }
// The ticket book is read as the desk reads it: its file, or the salon server.
int openLines(const QString& ticket, const QString& unvan = {})
{
    return AccountingFiles::count(ticket, u"SELECT count(*) FROM Salonya WHERE Yeni=1"_s + (unvan.isEmpty() ? QString() : u" AND Unvan="_s + Jet::quote(unvan)));
}
int slotRows(const QString& slotFile, const QString& where = u"1"_s) { return number(slotFile, u"SELECT count(*) FROM \"Müsteri\" WHERE "_s + where); }
bool onServer() { return !Pg::serverSetting().isEmpty(); }
QList<Line> services(int n, double fiyat = 100, const QString& unvan = u"NAZLI D'ANGELO"_s)
{
    QList<Line> ls;
    for (int i = 0; i < n; ++i) ls << line(u"Hizmet %1"_s.arg(i, 3, 10, QChar(u'0')), 1 + i % 3, fiyat + i, u"M1"_s, unvan);
    return ls;
}

// A checkout_child desk process.
struct Child {
    QProcess p;
    void start(const QStringList& args) { p.start(QStringLiteral(CHECKOUT_CHILD), args); }
    bool waitFor(const QByteArray& word)
    {
        while (p.canReadLine() || p.waitForReadyRead(10000))
            if (p.canReadLine() && p.readLine().trimmed() == word) return true;
        return false;
    }
    // Its last line: "sent <slot> <lines> <us> <start ms> <end ms>", "full <start ms> <end ms>" or "failed <message>".
    QList<QByteArray> result()
    {
        p.waitForFinished(30000);
        return p.readAllStandardOutput().trimmed().split('\n').last().split(' ');
    }
};

} // namespace

class TestSlotSender : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    int m_case = 0;

    // On a salon server every case starts with an empty ticket book, as a new folder does.
    QString freshFolder()
    {
        const QString d = m_tmp.path() + u"/c%1"_s.arg(++m_case);
        if (onServer()) {
            QString error;
            auto db = Database::open(d + u"/Salonya.Mdb"_s, true, &error);
            if (!db || !db->exec(u"DROP SCHEMA IF EXISTS cari, stok, salonya CASCADE"_s, &error)) qWarning() << "server reset:" << error;
        }
        return QDir().mkpath(d) ? d : QString();
    }

private slots:
    // Dye grams go as kilograms, the amount follows; the ticket keeps its grams; a WAL slot file goes back to a journal.
    void slotRowOfOneLine_data()
    {
        QTest::addColumn<QVariant>("gurup"); QTest::addColumn<double>("miktar"); QTest::addColumn<double>("fiyat"); QTest::addColumn<double>("slotMiktar"); QTest::addColumn<double>("slotTutar");
        QTest::newRow("dye 250 g") << QVariant(true) << 250.0 << 120.0 << 0.25 << 30.0;
        QTest::newRow("service") << QVariant(false) << 2.0 << 75.5 << 2.0 << 151.0;
        QTest::newRow("flag missing counts as false") << QVariant() << 3.0 << 10.0 << 3.0 << 30.0;
        QTest::newRow("amount to four decimals") << QVariant(true) << 33.0 << 12.3457 << 0.033 << 0.4074;
    }
    void slotRowOfOneLine()
    {
        QFETCH(QVariant, gurup); QFETCH(double, miktar); QFETCH(double, fiyat); QFETCH(double, slotMiktar); QFETCH(double, slotTutar);
        const QString dir = freshFolder(), ticket = makeDesk(dir), slotFile = dir + u'/' + kSlotName;
        QVERIFY(AccountingFiles::writeSlots(slotFile));
        QVERIFY(AccountingFiles::exec(slotFile, u"PRAGMA journal_mode=WAL"_s));
        Line l = line(u"Boya Kahve 001"_s, miktar, fiyat);
        l.gurup = gurup;
        const SlotSender::Result r = SlotSender(ticket, slotFile).send(TicketLines::write(ticket, {l}));
        QCOMPARE(r.outcome, SlotSender::Outcome::Sent);
        QCOMPARE(r.slot, 1);
        QVariantList row; // name, MusLbl, Müsteri, Barkod, Miktar, Fiyat, Tutar, eLEMAN, RowSay, Peron
        for (int pos = 1; pos <= 10; ++pos) row << AccountingFiles::column(slotFile, u"Müsteri"_s, pos).value(0);
        QCOMPARE(row, (QVariantList{u"Boya Kahve 001"_s, 1, u"NAZLI D'ANGELO"_s, u"869001"_s, slotMiktar, fiyat, slotTutar, u"Gülay Kaya"_s, 1, 0}));
        QCOMPARE(AccountingFiles::rows(ticket, u"SELECT Miktar FROM Salonya"_s).value(0).value(u"Miktar"_s).toDouble(), miktar);
        QCOMPARE(openLines(ticket), 0);
        QCOMPARE(value(slotFile, u"PRAGMA journal_mode"_s).toString(), u"delete"_s);
    }

    // A step that fails sends nothing (lines open, slot file as it was); without the obstacle the same lines go.
    void failedStepSendsNothing_data()
    {
        QTest::addColumn<QString>("kind"); QTest::addColumn<QString>("message"); // start of the message; %1 the slot file, %2 the ticket file
        QTest::newRow("missing slot file") << "missing" << "Kasa dosyası bulunamadı: %1";
        QTest::newRow("not a database") << "garbage" << "Kasa dosyası açılamadı: %1";
        QTest::newRow("reserved by another desk") << "reserved" << "Kasa dosyası kilitli, biraz sonra tekrar deneyin.";
        QTest::newRow("journal cannot be written") << "journal" << "Kasa dosyası açılamadı: %1";
        QTest::newRow("third slot row fails") << "slotrow3" << "Kasa dosyasına yazılamadı: %1";
        QTest::newRow("ticket file missing") << "noticket" << "Adisyon dosyası açılamadı: %2";
    }
    void failedStepSendsNothing()
    {
        QFETCH(QString, kind); QFETCH(QString, message);
        const QString dir = freshFolder(), slotFile = dir + u'/' + kSlotName;
        QString ticket = makeDesk(dir);
        QVERIFY(AccountingFiles::writeSlots(slotFile, {takenSlot(1)}));
        const QList<qint64> ids = TicketLines::write(ticket, services(4));
        sqlite3* other = nullptr;
        std::function<void()> undo = [&] { // a slot file in place of whatever broke it
            QVERIFY(!QFileInfo::exists(slotFile) || QFile::remove(slotFile));
            QVERIFY(AccountingFiles::writeSlots(slotFile, {takenSlot(1)}));
        };
        if (kind == u"missing") {
            QVERIFY(QFile::remove(slotFile));
        } else if (kind == u"garbage") {
            QFile f(slotFile);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QByteArray(4096, 'x')) == 4096);
        } else if (kind == u"reserved") {
            QCOMPARE(sqlite3_open(slotFile.toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
            undo = [&] { sqlite3_close(other); };
        } else if (kind == u"journal") { // nothing can be made beside the file, as on a read-only share
            QVERIFY(QDir().mkdir(slotFile + u"-journal"_s));
            undo = [&] { QVERIFY(QDir().rmdir(slotFile + u"-journal"_s)); };
        } else if (kind == u"slotrow3") {
            QVERIFY(AccountingFiles::exec(slotFile, u"CREATE TRIGGER bozuk BEFORE INSERT ON \"Müsteri\" WHEN NEW.RowSay=3"
                                                    " BEGIN SELECT RAISE(ABORT, 'yazılamadı'); END"_s));
            undo = [&] { QVERIFY(AccountingFiles::exec(slotFile, u"DROP TRIGGER bozuk"_s)); };
        } else if (kind == u"noticket") {
            if (onServer()) QSKIP("the ticket book on a salon server has no file to miss");
            ticket = dir + u"/yok/Salonya.Mdb"_s;
        }
        SlotSender sender(ticket, slotFile);
        sender.setBusyTimeout(200);
        SlotSender::Result r = sender.send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Failed);
        message.replace(u"%1"_s, QDir::toNativeSeparators(slotFile)).replace(u"%2"_s, QDir::toNativeSeparators(ticket));
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        if (kind == u"noticket") {
            QVERIFY(!QFileInfo::exists(ticket)); // never created
            return;
        }
        QCOMPARE(openLines(ticket), 4);
        undo();
        QCOMPARE(slotRows(slotFile), 1);
        QCOMPARE(sender.send(ids).lines, 4);
        QCOMPARE(slotRows(slotFile, u"MusLbl=2"_s), 4);
        QCOMPARE(openLines(ticket), 0);
    }

    // Two desks send to one slot file at the same moment: their own customers' lines, or the same lines (two desks on
    // one ticket book); each line reaches the register once.
    void racingDesks_data()
    {
        QTest::addColumn<int>("freeSlots"); QTest::addColumn<bool>("sameLines");
        QTest::newRow("one free slot") << 1 << false;
        QTest::newRow("two free slots") << 2 << false;
        QTest::newRow("the same lines from both") << 2 << true;
    }
    void racingDesks()
    {
        QFETCH(int, freeSlots); QFETCH(bool, sameLines);
        const int lines = 300, rounds = 8;
        const QStringList customers{u"NAZLI D'ANGELO"_s, u"AYŞE YILMAZ"_s};
        int overlapped = 0;
        for (int round = 0; round < rounds; ++round) {
            const QString dir = freshFolder(), slotPath = dir + u'/' + kSlotName;
            QList<QVariantMap> full;
            for (int s = 1; s <= 3 - freeSlots; ++s) full << takenSlot(s);
            QVERIFY(AccountingFiles::writeSlots(slotPath, full));
            QString tickets[2], customer[2];
            Child child[2];
            for (int d = 0; d < 2; ++d) {
                customer[d] = customers[sameLines ? 0 : d];
                tickets[d] = sameLines && d ? tickets[0] : makeDesk(dir + u"/desk%1"_s.arg(d)); // on a server, one book anyway
                if (!sameLines || d == 0) QCOMPARE(TicketLines::write(tickets[d], services(lines, 10, customer[d])).size(), lines);
                child[d].start({tickets[d], slotPath, u"--wait"_s, u"Select * From Salonya Where Yeni=1 And Unvan="_s + Jet::quote(customer[d])});
            }
            for (Child& c : child) QVERIFY(c.waitFor("ready"));
            for (Child& c : child) c.p.write("go\n");
            for (Child& c : child) c.p.waitForBytesWritten(5000);
            const QList<QByteArray> res[2] = {child[0].result(), child[1].result()};
            const auto span = [&](int d, int i) { return res[d].value(res[d].size() - 2 + i).toLongLong(); };
            if (span(0, 0) <= span(1, 1) && span(1, 0) <= span(0, 1)) ++overlapped; // the two sends' wall-clock spans met
            QList<int> slotOf;
            for (int d = 0; d < 2; ++d) {
                QVERIFY2(res[d].value(0) == "sent" || res[d].value(0) == "full", res[d].join(' ').constData());
                slotOf << (res[d].value(0) == "sent" ? res[d].value(1).toInt() : 0);
                // Every line open at the desk or at the register, never both and never twice.
                const QString ofCustomer = u"\"Müsteri\"="_s + Jet::quote(customer[d]);
                const int atRegister = slotRows(slotPath, ofCustomer);
                QCOMPARE(number(slotPath, u"SELECT count(DISTINCT Qx01_urun) FROM \"Müsteri\" WHERE "_s + ofCustomer), atRegister);
                QCOMPARE(atRegister, slotOf[d] || sameLines ? lines : 0);
                QCOMPARE(openLines(tickets[d], customer[d]), lines - atRegister);
            }
            std::sort(slotOf.begin(), slotOf.end());
            QCOMPARE(slotOf, (freeSlots == 1 ? QList<int>({0, 3}) : sameLines ? QList<int>({0, 2}) : QList<int>({2, 3})));
        }
        qInfo("%d of %d rounds had both sends under way at once", overlapped, rounds);
        QVERIFY(overlapped > 0);
    }

    // Killed at any moment, its folder out of reach, the slot maybe paid meanwhile: after start-up and a resend each line went once.
    void killedSenderAcrossMachines()
    {
        if (onServer()) QSKIP("the ticket book on a salon server is no file to copy, hold or hide; a killed desk's server transaction rolls back there");
        const int lines = 400, rounds = 30;
        const QString tpl = freshFolder(), tplTicket = makeDesk(tpl + u"/desk"_s), tplSlots = tpl + u"/share/"_s + kSlotName;
        QCOMPARE(TicketLines::write(tplTicket, services(lines, 10)).size(), lines);
        QVERIFY(AccountingFiles::writeSlots(tplSlots, {takenSlot(1)}));
        QString why;
        QCOMPARE(SlotSender(tplTicket, tplSlots).finishUnfinished(&why), 0); // the desk has its name
        const auto copyRound = [&](const QString& dir) {
            return QDir().mkpath(dir + u"/desk"_s) && QDir().mkpath(dir + u"/share"_s)
                && QFile::copy(tplTicket, dir + u"/desk/Salonya.Mdb"_s) && QFile::copy(tplSlots, dir + u"/share/"_s + kSlotName);
        };
        const QString first = freshFolder();
        QVERIFY(copyRound(first));
        Child once;
        once.start({first + u"/desk/Salonya.Mdb"_s, first + u"/share/"_s + kSlotName});
        const QList<QByteArray> timed = once.result();
        QCOMPARE(timed.value(0), QByteArray("sent"));
        const qint64 sendUs = timed.value(3).toLongLong(); // the kills are spread over a send's time
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        int finishedAtStart = 0; // rounds whose lines were in a slot but open until start-up
        for (int round = 0; round < rounds; ++round) {
            const QString dir = freshFolder();
            const QString ticket = dir + u"/desk/Salonya.Mdb"_s, slotPath = dir + u"/share/"_s + kSlotName;
            QVERIFY(copyRound(dir));
            // Every third round the desk's file is held, so the kill lands between the two files' commits.
            sqlite3* hold = nullptr;
            if (round % 3 == 0) {
                QCOMPARE(sqlite3_open(ticket.toUtf8().constData(), &hold), SQLITE_OK);
                QCOMPARE(sqlite3_exec(hold, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
            }
            Child c;
            c.start({ticket, slotPath});
            QVERIFY(c.waitFor("go"));
            if (hold) QTRY_COMPARE_WITH_TIMEOUT(slotRows(slotPath, u"MusLbl=2"_s), lines, 8000);
            else QThread::usleep(rng.bounded(quint32(sendUs * 3 / 2 + 1)));
            ::kill(pid_t(c.p.processId()), SIGKILL);
            c.p.waitForFinished(30000);
            sqlite3_close(hold); // its transaction is rolled back
            // The register's machine cannot see the desk's folder; it opens the slot file on its own.
            QVERIFY(QDir().rename(dir + u"/desk"_s, dir + u"/gone"_s));
            const int waiting = slotRows(slotPath, u"MusLbl=2"_s);
            const QString info = u"seed %1 round %2: %3 slot rows"_s.arg(seed).arg(round).arg(waiting);
            QVERIFY2(waiting == 0 || waiting == lines, qPrintable(info));
            QCOMPARE(slotRows(slotPath, u"MusLbl=1"_s), 1);
            int paid = 0;
            if (round % 2) QVERIFY((paid = RegisterSlots::pay(slotPath, 2, &why)) >= 0);
            QVERIFY(QDir().rename(dir + u"/gone"_s, dir + u"/desk"_s));
            // The desk starts again, then sends whatever is still open.
            const int openAfterKill = openLines(ticket);
            SlotSender sender(ticket, slotPath);
            QVERIFY2(sender.finishUnfinished(&why) >= 0, qPrintable(why));
            QVERIFY2(openLines(ticket) == (waiting ? 0 : lines), qPrintable(info));
            QCOMPARE(sender.sendRecordSource(u"Select * From Salonya Where Yeni=1"_s).outcome, SlotSender::Outcome::Sent);
            QCOMPARE(openLines(ticket), 0);
            QVERIFY2(paid + slotRows(slotPath, u"MusLbl>1"_s) == lines, qPrintable(info));
            QCOMPARE(number(slotPath, u"SELECT count(DISTINCT Qx01_urun) FROM \"Müsteri\" WHERE MusLbl>1"_s),
                     slotRows(slotPath, u"MusLbl>1"_s));
            QCOMPARE(number(slotPath, u"SELECT count(*) FROM "_s + QString::fromLatin1(SlotSender::LogTable)), 0);
            if (waiting && openAfterKill) ++finishedAtStart;
        }
        qInfo("send of %d lines: %lld us; %d of %d rounds finished at start-up; seed %u", lines, sendUs, finishedAtStart, rounds, seed);
        QVERIFY(finishedAtStart >= rounds / 3);
    }
};

QTEST_GUILESS_MAIN(TestSlotSender)
#include "tst_slotsender.moc"
