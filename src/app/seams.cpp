#include "seams.h"

#include "wheel.h"
#include "ui/fontscolours.h"

// Until the grid-layout subsystem arrives, grids keep their designed columns.
namespace Seams {
void hookWheel(Salonya& form) { Wheel::HookWheel(form); }
void unhookWheel(Salonya& form) { Wheel::UnhookWheel(form); }
void loadGridLayouts(Salonya&) {}
void applyFontsAndColours(Salonya& form) { FontsColours::applyFonts(form); }
} // namespace Seams
