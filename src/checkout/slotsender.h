#pragma once
// Hands a ticket's open lines to the first free cash-register slot, safely across machines. The slot
// file may sit on the central machine's share, where the register cannot see this desk's ticket book
// (its "Salonya.Mdb", or the salon server), so no transaction spans both: the slot rows go in one
// transaction of the slot file together with a send log naming the book's lines; the lines are then
// closed in the book. A send not finished (log entry there, line still open here) is finished before
// the next send and at start-up; a line with a log entry is never sent again, also when two desks on
// one server send the same lines. Two desks never pick the same slot.

#include <QList>
#include <QString>
#include <memory>

class Database;
class SlotDb;

class SlotSender
{
public:
    static constexpr int SlotCount = 3;
    static constexpr int DefaultBusyTimeoutMs = 3000;

    enum class Outcome { Sent, Full, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        int slot = 0;    // the slot written, 1..3; 0 when nothing was written
        int lines = 0;   // slot rows written
        QString message; // in Turkish, for the user: why it failed, or what is left to do after a send
    };

    // Local paths of the desk's "Salonya.Mdb" and the shared "Müsteri.mdb".
    SlotSender(QString ticketFile, QString slotFile);
    void setBusyTimeout(int ms) { m_busyMs = ms; }

    // Sends these lines of the ticket table, in this order; a line that is no longer open is skipped.
    Result send(const QList<qint64>& lineIds);
    // Sends the open lines that a record source on the ticket table selects, in its order.
    Result sendRecordSource(const QString& recordSource);

    // Closes the lines of sends this desk did not finish and clears their log entries: the number of
    // lines closed, or -1 with *message (in Turkish) when a file cannot be read or written.
    int finishUnfinished(QString* message);

    // The first free slot, read without a lock (the send checks again under its lock):
    // 1..3, 0 when all are full, -1 when the file cannot be read (*message says why).
    static int firstFreeSlot(const QString& slotFile, int busyTimeoutMs, QString* message);

    // The slot file of a data-folder prefix: the prefix up to its last separator, then "\Müsteri.mdb".
    static QString slotFileOf(const QString& veriYolu);

    // The send log's table in the slot file.
    static constexpr auto LogTable = "SalonyaGonderim";

private:
    enum class Step { OpenTicket, OpenSlot, Lock, ReadSlots, ReadLines, WriteSlot, MarkLine, Commit };
    Result run(const QString& recordSource, const QList<qint64>& lineIds);
    bool open(SlotDb& kasa, std::shared_ptr<Database>& ticket, QString* desk, QString* message) const;
    int finish(SlotDb& kasa, const std::shared_ptr<Database>& ticket, const QString& desk, QString* message) const;
    bool dropLog(SlotDb& kasa, const QString& desk, const QList<qint64>& ids) const;
    QString failure(Step step, const SlotDb& db) const;
    QString ticketFailure(Step step, const Database* db, const QString& error) const;

    QString m_ticketFile;
    QString m_slotFile;
    int m_busyMs = DefaultBusyTimeoutMs;
};
