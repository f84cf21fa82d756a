#include "common/folder_scanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/test_folder.h"

namespace lyricade {
namespace {

using Strings = std::vector<std::string>;

TEST(FolderScanner, PatternListSplitsAtBlanksSemicolonsAndCommasOutsideQuotes) {
  EXPECT_EQ(SplitPatterns("*.mp3, *.zip;*.dat ,, ;*.avi"), (Strings{"*.mp3", "*.zip", "*.dat", "*.avi"}));
  // Either quote switches quoting; the quotes themselves are dropped.
  EXPECT_EQ(SplitPatterns("\"my song*.mp3\";'a,b'*.zip"), (Strings{"my song*.mp3", "a,b*.zip"}));
  EXPECT_EQ(SplitPatterns("\"x y' z\" w"), (Strings{"x y", "z w"}));
  EXPECT_EQ(SplitPatterns("'a b\" c'"), (Strings{"a b", "c"}));  // one switch for both quotes
  EXPECT_TRUE(SplitPatterns(" ;, \"\"").empty());
}

TEST(FolderScanner, PatternsMatchWhateverTheLetterCase) {
  EXPECT_TRUE(MatchesPattern("*.mp3", "SONG.MP3"));
  EXPECT_TRUE(MatchesPattern("*.Mp3", "a.b.mp3"));
  EXPECT_FALSE(MatchesPattern("*.mp3", "song.mp3x"));
  EXPECT_FALSE(MatchesPattern("*.mp3", "song.mp"));
  EXPECT_TRUE(MatchesPattern("*.*", "README"));
  EXPECT_TRUE(MatchesPattern("s?ng*.z*p", "Sing along.ZIP"));
  EXPECT_TRUE(MatchesPattern("??.mp3", "\xC3\xA9t.mp3")) << "? stands for a whole character";
  EXPECT_FALSE(MatchesPattern("?.mp3", ".mp3x"));
  EXPECT_TRUE(MatchesPattern("*a*a*a*b", "aaaaaaaaaaaaaaaaaaaab"));
  EXPECT_FALSE(MatchesPattern("*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaa"));
  EXPECT_EQ(JoinPath("/songs/", "a.mp3"), "/songs/a.mp3");
  EXPECT_EQ(JoinPath("/songs", "a.mp3"), "/songs/a.mp3");
}

class ScanTree : public ::testing::Test {
protected:
  std::string Root() const { return folder_.Path() + "root"; }
  void File(const std::string& relative) {
    std::ofstream(Root() + "/" + relative) << "x";
  }
  void Folder(const std::string& relative) { ::mkdir((Root() + "/" + relative).c_str(), 0755); }
  void Link(const std::string& target, const std::string& relative) {
    ASSERT_EQ(::symlink(target.c_str(), (Root() + "/" + relative).c_str()), 0);
  }

  // Runs a scan; `abortAt` raises the abort flag when that event is seen.
  void Scan(const std::string& patterns, const std::string& abortAt = "") {
    FolderScanHooks hooks;
    hooks.FolderFound = [&](const std::string& path) {
      events_.push_back("folder " + path.substr(Root().size()));
      if (events_.back() == abortAt) aborted_ = true;
    };
    hooks.FileFound = [&](const std::string& folder, const std::string& name) {
      events_.push_back(JoinPath(folder, name).substr(Root().size()));
      if (events_.back() == abortAt) aborted_ = true;
    };
    hooks.Pump = [&] { ++pumps_; };
    hooks.Aborted = [&] { return aborted_; };
    hooks.Unreadable = [&](const std::string& path, const std::string&) { unreadable_.push_back(path); };
    completed_ = FolderScanner(std::move(hooks)).Scan(Root(), patterns);
  }

  testing::TestFolder folder_;
  Strings events_;
  Strings unreadable_;
  bool aborted_ = false;
  bool completed_ = false;
  int pumps_ = 0;
};

TEST_F(ScanTree, FoldersDepthFirstThenFilesFolderByFolderAndPatternByPattern) {
  Folder("");
  for (const char* name : {"b", "a", "a/deep", "Z"}) Folder(name);
  for (const char* name : {"b.mp3", "A.ZIP", "a.Mp3", "notes.txt", "a/x.zip", "a/deep/y.mp3", "b/c.mp3"})
    File(name);
  // Neither a folder nor a dangling link is a song; a link to a file is.
  Folder("dir.mp3");
  Link("missing.mp3", "dead.mp3");
  Link(Root() + "/b.mp3", "linked.mp3");
  // A killed zipsweep's private folder is hidden and never walked; a hidden
  // file is still a file here (the import leaves those out itself).
  Folder(".zipsweep-Ab12Cd");
  File(".zipsweep-Ab12Cd/half.mp3");
  File(".hidden.mp3");

  Scan("*.mp3, *.zip");
  EXPECT_TRUE(completed_);
  EXPECT_EQ(events_, (Strings{"folder /Z", "folder /a", "folder /a/deep", "folder /b", "folder /dir.mp3",
                              "/.hidden.mp3", "/a.Mp3", "/b.mp3", "/linked.mp3", "/A.ZIP",
                              "/a/x.zip", "/a/deep/y.mp3", "/b/c.mp3"}));
  EXPECT_GT(pumps_, 12) << "events run after every entry";
  EXPECT_TRUE(unreadable_.empty());
}

TEST_F(ScanTree, LinkLoopsEndAndNoFolderIsWalkedTwice) {
  Folder("");
  Folder("sub");
  File("sub/s.mp3");
  Link(Root(), "sub/up");     // back to the root
  Link(".", "sub/self");      // to itself
  Link(Root() + "/sub", "alias");  // a second name for a folder
  Scan("*.mp3");
  EXPECT_TRUE(completed_);
  EXPECT_EQ(events_, (Strings{"folder /alias", "/alias/s.mp3"}));
}

TEST_F(ScanTree, AbortRulesOfEachPhase) {
  Folder("");
  Folder("one");
  Folder("two");
  for (const char* name : {"a.mp3", "b.mp3", "a.zip", "b.zip", "one/c.mp3", "two/d.mp3"}) File(name);

  // Phase 1: the walk ends at once, yet phase 3 still takes the first file
  // of each pattern in the first folder.
  Scan("*.mp3 *.zip", "folder /one");
  EXPECT_FALSE(completed_);
  EXPECT_EQ(events_, (Strings{"folder /one", "/a.mp3", "/a.zip"}));

  // Phase 3: the listing that saw the flag ends, the folder's next pattern
  // gets one file, and no later folder is listed.
  events_.clear();
  aborted_ = false;
  Scan("*.mp3 *.zip", "/a.mp3");
  EXPECT_FALSE(completed_);
  EXPECT_EQ(events_, (Strings{"folder /one", "folder /two", "/a.mp3", "/a.zip"}));
}

TEST_F(ScanTree, AnUnreadableFolderIsReportedAndTheWalkGoesOn) {
  Scan("*.mp3");
  EXPECT_TRUE(events_.empty());
  ASSERT_FALSE(unreadable_.empty());
  EXPECT_EQ(unreadable_.front(), Root());
}

}  // namespace
}  // namespace lyricade
