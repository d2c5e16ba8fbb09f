#include "refresh.h"

#include "datasource.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace Data {

bool refreshRoutine(DataSource* ds)
{
    QCoreApplication::processEvents();
    return requery(ds);
}

bool requery(DataSource* ds)
{
    const bool ok = ds->refresh();
    if (!ds->bof()) ds->moveLast();
    if (!ds->eof()) ds->moveFirst();
    return ok;
}

bool waitForSave(const bool& flag, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (flag && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !flag;
}

} // namespace Data
