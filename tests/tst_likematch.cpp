// Jet Like matching as the keyboard search uses it: Turkish case folding, the wildcards, and patterns
// a user can type that would make a backtracking matcher run for minutes.
#include "data/turkish.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Reference: the pattern split into elements, then plain dynamic programming over (element, char).
struct Element {
    enum Kind { Star, Any, Digit, Set, Letter } kind;
    QString chars; // letter or set members
    bool negated = false;
};

QList<Element> elements(const QString& p)
{
    QList<Element> out;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'*') out.append(Element{Element::Star, {}});
        else if (c == u'?') out.append(Element{Element::Any, {}});
        else if (c == u'#') out.append(Element{Element::Digit, {}});
        else if (c == u'[') {
            const qsizetype end = p.indexOf(u']', i + 2);
            Element e{Element::Set, p.mid(i + 1, end - i - 1)};
            if (e.chars.startsWith(u'!')) { e.negated = true; e.chars.remove(0, 1); }
            out.append(e);
            i = end;
        } else out.append(Element{Element::Letter, QString(c)});
    }
    return out;
}

bool same(QChar a, QChar b) { return Turkish::toLower(QString(a)) == Turkish::toLower(QString(b)); }

bool reference(const QString& pattern, const QString& text)
{
    const QList<Element> e = elements(pattern);
    // m[i][j]: the first i elements match the first j characters.
    std::vector<std::vector<bool>> m(e.size() + 1, std::vector<bool>(text.size() + 1, false));
    m[0][0] = true;
    for (qsizetype i = 1; i <= e.size(); ++i) {
        for (qsizetype j = 0; j <= text.size(); ++j) {
            const Element& el = e[i - 1];
            if (el.kind == Element::Star) { m[i][j] = m[i - 1][j] || (j > 0 && m[i][j - 1]); continue; }
            if (j == 0) continue;
            const QChar c = text[j - 1];
            bool one = false;
            switch (el.kind) {
            case Element::Any: one = true; break;
            case Element::Digit: one = c.isDigit(); break;
            case Element::Letter: one = same(el.chars[0], c); break;
            case Element::Set: {
                bool hit = false;
                for (QChar s : el.chars) hit = hit || same(s, c);
                one = hit != el.negated;
                break;
            }
            case Element::Star: break;
            }
            m[i][j] = one && m[i - 1][j - 1];
        }
    }
    return m[e.size()][text.size()];
}

} // namespace

class TestLikeMatch : public QObject
{
    Q_OBJECT

private slots:
    void cases_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("prefix, Turkish case") << "ayş*" << "AYŞE YILMAZ" << true;
        QTest::newRow("I pairs with ı") << "IŞIK*" << "ışık" << true;
        QTest::newRow("I is not İ") << "I*" << "İpek" << false;
        QTest::newRow("? takes one letter") << "Al?*" << "ALİ VURAL" << true;
        QTest::newRow("? needs a letter") << "Ali?" << "Ali" << false;
        QTest::newRow("star in the middle") << "A*z*" << "AYŞE YILMAZ" << true;
        QTest::newRow("star needs the tail") << "A*q" << "AYŞE YILMAZ" << false;
        QTest::newRow("digit") << "Gül#" << "Gül2" << true;
        QTest::newRow("set") << "[CÇ]*" << "çiğdem" << true;
        QTest::newRow("negated set") << "[!CÇ]*" << "çiğdem" << false;
        QTest::newRow("apostrophe is a letter") << "D'an*" << "D'ANGELO MARCO" << true;
        // Typed on the keys: every star would multiply a backtracking matcher's work.
        QTest::newRow("many stars, no match") << QString("*a").repeated(14) + "*b" << QString(40, u'a') << false;
        QTest::newRow("many stars, match") << QString("*a").repeated(14) + "*b" << QString(40, u'a') + "b" << true;
    }
    void cases()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(Turkish::like(pattern, text), matches);
        QCOMPARE(reference(pattern, text), matches);
    }

    void agreesWithTheReference()
    {
        // Small alphabets make every kind of overlap between elements likely.
        const QStringList pieces{"a", "b", "ı", "I", "?", "*", "#", "[ab]", "[!a]", "1"};
        const QString letters = QStringLiteral("abAıIi1");
        QRandomGenerator rng(42);
        for (int n = 0; n < 5000; ++n) {
            QString p, t;
            const int pl = rng.bounded(7), tl = rng.bounded(9);
            for (int i = 0; i < pl; ++i) p += pieces[rng.bounded(int(pieces.size()))];
            for (int i = 0; i < tl; ++i) t += letters[rng.bounded(int(letters.size()))];
            if (Turkish::like(p, t) != reference(p, t))
                QFAIL(qPrintable(QStringLiteral("'%1' Like '%2'").arg(t, p)));
        }
    }
};

QTEST_MAIN(TestLikeMatch)
#include "tst_likematch.moc"
