// Xvfb and the Xlib / XTest calls of XSession.h. Every wait is bounded, so a server or a
// program that never answers fails the test instead of hanging it.
#include "xwindow/XSession.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>
#include <thread>

namespace vireo::test {
namespace {

// Xlib reports a window that vanished between two calls through this handler; the walk
// below then just skips it.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

unsigned long FindIn(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = std::strstr(name, title.c_str()) != nullptr;
        XFree(name);
        XWindowAttributes attributes{};
        if (match && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = FindIn(display, children[i], title);
    if (children)
        XFree(children);
    return found;
}

} // namespace

XSession::~XSession()
{
    if (m_display)
        XCloseDisplay(m_display);
    m_server.Kill();
}

bool XSession::Start(std::string& why)
{
    if (!StartXvfb(m_server, m_name, why))
        return false;
    XSetErrorHandler(IgnoreXErrors);
    m_display = XOpenDisplay(m_name.c_str());
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!m_display)
        why = "cannot connect to Xvfb at " + m_name;
    else if (!XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor))
        why = "the X server has no XTEST extension";
    return m_display && why.empty();
}

unsigned long XSession::FindWindow(const std::string& title, std::chrono::milliseconds timeout)
{
    unsigned long window = 0;
    WaitFor([&] { return (window = FindIn(m_display, DefaultRootWindow(m_display), title)) != 0; }, timeout);
    return window;
}

void XSession::Focus(unsigned long window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    XWarpPointer(m_display, None, window, 0, 0, 0, 0, attributes.width / 2, attributes.height / 2);
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void XSession::Chord(const std::vector<unsigned long>& keysyms, std::chrono::milliseconds gap)
{
    const auto send = [&](unsigned long keysym, bool down) {
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, keysym), down ? True : False, CurrentTime);
        XSync(m_display, False);
        std::this_thread::sleep_for(gap);
    };
    for (unsigned long keysym : keysyms)
        send(keysym, true);
    for (auto it = keysyms.rbegin(); it != keysyms.rend(); ++it)
        send(*it, false);
}

Screenshot XSession::Capture(unsigned long window)
{
    Screenshot shot;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return shot;
    XImage* image = XGetImage(m_display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.reserve(static_cast<std::size_t>(shot.width) * shot.height);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            shot.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
    XDestroyImage(image);
    return shot;
}

} // namespace vireo::test
