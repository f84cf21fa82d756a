#pragma once
// Drives another program's windows on the X display the tests run on, as a
// user would: finds top-level windows by title, asks one to close (the
// window manager's close request) and types keys into one. Under a window
// manager it also activates windows through it and reads what it keeps:
// owners and stacking order.

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

namespace lyricade::testing {

class X11Session {
public:
  // The display of $DISPLAY, or the one named.
  X11Session();
  explicit X11Session(const std::string& displayName);
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // A mapped top-level window whose title is exactly `title`; 0 when none.
  Window FindWindow(const std::string& title) const;
  // Waits up to `ms` for such a window.
  Window WaitForWindow(const std::string& title, int ms) const;
  // The close request a window manager sends (WM_DELETE_WINDOW).
  void RequestClose(Window window) const;
  // Gives the window the keyboard focus and presses and releases the key
  // (an X keysym such as XK_Return).
  void PressKey(Window window, unsigned long keysym, bool control = false) const;
  // Presses the key again every half second until the window is gone (a
  // dialog takes keys only once it has the focus); false if it stays up
  // for `ms`.
  bool PressKeyUntilGone(Window window, unsigned long keysym, int ms) const;

  // Under a window manager: asks it to activate the window (raise it and
  // give it the focus), as a click on it would.
  void Activate(Window window) const;
  // The window's owner (WM_TRANSIENT_FOR), 0 when it has none.
  Window Owner(Window window) const;
  // Under a window manager: whether `upper` is stacked above `lower`.
  bool StackedAbove(Window upper, Window lower) const;

private:
  std::vector<Window> RootList(const char* property) const;
  bool Viewable(Window window) const;
  std::string Title(Window window) const;
  Display* display_ = nullptr;
};

}  // namespace lyricade::testing
