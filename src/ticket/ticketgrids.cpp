#include "ticketgrids.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/look.h"
#include "ui/textbox.h"
#include "ui/touchkey.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

TicketGrids::TicketGrids(Salonya* form) : QObject(form), f(form)
{
    DataGrid* islem = f->DBGridIslem;
    DataGrid* mus = f->DBGridMus;
    connect(islem, &DataGrid::gotFocus, this, [this] { entered(f->DBGridIslem, f->DataSalonya, 2); });
    connect(mus, &DataGrid::gotFocus, this, [this] { entered(f->DBGridMus, f->DataGunluk, 1); });
    for (DataGrid* g : {islem, mus})
        connect(g, &DataGrid::lostFocus, g, [g] { g->setMarqueeStyle(DataGrid::MarqueeNone); });
    connect(islem, &DataGrid::touched, this, [this] { f->ListeKapat(); });
    connect(islem, &DataGrid::pointerMoved, this, [this] {
        if (TouchKey* k = f->key(f->state.SonTus)) Look::setBackColor(k, Look::Cyan);
    });
    connect(mus, &DataGrid::rowColChanged, this, &TicketGrids::DBGridMus_RowColChange);
}

// Touching a grid makes it the target of "SİL"; its current row is marked only when it has one.
void TicketGrids::entered(DataGrid* grid, DataSource* ds, float liste)
{
    f->state.AktifListe = liste;
    grid->setMarqueeStyle(ds->recordCount() > 0 ? DataGrid::MarqueeHighlightRow : DataGrid::MarqueeNone);
}

void TicketGrids::DBGridMus_RowColChange()
{
    FormState& s = f->state;
    const QModelIndex current = f->DBGridMus->currentIndex();
    if (!current.isValid()) return;
    const QString title = f->DBGridMus->tableModel()->text(current.row(), 0);
    const QString employee = f->DBGridMus->tableModel()->text(current.row(), 1);
    // The customer field's own change handling must not take this write for typing.
    s.Durum = 2;
    f->Text1->setText(title);
    s.Durum = 0;
    f->Text2->setText(employee);
    f->DataEleman->findFirst(QStringLiteral("Eleman=") + Jet::quote(f->Text2->text()));
    // Every line of this title today, of any employee, until the next selection.
    f->DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where ") + s.TarihKriter
                                    + QStringLiteral(" And Unvan=") + Jet::quote(title));
    Data::refreshRoutine(f->DataSalonya);
}

void TicketGrids::followOtherDesks()
{
    Database* db = f->DataGunluk->database();
    if (!db || !db->onServer()) return;
    QPointer<TicketGrids> self(this);
    db->follow(QStringLiteral("salonya"), [self] { if (self) self->otherDeskWrote(); });
}

// Re-read only while nobody is touching, writing or waiting for a save; the row the desk shows as
// current stays current. A busy moment is tried again shortly.
void TicketGrids::otherDeskWrote()
{
    const FormState& s = f->state;
    if (QApplication::mouseButtons() != Qt::NoButton || s.Durum != 0 || s.KayitBekle
        || f->DataGunluk->editMode() != DataSource::EditMode::None) {
        QTimer::singleShot(300, this, &TicketGrids::otherDeskWrote);
        return;
    }
    DataSource* ds = f->DataGunluk;
    const qint64 current = ds->rowId(ds->position());
    Data::refreshRoutine(ds);
    for (int i = 0; current >= 0 && i < ds->recordCount(); ++i)
        if (ds->rowId(i) == current) { ds->moveTo(i); break; }
}
