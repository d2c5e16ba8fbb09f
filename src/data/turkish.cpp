#include "turkish.h"

#include <array>
#include <vector>

namespace Turkish {
namespace {

// Letters of the alphabet in order; q, w and x follow p, v and w as Turkish dictionaries place them.
constexpr std::u32string_view kAlphabet = U"abcçdefgğhıijklmnoöpqrsştuüvwxyz";
constexpr uint32_t kLetterBase = 0x1000;
constexpr uint32_t kOtherBase = 0x2000;

struct AsciiTable {
    std::array<uint32_t, 128> w{};
    constexpr AsciiTable()
    {
        for (uint32_t c = 0; c < 128; ++c)
            w[c] = c; // space, digits, punctuation sort before letters
        for (size_t i = 0; i < kAlphabet.size(); ++i) {
            const char32_t l = kAlphabet[i];
            if (l < 128) {
                w[l] = kLetterBase + uint32_t(i);
                if (l != U'i')
                    w[l - 32] = kLetterBase + uint32_t(i);
            }
        }
        // Upper-case I is the capital of dotless ı, not of i.
        w[U'I'] = kLetterBase + uint32_t(kAlphabet.find(U'ı'));
    }
};
constexpr AsciiTable kAscii;

uint32_t letterWeight(char32_t folded)
{
    const auto pos = kAlphabet.find(folded);
    return pos == std::u32string_view::npos ? 0 : kLetterBase + uint32_t(pos);
}

// Decodes one UTF-8 sequence; malformed bytes come back as themselves so nothing is lost.
inline char32_t next(std::string_view s, size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) { ++i; return b0; }
    auto cont = [&](size_t k) { return i + k < s.size() ? (static_cast<unsigned char>(s[i + k]) & 0x3F) : 0u; };
    if ((b0 & 0xE0) == 0xC0 && i + 1 < s.size()) { char32_t c = ((b0 & 0x1F) << 6) | cont(1); i += 2; return c; }
    if ((b0 & 0xF0) == 0xE0 && i + 2 < s.size()) { char32_t c = ((b0 & 0x0F) << 12) | (cont(1) << 6) | cont(2); i += 3; return c; }
    if ((b0 & 0xF8) == 0xF0 && i + 3 < s.size()) {
        char32_t c = ((b0 & 0x07) << 18) | (cont(1) << 12) | (cont(2) << 6) | cont(3);
        i += 4;
        return c;
    }
    ++i;
    return b0;
}

// Into a buffer the caller keeps: Like runs once per row of a search, so no allocation per row.
void decodeInto(std::string_view s, std::u32string& out)
{
    out.clear();
    for (size_t i = 0; i < s.size();)
        out.push_back(next(s, i));
}

bool inSet(const std::u32string& p, size_t& i, char32_t c)
{
    // p[i] is just past '['; on return i is just past ']'.
    bool negate = false;
    if (i < p.size() && p[i] == U'!') { negate = true; ++i; }
    bool hit = false;
    const char32_t fc = fold(c);
    bool first = true;
    while (i < p.size() && (p[i] != U']' || first)) {
        first = false;
        char32_t lo = p[i++];
        if (i + 1 < p.size() && p[i] == U'-' && p[i + 1] != U']') {
            const char32_t hi = p[i + 1];
            i += 2;
            if (weight(c) >= weight(lo) && weight(c) <= weight(hi)) hit = true;
        } else if (fold(lo) == fc) {
            hit = true;
        }
    }
    if (i < p.size()) ++i; // the closing ]
    return hit != negate;
}

// One element of the pattern (a letter, ?, # or a [..] set) against one character; pi moves past it.
bool matchOne(const std::u32string& p, size_t& pi, char32_t c)
{
    const char32_t pc = p[pi];
    if (pc == U'[') {
        size_t k = pi + 1;
        const bool hit = inSet(p, k, c);
        pi = k;
        return hit;
    }
    ++pi;
    if (pc == U'?') return true;
    if (pc == U'#') return c >= U'0' && c <= U'9';
    return fold(pc) == fold(c);
}

// Every element but * takes exactly one character, so on a mismatch only the last * has to take one
// character more: the match stays linear in pattern and text, whatever a user types ("*a*a*a*a*...").
bool match(const std::u32string& p, const std::u32string& t)
{
    constexpr size_t none = size_t(-1);
    size_t pi = 0, ti = 0;
    size_t starP = none, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            while (pi < p.size() && p[pi] == U'*') ++pi;
            starP = pi;
            starT = ti;
            continue;
        }
        size_t next = pi;
        if (pi < p.size() && matchOne(p, next, t[ti])) {
            pi = next;
            ++ti;
            continue;
        }
        if (starP == none) return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < p.size() && p[pi] == U'*') ++pi;
    return pi == p.size();
}

} // namespace

namespace {
char32_t foldSlow(char32_t c);
uint32_t weightSlow(char32_t c);

// Latin letters up to U+02FF, Turkish ones among them, are looked up: the collation and Like run
// these per character of every compared text.
struct Tables {
    static constexpr char32_t size = 0x300;
    std::array<char32_t, size> fold{};
    std::array<uint32_t, size> weight{};
    Tables()
    {
        for (char32_t c = 0; c < size; ++c) {
            fold[c] = foldSlow(c);
            weight[c] = weightSlow(c);
        }
    }
};
const Tables& tables()
{
    static const Tables t;
    return t;
}
} // namespace

char32_t fold(char32_t c) { return c < Tables::size ? tables().fold[c] : foldSlow(c); }
uint32_t weight(char32_t c) { return c < Tables::size ? tables().weight[c] : weightSlow(c); }

namespace {
char32_t foldSlow(char32_t c)
{
    if (c < 128) {
        if (c == U'I') return U'ı';
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    }
    switch (c) {
    case U'İ': return U'i';
    case U'Ç': return U'ç';
    case U'Ğ': return U'ğ';
    case U'Ö': return U'ö';
    case U'Ş': return U'ş';
    case U'Ü': return U'ü';
    default: break;
    }
    if (c <= 0xFFFF) return QChar(char16_t(c)).toLower().unicode();
    return c;
}

uint32_t weightSlow(char32_t c)
{
    if (c < 128) return kAscii.w[c];
    char32_t f = foldSlow(c);
    // The circumflexed vowels of loanwords are the plain letters in the alphabet's order.
    if (f == U'â') f = U'a';
    else if (f == U'î') f = U'i';
    else if (f == U'û') f = U'u';
    if (const uint32_t w = letterWeight(f)) return w;
    return kOtherBase + f;
}
} // namespace

std::string sortKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size() * 3);
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const uint32_t w = b < 0x80 ? kAscii.w[b] : weight(next(utf8, i));
        if (b < 0x80) ++i;
        // Three bytes, most significant first: byte order is weight order, and a shorter key that is
        // the head of a longer one sorts first, as in compareUtf8.
        key.push_back(char(w >> 16));
        key.push_back(char((w >> 8) & 0xFF));
        key.push_back(char(w & 0xFF));
    }
    return key;
}

int compareUtf8(std::string_view a, std::string_view b)
{
    if (a == b) return 0; // a group or a code compared with itself, once per row of a scan
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        uint32_t wa, wb;
        if (ca < 0x80 && cb < 0x80) {
            wa = kAscii.w[ca]; wb = kAscii.w[cb]; ++i; ++j;
        } else {
            wa = weight(next(a, i)); wb = weight(next(b, j));
        }
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int compare(const QString& a, const QString& b)
{
    const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
    return compareUtf8({ua.constData(), size_t(ua.size())}, {ub.constData(), size_t(ub.size())});
}

bool likeUtf8(std::string_view pattern, std::string_view text)
{
    thread_local std::u32string p, t;
    decodeInto(pattern, p);
    // A head of one-character elements followed by nothing but * (every typed search): only as many
    // characters of the text as the head has are looked at.
    const size_t star = p.find(U'*');
    if (star != std::u32string::npos && p.find(U'[') > star && p.find_first_not_of(U'*', star) == std::u32string::npos) {
        size_t pi = 0, ti = 0;
        while (pi < star) {
            if (ti >= text.size() || !matchOne(p, pi, next(text, ti))) return false;
        }
        return true;
    }
    decodeInto(text, t);
    return match(p, t);
}

bool like(const QString& pattern, const QString& text)
{
    const QByteArray p = pattern.toUtf8(), t = text.toUtf8();
    return likeUtf8({p.constData(), size_t(p.size())}, {t.constData(), size_t(t.size())});
}

QString likePrefix(const QString& pattern)
{
    QString out;
    for (const QChar ch : pattern) {
        if (ch == u'*' || ch == u'?' || ch == u'#' || ch == u'[') break;
        out.append(ch);
    }
    return out;
}

QString toUpper(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar ch : s) {
        if (ch == u'i') out.append(u'İ');
        else if (ch == u'ı') out.append(u'I');
        else out.append(ch.toUpper());
    }
    return out;
}

QString toLower(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar ch : s) {
        if (ch == u'I') out.append(u'ı');
        else if (ch == u'İ') out.append(u'i');
        else out.append(ch.toLower());
    }
    return out;
}

QString properCase(const QString& s)
{
    QString out;
    out.reserve(s.size());
    bool wordStart = true;
    for (const QChar ch : s) {
        const QString one(ch);
        out.append(wordStart ? toUpper(one) : toLower(one));
        wordStart = ch.isSpace();
    }
    return out;
}

} // namespace Turkish
