// "Add Folder..." of the break-music list walks off the UI thread behind the
// import's "Please wait..." window: the tracks join once the walk is done;
// an aborted walk, or one whose window is closed, adds nothing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>

#include "between/ambient_list.h"
#include "between/break_music.h"
#include "between/ui/ambients_window.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "fake_player.h"
#include "library/ui/import_progress_window.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

bool WaitUntilWalkEnds(const AmbientsWindow& window) {
  QElapsedTimer clock;
  clock.start();
  while (window.Walking() && clock.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return !window.Walking();
}

TEST(AmbientsWindow, AddFolderWalksBesideTheWindowAndCanBeAborted) {
  testing::TestFolder folder;
  std::filesystem::create_directories(folder.File("music/sub"));
  for (const char* name : {"music/a.mp3", "music/sub/b.wav", "music/notes.txt"})
    std::ofstream(folder.File(name)) << "x";
  AppSettings settings;
  testing::FakePlayer player;
  AmbientList list;
  BreakMusic music(settings, player, list);
  ScriptedPrompts prompts;
  AmbientsWindow window(list, music, prompts);
  window.show();

  prompts.QueueFolder(folder.File("music"));
  window.AddFolder();
  ASSERT_TRUE(window.Walking());
  ASSERT_NE(window.WalkProgress(), nullptr) << "the import's progress window shows";
  ASSERT_TRUE(WaitUntilWalkEnds(window));
  ASSERT_EQ(list.Size(), 2);
  EXPECT_EQ(list.At(0).Name, "a.mp3");
  EXPECT_EQ(list.At(1).Name, "b.wav");
  EXPECT_EQ(window.WalkProgress(), nullptr);

  // "Abort" at once: nothing joins.
  prompts.QueueFolder(folder.File("music"));
  window.AddFolder();
  window.WalkProgress()->Abort();
  ASSERT_TRUE(WaitUntilWalkEnds(window));
  EXPECT_EQ(list.Size(), 2);

  // Closing the window ends the walk with it.
  prompts.QueueFolder(folder.File("music"));
  window.AddFolder();
  window.close();
  EXPECT_FALSE(window.Walking());
  EXPECT_EQ(list.Size(), 2);
}

}  // namespace
}  // namespace lyricade
