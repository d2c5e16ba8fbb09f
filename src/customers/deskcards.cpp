#include "deskcards.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/refresh.h"

#include <cmath>

namespace DeskCards {
namespace {

const QString kFirstNumber = QStringLiteral("1001");

// -1 when the value is not a whole number of zero or more.
qlonglong asCounter(const QVariant& v)
{
    bool ok = false;
    const QString text = v.toString().trimmed();
    const qlonglong n = text.toLongLong(&ok);
    if (ok) return n >= 0 ? n : -1;
    const double d = text.toDouble(&ok);
    return ok && d >= 0 && d < 1e15 && std::floor(d) == d ? qlonglong(d) : -1;
}

// Whether a card with this code is on file, in any group.
bool codeTaken(DataSource* cards, const QString& code, bool* taken, QString* error)
{
    Database* db = cards->database();
    if (!db) { *error = cards->lastError(); return false; }
    Query q = db->run(QStringLiteral("SELECT 1 FROM CariKartlar WHERE CariKod=? LIMIT 1"), {code});
    *taken = q.next();
    if (!q.ok()) *error = q.error();
    return q.ok();
}

} // namespace

QString lastIssued(DataSource* rec)
{
    const qlonglong n = asCounter(rec->field(0));
    return n < 0 ? kFirstNumber : QString::number(n);
}

bool addCard(Salonya& f, const QString& title, const QString& group, QString* error)
{
    DataSource* cards = f.DataCari;
    f.state.KayitBekle = true;
    if (!cards->addNew()) { *error = cards->lastError(); return false; }
    // Desks sharing a salon server take numbers one at a time: the lock lasts until the caller's
    // transaction has written the card, so the next desk sees it taken.
    if (Database* db = cards->database(); db && db->onServer() && !db->run(QStringLiteral("SELECT pg_advisory_xact_lock(7203)")).finish()) {
        *error = db->lastError();
        cards->cancelUpdate();
        return false;
    }
    // A number already used by a card (imported, or written by another desk) is passed over.
    qlonglong n = asCounter(Program::GeciciMetin);
    n = (n < 0 ? kFirstNumber.toLongLong() : n) + 1;
    for (;; ++n) {
        bool taken = false;
        if (!codeTaken(cards, QStringLiteral("Cr-") + QString::number(n), &taken, error)) {
            cards->cancelUpdate();
            return false;
        }
        if (!taken) break;
    }
    Program::GeciciMetin = QString::number(n);
    const bool ok = cards->setField(0, QStringLiteral("Cr-") + Program::GeciciMetin) && cards->setField(1, title)
        && cards->setField(16, group) && cards->setField(QStringLiteral("Yeni"), 1) && cards->update();
    if (!ok) {
        *error = cards->lastError();
        cards->cancelUpdate();
        return false;
    }
    Data::waitForSave(f.state.KayitBekle);
    return true;
}

bool storeCounter(DataSource* rec, const QString& number, QString* error)
{
    if (rec->recordCount() > 0 && rec->position() < 0) rec->moveFirst();
    const bool ok = (rec->recordCount() > 0 ? rec->edit() : rec->addNew()) && rec->setField(0, number.toLongLong())
        && rec->update();
    if (!ok) {
        *error = rec->lastError();
        rec->cancelUpdate();
    }
    return ok;
}

} // namespace DeskCards
