#pragma once
// Hands a ticket's open lines to the first free cash-register slot. Choosing the slot, writing the
// slot rows and marking the lines sent are one transaction over the ticket file and the attached
// slot file (rollback journals commit both atomically), taken with the write lock first: a crash
// or a failed write sends all or nothing, and two desks never pick the same slot.

#include <QList>
#include <QString>

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
        QString message; // in Turkish, for the user, when it failed
    };

    // Local paths of the desk's "Salonya.Mdb" and the shared "Müsteri.mdb".
    SlotSender(QString ticketFile, QString slotFile);
    void setBusyTimeout(int ms) { m_busyMs = ms; }

    // Sends these lines of the ticket table, in this order; a line that is no longer open is skipped.
    Result send(const QList<qint64>& lineIds);
    // Sends the open lines that a record source on the ticket table selects, in its order.
    Result sendRecordSource(const QString& recordSource);

    // The first free slot, read without a lock (the send checks again under its lock):
    // 1..3, 0 when all are full, -1 when the file cannot be read (*message says why).
    static int firstFreeSlot(const QString& slotFile, int busyTimeoutMs, QString* message);

    // The slot file of a data-folder prefix: the prefix up to its last separator, then "\Müsteri.mdb".
    static QString slotFileOf(const QString& veriYolu);

private:
    enum class Step { OpenTicket, AttachSlot, Lock, ReadSlots, ReadLines, WriteSlot, MarkLine, Commit };
    Result run(const QString& recordSource, const QList<qint64>& lineIds);
    QString failure(Step step, const SlotDb& db) const;

    QString m_ticketFile;
    QString m_slotFile;
    int m_busyMs = DefaultBusyTimeoutMs;
};
