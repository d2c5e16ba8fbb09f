#include "keyboardsearch.h"

#include "app/salonya.h"
#include "data/datasource.h"
#include "data/jet.h"
#include "data/turkish.h"
#include "ui/feedback.h"
#include "ui/textbox.h"
#include "ui/touchlist.h"

namespace {
const QString kCari = QStringLiteral("CariKartlar");
const QString kEleman = QStringLiteral("Eleman");
const QString kStok = QStringLiteral("StokKartlar");
const QString kBoya = QStringLiteral("Boya");
const QString kMiktar = QStringLiteral("Miktar");
} // namespace

KeyboardSearch::KeyboardSearch(Salonya* form, QObject* parent) : QObject(parent), f(*form)
{
    setObjectName(QStringLiteral("KeyboardSearch"));
    connect(f.KlvTxt, &TextBox::textChanged, this, &KeyboardSearch::bufferChanged);
}

QString KeyboardSearch::pattern(const QString& text)
{
    if (text.size() <= 1) return text;
    QString p = text;
    for (qsizetype i = 1; i < p.size(); ++i)
        if (p[i] == u'İ' || p[i] == u'ı' || p[i] == u'i' || p[i] == u'I') p[i] = u'?';
    return p;
}

QString KeyboardSearch::searchSource(const QString& kind, const QString& pattern)
{
    // The typed text may hold a quote (a physical keyboard); quoting keeps it a searched character.
    const QString like = Jet::quote(pattern + u'*');
    // Only customer cards: an employee picked here would be a customer that Text2's Enter cannot find again.
    if (kind == kCari)
        return QStringLiteral("Select * From CariKartlar Where Unvan Like ") + like + QStringLiteral(" And Gurup='Müşteri' Order By Unvan Asc");
    if (kind == kEleman) return QStringLiteral("Select * From Eleman Where Eleman Like ") + like + QStringLiteral(" Order By Eleman Asc");
    if (kind == kStok) return QStringLiteral("Select * From StokKartlar Where StokAdi Like ") + like + QStringLiteral(" Order By StokAdi Asc");
    // The dye frame weighs dyes only: a service picked there would be priced per 100 g.
    if (kind == kBoya)
        return QStringLiteral("Select * From StokKartlar Where Gurup='Boya' And StokAdi Like ") + like + QStringLiteral(" Order By StokAdi Asc");
    return {};
}

QString KeyboardSearch::resetSource(const QString& kind)
{
    if (kind == kCari) return QStringLiteral("Select * From CariKartlar Where Gurup='Müşteri' Order By Unvan Asc");
    if (kind == kEleman) return QStringLiteral("Select * From Eleman Order By Eleman Asc");
    return {};
}

bool KeyboardSearch::requery(DataSource* ds)
{
    if (ds->refresh()) {
        m_shownFailure.clear();
        return true;
    }
    if (ds->lastError() != m_shownFailure) {
        m_shownFailure = ds->lastError();
        Feedback::message(&f, Feedback::Icon::Warning, QStringLiteral("Arama"),
                          QStringLiteral("Liste okunamadı, arama yapılamadı.\n%1").arg(m_shownFailure));
    }
    return false;
}

void KeyboardSearch::bufferChanged()
{
    FormState& s = f.state;
    TextBox* target = s.AktifText;
    QString text = f.KlvTxt->text();
    bool recased = false;

    // Typed on a physical keyboard, the buffer can outgrow the field; the field's limit wins.
    if (target && target->designMaxLength() > 0 && text.size() > target->designMaxLength()) {
        f.KlvTxt->setText(text.left(target->designMaxLength()));
        return;
    }
    if (!s.CapsDurum) {
        const QString proper = Turkish::properCase(text);
        if (proper != text) {
            m_searchedInside = false;
            f.KlvTxt->setText(proper); // handled again with the converted text, then once more here
            text = proper;
            recased = true;
        }
    }
    if (target) target->setText(text);
    if (text.isEmpty() || s.AktifAlan.isEmpty()) return;
    if (target) target->setCursorPosition(int(text.size()));
    if (s.AktifAlan == kMiktar) return;
    if (text == u"*") return;

    const QString kind = s.AktifAlan;
    DataSource* ds = s.AktifData;
    const QString source = searchSource(kind, pattern(text));
    if (!ds || source.isEmpty()) return;
    // The converted text was searched when it was set: the list is that search's already, and a
    // second read would only reset and repaint it.
    if (!(recased && m_searchedInside && ds->recordSource() == source)) {
        ds->setRecordSource(source);
        if (!requery(ds)) return;
        m_searchedInside = true;
    }

    if (kind == kBoya) {
        const bool found = ds->recordCount() > 0;
        if (found) {
            f.DBListe3->setText(ds->field(1).toString());
        } else {
            f.KlvTxt->clear();
            f.Text3->clear();
        }
        f.DBListe3->setEnabled(found);
    }

    // The customer list's visibility decides for every kind.
    const int n = ds->recordCount();
    if (f.DBListe1->isHidden() && n != 0) {
        if (kind == kEleman) f.DBListe2->show();
        else if (kind == kCari) f.DBListe1->show();
        return;
    }
    if (n == 0) {
        if (kind == kEleman) {
            ds->setRecordSource(resetSource(kind));
            f.DBListe2->hide();
        } else if (kind == kCari) {
            ds->setRecordSource(resetSource(kind));
            f.DBListe1->hide();
        }
        requery(ds);
        return;
    }
    // Matches with the list open: the first match is highlighted.
    if (kind == kCari) f.DBListe1->setText(ds->field(1).toString());
    else if (kind == kStok || kind == kBoya) f.DBListe3->setText(ds->field(1).toString());
    else if (kind == kEleman) f.DBListe2->setText(ds->field(0).toString());
}
