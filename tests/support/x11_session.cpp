#include "support/x11_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace lyricade::testing {

// The other program's windows come and go while they are looked at: a
// request on a window that is gone fails, and must not end the test (Xlib's
// own handler exits the process).
X11Session::X11Session() : display_(XOpenDisplay(nullptr)) {
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

X11Session::X11Session(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

X11Session::~X11Session() {
  if (display_) XCloseDisplay(display_);
}

std::string X11Session::Title(Window window) const {
  const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display_, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
    return title;
  }
  char* name = nullptr;
  if (XFetchName(display_, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

bool X11Session::Viewable(Window window) const {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

bool X11Session::PressKeyUntilGone(Window window, unsigned long keysym, int ms) const {
  if (!display_ || !window) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (!Viewable(window)) return true;
    PressKey(window, keysym);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return !Viewable(window);
}

std::vector<Window> X11Session::RootList(const char* property) const {
  std::vector<Window> windows;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, DefaultRootWindow(display_), XInternAtom(display_, property, False), 0,
                         4096, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* ids = reinterpret_cast<const unsigned long*>(data);
    windows.assign(ids, ids + count);
  }
  if (data) XFree(data);
  return windows;
}

Window X11Session::FindWindow(const std::string& title) const {
  if (!display_) return 0;
  // A window manager lists the windows it manages; their frames, not they,
  // are the root's children.
  for (const Window window : RootList("_NET_CLIENT_LIST"))
    if (Viewable(window) && Title(window) == title) return window;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
    return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    if (Viewable(children[i]) && Title(children[i]) == title)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}

Window X11Session::WaitForWindow(const std::string& title, int ms) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Window window = FindWindow(title)) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

void X11Session::RequestClose(Window window) const {
  if (!display_ || !window) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

void X11Session::Activate(Window window) const {
  if (!display_ || !window) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // on the user's behalf, as a pager asks
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, DefaultRootWindow(display_), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

Window X11Session::Owner(Window window) const {
  Window owner = 0;
  if (!display_ || !window || !XGetTransientForHint(display_, window, &owner)) return 0;
  return owner;
}

bool X11Session::StackedAbove(Window upper, Window lower) const {
  // Bottom to top.
  const std::vector<Window> stack = RootList("_NET_CLIENT_LIST_STACKING");
  long upperAt = -1, lowerAt = -1;
  for (size_t i = 0; i < stack.size(); ++i) {
    if (stack[i] == upper) upperAt = static_cast<long>(i);
    if (stack[i] == lower) lowerAt = static_cast<long>(i);
  }
  return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

void X11Session::PressKey(Window window, unsigned long keysym, bool control) const {
  if (!display_ || !window) return;
  Activate(window);
  XRaiseWindow(display_, window);
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
  // The program sees the focus change before the key.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const KeyCode code = XKeysymToKeycode(display_, keysym);
  const KeyCode ctrl = XKeysymToKeycode(display_, XK_Control_L);
  if (control) XTestFakeKeyEvent(display_, ctrl, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  if (control) XTestFakeKeyEvent(display_, ctrl, False, CurrentTime);
  XFlush(display_);
}

}  // namespace lyricade::testing
