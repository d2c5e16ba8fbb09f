// The three imports of start-up: stock cards, customer cards and employees from the accounting files.
#include "salonya.h"
#include "startup.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"

namespace {

// Opens the accounting query; an unreadable source imports nothing.
bool openSource(DataSource* src, const QString& recordSource)
{
    src->setRecordSource(recordSource);
    Data::refreshRoutine(src);
    if (!src->isOpen()) {
        qCWarning(lcStartup).noquote() << "import source unavailable:" << src->databaseName() << src->lastError();
        src->close();
        return false;
    }
    return true;
}

// Writes the own copy and the source's "imported" marks in one transaction each. The copy is kept
// even when the marks cannot be written back (a read-only share): the next start imports again.
struct ImportRun {
    DataSource* own;
    DataSource* src;
    int markField; // -1: the source is not changed
    Transaction ownTx;
    std::unique_ptr<Transaction> srcTx;
    bool ownOk = true;
    bool marksOk = true;
    int count = 0;

    ImportRun(DataSource* o, DataSource* s, int mark) : own(o), src(s), markField(mark), ownTx(o->database())
    {
        if (mark >= 0) srcTx = std::make_unique<Transaction>(s->database());
        ownOk = ownTx.active();
        marksOk = srcTx && srcTx->active();
        own->setBulk(true);
    }
    void mark()
    {
        if (markField < 0 || !marksOk) return;
        marksOk = src->edit() && src->setField(markField, 0) && src->update();
        if (!marksOk) src->cancelUpdate();
    }
    void finish(const char* what)
    {
        if (own->editMode() != DataSource::EditMode::None) own->cancelUpdate();
        if (src->editMode() != DataSource::EditMode::None) src->cancelUpdate();
        QString err;
        if (!ownOk || !ownTx.commit(&err))
            qCWarning(lcStartup).noquote() << what << "import rolled back:" << own->lastError() << err;
        if (srcTx && (!marksOk || !srcTx->commit(&err)))
            qCWarning(lcStartup).noquote() << what << "import marks not written back:" << src->lastError() << err;
        own->setBulk(false);
        qCDebug(lcStartup, "%s import: %d records", what, count);
    }
};

} // namespace

void Startup::importStock()
{
    DataSource* src = f->DataTmp;
    DataSource* own = f->DataStok;
    if (!openSource(src, QStringLiteral("Select * From StokKartlar Where StokGizle=0 Order By StokAdi ASC"))) return;
    if (!own->isOpen()) Data::refreshRoutine(own);
    ImportRun run(own, src, 13);
    for (src->moveFirst(); run.ownOk && !src->eof(); src->moveNext()) {
        f->state.KayitBekle = true;
        const QVariant code = src->field(0);
        if (own->findFirst(QStringLiteral("StokKod=") + Jet::quote(code.toString()))) {
            run.ownOk = own->edit();
        } else if (!own->noMatch()) {
            run.ownOk = false; // the lookup itself failed: adding would duplicate the card
        } else {
            run.ownOk = own->addNew() && own->setField(0, code) && own->setField(1, src->field(1)) && own->setField(2, src->field(15));
        }
        run.ownOk = run.ownOk && own->setField(3, src->field(16)) && own->setField(4, src->field(30)) && own->update();
        run.mark();
        ++run.count;
    }
    Data::waitForSave(f->state.KayitBekle);
    run.finish("stock");
    src->close();
}

void Startup::importCustomers()
{
    DataSource* src = f->DataTmp;
    DataSource* own = f->DataCari;
    if (!openSource(src, QStringLiteral("Select * From CariKartlar Where HesKullan=False And left(CariKod,1)<>'=' Order By CariKod ASC")))
        return;
    // Cards are found by code among all cards, customers and employees alike, whatever list was shown.
    if (own->recordSource() != u"CariKartlar" || !own->isOpen()) {
        own->setRecordSource(QStringLiteral("CariKartlar"));
        Data::refreshRoutine(own);
    }
    ImportRun run(own, src, 26);
    for (src->moveFirst(); run.ownOk && !src->eof(); src->moveNext()) {
        f->state.KayitBekle = true;
        const QVariant code = src->field(0);
        if (own->findFirst(QStringLiteral("CariKod=") + Jet::quote(code.toString()))) {
            run.ownOk = own->edit();
        } else if (!own->noMatch()) {
            run.ownOk = false; // the lookup itself failed: adding would duplicate the card
        } else {
            run.ownOk = own->addNew() && own->setField(0, code) && own->setField(1, src->field(1))
                && own->setField(2, src->field(15)) && own->setField(16, src->field(44));
        }
        run.ownOk = run.ownOk && own->setField(10, src->field(28)) && own->setField(11, src->field(29))
            && own->setField(12, src->field(30)) && own->update();
        run.mark();
        ++run.count;
    }
    Data::waitForSave(f->state.KayitBekle);
    run.finish("customer");
    src->close();
}

void Startup::importEmployees()
{
    DataSource* src = f->DataTmp;
    DataSource* own = f->DataEleman;
    if (!openSource(src, QStringLiteral("Select * From CariKartlar Where Gurup='Eleman' ORDER BY Unvan ASC"))) return;
    if (!own->isOpen()) Data::refreshRoutine(own);
    ImportRun run(own, src, -1);
    for (src->moveFirst(); run.ownOk && !src->eof(); src->moveNext()) {
        const QVariant name = src->field(1);
        if (own->findFirst(QStringLiteral("Eleman=") + Jet::quote(name.toString()))) continue;
        if (!own->noMatch()) { run.ownOk = false; break; } // the lookup itself failed
        f->state.KayitBekle = true;
        run.ownOk = own->addNew() && own->setField(0, name) && own->update();
        Data::waitForSave(f->state.KayitBekle);
        ++run.count;
    }
    run.finish("employee");
    src->close();
}
