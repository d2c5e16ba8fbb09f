#include "jet.h"

#include "turkish.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>

namespace Jet {

QString quote(const QString& value)
{
    QString v = value;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

QString dateLiteral(const QDate& d)
{
    return u'#' + d.toString(QStringLiteral("MM/dd/yyyy")) + u'#';
}

namespace {

// Name: a [bracketed] name, a column even when it reads as a keyword ([Not] is a note).
enum class Tok { Space, Ident, Name, String, Date, Number, Op, Bad };
struct Token {
    Tok kind;
    QString text; // for strings: the unquoted value
};

bool identChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

QList<Token> tokenize(const QString& s, QString* error)
{
    QList<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && s[j].isSpace()) ++j;
            out.append({Tok::Space, QStringLiteral(" ")});
            i = j;
        } else if (c == u'\'' || c == u'"') {
            QString v;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) { v.append(c); j += 2; continue; }
                    closed = true;
                    ++j;
                    break;
                }
                v.append(s[j++]);
            }
            if (!closed) { *error = QStringLiteral("kapanmamış metin: ") + s.mid(i); return {}; }
            out.append({Tok::String, v});
            i = j;
        } else if (c == u'#') {
            const qsizetype j = s.indexOf(u'#', i + 1);
            if (j < 0) { *error = QStringLiteral("kapanmamış tarih: ") + s.mid(i); return {}; }
            out.append({Tok::Date, s.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else if (c.isDigit()) {
            qsizetype j = i;
            while (j < n && (s[j].isDigit() || s[j] == u'.')) ++j;
            out.append({Tok::Number, s.mid(i, j - i)});
            i = j;
        } else if (identChar(c)) {
            qsizetype j = i;
            while (j < n && identChar(s[j])) ++j;
            out.append({Tok::Ident, s.mid(i, j - i)});
            i = j;
        } else if (c == u'[') {
            const qsizetype j = s.indexOf(u']', i + 1);
            if (j < 0) { *error = QStringLiteral("kapanmamış ad: ") + s.mid(i); return {}; }
            out.append({Tok::Name, s.mid(i + 1, j - i - 1)});
            i = j + 1;
        } else {
            static const QStringList two{QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
            const QString pair = s.mid(i, 2);
            if (two.contains(pair)) { out.append({Tok::Op, pair}); i += 2; }
            else { out.append({Tok::Op, QString(c)}); ++i; }
        }
    }
    return out;
}

const QSet<QString>& keywords()
{
    static const QSet<QString> k{
        QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where"), QStringLiteral("and"),
        QStringLiteral("or"), QStringLiteral("not"), QStringLiteral("order"), QStringLiteral("by"),
        QStringLiteral("asc"), QStringLiteral("desc"), QStringLiteral("like"), QStringLiteral("in"),
        QStringLiteral("is"), QStringLiteral("null"), QStringLiteral("between"), QStringLiteral("group"),
        QStringLiteral("having"), QStringLiteral("as"), QStringLiteral("distinct"), QStringLiteral("true"),
        QStringLiteral("false"), QStringLiteral("on"), QStringLiteral("join"), QStringLiteral("inner"),
        QStringLiteral("outer"), QStringLiteral("limit")};
    return k;
}

bool isKeyword(const Token& t) { return t.kind == Tok::Ident && keywords().contains(t.text.toLower()); }
bool isWord(const Token& t, const char* w) { return t.kind == Tok::Ident && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; }
bool isOp(const Token& t, const char* o) { return t.kind == Tok::Op && t.text == QLatin1String(o); }

// Jet dates are month/day/year; anything that does not parse stays a string so the query fails loudly.
QString isoDate(const QString& jet, bool* ok)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{2,4})\\s*$"));
    const auto m = re.match(jet);
    if (m.hasMatch()) {
        int y = m.captured(3).toInt();
        if (y < 100) y += y < 30 ? 2000 : 1900;
        const QDate d(y, m.captured(1).toInt(), m.captured(2).toInt());
        if (d.isValid()) { *ok = true; return d.toString(Qt::ISODate); }
    }
    const QDate iso = QDate::fromString(jet.trimmed(), Qt::ISODate);
    *ok = iso.isValid();
    return iso.toString(Qt::ISODate);
}

QString sqlIdent(const QString& name)
{
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

// Every spelling of a letter in either case the Turkish way, the letter itself first.
QList<char32_t> caseVariants(char32_t c)
{
    QList<char32_t> out{c};
    const char32_t f = Turkish::fold(c);
    auto add = [&](char32_t k) { if (!out.contains(k)) out << k; };
    add(f);
    for (char32_t k = 0x20; k < 0x300; ++k)
        if (Turkish::fold(k) == f) add(k);
    if (f <= 0xFFFF) add(QChar(char16_t(f)).toUpper().unicode());
    return out;
}

// The spellings of a text in every mix of cases; empty when there are more than at most.
QStringList caseSpellings(const QString& text, qsizetype atMost)
{
    QStringList out{QString()};
    for (const uint c : text.toUcs4()) {
        const QList<char32_t> v = caseVariants(c);
        if (out.size() * v.size() > atMost) return {};
        QStringList next;
        for (const QString& s : std::as_const(out))
            for (const char32_t k : v) next << s + QString::fromUcs4(&k, 1);
        out = next;
    }
    return out;
}

} // namespace

QString likeRegex(const QString& pattern)
{
    auto lit = [](char32_t c) {
        const QString s = QString::fromUcs4(&c, 1);
        static const QString special = QStringLiteral("\\^$.|?*+()[]{}-");
        return special.contains(s) ? u'\\' + s : s;
    };
    // Every spelling of a letter in either case, so the server matches byte-wise with no case mapping
    // of its own per row (its Turkish lower() costs microseconds a row).
    auto cases = [&](char32_t c, QSet<char32_t>* seen) {
        QString out;
        for (const char32_t k : caseVariants(c))
            if (!seen->contains(k)) { seen->insert(k); out += lit(k); }
        return out;
    };
    QString out = QStringLiteral("^");
    const QList<uint> p = pattern.toUcs4();
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == U'*') { out += QStringLiteral(".*"); continue; }
        if (c == U'?') { out += u'.'; continue; }
        if (c == U'#') { out += QStringLiteral("[0-9]"); continue; }
        const qsizetype close = c == U'[' ? p.indexOf(uint(U']'), i + 2) : -1;
        if (close < 0) {
            QSet<char32_t> seen;
            const QString any = cases(c, &seen);
            out += seen.size() == 1 ? any : u'[' + any + u']';
            continue;
        }
        // A set: ranges follow the Turkish alphabet, so they are spelt out letter by letter.
        qsizetype j = i + 1;
        QString set = QStringLiteral("[");
        if (p[j] == U'!') { set += u'^'; ++j; }
        QSet<char32_t> seen;
        for (; j < close; ++j) {
            if (j + 2 < close && p[j + 1] == U'-') {
                const uint32_t lo = Turkish::weight(p[j]), hi = Turkish::weight(p[j + 2]);
                for (char32_t k = 0x20; k < 0x300; ++k) {
                    const uint32_t w = Turkish::weight(k);
                    if (w >= lo && w <= hi && !seen.contains(k)) set += cases(k, &seen);
                }
                j += 2;
            } else {
                set += cases(p[j], &seen);
            }
        }
        out += set + u']';
        i = close;
    }
    return out + u'$';
}

Sql translate(const QString& jet, Dialect dialect)
{
    Sql out;
    QString err;
    const QList<Token> raw = tokenize(jet, &err);
    if (!err.isEmpty()) { out.ok = false; out.error = err; return out; }
    // Work on significant tokens; blanks are re-inserted between them.
    QList<Token> t;
    for (const Token& tok : raw)
        if (tok.kind != Tok::Space) t.append(tok);

    auto prevIsConditionStart = [&](qsizetype i) {
        if (i == 0) return true;
        const Token& p = t[i - 1];
        return isWord(p, "where") || isWord(p, "and") || isWord(p, "or") || isWord(p, "not") || isOp(p, "(");
    };
    auto nextIsConditionEnd = [&](qsizetype i) {
        if (i + 1 >= t.size()) return true;
        const Token& n = t[i + 1];
        return isWord(n, "and") || isWord(n, "or") || isWord(n, "order") || isWord(n, "group") || isOp(n, ")");
    };

    // Text compares and sorts the Turkish way whatever the column was declared with (the accounting
    // files know no Turkish collation): sort and group terms, In lists and column-to-column compares
    // get it explicitly; a literal carries it already.
    auto isComparison = [](const Token& k) {
        return k.kind == Tok::Op && (k.text == u"=" || k.text == u"<" || k.text == u">" || k.text == u"<="
                                     || k.text == u">=" || k.text == u"<>");
    };
    auto columnFollows = [&](qsizetype j) {
        return j < t.size() && (t[j].kind == Tok::Name || (t[j].kind == Tok::Ident && !isKeyword(t[j]))) && !(j + 1 < t.size() && isOp(t[j + 1], "("));
    };
    bool sorting = false;
    QStringList parts;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.kind == Tok::Ident && i > 0 && isWord(tok, "by") && (isWord(t[i - 1], "order") || isWord(t[i - 1], "group")))
            sorting = true;
        else if (isWord(tok, "having") || isWord(tok, "limit") || isWord(tok, "where"))
            sorting = false;
        switch (tok.kind) {
        case Tok::String:
            parts << QStringLiteral("? COLLATE TR");
            out.params << tok.text;
            break;
        case Tok::Date: {
            bool ok = false;
            const QString iso = isoDate(tok.text, &ok);
            if (!ok) { out.ok = false; out.error = QStringLiteral("geçersiz tarih: #") + tok.text + u'#'; return out; }
            parts << QStringLiteral("?");
            out.params << iso;
            break;
        }
        case Tok::Number:
            parts << tok.text;
            break;
        case Tok::Op:
            // Anything after a ';' would be cut off by SQLite: the text cannot be run whole.
            if (tok.text == u";") { out.ok = false; out.error = QStringLiteral("çevrilemeyen ifade: ") + jet; return out; }
            parts << (tok.text == u"&" ? QStringLiteral("||") : tok.text);
            break;
        case Tok::Ident:
        case Tok::Name: {
            if (isWord(tok, "true")) { parts << QStringLiteral("1"); break; }
            if (isWord(tok, "false")) { parts << QStringLiteral("0"); break; }
            const bool call = tok.kind == Tok::Ident && i + 1 < t.size() && isOp(t[i + 1], "(");
            if (call) {
                parts << (isWord(tok, "left") ? QStringLiteral("jetleft") : tok.text);
                break;
            }
            if (isKeyword(tok)) { parts << tok.text; break; }
            // column Like 'pattern'
            if (i + 2 < t.size() && isWord(t[i + 1], "like") && t[i + 2].kind == Tok::String) {
                const QString col = sqlIdent(tok.text);
                const QString pattern = t[i + 2].text;
                const QString head = Turkish::likePrefix(pattern);
                if (dialect == Dialect::Postgres) {
                    // The server refuses Like on a case-blind collation: a regular expression spelling out both
                    // cases does it, byte-wise, with the index range of the literal head (U+FFFF sorts after
                    // every letter there).
                    const QString match = QStringLiteral("CAST(%1 AS text) COLLATE ucs_basic ~ ?").arg(col);
                    if (head.isEmpty()) {
                        parts << match;
                        out.params << likeRegex(pattern);
                    } else if (const QStringList spellings = pattern == head + u'*' ? caseSpellings(head, 16) : QStringList();
                               !spellings.isEmpty()) {
                        // A plain prefix (a search's first keys, which match the most rows): its spellings
                        // compared whole cost far less per row than a regular expression.
                        parts << QStringLiteral("(%1 >= ? AND %1 < ? AND left(CAST(%1 AS text), %2) COLLATE ucs_basic IN (%3))")
                                     .arg(col).arg(head.toUcs4().size()).arg(QStringList(spellings.size(), QStringLiteral("?")).join(u','));
                        out.params << head << head + QChar(0xFFFF);
                        for (const QString& s : spellings) out.params << s;
                    } else {
                        parts << QStringLiteral("(%1 >= ? AND %1 < ? AND %2)").arg(col, match);
                        out.params << head << head + QChar(0xFFFF) << likeRegex(pattern);
                    }
                    i += 2;
                    break;
                }
                if (!head.isEmpty()) {
                    parts << QStringLiteral("(%1 >= ? COLLATE TR AND %1 < ? COLLATE TR AND %1 LIKE ?)").arg(col);
                    out.params << head << head + QChar(0xDBFF) + QChar(0xDFFF) << pattern;
                } else {
                    parts << col + QStringLiteral(" LIKE ?");
                    out.params << pattern;
                }
                i += 2;
                break;
            }
            const bool dotted = (i + 1 < t.size() && isOp(t[i + 1], ".")) || (i > 0 && isOp(t[i - 1], "."));
            if (!dotted && prevIsConditionStart(i) && nextIsConditionEnd(i)) {
                parts << QStringLiteral("(%1<>0)").arg(sqlIdent(tok.text));
                break;
            }
            const bool qualified = i + 1 < t.size() && isOp(t[i + 1], ".");
            const bool turkish = !qualified
                && (sorting || (i + 1 < t.size() && isWord(t[i + 1], "in"))
                    || (i + 1 < t.size() && isComparison(t[i + 1]) && columnFollows(i + 2)));
            parts << (turkish ? sqlIdent(tok.text) + QStringLiteral(" COLLATE TR") : sqlIdent(tok.text));
            break;
        }
        case Tok::Space:
        case Tok::Bad:
            break;
        }
    }
    out.text = parts.join(u' ');
    return out;
}

RecordSource parseRecordSource(const QString& jet, Dialect dialect)
{
    RecordSource rs;
    static const QRegularExpression select(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\[[^\\]]+\\]|[\\w]+)(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression bare(QStringLiteral("^\\s*(\\[[^\\]]+\\]|[\\w]+)\\s*$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    QString tail;
    if (const auto m = select.match(jet); m.hasMatch()) {
        rs.table = m.captured(1);
        tail = m.captured(2);
    } else if (const auto b = bare.match(jet); b.hasMatch()) {
        rs.table = b.captured(1);
    } else {
        rs.error = QStringLiteral("kayıt kaynağı okunamadı: ") + jet;
        return rs;
    }
    if (rs.table.startsWith(u'[')) rs.table = rs.table.mid(1, rs.table.size() - 2);
    rs.tail = translate(tail, dialect);
    rs.ok = rs.tail.ok;
    rs.error = rs.tail.error;
    return rs;
}

} // namespace Jet
