#include "seams.h"

#include "wheel.h"
#include "ui/fontscolours.h"

namespace Seams {
void hookWheel(Salonya& form) { Wheel::HookWheel(form); }
void unhookWheel(Salonya& form) { Wheel::UnhookWheel(form); }
void applyFontsAndColours(Salonya& form) { FontsColours::applyFonts(form); }
} // namespace Seams
