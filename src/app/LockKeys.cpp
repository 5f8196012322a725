#include "app/LockKeys.h"

#include <QGuiApplication>

// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt's names, so they stay in this file.
#ifdef VELMORA_HAVE_XKB
#include <X11/XKBlib.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace velmora {

std::optional<std::array<bool, 3>> LockKeyStates() {
#ifdef VELMORA_HAVE_XKB
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers as X11 but may have no display.
    if (Display* display = x11 ? x11->display() : nullptr) {
        std::array<bool, 3> states{};
        const char* names[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
        for (int k = 0; k < 3; ++k) {
            Bool on = False;
            XkbGetNamedIndicator(display, XInternAtom(display, names[k], False), nullptr, &on,
                                 nullptr, nullptr);
            states[k] = on;
        }
        return states;
    }
#elif defined(_WIN32)
    // The low bit of a lock key's state is whether it is on.
    return std::array<bool, 3>{(::GetKeyState(VK_CAPITAL) & 1) != 0,
                               (::GetKeyState(VK_NUMLOCK) & 1) != 0,
                               (::GetKeyState(VK_SCROLL) & 1) != 0};
#endif
    return std::nullopt;
}

} // namespace velmora
