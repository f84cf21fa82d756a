// The real lyricade binary, started as a user starts it, ends when its main
// window is closed and the exit question answered, having written the
// singer list and the preferences, whatever other windows are up.

#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "app/lyricade_program.h"
#include "support/x11_session.h"

namespace fs = std::filesystem;
using namespace lyricade::testing;

class ProgramExit : public ::testing::Test {
protected:
  void TearDown() override {
    if (HasFailure()) std::cerr << "lyricade's output:\n" << ReadWholeFile(folder.File("lyricade.log"));
  }
  TestFolder folder;
};

TEST_F(ProgramExit, ClosingTheMainWindowEndsTheProgramAfterTheSaves) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  auto program = StartLyricade(folder);

  // One display: the singers' screen explains how to get a second one.
  const Window monitorBox = x11.WaitForWindow("Monitor Information", 60000);
  ASSERT_NE(monitorBox, 0u) << "the program came up";
  ASSERT_TRUE(x11.PressKeyUntilGone(monitorBox, XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  ASSERT_NE(main, 0u);
  ASSERT_NE(x11.WaitForWindow("Lyricade Screen", 10000), 0u) << "the singers' screen is up";

  x11.RequestClose(main);
  const Window question = x11.WaitForWindow("Save Singer List Before You Exit", 10000);
  ASSERT_NE(question, 0u);
  // "Yes", the default answer.
  ASSERT_TRUE(x11.PressKeyUntilGone(question, XK_Return, 20000));

  EXPECT_EQ(program->WaitForExit(15000), 0) << "the process ends, with status 0";
  const std::string data = folder.File("data/");
  // An empty rotation saves as an empty file.
  EXPECT_TRUE(fs::exists(data + "lastlist.lst")) << "the singer list was saved";
  EXPECT_EQ(ReadWholeFile(data + "lastlist.lst"), "");
  EXPECT_FALSE(ReadWholeFile(data + "lyr2prefs.cfg").empty()) << "the preferences were written";
  EXPECT_FALSE(fs::exists(folder.File("cache/lyricade/Zipped"))) << "scratch folders are gone";
}

// The singers' screen is the window a one-monitor host sees: the program's
// accelerators work there. A singer is cued (Ctrl+S) and their song started
// (Ctrl+Z) from it; the close then finds a song playing.
TEST_F(ProgramExit, AcceleratorsReachTheShowFromTheSingersScreen) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected());
  ASSERT_TRUE(SeedAnaWithADemoSong(x11, folder)) << ReadWholeFile(folder.File("lyricade.log"));

  auto program = StartLyricade(folder, "fakesink sync=true");
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  const Window screen = x11.WaitForWindow("Lyricade Screen", 10000);
  ASSERT_NE(screen, 0u);
  x11.PressKey(screen, XK_s, true);  // next singer: Ana is up
  x11.PressKey(screen, XK_z, true);  // play
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  x11.RequestClose(main);
  // A song plays, so the first question is the playing song's.
  const Window playing = x11.WaitForWindow("Exit Program", 10000);
  ASSERT_NE(playing, 0u) << "Ctrl+S and Ctrl+Z on the singers' screen started Ana's song";
  ASSERT_TRUE(x11.PressKeyUntilGone(playing, XK_Return, 20000));
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                    XK_Return, 20000));
  EXPECT_EQ(program->WaitForExit(15000), 0);
}

// A second start on the same data folder says so and ends with status 1,
// from the desktop with a box, from a terminal with a line; the first one
// goes on, and scratch folders of dead runs are removed at its start.
TEST_F(ProgramExit, ASecondStartOnTheSameDataFolderEnds) {
  X11Session x11;
  ASSERT_TRUE(x11.Connected());
  const std::string deadRun = folder.File("cache/lyricade/run-dead01/Zipped/");
  fs::create_directories(deadRun);
  // Made a while ago: a folder just made may be a starting process's.
  fs::last_write_time(folder.File("cache/lyricade/run-dead01"),
                      fs::file_time_type::clock::now() - std::chrono::minutes(2));
  auto first = StartLyricade(folder);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Monitor Information", 60000), XK_Return, 20000));
  const Window main = x11.WaitForWindow(kMainCaption, 30000);
  ASSERT_NE(main, 0u);
  EXPECT_FALSE(fs::exists(deadRun)) << "a dead run's scratch folder is removed";

  const std::string program = LYRICADE_PROGRAM;
  const std::string data = folder.File("data/");
  // Standard input from nowhere: started from the desktop.
  ChildProcess desktop({"/bin/sh", "-c", "exec \"$0\" --data-dir \"$1\" </dev/null", program, data},
                       {{"XDG_CACHE_HOME", folder.File("cache")}, {"XDG_CONFIG_HOME", folder.File("config")}},
                       folder.File("second.log"));
  const Window box = x11.WaitForWindow("Lyricade", 30000);
  ASSERT_NE(box, 0u) << ReadWholeFile(folder.File("second.log"));
  ASSERT_TRUE(x11.PressKeyUntilGone(box, XK_Return, 20000));
  EXPECT_EQ(desktop.WaitForExit(15000), 1);
  EXPECT_NE(ReadWholeFile(folder.File("second.log")).find("Lyricade is already running with this data folder."),
            std::string::npos);

  // A terminal's: `script` gives it one.
  ChildProcess terminal({"/usr/bin/script", "-qec", program + " --data-dir '" + data + "'", "/dev/null"},
                        {{"XDG_CACHE_HOME", folder.File("cache")}, {"XDG_CONFIG_HOME", folder.File("config")}},
                        folder.File("third.log"));
  EXPECT_EQ(terminal.WaitForExit(30000), 1) << ReadWholeFile(folder.File("third.log"));
  EXPECT_NE(ReadWholeFile(folder.File("third.log")).find("Lyricade is already running with this data folder."),
            std::string::npos);

  EXPECT_EQ(first->WaitForExit(0), -1) << "the first program still runs";
  x11.RequestClose(main);
  ASSERT_TRUE(x11.PressKeyUntilGone(x11.WaitForWindow("Save Singer List Before You Exit", 10000),
                                    XK_Return, 20000));
  EXPECT_EQ(first->WaitForExit(15000), 0);
  EXPECT_TRUE(fs::is_empty(folder.File("cache/lyricade"))) << "its own scratch folder went at exit";
}
