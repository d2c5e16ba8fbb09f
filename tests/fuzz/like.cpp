// Jet Like against a plain backtracking matcher, on Turkish text in any case; a text the pattern
// matches also lies in the index range the translator narrows Like with (its literal head).
#include "data/turkish.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QString kLetters = QStringLiteral("aAbBcCçÇgGğĞıIiİoOöÖsSşŞuUüÜâÂîÎxX059 '-]!");

struct Element {
    enum Kind { Char, Star, One, Digit, Set } kind;
    QChar c;
    bool negate = false;
    std::vector<std::pair<QChar, QChar>> items; // a single character is a range of one with first == second
};

bool one(const Element& e, QChar t)
{
    switch (e.kind) {
    case Element::One: return true;
    case Element::Digit: return t >= u'0' && t <= u'9';
    case Element::Char: return Turkish::fold(e.c.unicode()) == Turkish::fold(t.unicode());
    case Element::Set: {
        bool hit = false;
        for (const auto& [lo, hi] : e.items)
            hit = hit || (lo == hi ? Turkish::fold(lo.unicode()) == Turkish::fold(t.unicode())
                                   : Turkish::weight(lo.unicode()) <= Turkish::weight(t.unicode())
                                         && Turkish::weight(t.unicode()) <= Turkish::weight(hi.unicode()));
        return hit != e.negate;
    }
    case Element::Star: break;
    }
    return false;
}

// Tries every split at every star; failed (element, position) pairs are remembered so runs of stars stay cheap.
bool reference(const std::vector<Element>& p, size_t k, const QString& t, qsizetype j, std::vector<char>& failed)
{
    char& seen = failed[k * (t.size() + 1) + j];
    if (seen) return false;
    bool hit;
    if (k == p.size()) hit = j == t.size();
    else if (p[k].kind == Element::Star) {
        hit = false;
        for (qsizetype m = j; m <= t.size() && !hit; ++m) hit = reference(p, k + 1, t, m, failed);
    } else hit = j < t.size() && one(p[k], t[j]) && reference(p, k + 1, t, j + 1, failed);
    seen = !hit;
    return hit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    auto letter = [&] { return kLetters[in.ConsumeIntegralInRange<qsizetype>(0, kLetters.size() - 4)]; }; // no ' - ] !
    std::vector<Element> elements(in.ConsumeIntegralInRange(0, 12));
    QString pattern;
    for (Element& e : elements) {
        e.kind = Element::Kind(in.ConsumeIntegralInRange(0, 4));
        if (e.kind == Element::Char) { e.c = letter(); pattern += e.c; }
        else if (e.kind == Element::Star) pattern += u'*';
        else if (e.kind == Element::One) pattern += u'?';
        else if (e.kind == Element::Digit) pattern += u'#';
        else {
            e.negate = in.ConsumeBool();
            pattern += e.negate ? QStringLiteral("[!") : QStringLiteral("[");
            for (int n = in.ConsumeIntegralInRange(1, 3); n > 0; --n) {
                const QChar lo = letter(), hi = in.ConsumeBool() ? letter() : lo;
                e.items.emplace_back(lo, hi);
                pattern += lo == hi ? QString(lo) : QString(lo) + u'-' + hi;
            }
            pattern += u']';
        }
    }
    QString text;
    for (int n = in.ConsumeIntegralInRange(0, 24); n > 0; --n)
        text += in.ConsumeBool() ? kLetters[in.ConsumeIntegralInRange<qsizetype>(0, kLetters.size() - 1)]
                                 : QChar(in.ConsumeIntegralInRange<char16_t>(0x20, 0xD7FF));

    std::vector<char> failed((elements.size() + 1) * (text.size() + 1));
    const bool expected = reference(elements, 0, text, 0, failed);
    const bool got = Turkish::like(pattern, text);
    if (got != expected) {
        std::fprintf(stderr, "Like '%s' on '%s': %d, expected %d\n", qPrintable(pattern), qPrintable(text), got, expected);
        std::abort();
    }
    const QString head = Turkish::likePrefix(pattern);
    if (got && (Turkish::compare(text, head) < 0 || Turkish::compare(text, head + QChar(0xDBFF) + QChar(0xDFFF)) >= 0)) {
        std::fprintf(stderr, "'%s' matches '%s' outside the range of its head '%s'\n", qPrintable(text), qPrintable(pattern),
                     qPrintable(head));
        std::abort();
    }
    return 0;
}
