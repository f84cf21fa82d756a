// The test of one archive and the runs over a list, driven directly: every
// reason and engine, where unpacked files land, hostile member names, abort,
// the log, and the "UNZIP All" and "Test ZIPs" cases that used to lose or
// delete the host's files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "platform/unzip/unzip_module.h"
#include "zipsweep/archive_trial.h"
#include "zipsweep/sweep_run.h"
#include "zipsweep/zip_log.h"
#include "zipsweep/sweep_test_support.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using testing::Exists;
using testing::ReadWhole;
using testing::SweepMember;
using testing::TestFolder;
using testing::WriteWhole;

class ArchiveSweepTest : public ::testing::Test {
protected:
  std::string Zip(const std::string& name, const std::vector<SweepMember>& members) {
    const std::string path = folder_.File(name);
    fs::create_directories(fs::path(path).parent_path());
    EXPECT_TRUE(testing::WriteSweepZip(path, members));
    return path;
  }
  // A good MP3+G archive; `link` adds a link member, which sends it to the
  // fallback engine.
  std::string Song(const std::string& name, const std::string& base, bool link = false,
                   const std::string& mp3 = {}) {
    std::vector<SweepMember> members = {{base + ".mp3", mp3.empty() ? mp3_ : mp3},
                                        {base + ".cdg", cdg_}};
    if (link) members.push_back({"song-link", "/etc/passwd", true});
    return Zip(name, members);
  }
  std::string Try(const std::string& path, bool mayUseSpare = true) {
    return tester_.Try(path, mayUseSpare).Used;
  }
  SweepSummary Sweep(const std::vector<std::string>& paths, SweepMode mode, bool deleteAfter = false,
                     std::vector<SweepRow>* rows = nullptr, SweepHooks hooks = {}) {
    SweepOptions options;
    options.Mode = mode;
    options.DeleteAfterUnzip = deleteAfter;
    if (rows) {
      rows->assign(paths.size(), {});
      hooks.Finished = hooks.Revised = [rows](size_t i, const SweepRow& row) { (*rows)[i] = row; };
    }
    return SweepRun(tester_, log_, options).Run(paths, hooks);
  }
  // Nothing of the private folders is left in the archive's folder.
  bool NoScratchLeft(const std::string& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.path().filename().string().rfind(".zipsweep-", 0) == 0) return false;
    return true;
  }

  TestFolder folder_;
  TestFolder data_;
  ScriptedPrompts prompts_;
  UnzipModule module_{LYRICADE_TEST_MODULE_FOLDER, prompts_};
  ArchiveTester tester_{module_, data_.File("spare/")};
  ZipLog log_{data_.File("ziplog.txt")};
  const std::string mp3_ = testing::FakeMp3(30);
  const std::string cdg_ = testing::FakeCdg(200);
};

TEST_F(ArchiveSweepTest, EveryReasonAndEngineAndTheExtensionRule) {
  EXPECT_EQ(Try(folder_.File("gone.zip")), "BAD Filename");
  fs::create_directories(folder_.File("folder.zip"));
  EXPECT_EQ(Try(folder_.File("folder.zip")), "BAD Filename");
  ASSERT_TRUE(WriteWhole(folder_.File("text.zip"), "this is no archive"));
  EXPECT_EQ(Try(folder_.File("text.zip")), "ZIP BAD");
  EXPECT_EQ(Try(Zip("empty.zip", {})), "ZIP BAD");

  EXPECT_EQ(Try(Song("plain.zip", "song")), "zLib");
  EXPECT_EQ(Try(Song("capitals.zip", "SONG")), "zLib");
  // The built-in engine does not ask for an MP3 or a CDG.
  EXPECT_EQ(Try(Zip("readme.zip", {{"readme.txt", "hello"}})), "zLib");

  // The fallback engine must produce both, found whatever their letter case.
  EXPECT_EQ(Try(Song("linked.zip", "song", true)), "Info-ZIP");
  EXPECT_EQ(Try(Song("linked-caps.zip", "Song", true)), "Info-ZIP");
  EXPECT_EQ(Try(Zip("mpeg4.zip", {{"song.mpeg4", mp3_}, {"song.cdg", cdg_}, {"l", "x", true}})),
            "Missing MP3");
  EXPECT_EQ(Try(Zip("no-cdg.zip", {{"song.mp3", mp3_}, {"l", "x", true}})), "Missing CDG");

  // Damaged data fails the built-in engine's checksum and the fallback's.
  const std::string badMp3 = Song("bad-mp3.zip", "song");
  ASSERT_TRUE(testing::Corrupt(badMp3, mp3_.substr(2000, 300)));
  EXPECT_EQ(Try(badMp3), "Missing MP3");
  const std::string badCdg = Zip("bad-cdg.zip", {{"song.mp3", mp3_}, {"song.cdg", testing::FakeCdg(50, 0x31)}});
  ASSERT_TRUE(testing::Corrupt(badCdg, testing::FakeCdg(50, 0x31)));
  EXPECT_EQ(Try(badCdg), "Missing CDG");
  EXPECT_TRUE(prompts_.Shown().empty());
  EXPECT_TRUE(NoScratchLeft(folder_.Path()));

  // Without the module each fallback archive shows its message twice (a
  // listing and an extracting pass) and fails; other archives never load it.
  const TestFolder noModule;
  UnzipModule missing(noModule.Path(), prompts_);
  ArchiveTester withoutModule(missing);
  EXPECT_EQ(withoutModule.Try(folder_.File("text.zip"), true).Used, "ZIP BAD");
  EXPECT_EQ(withoutModule.Try(folder_.File("plain.zip"), true).Used, "zLib");
  EXPECT_TRUE(prompts_.Shown().empty());
  EXPECT_EQ(withoutModule.Try(folder_.File("linked.zip"), true).Used, "Missing MP3");
  ASSERT_EQ(prompts_.Shown().size(), 2u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Unzip");
  EXPECT_EQ(prompts_.Shown()[1].Text, prompts_.Shown()[0].Text);
}

TEST_F(ArchiveSweepTest, FoldersFlattenOnTheBuiltInEngineAndStayOnTheFallback) {
  const std::string flat = Zip("flat/a.zip", {{"Artist/", ""}, {"Artist/Song.mp3", mp3_}, {"Artist/Song.cdg", cdg_}});
  const std::string kept = Zip("kept/a.zip", {{"Artist/", ""}, {"Artist/Song.mp3", mp3_},
                                              {"Artist/Song.cdg", cdg_}, {"l", "x", true}});
  std::vector<SweepRow> rows;
  Sweep({flat, kept}, SweepMode::Unzip, false, &rows);
  EXPECT_EQ(rows[0].Used, "zLib");
  EXPECT_EQ(rows[1].Used, "Info-ZIP");
  EXPECT_EQ(ReadWhole(folder_.File("flat/Song.mp3")), mp3_);
  EXPECT_TRUE(Exists(folder_.File("flat/Song.cdg")));
  EXPECT_FALSE(Exists(folder_.File("flat/Artist")));
  EXPECT_EQ(ReadWhole(folder_.File("kept/Artist/Song.mp3")), mp3_);
  EXPECT_TRUE(Exists(folder_.File("kept/Artist/Song.cdg")));
  EXPECT_FALSE(Exists(folder_.File("kept/l")));
  EXPECT_TRUE(Exists(flat) && Exists(kept));
  EXPECT_TRUE(NoScratchLeft(folder_.Path()));
}

TEST_F(ArchiveSweepTest, HostileNamesNeverReachOutsideOnEitherEngine) {
  const std::string outside = folder_.File("outside/");
  fs::create_directories(outside);
  ASSERT_TRUE(WriteWhole(outside + "keep.mp3", "precious"));
  const std::vector<SweepMember> hostile = {
      {"../outside/keep.mp3", "evil"}, {"../up/", ""},           {"..\\outside\\win.cdg", "evil"},
      {outside + "abs.mp3", "evil"},   {"/tmp/zipsweep-abs.cdg", "evil"}, {"a/../../outside/x.cdg", "evil"},
      {"../outside", "/", true},       {"song.mp3", mp3_},        {"song.cdg", cdg_}};
  const std::string archive = Zip("songs/hostile.zip", hostile);
  const auto before = testing::Snapshot(folder_.Path(), folder_.File("songs/"));
  std::vector<SweepRow> rows;
  for (SweepMode mode : {SweepMode::Test, SweepMode::Unzip}) Sweep({archive}, mode, false, &rows);
  // The built-in engine refuses such names; the fallback leaves them out, so
  // the archive is kept.
  EXPECT_EQ(rows[0].Used, "Info-ZIP - ZIP Kept");
  EXPECT_EQ(testing::Snapshot(folder_.Path(), folder_.File("songs/")), before);
  EXPECT_EQ(ReadWhole(outside + "keep.mp3"), "precious");
  EXPECT_FALSE(Exists("/tmp/zipsweep-abs.cdg"));
  std::set<std::string> placed;
  for (const auto& entry : fs::recursive_directory_iterator(folder_.File("songs")))
    placed.insert(entry.path().filename().string());
  EXPECT_EQ(placed, (std::set<std::string>{"hostile.zip", "song.mp3", "song.cdg"}));
  // An archive that lists a hostile MP3 only fails rather than look there.
  EXPECT_EQ(Try(Zip("songs/only-hostile.zip", {{"../outside/keep.mp3", "evil"}, {"song.cdg", cdg_}})),
            "Missing MP3");
  EXPECT_EQ(ReadWhole(outside + "keep.mp3"), "precious");
}

// A bomb fails its test before either engine writes a byte of it, and "UNZIP
// All" with "Delete ZIP after UNZIP" keeps it.
TEST_F(ArchiveSweepTest, ZipBombsFailAndAreKept) {
  const std::string bomb = Zip("songs/bomb.zip", {{"song.mp3", std::string(4u << 20, '\0'), false, false},
                                                   {"song.cdg", cdg_}});
  const std::string many = Zip("songs/many.zip", [&] {
    std::vector<SweepMember> members = {{"song.mp3", mp3_}, {"song.cdg", cdg_}, {"l", "x", true}};
    for (int i = 0; i < 10'001; ++i) members.push_back({"x" + std::to_string(i), ""});
    return members;
  }());
  std::vector<SweepRow> rows;
  Sweep({bomb, many}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(rows[0].Used, "ZIP BAD");
  EXPECT_EQ(rows[1].Used, "ZIP BAD");
  EXPECT_EQ(ReadWhole(data_.File("ziplog.txt")), std::string("Quillon ZIP Tester Log 1.0\n\n") +
                                                     "ZIP BAD, Test Failed, " + bomb + "\n" +
                                                     "ZIP BAD, Test Failed, " + many + "\n");
  std::set<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(folder_.File("songs")))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"bomb.zip", "many.zip"}));
}

// 7-Zip's Deflate64 members pass on the fallback, decoded by Info-ZIP's
// program, and unpack next to the archive like any other.
TEST_F(ArchiveSweepTest, Deflate64ArchivesPassOnTheFallback) {
  const std::string song = testing::Compressible(300'000);
  const std::string graphics = testing::Compressible(40'000, 3);
  const std::string archive = folder_.File("songs/d64.zip");
  fs::create_directories(folder_.File("songs"));
  ASSERT_TRUE(testing::Write7zDeflate64(archive, data_.File("work"), {{"song.mp3", song}, {"song.cdg", graphics}}));
  std::vector<SweepRow> rows;
  Sweep({archive}, SweepMode::Test, false, &rows);
  EXPECT_EQ(rows[0].Used, "Info-ZIP");
  Sweep({archive}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(rows[0].Used, "Info-ZIP");
  EXPECT_EQ(ReadWhole(folder_.File("songs/song.mp3")), song);
  EXPECT_EQ(ReadWhole(folder_.File("songs/song.cdg")), graphics);
  EXPECT_FALSE(Exists(archive));
  EXPECT_TRUE(NoScratchLeft(folder_.Path()));
}

// Archives whose classic end record holds only the ZIP64 markers are read
// through their ZIP64 records, on both engines, and an unpacked song follows
// the umask.
TEST_F(ArchiveSweepTest, Zip64EndRecordsAreRead) {
  const std::string plain = Song("z64.zip", "song");
  ASSERT_TRUE(testing::ToZip64End(plain));
  const std::string linked = Song("z64-linked.zip", "song", true);
  ASSERT_TRUE(testing::ToZip64End(linked));
  EXPECT_EQ(Try(plain), "zLib");
  EXPECT_EQ(Try(linked), "Info-ZIP");
  const mode_t saved = ::umask(027);
  std::vector<SweepRow> rows;
  Sweep({plain}, SweepMode::Unzip, false, &rows);
  ::umask(saved);
  EXPECT_EQ(rows[0].Used, "zLib");
  EXPECT_EQ(ReadWhole(folder_.File("song.mp3")), mp3_);
  EXPECT_EQ(fs::status(folder_.File("song.mp3")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// An archive whose own members land on one name keeps the host's only
// copy of the one replaced, as does one the fallback could not place whole;
// a crashed run's private folder goes, a live one stays.
TEST_F(ArchiveSweepTest, ArchivesThatCannotBePlacedWholeAreKeptAndStaleFoldersGo) {
  const std::string flat = Zip("a/flat.zip", {{"disc1/song.mp3", mp3_}, {"disc2/song.mp3", testing::FakeMp3(10, 5)},
                                              {"song.cdg", cdg_}});
  const std::string twice = Zip("b/twice.zip", {{"song.mp3", mp3_}, {"song.mp3", mp3_}, {"song.cdg", cdg_},
                                                {"l", "x", true}});
  const std::string skipped = Zip("c/skipped.zip", {{"song.mp3", mp3_}, {"song.cdg", cdg_}, {"../up.txt", "x"}});
  const std::string whole = Song("d/whole.zip", "song");
  fs::create_directories(folder_.File("a/.zipsweep-AbC123/x"));
  ASSERT_TRUE(WriteWhole(folder_.File("a/.zipsweep-AbC123/x/song.mp3"), "a crash's copy"));
  fs::last_write_time(folder_.File("a/.zipsweep-AbC123"), fs::file_time_type::clock::now() - std::chrono::minutes(2));
  const ScratchFolder live = ScratchFolder::MakeInside(folder_.File("d"));
  ASSERT_TRUE(live.Valid());

  std::vector<SweepRow> rows;
  Sweep({flat, twice, skipped, whole}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(rows[0].Used, "zLib - ZIP Kept");
  EXPECT_EQ(rows[1].Used, "Info-ZIP - ZIP Kept");
  EXPECT_EQ(rows[2].Used, "Info-ZIP - ZIP Kept");
  EXPECT_EQ(rows[3].Used, "zLib");
  EXPECT_TRUE(Exists(flat));
  EXPECT_TRUE(Exists(twice));
  EXPECT_TRUE(Exists(skipped));
  EXPECT_FALSE(Exists(whole));
  EXPECT_EQ(ReadWhole(data_.File("ziplog.txt")),
            "Quillon ZIP Tester Log 1.0\n\nFiles Share a Name in ZIP, ZIP Kept, " + flat +
                "\nFiles Share a Name in ZIP, ZIP Kept, " + twice +
                "\nFiles Left Out of ZIP, ZIP Kept, " + skipped + "\n");
  EXPECT_FALSE(Exists(folder_.File("a/.zipsweep-AbC123")));
  EXPECT_TRUE(fs::is_directory(live.Path()));
}

TEST_F(ArchiveSweepTest, UnzipAllNeverLosesASong) {
  // Both engines fail: the song the host unpacked before stays.
  ASSERT_TRUE(WriteWhole(folder_.File("song.mp3"), "the host's own"));
  const std::string broken = Song("song.zip", "song");
  ASSERT_TRUE(testing::Corrupt(broken, mp3_.substr(4000, 300)));
  std::vector<SweepRow> rows;
  Sweep({broken}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(rows[0].Used, "Missing MP3");
  EXPECT_EQ(ReadWhole(folder_.File("song.mp3")), "the host's own");
  EXPECT_TRUE(Exists(broken));

  // A later archive of the folder replaces an earlier one's file: the
  // earlier archive is kept, its row and the log say so; the later one goes.
  const std::string first = Song("first.zip", "song", false, testing::FakeMp3(20, 7));
  const std::string second = Song("second.zip", "song", false, testing::FakeMp3(20, 9));
  const std::string other = Song("other.zip", "other");
  const SweepSummary summary = Sweep({first, second, other}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(summary.Deleted, 2u);
  EXPECT_EQ(rows[0].Used, "zLib - ZIP Kept");
  EXPECT_EQ(rows[1].Used, "zLib");
  EXPECT_TRUE(Exists(first));
  EXPECT_FALSE(Exists(second));
  EXPECT_FALSE(Exists(other));
  EXPECT_EQ(ReadWhole(folder_.File("song.mp3")), testing::FakeMp3(20, 9));
  EXPECT_TRUE(Exists(folder_.File("other.mp3")));
  EXPECT_EQ(ReadWhole(data_.File("ziplog.txt")),
            "Quillon ZIP Tester Log 1.0\n\nFiles Replaced by Later ZIP, ZIP Kept, " + first + "\n");

  // A member named like an archive of the run never takes its place.
  const std::string self = Zip("self.zip", {{"self.zip", "a member"}, {"self.cdg", cdg_}});
  const std::string selfBefore = ReadWhole(self);
  Sweep({self}, SweepMode::Unzip, true, &rows);
  EXPECT_EQ(rows[0].Used, "zLib - ZIP Kept");
  EXPECT_EQ(ReadWhole(self), selfBefore);
  EXPECT_NE(ReadWhole(data_.File("ziplog.txt")).find("Files Not Moved Into Place, ZIP Kept, " + self),
            std::string::npos);
  EXPECT_TRUE(NoScratchLeft(folder_.Path()));
}

TEST_F(ArchiveSweepTest, TestZipsLeavesTheFolderAsItWas) {
  ASSERT_TRUE(WriteWhole(folder_.File("song.mp3"), "beside the archive"));
  const std::string archive = Song("song.zip", "song");
  const std::string fallback = Zip("in/song.zip", {{"in/song.mp3", mp3_}, {"in/song.cdg", cdg_}, {"l", "x", true}});
  const auto before = testing::Snapshot(folder_.Path());
  std::vector<SweepRow> rows;
  Sweep({archive, fallback}, SweepMode::Test, false, &rows);
  EXPECT_EQ(rows[0].Used, "zLib");
  EXPECT_EQ(rows[1].Used, "Info-ZIP");
  EXPECT_EQ(testing::Snapshot(folder_.Path()), before);
  EXPECT_EQ(ReadWhole(folder_.File("song.mp3")), "beside the archive");

  // A folder that may not be written is tested in the spare folder.
  if (::geteuid() != 0) {
    fs::permissions(folder_.File("in"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(Try(fallback), "Info-ZIP");
    EXPECT_EQ(Try(fallback, false), "Missing MP3");
    fs::permissions(folder_.File("in"), fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST_F(ArchiveSweepTest, AbortFinishesTheArchiveInProgressAndTheLogHoldsTheFailuresSoFar) {
  ASSERT_TRUE(WriteWhole(data_.File("ziplog.txt"), "an old run's lines\n"));
  const std::string bad = folder_.File("bad.zip");
  ASSERT_TRUE(WriteWhole(bad, "no archive"));
  const std::vector<std::string> list = {folder_.File("gone.zip"), bad, Song("good.zip", "song"),
                                         folder_.File("later.zip")};
  for (int jobs : {1, 3}) {
    SCOPED_TRACE(jobs);
    SweepHooks hooks;
    bool abort = false;
    std::vector<size_t> finished;
    hooks.Starting = [&](size_t index, size_t) { abort = abort || index == 2; };
    hooks.Finished = [&](size_t index, const SweepRow&) { finished.push_back(index); };
    hooks.Aborted = [&] { return abort; };
    SweepOptions options;
    options.Jobs = jobs;
    const SweepSummary summary = SweepRun(tester_, log_, options).Run(list, hooks);
    EXPECT_TRUE(summary.Aborted);
    if (jobs == 1) {
      EXPECT_EQ(summary.Passed + summary.Failed, 3u);
      EXPECT_EQ(finished, (std::vector<size_t>{0, 1, 2}));
      EXPECT_EQ(ReadWhole(data_.File("ziplog.txt")),
                "Quillon ZIP Tester Log 1.0\n\nBAD Filename, Test Failed, " + list[0] +
                    "\nZIP BAD, Test Failed, " + list[1] + "\n");
    } else {
      // Archives already being tested are finished, still in list order.
      ASSERT_GE(finished.size(), 3u);
      for (size_t i = 0; i < finished.size(); ++i) EXPECT_EQ(finished[i], i);
    }
  }
  EXPECT_TRUE(NoScratchLeft(folder_.Path()));
}

}  // namespace
}  // namespace lyricade
