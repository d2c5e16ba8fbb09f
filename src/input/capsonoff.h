#pragma once
// Keeps the system's Caps Lock in step with the on-screen keyboard's capitals mode.

namespace CapsOnOff {
bool CapsLockOn();
void SetCapsLock(bool wanted);
void ToggleCapsLock();
void SendKeyEvent(int virtualKey, int flags);
} // namespace CapsOnOff
