// The real lyricade binary under a window manager, on a display of the
// test's own: the accelerators reach the show from the singers' screen when
// the window manager hands out the focus, the questions are owned by the
// main window and stay above it when the host clicks the main window, and
// the singers' screen is owned by no window.

#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "app/lyricade_program.h"
#include "support/private_display.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using namespace lyricade::testing;

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

class ProgramUnderAWindowManager : public ::testing::Test {
protected:
  void TearDown() override {
    if (HasFailure())
      std::cerr << "lyricade's output:\n" << ReadWholeFile(folder.File("lyricade.log"))
                << "openbox's output:\n" << ReadWholeFile(folder.File("openbox.log"));
  }
  TestFolder folder;
};

TEST_F(ProgramUnderAWindowManager, KeysReachTheShowAndQuestionsStayAboveTheMainWindow) {
  PrivateDisplay display(folder.Path());
  ASSERT_TRUE(display.Ready()) << display.Failure();
  X11Session x11(display.Name());
  ASSERT_TRUE(x11.Connected());
  ASSERT_TRUE(SeedAnaWithADemoSong(x11, folder, display.Name())) << ReadWholeFile(folder.File("lyricade.log"));

  auto program = StartLyricade(folder, "fakesink sync=true", display.Name());
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  const Window screen = x11.WaitForWindow("Lyricade Screen", 10000);
  ASSERT_NE(main, 0u);
  ASSERT_NE(screen, 0u);
  EXPECT_EQ(x11.Owner(screen), 0u) << "the singers' screen belongs to no window";

  // The window manager gives the singers' screen the focus; Ctrl+S cues
  // Ana and Ctrl+Z starts her song from there.
  x11.PressKey(screen, XK_s, true);
  x11.PressKey(screen, XK_z, true);
  Pause(500);

  x11.Activate(main);
  Pause(300);
  x11.RequestClose(main);
  // A song plays, so the first question is the playing song's.
  const Window playing = x11.WaitForWindow("Exit Program", 10000);
  ASSERT_NE(playing, 0u) << "Ctrl+S and Ctrl+Z on the singers' screen started Ana's song";
  EXPECT_EQ(x11.Owner(playing), main) << "the question belongs to the main window";
  // The host clicks the maximised main window: the question stays on top.
  x11.Activate(main);
  Pause(500);
  EXPECT_TRUE(x11.StackedAbove(playing, main)) << "the question went behind the main window";
  ASSERT_TRUE(x11.PressKeyUntilGone(playing, XK_Return, 20000));

  const Window save = x11.WaitForWindow("Save Singer List Before You Exit", 10000);
  ASSERT_NE(save, 0u);
  EXPECT_EQ(x11.Owner(save), main);
  ASSERT_TRUE(x11.PressKeyUntilGone(save, XK_Return, 20000));
  EXPECT_EQ(program->WaitForExit(15000), 0) << "the process ends, with status 0";
}
