#pragma once
// Calls start-up makes into subsystems that hook into the window: the mouse wheel and the user's
// fonts. Each is a named step so its subsystem can own it.

class Salonya;

namespace Seams {
void hookWheel(Salonya& form);
void unhookWheel(Salonya& form);
void applyFontsAndColours(Salonya& form);
} // namespace Seams
