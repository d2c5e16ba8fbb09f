#include "servicepanel.h"

#include "dyeframe.h"
#include "stockframe.h"
#include "stockpick.h"
#include "ticketlines.h"
#include "app/hostpaths.h"
#include "app/salonya.h"
#include "app/windowplace.h"
#include "camera/camera.h"
#include "camera/photofile.h"
#include "customers/customerphoto.h"
#include "data/datasource.h"
#include "data/refresh.h"
#include "ui/datagrid.h"
#include "ui/feedback.h"
#include "ui/fontscolours.h"
#include "ui/look.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/touchbutton.h"
#include "ui/touchlist.h"

#include <QClipboard>
#include <QCursor>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>

namespace {
enum Button { Boya = 0, Stoklar = 27, UrunIsle = 28, Sil = 29, Kamera = 30, ResimCek = 31, Exit = 32 };
}

ServicePanel::ServicePanel(Salonya* form, StockPick* pick, DyeFrame* dye) : QObject(form), f(form), m_pick(pick), m_dye(dye)
{
    for (int i = 0; i < f->Command1.size(); ++i) {
        QPushButton* b = f->Command1[i];
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] {
            // The key state of the touch itself, or of the keyboard when the button was pressed by key.
            const Qt::KeyboardModifiers mods = m_releaseModifiers | QGuiApplication::queryKeyboardModifiers();
            m_releaseModifiers = {};
            Command1_Click(i, mods.testFlag(Qt::ControlModifier));
        });
        if (auto* t = qobject_cast<TouchButton*>(b))
            connect(t, &TouchButton::rightPressed, this, [this] { FontsColours::buttonMenu(*f, QCursor::pos()); });
    }
    f->UrunlerFrm->installEventFilter(this);
    connect(f->DataSalonya, &DataSource::reposition, this, &ServicePanel::DataSalonya_Reposition);
    // A re-query that finds nothing makes no record current, yet the ticket is empty then.
    connect(f->DataSalonya, &DataSource::requeried, this, &ServicePanel::DataSalonya_Reposition);
}

bool ServicePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched != f->UrunlerFrm) {
        m_releaseModifiers = static_cast<QMouseEvent*>(event)->modifiers();
    } else if (event->type() == QEvent::MouseButtonPress && watched == f->UrunlerFrm) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) f->ListeKapat();
        // The panel holds the form's edges: Ctrl there only centres the window, as on the background.
        if (me->modifiers() == Qt::ControlModifier) WindowPlace::moveToTopCentre(*f);
        else if (me->button() == Qt::RightButton) FontsColours::frameMenu(*f, QCursor::pos());
    }
    return QObject::eventFilter(watched, event);
}

quint32 ServicePanel::normalColour() const { return Look::backColor(f->Command1[Exit]); }

void ServicePanel::unmark(int index)
{
    if (index >= 0 && index < f->Command1.size()) Look::setBackColor(f->Command1[index], normalColour());
}

// The customer field must show the current customer card; the employee field the current employee,
// except for the camera buttons, which need a customer only.
bool ServicePanel::selectionMissing(int index)
{
    if (index == Exit || index == Stoklar || f->DataEleman->recordCount() == 0 || f->DataCari->recordCount() == 0)
        return false;
    return !TicketLines::selectionShown(*f, index < Kamera);
}

void ServicePanel::Command1_Click(int index, bool controlDown)
{
    if (index < 0 || index >= f->Command1.size()) return;
    FormState& s = f->state;
    // While the stock frame is open or a list or grid was touched last, the buttons act unchecked.
    const bool gateOpen = !f->StokFrm->isVisibleTo(f) && s.AktifListe == 0;
    if (gateOpen) {
        if (selectionMissing(index)) return;
        if (f->Command1[index]->text().isEmpty()) return;
        if (index >= UrunIsle && index <= ResimCek && Look::backColor(f->Command1[Stoklar]) == Look::Cyan) return;
    }

    Look::setBackColor(f->Text1, Look::White);
    Look::setBackColor(f->Text2, Look::White);
    unmark(int(s.SeciliButon));
    Look::setBackColor(f->Command1[index], Look::Green);
    Look::setBackColor(f->Command1[UrunIsle], Look::PaleCyan);

    switch (index) {
    case Boya:
        unmark(int(s.SeciliButon));
        m_dye->open();
        break;
    case Stoklar: toggleStock(); break;
    case UrunIsle:
        if (TicketLines::writePickedStock(*f, m_pick->picked())) unmark(UrunIsle);
        break;
    case Sil:
        TicketLines::deleteInContext(*f, controlDown);
        unmark(Sil);
        break;
    case Kamera: showCamera(); break;
    case ResimCek: takePhoto(); break;
    case Exit: f->close(); break;
    default: pickService(index); break;
    }
    s.SeciliButon = float(index);
}

void ServicePanel::pickService(int index)
{
    const QString caption = f->Command1[index]->text();
    // A button being assigned in the stock frame may be empty; a named one must find its card.
    if (!m_pick->byName(caption) && !caption.isEmpty()) Feedback::beep();
}

void ServicePanel::toggleStock()
{
    if (f->StokFrm->isVisibleTo(f)) {
        StockFrame::close(*f);
        unmark(int(f->state.SeciliButon));
        return;
    }
    f->StokText->setText(QStringLiteral("BARKOD OKUTUN"));
    f->StokText->selectAll();
    f->StokText->setAlignment(Qt::AlignCenter);
    f->StokFrm->raise();
    f->StokFrm->show();
    Data::refreshRoutine(f->DataStok);
    if (f->DataStok->recordCount() > 0) {
        f->DBListe4->setText(f->DataStok->field(1).toString());
        f->DBListe4->setFocus();
    }
}

void ServicePanel::showCamera()
{
    if (f->state.SeciliCari.isEmpty()) return;
    unmark(Kamera);
    Camera::showWindow(*f);
}

QString ServicePanel::photoFile(const QString& customerCode)
{
    // The code becomes part of a file name; the same rule as for reading the photo keeps it in the folder.
    if (!CustomerPhoto::isSafeCode(customerCode)) return {};
    return HostPaths::inProgramDir(QStringLiteral("Resim") + customerCode + QStringLiteral(".Jpg"));
}

void ServicePanel::takePhoto()
{
    // The photo belongs to the customer the field shows and that is current, as a ticket line does,
    // taken at the touch: whatever is picked while the camera starts does not change it.
    if (!TicketLines::selectionShown(*f, false)) {
        unmark(ResimCek);
        return;
    }
    const QString code = f->DataCari->field(0).toString();
    Camera::pressCapture(*f);
    if (!code.isEmpty() && Program::ResimCekildi) {
        const QString path = photoFile(code);
        const QImage picture = QGuiApplication::clipboard()->image();
        Program::GeciciMetin = path;
        // A bitmap whatever the extension says; readers know the picture by its content.
        if (PhotoFile::write(picture, path)) {
            f->Picture1->setPicture(CustomerPhoto::load(path));
        } else {
            Feedback::message(f, Feedback::Icon::Warning, QStringLiteral("Salonya"),
                              QStringLiteral("Resim kaydedilemedi: program klasörüne yazılamıyor ya da çekilen resim yok."));
        }
    }
    Program::ResimCekildi = false;
    unmark(ResimCek);
}

void ServicePanel::DataSalonya_Reposition()
{
    if (f->DBGridMus->isVisibleTo(f)) f->KasaCmd->setEnabled(f->DataSalonya->recordCount() > 0);
}
