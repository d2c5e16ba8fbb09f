#include "capsonoff.h"

#include <QGuiApplication>
#include <X11/XKBlib.h>

namespace CapsOnOff {
namespace {

constexpr int kCapital = 20;
constexpr int kKeyUp = 2;

bool g_caps = false; // stands in where there is no X server
int g_sent = 0;

// Our own connection: independent of how the platform plugin talks to the server.
Display* display()
{
    static Display* d = nullptr;
    static bool tried = false;
    if (!tried && qGuiApp) {
        tried = true;
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            d = XOpenDisplay(nullptr);
            if (d) qAddPostRoutine([] { XCloseDisplay(d); d = nullptr; });
        }
    }
    return d;
}

} // namespace

bool usesX11() { return display() != nullptr; }

bool CapsLockOn()
{
    if (Display* d = display()) {
        XkbStateRec state;
        if (XkbGetState(d, XkbUseCoreKbd, &state) == Success) return (state.locked_mods & LockMask) != 0;
    }
    return g_caps;
}

void SetCapsLock(bool wanted)
{
    if (CapsLockOn() == wanted) return;
    ToggleCapsLock();
}

void ToggleCapsLock()
{
    SendKeyEvent(kCapital, 0);
    SendKeyEvent(kCapital, kKeyUp);
}

void SendKeyEvent(int virtualKey, int flags)
{
    ++g_sent;
    if (virtualKey != kCapital || flags & kKeyUp) return; // a press toggles, the release does nothing
    const bool on = !CapsLockOn();
    if (Display* d = display()) {
        XkbLockModifiers(d, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
        XSync(d, False);
    }
    g_caps = on;
}

int sentKeyEvents() { return g_sent; }

} // namespace CapsOnOff
