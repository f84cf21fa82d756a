#include "playback/zip_song_extractor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "playback/zip_test_support.h"

namespace lyricade {
namespace {

using testing::Exists;
using testing::ReadWhole;
using testing::TestFolder;
using testing::ZipMember;

const std::string kDamaged = "ZIP file empty, bad or damaged!";

class ZipSongExtractorTest : public ::testing::Test {
protected:
  ZipSongExtractorTest() : zipped_(folder_.File("Zipped/")) { UseModuleFolder(LYRICADE_TEST_MODULE_FOLDER); }

  void UseModuleFolder(const std::string& moduleFolder) {
    extractor_ = std::make_unique<ZipSongExtractor>(zipped_, prompts_, moduleFolder);
    SetClock(10, 20, 500);  // 10:20:30.500
  }
  void SetClock(int hour, int minute, int millisecond) {
    extractor_->SetClock([=] { return ScratchClock{hour, minute, millisecond}; });
  }

  std::string Zip(const std::string& name, const std::vector<ZipMember>& members) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(testing::WriteZip(path, members));
    return path;
  }
  // The same archive with its directory's end record cut off: minizip cannot
  // open it, the fallback module reads the members' local headers.
  std::string CutZip(const std::string& name, const std::vector<ZipMember>& members, size_t cut = 22) {
    const std::string path = Zip(name, members);
    EXPECT_TRUE(testing::CutTail(path, cut));
    return path;
  }

  std::vector<std::pair<std::string, std::string>> Messages() const {
    std::vector<std::pair<std::string, std::string>> shown;
    for (const ShownPrompt& prompt : prompts_.Shown()) shown.emplace_back(prompt.Caption, prompt.Text);
    return shown;
  }

  TestFolder folder_;
  std::string zipped_;
  ScriptedPrompts prompts_;
  std::unique_ptr<ZipSongExtractor> extractor_;
  const std::string song_ = testing::FakeMp3(40);
  const std::string cdg_ = testing::FakeCdg(300);
};

TEST(ScratchNaming, NameAndNumberFromTheClock) {
  EXPECT_EQ(ScratchNumber({10, 20, 500}), 700u);
  EXPECT_EQ(ScratchFolderName(700), "LYR02BC.TMP");
  EXPECT_EQ(ScratchFolderName(0x1ABCD), "LYRABCD.TMP");  // low 16 bits
  EXPECT_EQ(ScratchNumber({0, 59, 0}), 0u);               // midnight hour: 0 → next free name
  EXPECT_EQ(ScratchNumber({23, 59, 999}), 999u + 59u * 23u);
}

TEST_F(ZipSongExtractorTest, Mp3AndCdgIntoTheClocksScratchFolderWithDatesAndPreviousSongDeleted) {
  const uint32_t when = testing::DosDateTime(2018, 3, 9, 21, 45, 10);
  const std::string first = Zip("first.zip", {{"Song.mp3", song_, when}, {"Song.cdg", cdg_, when}});
  std::string audio;
  ASSERT_TRUE(extractor_->ExtractZipSong(first, audio));
  const std::string scratch = zipped_ + "LYR02BC.TMP/";
  EXPECT_EQ(audio, scratch + "Song.mp3");
  EXPECT_EQ(extractor_->Record().GraphicsPath, scratch + "Song.cdg");
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_EQ(ReadWhole(scratch + "Song.cdg"), cdg_);
  struct stat info {};
  ASSERT_EQ(::stat(audio.c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, testing::LocalTime(2018, 3, 9, 21, 45, 10));
  ASSERT_EQ(::stat(zipped_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "the Zipped folder is private to the user";
  EXPECT_TRUE(prompts_.Shown().empty());

  // The next song, a moment later: its own folder, the previous files gone.
  SetClock(10, 21, 250);
  const std::string second = Zip("second.zip", {{"Other.cdg", cdg_}, {"Other.mp3", song_}});
  ASSERT_TRUE(extractor_->ExtractZipSong(second, audio));
  EXPECT_EQ(audio, zipped_ + ScratchFolderName(250 + 21 * 10) + "/Other.mp3");
  EXPECT_TRUE(Exists(audio));
  EXPECT_FALSE(Exists(scratch + "Song.mp3"));
  EXPECT_FALSE(Exists(scratch + "Song.cdg"));
  EXPECT_TRUE(Exists(scratch)) << "empty scratch folders stay until the program ends";

  extractor_->DeleteExtractedFiles();
  EXPECT_FALSE(Exists(audio));
  EXPECT_FALSE(Exists(zipped_ + ScratchFolderName(460) + "/Other.cdg"));
  EXPECT_TRUE(extractor_->Record().AudioPath.empty());
}

TEST_F(ZipSongExtractorTest, StrippingTheExtractedMp3LeavesTheAudioAsItWas) {
  const std::string tagged = folder_.File("tagged.mp3");
  ASSERT_TRUE(testing::WriteWhole(tagged, song_));
  {
    TagLib::MPEG::File file(tagged.c_str(), false);
    file.ID3v2Tag(true)->setTitle("A Song To Sing");
    file.ID3v1Tag(true)->setTitle("A Song To Sing");
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2,
                          TagLib::File::StripNone));
  }
  const std::string withTags = ReadWhole(tagged);
  ASSERT_GT(withTags.size(), song_.size() + 128) << "both tags written";

  std::string audio;
  ASSERT_TRUE(extractor_->ExtractZipSong(Zip("tagged.zip", {{"Song.mp3", withTags}, {"Song.cdg", cdg_}}), audio));
  EXPECT_TRUE(StripId3Tags(audio));
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_TRUE(StripId3Tags(audio)) << "nothing left to strip is no failure";
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_FALSE(StripId3Tags(folder_.File("missing.mp3")));
  // A link in the audio file's place is not rewritten through.
  const std::string link = folder_.File("link.mp3");
  ASSERT_EQ(::symlink(tagged.c_str(), link.c_str()), 0);
  EXPECT_FALSE(StripId3Tags(link));
  EXPECT_EQ(ReadWhole(tagged), withTags);
}

TEST_F(ZipSongExtractorTest, WmaOnlyCdgAndFoldersInsideTheArchive) {
  std::string audio;
  ASSERT_TRUE(extractor_->ExtractZipSong(Zip("wma.zip", {{"Song.WMA", "wma bytes"}, {"Song.cdg", cdg_}}), audio));
  EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/Song.WMA");
  EXPECT_TRUE(Exists(audio));

  // No audio member: success with no audio path; song opening reports it.
  ASSERT_TRUE(extractor_->ExtractZipSong(Zip("cdg.zip", {{"Song.cdg", cdg_}}), audio));
  EXPECT_EQ(audio, "");
  EXPECT_EQ(extractor_->Record().GraphicsPath, zipped_ + "LYR02BC.TMP/Song.cdg");
  EXPECT_TRUE(prompts_.Shown().empty());

  // Members in folders are written flat, and recorded where they were written.
  ASSERT_TRUE(extractor_->ExtractZipSong(
      Zip("folders.zip", {{"Karaoke/", ""}, {"Karaoke/Artist/Song.mp3", song_}, {"Karaoke\\Artist\\Song.cdg", cdg_}}),
      audio));
  EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/Song.mp3");
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_EQ(extractor_->Record().GraphicsPath, zipped_ + "LYR02BC.TMP/Song.cdg");
  EXPECT_EQ(ReadWhole(extractor_->Record().GraphicsPath), cdg_);
  EXPECT_FALSE(Exists(zipped_ + "LYR02BC.TMP/Karaoke"));
}

TEST_F(ZipSongExtractorTest, EmptyArchiveAndNotAZip) {
  std::string audio = "stale";
  ASSERT_TRUE(testing::WriteZip(folder_.File("empty.zip"), {}));
  EXPECT_FALSE(extractor_->ExtractZipSong(folder_.File("empty.zip"), audio));
  EXPECT_EQ(audio, "");
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{{"3. UnZIP", kDamaged}}));

  prompts_.ClearShown();
  ASSERT_TRUE(testing::WriteWhole(folder_.File("text.zip"), "this is not an archive\n"));
  EXPECT_FALSE(extractor_->ExtractZipSong(folder_.File("text.zip"), audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{{"1a. UnZIP", kDamaged}}));

  prompts_.ClearShown();
  EXPECT_FALSE(extractor_->ExtractZipSong(folder_.File("nowhere.zip"), audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{{"1a. UnZIP", kDamaged}}));
}

TEST_F(ZipSongExtractorTest, CutOffDirectoryIsExtractedByTheFallbackAndPlays) {
  std::string audio;
  const std::string cut = CutZip("cut.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}});
  ASSERT_TRUE(extractor_->ExtractZipSong(cut, audio));
  EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/Song.mp3");
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_EQ(ReadWhole(zipped_ + "LYR02BC.TMP/Song.cdg"), cdg_);
  EXPECT_TRUE(prompts_.Shown().empty());
  struct stat info {};
  ASSERT_EQ(::stat(audio.c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, testing::LocalTime(2019, 6, 15, 14, 30, 20));

  // Half the end record gone: minizip opens the archive but cannot walk it.
  ASSERT_TRUE(extractor_->ExtractZipSong(CutZip("halfcut.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}}, 10), audio));
  EXPECT_EQ(ReadWhole(audio), song_);
  EXPECT_TRUE(prompts_.Shown().empty());

  // The fallback keeps the members' folders and records where they went.
  ASSERT_TRUE(extractor_->ExtractZipSong(
      CutZip("cutfolders.zip", {{"Disc 1/Song.mp3", song_}, {"Disc 1/Song.cdg", cdg_}}), audio));
  EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/Disc 1/Song.mp3");
  EXPECT_EQ(ReadWhole(extractor_->Record().GraphicsPath), cdg_);
  EXPECT_FALSE(Exists(zipped_ + "LYR02BC.TMP/Song.mp3")) << "previous extraction deleted";

  // Audio or graphics missing after the fallback: the "1" messages.
  ASSERT_FALSE(extractor_->ExtractZipSong(CutZip("noaudio.zip", {{"Song.cdg", cdg_}}), audio));
  ASSERT_FALSE(extractor_->ExtractZipSong(CutZip("nographics.zip", {{"Song.mp3", song_}}), audio));
  // The fallback takes "mp3" alone as audio.
  ASSERT_FALSE(extractor_->ExtractZipSong(CutZip("wma.zip", {{"Song.wma", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{
                            {"1a. UnZIP", kDamaged}, {"1b. UnZIP", kDamaged}, {"1a. UnZIP", kDamaged}}));
}

TEST_F(ZipSongExtractorTest, DamagedMembersGoToTheFallbackAndNeverPassHalfWritten) {
  std::string audio;
  // A bad checksum in the audio: neither reader gives it whole.
  std::string badAudio = Zip("badaudio.zip", {{"Song.mp3", song_, {}, true}, {"Song.cdg", cdg_}});
  ASSERT_TRUE(testing::Corrupt(badAudio, song_.substr(1000, 200)));
  EXPECT_FALSE(extractor_->ExtractZipSong(badAudio, audio));
  EXPECT_FALSE(Exists(zipped_ + "LYR02BC.TMP/Song.mp3"));

  std::string badGraphics = Zip("badcdg.zip", {{"Song.mp3", song_}, {"Song.cdg", testing::FakeCdg(50, 0x31) + "tail", {}, true}});
  ASSERT_TRUE(testing::Corrupt(badGraphics, testing::FakeCdg(50, 0x31)));
  EXPECT_FALSE(extractor_->ExtractZipSong(badGraphics, audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{
                            {"4. UnZIP", kDamaged}, {"4a. UnZIP", kDamaged}}));
}

// Small archives that ask for far more than any song: refused by their
// directory before a byte of them is written, on whichever engine.
TEST_F(ZipSongExtractorTest, ZipBombsAreRefusedBeforeAnythingIsWritten) {
  std::string audio;
  const std::string scratch = zipped_ + "LYR02BC.TMP/";
  // 4 MiB of silence deflates past 1000:1; real songs stay near 1:1.
  const std::string bomb = Zip("bomb.zip", {{"Song.mp3", std::string(4u << 20, '\0')}, {"Song.cdg", cdg_}});
  EXPECT_FALSE(extractor_->ExtractZipSong(bomb, audio));
  EXPECT_FALSE(Exists(scratch + "Song.mp3"));
  EXPECT_FALSE(Exists(scratch + "Song.cdg"));

  // Too many entries, and a name past any file system's.
  std::vector<ZipMember> many = {{"Song.mp3", song_}, {"Song.cdg", cdg_}};
  for (int i = 0; i < 10'001; ++i) many.push_back({"x" + std::to_string(i), "", 0, true});
  EXPECT_FALSE(extractor_->ExtractZipSong(Zip("many.zip", many), audio));
  EXPECT_FALSE(extractor_->ExtractZipSong(
      Zip("longname.zip", {{"Song.mp3", song_}, {std::string(1100, 'n') + ".cdg", cdg_}}), audio));
  EXPECT_FALSE(Exists(scratch + "Song.mp3"));

  // More than the disk can spare: nothing is written, and an archive the
  // reader cannot judge (its directory cut off) stops at the same budget on
  // the fallback.
  ZipLimits tight;
  tight.FreeSpaceReserve = WritableBytes(folder_.Path(), 0);
  extractor_->SetLimits(tight);
  EXPECT_FALSE(extractor_->ExtractZipSong(Zip("song.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_FALSE(extractor_->ExtractZipSong(CutZip("cut.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_FALSE(Exists(scratch + "Song.mp3"));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{
                            {"3. UnZIP", kDamaged}, {"3. UnZIP", kDamaged}, {"3. UnZIP", kDamaged},
                            {"3. UnZIP", kDamaged}, {"1a. UnZIP", kDamaged}}));

  // The same archive with room to spare plays.
  extractor_->SetLimits({});
  EXPECT_TRUE(extractor_->ExtractZipSong(folder_.File("song.zip"), audio));
  EXPECT_EQ(ReadWhole(audio), song_);
}

TEST_F(ZipSongExtractorTest, Deflate64SongsPlayThroughTheFallback) {
  const std::string song = testing::Compressible(300'000);
  const std::string graphics = testing::Compressible(40'000, 3);
  const std::string archive = folder_.File("d64.zip");
  ASSERT_TRUE(testing::Write7zDeflate64(archive, folder_.File("work"), {{"Song.mp3", song}, {"Song.cdg", graphics}}));
  std::string audio;
  ASSERT_TRUE(extractor_->ExtractZipSong(archive, audio));
  EXPECT_EQ(ReadWhole(audio), song);
  EXPECT_EQ(ReadWhole(extractor_->Record().GraphicsPath), graphics);
  EXPECT_TRUE(prompts_.Shown().empty());
  // Nothing of the program's private folder stays beside the song.
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(zipped_ + "LYR02BC.TMP"))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"Song.mp3", "Song.cdg"}));
}

TEST_F(ZipSongExtractorTest, PreviousFilesUnderTheNewNamesAreKept) {
  // Same moment, same scratch folder: the earlier song's graphics file has the
  // name the new one is extracted under, and must survive the clean-up.
  std::string audio;
  ASSERT_TRUE(extractor_->ExtractZipSong(Zip("a.zip", {{"A.mp3", song_}, {"Song.cdg", "old"}}), audio));
  ASSERT_TRUE(extractor_->ExtractZipSong(CutZip("b.zip", {{"B.mp3", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/B.mp3");
  EXPECT_EQ(ReadWhole(zipped_ + "LYR02BC.TMP/Song.cdg"), cdg_);
  EXPECT_FALSE(Exists(zipped_ + "LYR02BC.TMP/A.mp3"));
}

TEST_F(ZipSongExtractorTest, HostileMemberNamesTouchNothingOutsideTheScratchFolder) {
  const std::string outside = folder_.File("outside/");
  std::filesystem::create_directories(outside);
  ASSERT_TRUE(testing::WriteWhole(outside + "keep.mp3", "precious"));
  std::filesystem::create_directories(zipped_);
  const std::vector<ZipMember> members = {
      {"../../outside/keep.mp3", "evil"},
      {"../escape.mp3", "evil"},
      {"..\\..\\outside\\win.cdg", "evil"},
      {outside + "absolute.mp3", "evil"},
      {"/etc/lyricade-test.cdg", "evil"},
      {"C:\\drive.mp3", "evil"},
      {"fine/../../../outside/x.cdg", "evil"},
      {"Song.mp3", song_},
      {"Song.cdg", cdg_},
  };
  for (const bool cut : {false, true}) {
    SCOPED_TRACE(cut ? "fallback only" : "reader, then fallback");
    const auto before = testing::Snapshot(folder_.Path(), zipped_);
    std::string audio;
    ASSERT_TRUE(extractor_->ExtractZipSong(cut ? CutZip("hostile-cut.zip", members) : Zip("hostile.zip", members), audio));
    EXPECT_EQ(audio, zipped_ + "LYR02BC.TMP/Song.mp3");
    EXPECT_EQ(ReadWhole(audio), song_);
    EXPECT_EQ(extractor_->Record().GraphicsPath, zipped_ + "LYR02BC.TMP/Song.cdg");
    auto after = testing::Snapshot(folder_.Path(), zipped_);
    after.erase(folder_.File(cut ? "hostile-cut.zip" : "hostile.zip") + " " +
                std::to_string(std::filesystem::file_size(folder_.File(cut ? "hostile-cut.zip" : "hostile.zip"))));
    EXPECT_EQ(after, before);
    EXPECT_EQ(ReadWhole(outside + "keep.mp3"), "precious");
    EXPECT_FALSE(Exists("/etc/lyricade-test.cdg"));
    // Inside the scratch folder only the two good members were written.
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(zipped_ + "LYR02BC.TMP"))
      written.insert(entry.path().filename().string());
    EXPECT_EQ(written, (std::set<std::string>{"Song.mp3", "Song.cdg"}));
  }
  EXPECT_TRUE(prompts_.Shown().empty());
}

TEST_F(ZipSongExtractorTest, MissingOrBrokenModule) {
  const TestFolder noModule;
  UseModuleFolder(noModule.Path());
  std::string audio;
  EXPECT_FALSE(extractor_->ExtractZipSong(CutZip("cut.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{
                            {"Unzip",
                             "Cannot find libeunzip32.so. The Dll must be in the application directory, the "
                             "path, the Windows directory or the Windows System directory."},
                            {"1a. UnZIP", kDamaged}}));

  prompts_.ClearShown();
  ASSERT_TRUE(testing::WriteWhole(noModule.File("libeunzip32.so"), "not a shared object"));
  EXPECT_FALSE(extractor_->ExtractZipSong(folder_.File("cut.zip"), audio));
  EXPECT_EQ(Messages(), (std::vector<std::pair<std::string, std::string>>{
                            {"Unzip", "Could not load libeunzip32.so"}, {"1a. UnZIP", kDamaged}}));

  // Archives the built-in reader handles never need the module.
  prompts_.ClearShown();
  EXPECT_TRUE(extractor_->ExtractZipSong(Zip("good.zip", {{"Song.mp3", song_}, {"Song.cdg", cdg_}}), audio));
  EXPECT_TRUE(prompts_.Shown().empty());
}

}  // namespace
}  // namespace lyricade
