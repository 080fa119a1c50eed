#include "app/lock_indicators.h"

#include <QGuiApplication>

#if defined(KORVEX_HAVE_XKB)
#include <X11/XKBlib.h>
#endif

namespace korvex::app {

std::optional<LockStates> readLockStates() {
#if defined(KORVEX_HAVE_XKB) && QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return std::nullopt;
    const auto named = [display](const char* name) {
        const Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
        return on == True;
    };
    return LockStates{named("Caps Lock"), named("Num Lock"), named("Scroll Lock")};
#else
    return std::nullopt;
#endif
}

}  // namespace korvex::app
