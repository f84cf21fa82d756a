#include "support/private_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace lyricade::testing {

namespace {

// The display number the server writes to its -displayfd pipe once it
// takes connections; empty when it does not within `ms`.
std::string ReadDisplayNumber(int fd, int ms) {
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    char buffer[32];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count <= 0) break;
    number.append(buffer, static_cast<size_t>(count));
    if (number.find('\n') != std::string::npos) {
      number.erase(number.find('\n'));
      return number;
    }
  }
  return {};
}

// A window manager that follows the desktop conventions names itself on
// the root window once it manages the screen.
bool WindowManagerRuns(const std::string& display, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Display* x = XOpenDisplay(display.c_str())) {
      const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      const bool named = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW,
                                            &type, &format, &count, &after, &data) == Success &&
                         count == 1;
      if (data) XFree(data);
      XCloseDisplay(x);
      if (named) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

}  // namespace

PrivateDisplay::PrivateDisplay(const std::string& scratchFolder) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) {
    failure_ = "no pipe for the X server";
    return;
  }
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen",
                               "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"},
      std::vector<std::pair<std::string, std::string>>{}, scratchFolder + "xvfb.log");
  ::close(pipeEnds[1]);
  const std::string number = ReadDisplayNumber(pipeEnds[0], 20000);
  ::close(pipeEnds[0]);
  if (number.empty()) {
    failure_ = "Xvfb did not start (see " + scratchFolder + "xvfb.log)";
    return;
  }
  name_ = ":" + number;
  windowManager_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"},
      std::vector<std::pair<std::string, std::string>>{{"DISPLAY", name_},
                                                       {"XDG_CACHE_HOME", scratchFolder + "wm-cache"},
                                                       {"XDG_CONFIG_HOME", scratchFolder + "wm-config"}},
      scratchFolder + "openbox.log");
  if (!WindowManagerRuns(name_, 20000)) {
    failure_ = "openbox did not take the display (is it installed? see " + scratchFolder +
               "openbox.log)";
    return;
  }
  ready_ = true;
}

PrivateDisplay::~PrivateDisplay() {
  // The window manager goes before its display.
  windowManager_.reset();
  server_.reset();
}

}  // namespace lyricade::testing
