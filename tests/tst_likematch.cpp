// Jet Like matching as the keyboard search uses it: Turkish case folding, the wildcards, and patterns
// a user can type that would make a backtracking matcher run for minutes. Conditions through SQL are
// in tst_jet; here the matcher itself against a plain reference.
#include "data/turkish.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

bool same(QChar a, QChar b) { return Turkish::toLower(QString(a)) == Turkish::toLower(QString(b)); }

// One pattern element (letter, ?, #, [set]) against one character; i moves past the element.
bool one(const QString& p, qsizetype& i, QChar c)
{
    const QChar e = p[i++];
    if (e == u'?') return true;
    if (e == u'#') return c.isDigit();
    if (e != u'[') return same(e, c);
    const qsizetype end = p.indexOf(u']', i + 1);
    QString set = p.mid(i, end - i);
    i = end + 1;
    const bool negated = set.startsWith(u'!');
    bool hit = false;
    for (QChar s : set.mid(negated ? 1 : 0)) hit = hit || same(s, c);
    return hit != negated;
}

// Plain recursion over pattern and text: slow, obviously right.
bool reference(const QString& p, qsizetype pi, const QString& t, qsizetype ti)
{
    if (pi == p.size()) return ti == t.size();
    if (p[pi] == u'*') return reference(p, pi + 1, t, ti) || (ti < t.size() && reference(p, pi, t, ti + 1));
    if (ti == t.size()) return false;
    qsizetype next = pi;
    return one(p, next, t[ti]) && reference(p, next, t, ti + 1);
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
        QTest::newRow("I is not İ") << "I*" << "İpek" << false;
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
            if (Turkish::like(p, t) != reference(p, 0, t, 0))
                QFAIL(qPrintable(QStringLiteral("'%1' Like '%2'").arg(t, p)));
        }
    }
};

QTEST_MAIN(TestLikeMatch)
#include "tst_likematch.moc"
