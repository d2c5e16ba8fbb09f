#include "deskcards.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/refresh.h"

#include <cmath>
#include <sqlite3.h>

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
    sqlite3_stmt* st = db->prepare(QStringLiteral("SELECT 1 FROM CariKartlar WHERE CariKod=? LIMIT 1"), error);
    if (!st) return false;
    bindValue(st, 1, code);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) { *error = db->lastError(); return false; }
    *taken = rc == SQLITE_ROW;
    return true;
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
