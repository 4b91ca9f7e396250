#pragma once

#include <gtest/gtest.h>

#if ! defined(_WIN32)
 #include <dlfcn.h>
#endif

namespace tandrel::test
{
/** Under a bare X server without a window manager, JUCE asks for window
    properties that are not there, and Xlib's default error handler ends the
    process on the first refused request. Hosts (and JUCE's standalone apps)
    install a forgiving handler; tests that put windows on the desktop do the
    same, on the libX11 JUCE itself loads. Other platforms have no X server. */
inline void ignoreXErrors()
{
#if ! defined(_WIN32)
    static const bool installed = []
    {
        using Handler = int (*) (void*, void*);
        using SetHandler = Handler (*) (Handler);
        auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (x11 == nullptr)
            return false;
        if (auto setHandler = reinterpret_cast<SetHandler> (dlsym (x11, "XSetErrorHandler")))
            setHandler ([] (void*, void*) { return 0; });
        return true;
    }();
    ASSERT_TRUE (installed) << "libX11 could not be loaded";
#endif
}
} // namespace tandrel::test
