#pragma once
// Keeps the system's Caps Lock in step with the on-screen keyboard's capitals mode: on X11 the real
// Caps Lock, locked through the X keyboard extension; elsewhere a state of this process stands in.

namespace CapsOnOff {
// True when Caps Lock is on.
bool CapsLockOn();
// Toggles Caps Lock only when it differs from the wanted state; otherwise sends nothing.
void SetCapsLock(bool wanted);
// One press and one release of Caps Lock.
void ToggleCapsLock();
// One synthetic key event; virtual key 20 is Caps Lock, flags 0 a press, 2 a release. A press of
// Caps Lock toggles its lock; other keys are counted and otherwise ignored.
void SendKeyEvent(int virtualKey, int flags);
// Key events sent so far in this process, for tests.
int sentKeyEvents();
// True when the real X11 Caps Lock is driven (platform "xcb" with a reachable display).
bool usesX11();
} // namespace CapsOnOff
