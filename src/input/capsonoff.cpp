#include "capsonoff.h"

// In-process Caps Lock state; the X keyboard extension takes over where the platform has one.
namespace CapsOnOff {
namespace {
bool g_caps = false;
}

bool CapsLockOn() { return g_caps; }

void SetCapsLock(bool wanted)
{
    if (CapsLockOn() == wanted) return;
    ToggleCapsLock();
}

void ToggleCapsLock()
{
    SendKeyEvent(20, 0);
    SendKeyEvent(20, 2);
}

void SendKeyEvent(int virtualKey, int flags)
{
    if (virtualKey == 20 && flags == 0) g_caps = !g_caps; // a press toggles, the release does nothing
}
} // namespace CapsOnOff
