// Sending a ticket to a register slot without the screen: what a slot row holds, all or nothing
// when a step fails, two desks racing for the last slot, and senders killed mid-way.
#include "accountingfiles.h"
#include "ticketlines.h"

#include "checkout/slotdb.h"
#include "checkout/slotsender.h"
#include "data/schema.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sqlite3.h>

using TicketLines::Line;

namespace {

const QString kSlotName = QStringLiteral("Müsteri.mdb");

QVariantMap taken(int slot, const QString& who = QStringLiteral("ESKİ MÜŞTERİ"))
{
    return {{QStringLiteral("Qx01_urun"), QStringLiteral("Fön")}, {QStringLiteral("MusLbl"), slot},
            {QStringLiteral("Müsteri"), who}, {QStringLiteral("RowSay"), 1}, {QStringLiteral("Peron"), 0}};
}

Line line(const QString& islem, double miktar = 1, double fiyat = 100, const QString& unvan = QStringLiteral("NAZLI D'ANGELO"))
{
    Line l;
    l.islem = islem;
    l.miktar = miktar;
    l.fiyat = fiyat;
    l.tutar = miktar * fiyat;
    l.cari = QStringLiteral("M1");
    l.unvan = unvan;
    l.eleman = QStringLiteral("Gülay Kaya");
    l.barkod = QStringLiteral("869") + islem.right(3);
    return l;
}

// A desk's program folder with its own databases.
QString makeDesk(const QString& folder)
{
    QString error;
    if (!Schema::ensureOwnDatabases(folder, &error)) qWarning() << error;
    return folder + QStringLiteral("/Salonya.Mdb");
}

int number(const QString& file, const QString& sql) { return int(TicketLines::number(file, sql)); }
int openLines(const QString& ticket) { return number(ticket, QStringLiteral("SELECT count(*) FROM Salonya WHERE Yeni=1")); }
int slotRows(const QString& slotPath, const QString& where = QStringLiteral("1"))
{
    return number(slotPath, QStringLiteral("SELECT count(*) FROM \"Müsteri\" WHERE ") + where);
}

bool execOn(const QString& file, const QString& sql)
{
    SlotDb db;
    return db.open(file, false, 2000) && db.exec(sql);
}

// A child desk process; its stdout lines as they come.
struct Child {
    QProcess p;
    QByteArray out;
    void start(const QStringList& args)
    {
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(QStringLiteral(CHECKOUT_CHILD), args);
    }
    bool waitFor(const QByteArray& word, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (!out.split('\n').contains(word) && t.elapsed() < ms) {
            p.waitForReadyRead(50);
            out += p.readAllStandardOutput();
            if (p.state() == QProcess::NotRunning) { out += p.readAllStandardOutput(); break; }
        }
        return out.split('\n').contains(word);
    }
    QByteArray finish()
    {
        p.waitForFinished(30000);
        out += p.readAllStandardOutput();
        return out;
    }
    // Wall-clock milliseconds the send began and ended.
    QPair<qint64, qint64> span() const
    {
        for (const QByteArray& l : out.split('\n'))
            if (l.startsWith("span ")) return {l.split(' ').value(1).toLongLong(), l.split(' ').value(2).toLongLong()};
        return {};
    }
    QByteArray result() const
    {
        for (const QByteArray& l : out.split('\n'))
            if (l.startsWith("sent") || l.startsWith("full") || l.startsWith("failed")) return l;
        return {};
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
    // What one line becomes in the slot: dye grams as kilograms, the amount from the written quantity.
    void slotRowOfOneLine_data()
    {
        QTest::addColumn<QVariant>("gurup");
        QTest::addColumn<double>("miktar");
        QTest::addColumn<double>("fiyat");
        QTest::addColumn<double>("slotMiktar");
        QTest::addColumn<double>("slotTutar");
        QTest::newRow("dye 250 g") << QVariant(true) << 250.0 << 120.0 << 0.25 << 30.0;
        QTest::newRow("dye 35 g") << QVariant(true) << 35.0 << 120.0 << 0.035 << 4.2;
        QTest::newRow("service") << QVariant(false) << 2.0 << 75.5 << 2.0 << 151.0;
        QTest::newRow("flag missing counts as false") << QVariant() << 3.0 << 10.0 << 3.0 << 30.0;
        QTest::newRow("amount to four decimals") << QVariant(true) << 33.0 << 12.3457 << 0.033 << 0.4074;
    }
    void slotRowOfOneLine()
    {
        QFETCH(QVariant, gurup);
        QFETCH(double, miktar);
        QFETCH(double, fiyat);
        QFETCH(double, slotMiktar);
        QFETCH(double, slotTutar);
        const QString dir = freshFolder();
        const QString ticket = makeDesk(dir);
        const QString slotPath = dir + u'/' + kSlotName;
        QVERIFY(AccountingFiles::writeSlots(slotPath));
        Line l = line(QStringLiteral("Boya Kahve 001"), miktar, fiyat);
        l.gurup = gurup;
        const QList<qint64> ids = TicketLines::write(ticket, {l});
        QCOMPARE(ids.size(), 1);
        const SlotSender::Result r = SlotSender(ticket, slotPath).send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Sent);
        QCOMPARE(r.slot, 1);
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 1), QVariantList{QStringLiteral("Boya Kahve 001")});
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 3), QVariantList{QStringLiteral("NAZLI D'ANGELO")});
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 4), QVariantList{QStringLiteral("869001")});
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 5).value(0).toDouble(), slotMiktar);
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 6).value(0).toDouble(), fiyat);
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 7).value(0).toDouble(), slotTutar);
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 8), QVariantList{QStringLiteral("Gülay Kaya")});
        QCOMPARE(AccountingFiles::column(slotPath, QStringLiteral("Müsteri"), 10), QVariantList{0});
        // The ticket line itself keeps its grams and amount.
        const QVariantList after = TicketLines::read(ticket, ids[0]);
        QCOMPARE(after.value(1).toDouble(), miktar);
        QCOMPARE(after.value(7).toInt(), 0);
    }

    // A step that fails sends nothing: the lines stay open and the slot file keeps only what it had.
    void failedStepSendsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // start of the message; %1 the slot file, %2 the ticket file
        QTest::addColumn<bool>("retry");      // the obstacle can be taken away and the ticket sent after
        QTest::newRow("missing slot file") << "missing" << "Kasa dosyası bulunamadı: %1" << true;
        QTest::newRow("folder in place of the file") << "folder" << "Kasa dosyası açılamadı: %1" << true;
        QTest::newRow("not a database") << "garbage" << "Kasa dosyası açılamadı: %1" << true;
        QTest::newRow("no slot table") << "notable" << "Kasa dosyası okunamadı: %1" << true;
        QTest::newRow("locked by another writer") << "exclusive" << "Kasa dosyası kilitli, biraz sonra tekrar deneyin." << true;
        QTest::newRow("reserved by another desk") << "reserved" << "Kasa dosyası kilitli, biraz sonra tekrar deneyin." << true;
        QTest::newRow("journal cannot be written") << "journal" << "Kasa dosyası açılamadı: %1" << true;
        QTest::newRow("first slot row fails") << "slotrow1" << "Kasa dosyasına yazılamadı: %1" << true;
        QTest::newRow("third slot row fails") << "slotrow3" << "Kasa dosyasına yazılamadı: %1" << true;
        QTest::newRow("marking a line fails") << "mark" << "Adisyon satırları kapatılamadı" << true;
        QTest::newRow("ticket file missing") << "noticket" << "Adisyon dosyası açılamadı: %2" << false;
    }
    void failedStepSendsNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QFETCH(bool, retry);
        const QString dir = freshFolder();
        QString ticket = makeDesk(dir);
        const QString slotPath = dir + u'/' + kSlotName;
        QVERIFY(AccountingFiles::writeSlots(slotPath, {taken(1)}));
        QList<Line> lines;
        for (int i = 1; i <= 4; ++i) lines << line(QStringLiteral("Hizmet %1").arg(i, 3, 10, QChar(u'0')));
        const QList<qint64> ids = TicketLines::write(ticket, lines);
        QCOMPARE(ids.size(), 4);

        sqlite3* other = nullptr;
        std::function<void()> undo;
        if (kind == u"missing") {
            QVERIFY(QFile::remove(slotPath));
            undo = [&] { QVERIFY(AccountingFiles::writeSlots(slotPath, {taken(1)})); };
        } else if (kind == u"folder") {
            QVERIFY(QFile::remove(slotPath) && QDir().mkdir(slotPath));
            undo = [&] { QVERIFY(QDir().rmdir(slotPath) && AccountingFiles::writeSlots(slotPath, {taken(1)})); };
        } else if (kind == u"garbage") {
            QFile f(slotPath);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(4096, 'x'));
            f.close();
            undo = [&] { QVERIFY(QFile::remove(slotPath) && AccountingFiles::writeSlots(slotPath, {taken(1)})); };
        } else if (kind == u"notable") {
            QVERIFY(execOn(slotPath, QStringLiteral("DROP TABLE \"Müsteri\"")));
            undo = [&] { QVERIFY(AccountingFiles::writeSlots(slotPath, {taken(1)})); };
        } else if (kind == u"exclusive" || kind == u"reserved") {
            QCOMPARE(sqlite3_open(slotPath.toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, kind == u"exclusive" ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
            undo = [&] { sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr); sqlite3_close(other); other = nullptr; };
        } else if (kind == u"journal") {
            // Nothing can be created beside the file (a read-only share): the write cannot start its journal.
            QVERIFY(QDir().mkdir(slotPath + QStringLiteral("-journal")));
            undo = [&] { QVERIFY(QDir().rmdir(slotPath + QStringLiteral("-journal"))); };
        } else if (kind.startsWith(u"slotrow")) {
            QVERIFY(execOn(slotPath, QStringLiteral("CREATE TRIGGER bozuk BEFORE INSERT ON \"Müsteri\" WHEN NEW.RowSay=%1"
                                                 " BEGIN SELECT RAISE(ABORT, 'yazılamadı'); END").arg(kind.right(1))));
            undo = [&] { QVERIFY(execOn(slotPath, QStringLiteral("DROP TRIGGER bozuk"))); };
        } else if (kind == u"mark") {
            QVERIFY(execOn(ticket, QStringLiteral("CREATE TRIGGER bozuk BEFORE UPDATE ON Salonya WHEN OLD.rowid=%1 BEGIN SELECT RAISE(ABORT, 'yazılamadı'); END").arg(ids[1])));
            undo = [&] { QVERIFY(execOn(ticket, QStringLiteral("DROP TRIGGER bozuk"))); };
        } else if (kind == u"noticket") {
            ticket = dir + QStringLiteral("/yok/Salonya.Mdb");
        }

        SlotSender sender(ticket, slotPath);
        sender.setBusyTimeout(200);
        SlotSender::Result r = sender.send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Failed);
        message.replace(QStringLiteral("%1"), QDir::toNativeSeparators(slotPath)).replace(QStringLiteral("%2"), QDir::toNativeSeparators(ticket));
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        if (kind == u"noticket") {
            QVERIFY(!QFileInfo::exists(ticket)); // never created
            return;
        }
        QCOMPARE(openLines(ticket), 4);
        if (undo) undo();
        QCOMPARE(slotRows(slotPath), 1);
        QVERIFY(retry);
        r = sender.send(ids);
        QCOMPARE(r.outcome, SlotSender::Outcome::Sent);
        QCOMPARE(r.lines, 4);
        QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl=2")), 4);
        QCOMPARE(openLines(ticket), 0);
    }

    // A slot file left in WAL mode cannot commit atomically with the ticket: it is put back first.
    void walSlotFileBackToRollbackJournal()
    {
        const QString dir = freshFolder();
        const QString ticket = makeDesk(dir);
        const QString slotPath = dir + u'/' + kSlotName;
        QVERIFY(AccountingFiles::writeSlots(slotPath));
        QVERIFY(execOn(slotPath, QStringLiteral("PRAGMA journal_mode=WAL")));
        const QList<qint64> ids = TicketLines::write(ticket, {line(QStringLiteral("Kesim 001"))});
        QCOMPARE(SlotSender(ticket, slotPath).send(ids).outcome, SlotSender::Outcome::Sent);
        SlotDb db;
        QVERIFY(db.open(slotPath, false, 1000));
        SlotStatement mode(db, QStringLiteral("PRAGMA journal_mode"));
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("delete"));
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
            for (int s = 1; s <= 3 - freeSlots; ++s) full << taken(s);
            QVERIFY(AccountingFiles::writeSlots(slotPath, full));
            QString tickets[2];
            Child child[2];
            for (int d = 0; d < 2; ++d) {
                tickets[d] = makeDesk(dir + QStringLiteral("/desk%1").arg(d));
                QList<Line> ls;
                for (int i = 0; i < lines; ++i) ls << line(QStringLiteral("Hizmet %1").arg(i, 3, 10, QChar(u'0')), 1, 10, customers[d]);
                QCOMPARE(TicketLines::write(tickets[d], ls).size(), lines);
                child[d].start({tickets[d], slotPath, QStringLiteral("--wait")});
            }
            for (Child& c : child) QVERIFY(c.waitFor("ready"));
            for (Child& c : child) c.p.write("go\n");
            for (Child& c : child) c.p.waitForBytesWritten(5000);
            for (Child& c : child) c.finish();
            QList<int> slotOf;
            if (child[0].span().first <= child[1].span().second && child[1].span().first <= child[0].span().second) ++overlapped;
            for (int d = 0; d < 2; ++d) {
                const QByteArray res = child[d].result();
                QVERIFY2(res.startsWith("sent") || res == "full", res.constData());
                const int slot = res.startsWith("sent") ? res.split(' ').value(1).toInt() : 0;
                slotOf << slot;
                QCOMPARE(openLines(tickets[d]), slot ? 0 : lines);
                if (slot) {
                    QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl=%1").arg(slot)), lines);
                    QCOMPARE(slotRows(slotPath, QStringLiteral("MusLbl=%1 AND \"Müsteri\"='%2'").arg(slot).arg(QString(customers[d]).replace(u'\'', QStringLiteral("''")))), lines);
                }
            }
            if (freeSlots == 1)
                QVERIFY2((slotOf == QList<int>{3, 0}) || (slotOf == QList<int>{0, 3}), qPrintable(QStringLiteral("%1 %2").arg(slotOf[0]).arg(slotOf[1])));
            else
                QVERIFY2((slotOf == QList<int>{2, 3}) || (slotOf == QList<int>{3, 2}), qPrintable(QStringLiteral("%1 %2").arg(slotOf[0]).arg(slotOf[1])));
            // No slot holds two tickets.
            QCOMPARE(number(slotPath, QStringLiteral("SELECT count(*) FROM (SELECT MusLbl FROM \"Müsteri\" GROUP BY MusLbl HAVING count(DISTINCT \"Müsteri\") > 1)")), 0);
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
        const QString tplTicket = makeDesk(tpl);
        QList<Line> ls;
        for (int i = 0; i < lines; ++i) ls << line(QStringLiteral("Hizmet %1").arg(i, 3, 10, QChar(u'0')), 1 + i % 3, 10 + i);
        QCOMPARE(TicketLines::write(tplTicket, ls).size(), lines);
        QVERIFY(AccountingFiles::writeSlots(tpl + u'/' + kSlotName, {taken(1)}));

        auto copyRound = [&](const QString& dir) {
            QDir().mkpath(dir);
            return QFile::copy(tplTicket, dir + QStringLiteral("/Salonya.Mdb")) && QFile::copy(tpl + u'/' + kSlotName, dir + u'/' + kSlotName);
        };
        // How long a send takes here, to spread the kills over it.
        qint64 sendUs = 0;
        for (int i = 0; i < 3; ++i) {
            const QString dir = freshFolder();
            QVERIFY(copyRound(dir));
            Child c;
            c.start({dir + QStringLiteral("/Salonya.Mdb"), dir + u'/' + kSlotName});
            c.finish();
            const QList<QByteArray> res = c.result().split(' ');
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
            int slotTwo = -1, slotOne = -1;
            {
                SlotDb db;
                QVERIFY(db.open(slotPath, false, 2000));
                SlotStatement st(db, QStringLiteral("SELECT sum(MusLbl=2), sum(MusLbl=1) FROM \"Müsteri\""));
                QVERIFY(st.next());
                slotTwo = st.value(0).toInt();
                slotOne = st.value(1).toInt();
            }
            int sent = -1;
            {
                SlotDb db;
                QVERIFY(db.open(ticket, false, 2000));
                SlotStatement st(db, QStringLiteral("SELECT count(*) FROM Salonya WHERE Yeni=0"));
                QVERIFY(st.next());
                sent = st.value(0).toInt();
            }
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
