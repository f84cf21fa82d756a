#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/prompts/scripted_prompts.h"
#include "screen/monitor_choice.h"
#include "screen/scene_geometry.h"
#include "screen/window_drag.h"
#include "screen/window_placement.h"
#include "screen/window_resize.h"

namespace lyricade {
namespace {

TEST(MonitorChoice, PicksTheDisplayAwayFromTheOrigin) {
  // Extended to the left of the primary: chosen just like one on the right.
  EXPECT_EQ(ChooseMonitor({{0, 0, 1920, 1080}, {-1280, 0, 1280, 720}}).Index, 1);
  EXPECT_EQ(ChooseMonitor({{-1280, 0, 1280, 720}, {0, 0, 1920, 1080}}).Index, 0);
  // Above the primary: a negative top counts too.
  EXPECT_EQ(ChooseMonitor({{0, -768, 1024, 768}, {0, 0, 1920, 1080}}).Index, 0);
  // Mirrored outputs both at the origin: the last one listed.
  const MonitorChoice mirrored = ChooseMonitor({{0, 0, 1920, 1080}, {0, 0, 1920, 1080}});
  EXPECT_EQ(mirrored.Index, 1);
  EXPECT_TRUE(mirrored.MultiMonitor);
  // Three displays: the last off-origin one wins, wherever the primary sits.
  EXPECT_EQ(ChooseMonitor({{1920, 0, 1280, 1024}, {0, 0, 1920, 1080}, {-800, 0, 800, 600}}).Index, 2);
  EXPECT_EQ(ChooseMonitor({{1920, 0, 1280, 1024}, {-800, 0, 800, 600}, {0, 0, 1920, 1080}}).Index, 1);
}

TEST(MonitorChoice, OneOrNoDisplayGivesIndexZeroWithoutMultiMonitor) {
  const MonitorChoice one = ChooseMonitor({{0, 0, 1920, 1080}});
  EXPECT_EQ(one.Index, 0);
  EXPECT_FALSE(one.MultiMonitor);
  // A lone display that is not at the origin is still the only one.
  EXPECT_FALSE(ChooseMonitor({{100, 0, 800, 600}}).MultiMonitor);
  EXPECT_EQ(ChooseMonitor({}).Index, 0);
  EXPECT_FALSE(ChooseMonitor({}).MultiMonitor);
}

TEST(MonitorChoice, OnlyTheFirstHundredDisplaysCount) {
  std::vector<ScreenRect> screens(kMaxMonitors, ScreenRect{0, 0, 800, 600});
  screens[10] = {800, 0, 800, 600};
  screens.push_back({1600, 0, 800, 600});  // the 101st: ignored
  const MonitorChoice choice = ChooseMonitor(screens);
  EXPECT_EQ(choice.Index, 10);
  EXPECT_TRUE(choice.MultiMonitor);
}

TEST(MonitorChoice, SingleMonitorMessageHasItsSeventeenLines) {
  const std::string text = SingleMonitorMessage("file:///opt/lyricade/help/video-output.html");
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0], "You only have one Monitor output configured, ");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[5], "1. Your video card must first support Dual Monitor. ");
  EXPECT_EQ(lines[6], "2. Your TV or second monitor must be connected. ");
  EXPECT_EQ(lines[7], "3. Computer must be turned-on after connecting.");
  EXPECT_EQ(lines[12], "2. Configure the \"Extended Desktop\"");
  EXPECT_EQ(lines[15], "For More information visit:");
  EXPECT_EQ(lines[16], "file:///opt/lyricade/help/video-output.html");
  EXPECT_EQ(text.find("\r"), std::string::npos);

  ScriptedPrompts prompts;
  ShowSingleMonitorMessage(prompts, VideoOutputHelpAddress("/opt/lyricade"));
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Monitor Information");
  EXPECT_EQ(prompts.Shown()[0].Icon, PromptIcon::Information);
  EXPECT_EQ(prompts.Shown()[0].Text, text);
}

TEST(WindowDrag, ClampKeepsEveryEdgeInsideTheScreen) {
  const ScreenRect screen{-1280, 0, 1280, 1024};
  EXPECT_EQ(ClampWindowPosition({-1300, -5, }, 320, 240, screen), (WindowPoint{-1280, 0}));
  EXPECT_EQ(ClampWindowPosition({-100, 900}, 320, 240, screen), (WindowPoint{-320, 784}));
  EXPECT_EQ(ClampWindowPosition({-700, 300}, 320, 240, screen), (WindowPoint{-700, 300}));
  // Larger than the screen: the lower bound first, so the right and bottom
  // edges end on the screen's.
  EXPECT_EQ(ClampWindowPosition({-1280, 0}, 1600, 1200, screen), (WindowPoint{-1600, -176}));
}

TEST(WindowDrag, LeftButtonAloneMovesByTheCursorsTravel) {
  const ScreenRect screen{0, 0, 1920, 1080};
  WindowDrag drag;
  WindowPoint to;
  drag.Press({100, 100}, {10, 10}, false);
  ASSERT_TRUE(drag.Dragging());
  ASSERT_TRUE(drag.Move({30, 25}, true, false, 320, 240, screen, to));
  EXPECT_EQ(to, (WindowPoint{120, 115}));
  // The window followed the cursor, so the cursor is back at the anchor
  // relative to the window; a further move adds only the new travel.
  ASSERT_TRUE(drag.Move({15, 10}, true, false, 320, 240, screen, to));
  EXPECT_EQ(to, (WindowPoint{125, 115}));
  // Right button, both buttons, Shift or Ctrl: nothing moves.
  EXPECT_FALSE(drag.Move({50, 50}, false, false, 320, 240, screen, to));
  EXPECT_FALSE(drag.Move({50, 50}, true, true, 320, 240, screen, to));
  // Clamped at the screen's edge.
  ASSERT_TRUE(drag.Move({-500, -500}, true, false, 320, 240, screen, to));
  EXPECT_EQ(to, (WindowPoint{0, 0}));
  drag.Release();
  EXPECT_FALSE(drag.Move({30, 30}, true, false, 320, 240, screen, to));
}

TEST(WindowDrag, MaximisedWindowDoesNotDrag) {
  WindowDrag drag;
  WindowPoint to;
  drag.Press({0, 0}, {10, 10}, true);
  EXPECT_FALSE(drag.Dragging());
  EXPECT_FALSE(drag.Move({40, 40}, true, false, 1920, 1080, {0, 0, 1920, 1080}, to));
}

TEST(WindowPlacement, DoubleClickRestoresOnTheChosenScreenNotTheHosts) {
  const std::vector<ScreenRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 720}};
  const WindowPlacement start = InitialPlacement(ChooseMonitor(screens), screens);
  EXPECT_EQ(start, (WindowPlacement{{1920, 0, 1280, 720}, true}));
  EXPECT_EQ(PlacedRect(start, screens), (ScreenRect{1920, 0, 1280, 720}));
  // Restored: windowed, on the whole of the singers' screen.
  const WindowPlacement restored = ToggleMaximised(start, PlacedRect(start, screens));
  EXPECT_FALSE(restored.Maximised);
  EXPECT_EQ(PlacedRect(restored, screens), (ScreenRect{1920, 0, 1280, 720}));
  // Dragged and sized down there, then maximised: the whole screen again,
  // and the next restore comes back to the dragged rectangle.
  const WindowPlacement maximised = ToggleMaximised(restored, {2000, 100, 640, 360});
  EXPECT_EQ(PlacedRect(maximised, screens), (ScreenRect{1920, 0, 1280, 720}));
  EXPECT_EQ(PlacedRect(ToggleMaximised(maximised, {1920, 0, 1280, 720}), screens),
            (ScreenRect{2000, 100, 640, 360}));

  // One display: 320x240 at the origin, windowed; maximising covers it.
  const std::vector<ScreenRect> one{{0, 0, 1920, 1080}};
  const WindowPlacement small = InitialPlacement(ChooseMonitor(one), one);
  EXPECT_EQ(small, (WindowPlacement{{0, 0, 320, 240}, false}));
  EXPECT_EQ(PlacedRect(ToggleMaximised(small, small.Normal), one), one[0]);
}

TEST(WindowPlacement, MaximisesOnTheScreenUnderMostOfTheWindow) {
  const std::vector<ScreenRect> screens{{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}};
  EXPECT_EQ(ScreenUnder({-300, 10, 400, 300}, screens), screens[1]);
  EXPECT_EQ(ScreenUnder({-100, 10, 400, 300}, screens), screens[0]);
  // On no screen at all: the nearest one.
  EXPECT_EQ(ScreenUnder({-3000, 0, 100, 100}, screens), screens[1]);
  EXPECT_EQ(ScreenUnder({5000, 900, 100, 100}, screens), screens[0]);
  EXPECT_EQ(ScreenUnder({5, 5, 10, 10}, {}), (ScreenRect{5, 5, 10, 10}));
}

TEST(WindowResize, EdgesAndCornersWithinAFewPixels) {
  // A 320x240 window.
  EXPECT_EQ(EdgesAt({6, 120}, 320, 240), kNoEdge);
  EXPECT_EQ(EdgesAt({5, 120}, 320, 240), kLeftEdge);
  EXPECT_EQ(EdgesAt({319, 120}, 320, 240), kRightEdge);
  EXPECT_EQ(EdgesAt({313, 120}, 320, 240), kNoEdge);
  EXPECT_EQ(EdgesAt({160, 2}, 320, 240), kTopEdge);
  EXPECT_EQ(EdgesAt({160, 236}, 320, 240), kBottomEdge);
  EXPECT_EQ(EdgesAt({1, 1}, 320, 240), kLeftEdge | kTopEdge);
  // Along an edge near a corner: the corner.
  EXPECT_EQ(EdgesAt({2, 230}, 320, 240), kLeftEdge | kBottomEdge);
  EXPECT_EQ(EdgesAt({310, 1}, 320, 240), kRightEdge | kTopEdge);
  EXPECT_EQ(EdgesAt({20, 1}, 320, 240), kTopEdge);
  // Outside the window, or no window: nothing.
  EXPECT_EQ(EdgesAt({-1, 100}, 320, 240), kNoEdge);
  EXPECT_EQ(EdgesAt({320, 100}, 320, 240), kNoEdge);
  // Narrower than two borders: the nearer edge, never both.
  EXPECT_EQ(EdgesAt({1, 50}, 8, 100), kLeftEdge);
  EXPECT_EQ(EdgesAt({6, 50}, 8, 100), kRightEdge);
}

TEST(WindowResize, GrabbedEdgesFollowTheCursorDownToTheMinimum) {
  const ScreenRect start{100, 100, 320, 240};
  EXPECT_EQ(ResizedRect(start, kRightEdge | kBottomEdge, 40, 30), (ScreenRect{100, 100, 360, 270}));
  EXPECT_EQ(ResizedRect(start, kLeftEdge | kTopEdge, -40, 20), (ScreenRect{60, 120, 360, 220}));
  // Shrunk past the minimum: the grabbed edge stops, the opposite one stays.
  EXPECT_EQ(ResizedRect(start, kLeftEdge, 1000, 0),
            (ScreenRect{420 - kMinimumWindowWidth, 100, kMinimumWindowWidth, 240}));
  EXPECT_EQ(ResizedRect(start, kBottomEdge, 0, -1000),
            (ScreenRect{100, 100, 320, kMinimumWindowHeight}));

  WindowResize resize;
  ScreenRect to;
  EXPECT_FALSE(resize.Move({10, 10}, true, to));
  resize.Begin(kRightEdge, start, {419, 200});
  // Only the left button alone sizes.
  EXPECT_FALSE(resize.Move({500, 260}, false, to));
  ASSERT_TRUE(resize.Move({500, 260}, true, to));
  EXPECT_EQ(to, (ScreenRect{100, 100, 401, 240}));
  resize.End();
  EXPECT_FALSE(resize.Resizing());
}

TEST(SceneGeometry, QuadFillsTheViewWithAboutThreeTenthsPercentCut) {
  const Matrix4 m = SceneTransform();
  const auto topLeft = TransformPoint(m, -1.f, 1.f, -1.f);
  const auto bottomRight = TransformPoint(m, 1.f, -1.f, -1.f);
  EXPECT_NEAR(topLeft[3], 2.4f, 1e-5f);  // the quad's distance from the eye
  const double edge = 1.0 / std::tan(3.14159265 / 8) / 2.4;  // 1.00593
  EXPECT_NEAR(topLeft[0] / topLeft[3], -edge, 1e-5);
  EXPECT_NEAR(topLeft[1] / topLeft[3], edge, 1e-5);
  EXPECT_NEAR(bottomRight[0] / bottomRight[3], edge, 1e-5);
  EXPECT_NEAR(bottomRight[1] / bottomRight[3], -edge, 1e-5);
  // The share of the texture outside the view at each edge.
  const double cut = (1.0 - 1.0 / edge) / 2.0;
  EXPECT_NEAR(cut, 0.0029, 0.0002);
}

}  // namespace
}  // namespace lyricade
