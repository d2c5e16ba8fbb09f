#include "fontscolours.h"

#include "captionfit.h"
#include "look.h"
#include "app/salonya.h"
#include "app/settings.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

class QtDialogs : public LookDialogs
{
public:
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& start) override
    {
        const QColor c = QColorDialog::getColor(start, parent, QStringLiteral("Renk Seçimi"));
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& start) override
    {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, start, parent, QStringLiteral("Yazı Fontu"));
        return ok ? std::optional<QFont>(font) : std::nullopt;
    }
};

LookDialogs* g_dialogs = nullptr;

// Settings hold font sizes in points; the buttons are sized in pixels at the design's 15 twips per pixel.
constexpr double kPixelsPerPoint = 20.0 / 15.0;

QList<QWidget*> frames(const Salonya& f) { return {f.UrunlerFrm, f.Frame1, f.StokFrm, f.BoyaFrm}; }

// Button captions from a readable size up to one line as tall as a service button (1110 twips).
constexpr double kSmallestPoints = CaptionFit::SmallestPixels / kPixelsPerPoint;
constexpr double kLargestPoints = 1110 / 15 / kPixelsPerPoint;

// A stored colour; one that is no 0x00BBGGRR number (negative, too large, not a number) takes the default.
quint32 setting(const char* key, quint32 def)
{
    const double v = Settings::toNumber(Settings::get(QString::fromLatin1(key)), def);
    return v >= 0 && v <= 0xFFFFFF ? quint32(v) : def;
}

} // namespace

LookDialogs& LookDialogs::current()
{
    static QtDialogs qt;
    return g_dialogs ? *g_dialogs : qt;
}

void LookDialogs::replace(LookDialogs* dialogs) { g_dialogs = dialogs; }

FontsColours::FontsColours(Salonya* form) : QObject(form), f(form)
{
    setObjectName(QStringLiteral("FontsColours"));
    YazFnt = new QMenu(QStringLiteral("YazFnt"), f);
    YazFnt->setObjectName(QStringLiteral("YazFnt"));
    YazFnt->addAction(QStringLiteral("Yazı Fontu"), this, &FontsColours::YazFont_Click)->setObjectName(QStringLiteral("YazFont"));
    YazFnt->addAction(QStringLiteral("Renk Seçimi"), this, &FontsColours::ZeminRenk_Click)->setObjectName(QStringLiteral("ZeminRenk"));
    Renk = new QMenu(QStringLiteral("Renk Seçimi"), f);
    Renk->setObjectName(QStringLiteral("Renk"));
    Renk->addAction(QStringLiteral("Renk Seçimi"), this, &FontsColours::RenkSec_Click)->setObjectName(QStringLiteral("RenkSec"));
    for (QMenu* m : {YazFnt, Renk}) {
        m->setStyleSheet(QStringLiteral("QMenu{font-size:22px;padding:6px;}QMenu::item{padding:14px 28px;}"));
        // A menu closed without a choice leaves no colour target behind.
        connect(m, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (!m_handling && (f->state.Durum == 1 || f->state.Durum == 3)) f->state.Durum = 0;
            });
        });
    }
}

FontsColours* FontsColours::of(const Salonya& form) { return form.findChild<FontsColours*>(QString(), Qt::FindDirectChildrenOnly); }

void FontsColours::popup(QMenu* menu, const QPoint& global, float target)
{
    if (target != 0) f->state.Durum = target;
    menu->popup(global);
}

void FontsColours::buttonMenu(Salonya& form, const QPoint& global)
{
    if (FontsColours* fc = of(form)) fc->popup(fc->YazFnt, global, 0);
}

void FontsColours::frameMenu(Salonya& form, const QPoint& global)
{
    if (FontsColours* fc = of(form)) fc->popup(fc->Renk, global, 3);
}

void FontsColours::formMenu(Salonya& form, const QPoint& global)
{
    if (FontsColours* fc = of(form)) fc->popup(fc->Renk, global, 1);
}

void FontsColours::ZeminRenk_Click()
{
    f->state.Durum = 2;
    RenkSec_Click();
}

void FontsColours::RenkSec_Click()
{
    FormState& s = f->state;
    const int target = int(s.Durum);
    m_handling = true;
    const QWidget* shown = target == 1 ? static_cast<QWidget*>(f) : target == 2 ? static_cast<QWidget*>(f->Command1[0]) : f->UrunlerFrm;
    const std::optional<QColor> chosen = LookDialogs::current().chooseColour(f, Look::fromBgr(Look::backColor(shown)));
    m_handling = false;
    s.Durum = 0;
    if (!chosen || !chosen->isValid()) return; // cancelled: nothing changes
    const quint32 bgr = Look::toBgr(*chosen);
    QString key;
    switch (target) {
    case 1:
        Look::setBackColor(f, bgr);
        key = QStringLiteral("Salonya");
        break;
    case 2:
        for (QPushButton* b : std::as_const(f->Command1)) Look::setBackColor(b, bgr);
        key = QStringLiteral("ZeminRenk");
        break;
    case 3:
        for (QWidget* w : frames(*f)) Look::setBackColor(w, bgr);
        key = QStringLiteral("FrmRenk");
        break;
    default: return; // no target, nothing to save under
    }
    Settings::save(key, QString::number(bgr));
}

void FontsColours::YazFont_Click()
{
    // The family the buttons really show: a designed family that is not installed was replaced.
    QFont start = f->Command1[0]->font();
    start.setFamily(QFontInfo(start).family());
    start.setPointSizeF(start.pixelSize() > 0 ? start.pixelSize() / kPixelsPerPoint : start.pointSizeF());
    m_handling = true;
    const std::optional<QFont> chosen = LookDialogs::current().chooseFont(f, start);
    m_handling = false;
    if (!chosen) return;
    const double points = qBound(kSmallestPoints, chosen->pointSizeF() > 0 ? chosen->pointSizeF() : chosen->pixelSize() / kPixelsPerPoint,
                                 kLargestPoints);
    Settings::save(QStringLiteral("FontName"), chosen->family());
    Settings::save(QStringLiteral("FontSize"), QString::number(points));
    applyFonts(*f);
}

void FontsColours::applyFonts(Salonya& form)
{
    const QString name = Settings::get(QStringLiteral("FontName"));
    if (name.isEmpty() || form.Command1.isEmpty()) return;
    QPushButton* first = form.Command1[0];
    double points = Settings::toNumber(Settings::get(QStringLiteral("FontSize")), 0);
    if (!(points >= kSmallestPoints && points <= kLargestPoints)) points = first->font().pixelSize() / kPixelsPerPoint;
    // Qt's fonts are Unicode: the Turkish character set needs no number of its own.
    QFont font = first->font();
    font.setFamily(name);
    font.setPixelSize(qMax(1, qRound(points * kPixelsPerPoint)));
    first->setFont(font);
    for (int i = 1; i < form.Command1.size(); ++i) {
        QFont own = form.Command1[i]->font();
        own.setFamily(font.family());
        own.setPixelSize(font.pixelSize());
        form.Command1[i]->setFont(own);
    }
}

void FontsColours::restoreColours(Salonya& form)
{
    Look::setBackColor(&form, setting("Salonya", 0xFF00FF));
    const quint32 buttons = setting("ZeminRenk", 0xFFFF);
    for (QPushButton* b : std::as_const(form.Command1)) Look::setBackColor(b, buttons);
    const quint32 frameColour = setting("FrmRenk", 0x80);
    for (QWidget* w : frames(form)) Look::setBackColor(w, frameColour);
}
