// The singers' screen window under the mouse, under Xvfb without a window
// manager: the geometry and states checked are the ones the window asks for,
// and sizing by the edges is done by the window itself. Events are sent
// straight to the window; the window grabs the pointer while a button is
// held, so these cases hold the display's focus lock.

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

void SendMouse(QWindow& window, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, QPointF(at), QPointF(window.mapToGlobal(at)), button, buttons, modifiers);
  QCoreApplication::sendEvent(&window, &event);
}

// With the cursor's screen position given: while the window sizes itself
// under the cursor, where it is on the screen is what counts.
void SendMouseAt(QWindow& window, QEvent::Type type, QPoint at, QPoint global,
                 Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), QPointF(global), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &event);
}

void DoubleClick(QWindow& window, QPoint at) {
  SendMouse(window, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  SendMouse(window, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

class KaraokeWindowTest : public ::testing::Test {
protected:
  void SetUp() override { testing::GuiApplication(); }
  std::unique_ptr<KaraokeScreen> MakeScreen(const std::vector<ScreenRect>& screens) {
    auto screen =
        std::make_unique<KaraokeScreen>(settings_, prompts_, data_.Path(), "/opt/lyricade/");
    screen->CreateWindow(screens);
    if (!screen->InitialiseScene()) return nullptr;
    return screen;
  }

  testing::TestFolder data_;
  AppSettings settings_;
  ScriptedPrompts prompts_;
};

TEST_F(KaraokeWindowTest, DraggingAndDoubleClicking) {
  // The monitor the window is told of is the display's own, whatever its
  // size: clamping and maximising follow the screen the window is on.
  const QRect display = QGuiApplication::primaryScreen()->geometry();
  auto screen = MakeScreen({{display.x(), display.y(), display.width(), display.height()}});
  ASSERT_TRUE(screen);
  KaraokeStatic& window = *screen->Window();
  window.setPosition(100, 100);
  const QRect area = window.screen()->geometry();

  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  SendMouse(window, QEvent::MouseMove, {40, 30}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), QPoint(130, 120));
  // Shift or Ctrl held, or another button with the left: no move.
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(window.position(), QPoint(130, 120));
  // Far past the top-left corner: clamped to the screen.
  SendMouse(window, QEvent::MouseMove, {-4000, -4000}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), area.topLeft());
  SendMouse(window, QEvent::MouseMove, {9000, 9000}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), QPoint(area.right() + 1 - 320, area.bottom() + 1 - 240));
  SendMouse(window, QEvent::MouseButtonRelease, {9000, 9000}, Qt::LeftButton, Qt::NoButton);
  const QPoint parked = window.position();
  SendMouse(window, QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), parked);

  // A right-button drag does nothing.
  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
  SendMouse(window, QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::RightButton);
  SendMouse(window, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(window.position(), parked);

  // Double-click maximises; a press on the maximised window starts no drag;
  // another double-click restores.
  const QRect normal = window.geometry();
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), area);
  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  const QPoint maximisedAt = window.position();
  SendMouse(window, QEvent::MouseMove, {200, 200}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), maximisedAt);
  SendMouse(window, QEvent::MouseButtonRelease, {200, 200}, Qt::LeftButton, Qt::NoButton);
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), normal);
  // The right button's double-click does nothing.
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::RightButton, Qt::RightButton);
  EXPECT_FALSE(window.IsMaximised());
}

TEST_F(KaraokeWindowTest, DoubleClickRestoresOnTheChosenScreen) {
  const QRect singers(1920, 0, 1280, 720);
  auto screen = MakeScreen({{0, 0, 1920, 1080}, {1920, 0, 1280, 720}});
  ASSERT_TRUE(screen);
  KaraokeStatic& window = *screen->Window();
  ASSERT_TRUE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), singers);
  // Restored: windowed on the whole of the singers' screen, never a small
  // window on the host's.
  DoubleClick(window, {10, 10});
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), singers);
  // Windowed, it drags and sizes; maximised again, it fills the screen, and
  // the next restore brings back where the host left it.
  window.setGeometry(2000, 100, 640, 360);
  DoubleClick(window, {10, 10});
  EXPECT_TRUE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), singers);
  DoubleClick(window, {10, 10});
  EXPECT_EQ(window.geometry(), QRect(2000, 100, 640, 360));
}

TEST_F(KaraokeWindowTest, EdgesSizeTheWindowedWindowAndShowTheirCursors) {
  auto screen = MakeScreen({{0, 0, 1920, 1080}});
  ASSERT_TRUE(screen);
  KaraokeStatic& window = *screen->Window();
  window.setPosition(100, 100);

  const auto cursorAt = [&](QPoint at) {
    SendMouse(window, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    return window.cursor().shape();
  };
  EXPECT_EQ(cursorAt({318, 238}), Qt::SizeFDiagCursor);
  EXPECT_EQ(cursorAt({318, 1}), Qt::SizeBDiagCursor);
  EXPECT_EQ(cursorAt({1, 120}), Qt::SizeHorCursor);
  EXPECT_EQ(cursorAt({160, 239}), Qt::SizeVerCursor);
  EXPECT_EQ(cursorAt({160, 120}), Qt::ArrowCursor);

  // The bottom-right corner, pulled out by (80, 60).
  SendMouseAt(window, QEvent::MouseButtonPress, {318, 238}, {418, 338}, Qt::LeftButton,
              Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseMove, {398, 298}, {498, 398}, Qt::NoButton, Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseButtonRelease, {398, 298}, {498, 398}, Qt::LeftButton,
              Qt::NoButton);
  EXPECT_EQ(window.geometry(), QRect(100, 100, 400, 300));
  // The left edge, pulled 50 to the left: the right edge stays.
  SendMouseAt(window, QEvent::MouseButtonPress, {1, 150}, {101, 250}, Qt::LeftButton,
              Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseMove, {1, 150}, {51, 250}, Qt::NoButton, Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseButtonRelease, {1, 150}, {51, 250}, Qt::LeftButton,
              Qt::NoButton);
  EXPECT_EQ(window.geometry(), QRect(50, 100, 450, 300));

  // Maximised: no edge to grab.
  DoubleClick(window, {200, 150});
  ASSERT_TRUE(window.IsMaximised());
  const QRect full = window.geometry();
  EXPECT_EQ(cursorAt({1, 500}), Qt::ArrowCursor);
  SendMouseAt(window, QEvent::MouseButtonPress, {1, 500}, {1, 500}, Qt::LeftButton,
              Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseMove, {300, 500}, {300, 500}, Qt::NoButton, Qt::LeftButton);
  SendMouseAt(window, QEvent::MouseButtonRelease, {300, 500}, {300, 500}, Qt::LeftButton,
              Qt::NoButton);
  EXPECT_EQ(window.geometry(), full);
}

}  // namespace
}  // namespace lyricade
