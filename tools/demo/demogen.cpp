#include "demogen.h"

namespace Demo {

quint64 Rng::next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

quint32 Rng::below(quint32 n)
{
    // Multiply-shift instead of modulo: no division, and the bias is far below anything visible.
    return quint32((quint64(quint32(next() >> 32)) * n) >> 32);
}

int Rng::between(int lo, int hi)
{
    return lo + int(below(quint32(hi - lo + 1)));
}

bool Rng::chance(double p)
{
    return double(next() >> 11) * 0x1.0p-53 < p;
}

std::vector<bool> pickPositions(int n, int k, Rng& rng)
{
    std::vector<bool> marked(size_t(qMax(n, 0)), false);
    k = qBound(0, k, qMax(n, 0));
    // k is a few percent of n at most in practice; when it is not, mark the complement instead.
    const bool invert = k > n / 2;
    int want = invert ? n - k : k;
    while (want > 0) {
        const quint32 i = rng.below(quint32(n));
        if (!marked[i]) {
            marked[i] = true;
            --want;
        }
    }
    if (invert)
        marked.flip();
    return marked;
}

quint64 scatter(quint64 index, quint64 range, quint64 key)
{
    // A bijection on the smallest power of two covering the range (xor-shifts and odd multipliers
    // both invert), walked until it lands inside the range: a permutation of 0 .. range-1.
    int bits = 1;
    while ((quint64(1) << bits) < range)
        ++bits;
    const quint64 mask = (quint64(1) << bits) - 1;
    const int half = qMax(1, bits / 2);
    quint64 x = index;
    do {
        x = (x + key) & mask;
        x ^= x >> half;
        x = (x * 0x9E3779B97F4A7C15ull) & mask;
        x ^= x >> half;
        x = (x * 0xC2B2AE3D27D4EB4Full) & mask;
        x ^= x >> half;
    } while (x >= range);
    return x;
}

} // namespace Demo
