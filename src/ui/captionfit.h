#pragma once
// Shrinking a caption's font until the caption fits its control, in a few measurements whatever
// size the font starts from.

#include <QFont>
#include <QFontMetrics>
#include <functional>

namespace CaptionFit {

// Captions never get smaller than this many pixels: below it they cannot be read anyway.
inline constexpr int SmallestPixels = 8;

// The font at the largest pixel size, from SmallestPixels up to its own, whose metrics fit;
// SmallestPixels when none does.
QFont fitted(const QFont& font, const std::function<bool(const QFontMetrics&)>& fits);

} // namespace CaptionFit
