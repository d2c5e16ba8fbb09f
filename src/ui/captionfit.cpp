#include "captionfit.h"

#include <QFontInfo>

namespace CaptionFit {

QFont fitted(const QFont& font, const std::function<bool(const QFontMetrics&)>& fits)
{
    QFont f = font;
    const int own = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    if (own <= SmallestPixels) return f;
    f.setPixelSize(own);
    if (fits(QFontMetrics(f))) return f;
    // Binary search: what fits at a size fits at every smaller one.
    int lo = SmallestPixels, hi = own - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        f.setPixelSize(mid);
        if (fits(QFontMetrics(f))) lo = mid;
        else hi = mid - 1;
    }
    f.setPixelSize(lo);
    return f;
}

} // namespace CaptionFit
