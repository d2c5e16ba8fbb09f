// Jet Like against a plain backtracking matcher on Turkish text in any case; a match lies in the index range of its literal head.
#include "data/turkish.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

bool same(QChar a, QChar b) { return Turkish::fold(a.unicode()) == Turkish::fold(b.unicode()); }

// A set's inside, "!" first to negate: letters, or ranges by alphabet weight.
bool inSet(QStringView s, QChar c)
{
    const bool negate = s.startsWith(u'!');
    bool hit = false;
    for (qsizetype i = negate; i < s.size(); ++i) {
        if (i + 2 < s.size() && s[i + 1] == u'-') {
            const auto w = Turkish::weight(c.unicode());
            hit = hit || (Turkish::weight(s[i].unicode()) <= w && w <= Turkish::weight(s[i + 2].unicode()));
            i += 2;
        } else hit = hit || same(s[i], c);
    }
    return hit != negate;
}

// Every split at every star, tried in turn.
bool reference(QStringView p, QStringView t)
{
    if (p.isEmpty()) return t.isEmpty();
    for (qsizetype m = 0; p[0] == u'*' && m <= t.size(); ++m)
        if (reference(p.mid(1), t.mid(m))) return true;
    if (p[0] == u'*') return false;
    if (t.isEmpty()) return false;
    const qsizetype len = p[0] == u'[' ? p.indexOf(u']') + 1 : 1;
    const bool hit = p[0] == u'?' || (p[0] == u'#' && t[0] >= u'0' && t[0] <= u'9')
                     || (p[0] == u'[' && inSet(p.mid(1, len - 2), t[0])) || (QStringLiteral("?#[").indexOf(p[0]) < 0 && same(p[0], t[0]));
    return hit && reference(p.mid(len), t.mid(1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString letters = QStringLiteral("aAbBcCçÇgGğĞıIiİoOöÖsSşŞuUüÜâÂîÎxX059 '");
    FuzzedDataProvider in(data, size);
    auto letter = [&] { return letters[in.ConsumeIntegralInRange<qsizetype>(0, letters.size() - 1)]; };
    QString pattern;
    for (int n = in.ConsumeIntegralInRange(0, 10), stars = 0; n > 0; --n) {
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: pattern += stars++ < 4 ? u'*' : u'?'; break; // a few stars keep the reference quick
        case 1: pattern += in.ConsumeBool() ? u'?' : u'#'; break;
        case 2:
            pattern += in.ConsumeBool() ? QStringLiteral("[!") : QStringLiteral("[");
            for (int k = in.ConsumeIntegralInRange(1, 3); k > 0; --k) pattern += in.ConsumeBool() ? QString(letter()) : letter() + QStringLiteral("-") + letter();
            pattern += u']';
            break;
        default: pattern += letter();
        }
    }
    QString text;
    for (int n = in.ConsumeIntegralInRange(0, 20); n > 0; --n)
        text += in.ConsumeBool() ? letter() : QChar(in.ConsumeIntegralInRange<char16_t>(0x20, 0xD7FF));

    const bool got = Turkish::like(pattern, text);
    const QString head = Turkish::likePrefix(pattern);
    if (got != reference(pattern, text)
        || (got && (Turkish::compare(text, head) < 0 || Turkish::compare(text, head + QChar(0xDBFF) + QChar(0xDFFF)) >= 0))) {
        std::fprintf(stderr, "Like '%s' on '%s' gave %d; head '%s'\n", qPrintable(pattern), qPrintable(text), got, qPrintable(head));
        std::abort();
    }
    return 0;
}
