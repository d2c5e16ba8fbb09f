#include "salonya.h"

#include "formdesign.h"
#include "startup.h"
#include "subsystems.h"
#include "data/datasource.h"
#include "ui/datagrid.h"
#include "ui/datepicker.h"
#include "ui/look.h"
#include "ui/picturebox.h"
#include "ui/textbox.h"
#include "ui/titledframe.h"
#include "ui/touchbutton.h"
#include "ui/touchkey.h"
#include "ui/touchlist.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

QString Program::GeciciMetin;
bool Program::ResimCekildi = false;

namespace {

QRect rectOf(const FormDesign::Control& c) { return FormDesign::toPixels(c.left, c.top, c.width, c.height); }

QFont fontOf(const FormDesign::Control& c, const QFont& fallback)
{
    return c.fontPt > 0 ? Look::designFont(QString::fromLatin1(FormDesign::DesignFont), c.fontPt, c.bold) : fallback;
}

} // namespace

Salonya::Salonya(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Salonya"));
    setWindowTitle(QStringLiteral("Salonya"));
    // Designed at this size; the layout engine scales the controls to whatever size the window gets.
    resize(FormDesign::FormWidth / FormDesign::TwipsPerPixel, FormDesign::FormHeight / FormDesign::TwipsPerPixel);
    buildDataSources();
    buildControls();
    bindViews();
    m_startup = new Startup(this);
    createSubsystems(*this);
}

Salonya::~Salonya() = default;

void Salonya::buildDataSources()
{
    auto make = [this](const char* name) { return new DataSource(QString::fromUtf8(name), this); };
    DataRec = make("DataRec");
    DataCari = make("DataCari");
    DataEleman = make("DataEleman");
    DataStok = make("DataStok");
    DataSalonya = make("DataSalonya");
    DataGecmis = make("DataGecmis");
    DataGunluk = make("DataGünlük");
    DataTmp = make("DataTmp");
    // Design-time record sources.
    DataRec->setRecordSource(QStringLiteral("RecNo"));
    DataCari->setRecordSource(QStringLiteral("CariKartlar"));
    DataEleman->setRecordSource(QStringLiteral("Eleman"));
    DataStok->setRecordSource(QStringLiteral("StokKartlar"));
    DataSalonya->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=''"));
    DataGecmis->setRecordSource(QStringLiteral("Select * From Salonya Where Cari='' Order By Islem ASC"));
    DataGunluk->setRecordSource(QStringLiteral("Select * From Salonya Where Cari=''"));
}

void Salonya::buildControls()
{
    QHash<QString, QWidget*> parents;
    auto parentOf = [&](const FormDesign::Control& c) -> QWidget* {
        const QString p = QString::fromUtf8(c.parent);
        return p.isEmpty() ? this : parents.value(p, this);
    };
    Label1.resize(49);
    Command1.resize(33);
    Command2.resize(2);
    Command3.resize(3);

    for (const FormDesign::Control& c : FormDesign::controls()) {
        const QString name = QString::fromUtf8(c.name);
        const QString caption = QString::fromUtf8(c.caption);
        QWidget* parent = parentOf(c);
        QWidget* w = nullptr;
        if (name.startsWith(u"Text") || name == u"KlvTxt" || name == u"StokText") {
            auto* t = new TextBox(parent);
            t->setText(caption);
            t->setAlignment(Qt::AlignCenter);
            w = t;
            if (name == u"Text1") Text1 = t;
            else if (name == u"Text2") Text2 = t;
            else if (name == u"Text3") Text3 = t;
            else if (name == u"Text4") Text4 = t;
            else if (name == u"KlvTxt") KlvTxt = t;
            else StokText = t;
        } else if (name.startsWith(u"DBListe")) {
            auto* l = new TouchList(parent);
            w = l;
            const int n = name.mid(7).toInt();
            (n == 1 ? DBListe1 : n == 2 ? DBListe2 : n == 3 ? DBListe3 : DBListe4) = l;
        } else if (name == u"DBGridIslem" || name == u"DBGridMüs" || name == u"CariList") {
            auto* g = new DataGrid(parent);
            w = g;
            (name == u"DBGridIslem" ? DBGridIslem : name == u"CariList" ? CariList : DBGridMus) = g;
        } else if (name.startsWith(u"Command") || name == u"KasaCmd") {
            auto* b = new TouchButton(caption, parent);
            w = b;
            if (name == u"KasaCmd") KasaCmd = b;
            else {
                b->setProperty("Index", c.index);
                auto& array = name == u"Command1" ? Command1 : name == u"Command2" ? Command2 : Command3;
                array[c.index] = b;
            }
        } else if (name == u"Picture1" || name == u"ElemanLbl") {
            auto* l = name == u"Picture1" ? new PictureBox(parent) : new QLabel(caption, parent);
            w = l;
            if (name == u"Picture1") {
                Picture1 = static_cast<PictureBox*>(l);
                l->setAlignment(Qt::AlignCenter);
                l->setStyleSheet(QStringLiteral("QLabel{background:#2a2a2a;color:#9a9a9a;border:2px solid #3a3a3a;border-radius:10px;}"));
            } else {
                ElemanLbl = l; // drawn in the form's text colour, which contrasts with its back colour
            }
        } else if (name == u"DTPicker1") {
            DTPicker1 = new DatePicker(parent);
            DTPicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
            w = DTPicker1;
        } else if (name == u"Frame2") {
            Frame2 = new QFrame(parent);
            w = Frame2;
        } else { // titled frames
            auto* g = new TitledFrame(caption, parent);
            w = g;
            if (name == u"Frame1") Frame1 = g;
            else if (name == u"StokFrm") StokFrm = g;
            else if (name == u"BoyaFrm") BoyaFrm = g;
            else UrunlerFrm = g;
        }
        w->setObjectName(name);
        w->setGeometry(rectOf(c));
        w->setFont(fontOf(c, font()));
        parents.insert(name, w);
    }

    Text1->setDesignMaxLength(50);
    Text2->setDesignMaxLength(50);
    Text3->setDesignMaxLength(50);
    Text4->setDesignMaxLength(5);
    StokText->setDesignMaxLength(20);
    KlvTxt->setDesignMaxLength(50);
    for (TextBox* t : {Text1, Text2, Text3, Text4, StokText}) Look::setBackColor(t, Look::White);

    Look::setBackColor(Frame2, Look::Black);
    for (const FormDesign::Key& k : FormDesign::keys()) {
        auto* key = new TouchKey(k.index, Frame2);
        key->setText(QString::fromUtf8(k.caption));
        key->setGeometry(FormDesign::toPixels(k.left, k.top, k.width, k.height));
        key->setFont(Look::designFont(QString::fromLatin1(FormDesign::DesignFont), k.fontPt, true));
        Look::setBackColor(key, Look::Cyan);
        Label1[k.index] = key;
    }
    for (QPushButton* b : Command3) Look::setBackColor(b, Look::Yellow);
    for (QPushButton* b : Command2) Look::setBackColor(b, Look::Yellow);
    Look::setBackColor(KasaCmd, 0x00C000);
    KasaCmd->setStyleSheet(KasaCmd->styleSheet() + QStringLiteral("QPushButton{color:white;}"));

    // Hidden until a handler opens them.
    DBListe1->hide();
    DBListe2->hide();
    StokFrm->hide();
    BoyaFrm->hide();
    Frame2->hide();
    DBGridMus->hide(); // shown at the end of the first activation: the once-only guard
    Command3[2]->setEnabled(false);
    Frame1->setEnabled(false);
}

void Salonya::bindViews()
{
    DBListe1->bind(DataCari, QStringLiteral("Unvan"));
    DBListe2->bind(DataEleman, QStringLiteral("Eleman"));
    DBListe3->bind(DataStok, QStringLiteral("Stokadi"));
    DBListe4->bind(DataStok, QStringLiteral("Stokadi"));
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    DBGridIslem->bind(DataSalonya, {
        {QStringLiteral("İşlem"), QStringLiteral("Islem"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 3150},
        {QStringLiteral("Ad/Gr"), QStringLiteral("Miktar"), QStringLiteral("General Number"), {}, right, 900},
        {QStringLiteral("Fiyat"), QStringLiteral("Fiyat"), QStringLiteral("Standard"), QStringLiteral("0"), right, 1200},
    });
    DBGridMus->bind(DataGunluk, {
        {QStringLiteral("Müşteri"), QStringLiteral("Unvan"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 1650},
        {QStringLiteral("Eleman"), QStringLiteral("Eleman"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 1200},
        {QStringLiteral("İşlem"), QStringLiteral("Islem"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 1500},
        {QStringLiteral("Fiyat"), QStringLiteral("Fiyat"), QStringLiteral("Standard"), QStringLiteral("0"), right, 1000},
    });
    CariList->bind(DataGecmis, {
        {QStringLiteral("Tarih"), QStringLiteral("Tarih"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 1500},
        {QStringLiteral("İşlem"), QStringLiteral("Islem"), {}, {}, Qt::AlignLeft | Qt::AlignVCenter, 3900},
        {QStringLiteral("Ad/Gr"), QStringLiteral("Miktar"), QStringLiteral("General Number"), {}, right, 900},
        {QStringLiteral("Fiyat"), QStringLiteral("Fiyat"), QStringLiteral("Standard"), {}, right, 1300},
    });
}

QString Salonya::activeControlName() const
{
    QWidget* f = QApplication::focusWidget();
    return f && isAncestorOf(f) ? f->objectName() : QString();
}

void Salonya::ListeKapat()
{
    const QString active = activeControlName();
    if (active != u"Text1" && DBListe1->isVisible()) DBListe1->hide();
    else if (active != u"Text2" && DBListe2->isVisible()) DBListe2->hide();
}

bool Salonya::focusNextPrevChild(bool next)
{
    // A control that hides while it has the focus hands it to the keyboard buffer, not to the next
    // control in line: a field there would open its search, a button would take the next Enter.
    const QWidget* focused = QApplication::focusWidget();
    if (focused && isAncestorOf(focused) && !focused->isVisibleTo(this) && KlvTxt->isVisibleTo(this)) {
        KlvTxt->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void Salonya::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

void Salonya::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Some platforms never activate a window (headless, kiosk sessions); the work must still happen.
    QTimer::singleShot(0, this, [this] { emit activated(); });
}
