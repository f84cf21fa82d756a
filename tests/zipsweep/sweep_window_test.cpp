// The window's runs: while a run works everything that could start another
// run or change the list is disabled and only "Abort" works; "Abort" ends
// the run after the archive in progress; the menus fill and empty the list.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "platform/unzip/unzip_module.h"
#include "zipsweep/archive_trial.h"
#include "zipsweep/sweep_test_support.h"
#include "zipsweep/ui/folder_scan_window.h"
#include "zipsweep/ui/processing_window.h"
#include "zipsweep/ui/sweep_window.h"

namespace lyricade {
namespace {

using testing::TestFolder;

class SweepWindowTest : public ::testing::Test {
protected:
  std::string Song(const std::string& name) {
    const std::string path = songs_.File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(testing::WriteSweepZip(path, {{"song.mp3", testing::FakeMp3(8)}, {"song.cdg", "cdg"}}));
    return path;
  }
  // Everything a host could use to start a run or change the list.
  std::vector<bool> Usable() const {
    std::vector<bool> usable = {window_.TestButton()->isEnabled(), window_.UnzipButton()->isEnabled(),
                                window_.List()->isEnabled(), window_.DeleteAfterUnzip()->isEnabled(),
                                window_.menuBar()->isEnabled()};
    for (QAction* action : window_.Actions()) usable.push_back(action->isEnabled());
    return usable;
  }

  TestFolder songs_;
  TestFolder data_;
  ScriptedPrompts prompts_;
  UnzipModule module_{LYRICADE_TEST_MODULE_FOLDER, prompts_};
  ArchiveTester tester_{module_};
  std::vector<std::string> opened_;
  SweepWindow window_{prompts_, tester_, data_.File("ziplog.txt"), [this](const std::string& path) {
                        opened_.push_back(path);
                        return true;
                      }};
};

TEST_F(SweepWindowTest, ARunDisablesEverythingButAbortAndAbortStopsAfterTheArchiveInProgress) {
  window_.show();
  window_.AppendArchive(Song("a.zip"));
  window_.AppendArchive(Song("b.zip"));
  window_.AppendArchive(songs_.File("c.zip"));
  std::vector<bool> during;
  // Runs while the run handles waiting events after its first archive.
  QTimer::singleShot(0, [&] {
    during = Usable();
    ProcessingWindow* processing = window_.Processing();
    ASSERT_NE(processing, nullptr);
    EXPECT_TRUE(processing->AbortButton()->isEnabled());
    processing->AbortButton()->click();
    // A second run asked for now is refused.
    window_.TestZips();
  });
  window_.TestZips();
  EXPECT_EQ(during, std::vector<bool>(during.size(), false));
  EXPECT_EQ(Usable(), std::vector<bool>(during.size(), true));
  const auto rows = window_.Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Status, "Test Passed");
  EXPECT_EQ(rows[0].Used, "zLib");
  EXPECT_EQ(rows[1].Status, "Not Tested");
  EXPECT_EQ(rows[2].Status, "Not Tested");
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Mass UNZIP Test");
  EXPECT_EQ(prompts_.Shown()[0].Text, "Testing Complete!");

  window_.UnzipAll();
  EXPECT_EQ(window_.Rows()[2].Used, "BAD Filename");
  EXPECT_EQ(prompts_.Shown().back().Text, "UNZIP Complete!");
  EXPECT_EQ(prompts_.Shown().back().Caption, "Mass UNZIP");
  window_.ShowLog();
  EXPECT_EQ(opened_, std::vector<std::string>{data_.File("ziplog.txt")});
}

TEST_F(SweepWindowTest, MenusFillAndEmptyTheList) {
  Song("x/one.zip");
  Song("x/y/two.ZIP");
  testing::WriteWhole(songs_.File("x/notes.txt"), "no");
  prompts_.QueueFolder(songs_.File("x"));
  window_.AddFolder();
  EXPECT_EQ(prompts_.Shown().back().Caption, "Add Folder to Playlist");
  prompts_.QueueFiles({Song("three.zip")});
  window_.AddFile();
  prompts_.QueueFiles({songs_.File("missing.zip")});
  window_.AddFile();
  auto rows = window_.Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Path, songs_.File("x/one.zip"));
  EXPECT_EQ(rows[1].Path, songs_.File("x/y/two.ZIP"));
  EXPECT_EQ(rows[2].Path, songs_.File("three.zip"));
  EXPECT_EQ(rows[2].Status, "Not Tested");

  window_.List()->topLevelItem(1)->setSelected(true);
  window_.RemoveSelected();
  ASSERT_EQ(window_.Rows().size(), 2u);
  EXPECT_EQ(window_.Rows()[1].Path, songs_.File("three.zip"));
  window_.RemoveAll();
  EXPECT_TRUE(window_.Rows().empty());
  // Nothing to run: no run, no box.
  const size_t shown = prompts_.Shown().size();
  window_.TestZips();
  EXPECT_EQ(prompts_.Shown().size(), shown);
}

}  // namespace
}  // namespace lyricade
