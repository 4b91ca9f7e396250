#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace tandrel::test
{
/** The X server's own pointer, moved and clicked through the XTest extension,
    so the click reaches whichever window is under it, also one a plug-in made
    with its own copy of JUCE. */
class ScreenPointer
{
public:
    ScreenPointer() : display (XOpenDisplay (nullptr)) {}
    ~ScreenPointer()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    bool isAvailable() const
    {
        int event = 0, error = 0, major = 0, minor = 0;
        return display != nullptr && XTestQueryExtension (display, &event, &error, &major, &minor);
    }

    /** Presses and releases button (1 left, 3 right) at a screen position. */
    void click (juce::Point<int> position, unsigned int button)
    {
        XTestFakeMotionEvent (display, -1, position.x, position.y, CurrentTime);
        XSync (display, False);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        XTestFakeButtonEvent (display, button, True, CurrentTime);
        XTestFakeButtonEvent (display, button, False, 20);
        XSync (display, False);
    }

    /** The bounds of the shown windows that bypass the window manager: menus. */
    std::vector<juce::Rectangle<int>> popupWindows() const
    {
        std::vector<juce::Rectangle<int>> found;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree (display, DefaultRootWindow (display), &root, &parent, &children, &count) == 0)
            return found;
        for (unsigned int i = 0; i < count; ++i)
        {
            XWindowAttributes attributes {};
            if (XGetWindowAttributes (display, children[i], &attributes) != 0 && attributes.map_state == IsViewable
                && attributes.override_redirect)
                found.push_back ({ attributes.x, attributes.y, attributes.width, attributes.height });
        }
        XFree (children);
        return found;
    }

    ScreenPointer (const ScreenPointer&) = delete;
    ScreenPointer& operator= (const ScreenPointer&) = delete;

private:
    Display* display;
};
} // namespace tandrel::test
