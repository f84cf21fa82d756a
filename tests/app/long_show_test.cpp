// A long non-stop show as a venue runs one: ten singers with fifteen songs
// each, a missing file and a file that is not music among them, a break in
// the middle with music from a drive plugged in after the start, and a
// second start of the program on the same data folder. The show runs to its
// end with every song recorded, the lists kept and the host told what was
// skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "app/ui/data_folder_owner.h"
#include "common/text_file.h"
#include "playback/playback_test_support.h"
#include "support/child_process.h"

namespace lyricade {
namespace {

class LongShow : public testing::ShowFixture {
protected:
  static constexpr int kSingers = 10, kSongsEach = 15;

  void SetUp() override {
    ShowFixture::SetUp();
    show->SetHistory(&history);
    QObject::connect(show.get(), &Show::hostNoteChanged, [this] {
      if (!show->HostNote().empty()) notes.push_back(show->HostNote());
    });
  }
  std::string ReadFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Queues every singer's songs: three generated songs shared by all
  // entries, each entry with a title of its own.
  void QueueTheNight(const std::string& missing, const std::string& notMusic) {
    const std::string songs[] = {MakeSong("One", 1), MakeSong("Two", 1), MakeSong("Three", 1)};
    for (int singer = 0; singer < kSingers; ++singer) {
      show->Rotation().AddSinger("Singer " + std::to_string(singer));
      for (int i = 0; i < kSongsEach; ++i) {
        QueuedSong song;
        song.Title = "S" + std::to_string(singer) + "-" + std::to_string(i);
        song.Path = songs[(singer + i) % 3];
        if (singer == 3 && i == 4) song.Path = missing;
        if (singer == 7 && i == 1) song.Path = notMusic;
        show->Rotation().QueueSong(singer, song);
      }
    }
  }

  testing::RecordingHistory history;
  std::vector<std::string> notes;
};

TEST_F(LongShow, ANonStopNightRunsToItsEndWithNothingLost) {
  settings.KeepPlayingNonStop = true;
  settings.ProceedToNextSinger = true;
  settings.AutoManageAmbients = true;
  settings.RandomIncrement = false;
  const std::string data = folder.File("data/");
  DataFolderOwner owner;
  ASSERT_TRUE(owner.Claim(data));

  // The break list names a track here and two on a drive not plugged in yet.
  const std::string here = folder.File("songs/Here.mp3");
  ASSERT_TRUE(testing::MakeMp3(here, 1));
  const std::vector<std::string> breakList = {here, folder.File("drive/Late One.mp3"),
                                              folder.File("drive/Late Two.mp3")};
  ASSERT_TRUE(WriteTextLinesAtomically(data + AmbientList::kFileName, breakList));
  ASSERT_TRUE(show->Ambients().Load(data + AmbientList::kFileName));
  ASSERT_EQ(show->Ambients().Size(), 3);

  const std::string notMusic = folder.File("songs/Tiny.mp3");
  std::ofstream(notMusic, std::ios::binary) << std::string(1024, 'x');
  QueueTheNight(folder.File("songs/Gone.mp3"), notMusic);

  // Music before the first singer: the track that is there, over and over.
  show->StartNextBreakTrack();
  ASSERT_TRUE(RunUntil([&] { return show->Music().PlayingPath() == here; }));
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());

  // A file that does not play stays queued and is passed over at each of
  // the singer's turns, with the note each time; the host takes it out.
  const std::string notPlaying = "Skipped: S7-1: the file does not play";
  ASSERT_TRUE(RunUntil([&] { return !notes.empty() && notes.back() == notPlaying; }, 60000));
  ASSERT_EQ(show->Rotation().Singers()[7].Playlist.front().Title, "S7-1");
  show->Rotation().SelectSinger(7);
  show->Rotation().SelectSong(0);
  prompts.QueueAnswer(PromptAnswer::Yes);
  ASSERT_TRUE(show->RemoveSelectedSong());
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() >= 70; }, 120000));

  // A break: the song that plays ends into the break music; the drive is
  // plugged in and its tracks play in turn.
  settings.KeepPlayingNonStop = false;
  const int before = show->SongsEnded();
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > before; }));
  EXPECT_TRUE(show->Music().Playing());
  std::filesystem::create_directories(folder.File("drive"));
  std::filesystem::copy_file(here, breakList[1]);
  std::filesystem::copy_file(here, breakList[2]);
  ASSERT_TRUE(RunUntil([&] { return show->Music().PlayingPath() == breakList[2]; }));

  // A second start on the same data folder, from a terminal, while the
  // first program owns it: it says so, ends with status 1, writes nothing.
  show->FlushRotationFile();
  const std::string listBefore = ReadFile(show->RotationFile());
  {
    testing::ChildProcess second(
        {"/usr/bin/script", "-qec", std::string(LYRICADE_PROGRAM) + " --data-dir '" + data + "'", "/dev/null"},
        {{"XDG_CACHE_HOME", folder.File("cache")}, {"XDG_CONFIG_HOME", folder.File("config")}},
        folder.File("second.log"));
    EXPECT_EQ(second.WaitForExit(60000), 1) << ReadFile(folder.File("second.log"));
  }
  EXPECT_NE(ReadFile(folder.File("second.log")).find(DataFolderOwner::kAlreadyRunning), std::string::npos);
  EXPECT_EQ(ReadFile(show->RotationFile()), listBefore);

  // Back to the singers, non-stop to the last song.
  settings.KeepPlayingNonStop = true;
  ASSERT_TRUE(show->Play());
  EXPECT_TRUE(show->Music().FadingOut() || !show->Music().Playing());
  ASSERT_TRUE(RunUntil([&] { return show->Rotation().Empty() && !show->SongPlaying(); }, 120000));

  // Every entry was started once and in turn (the two that could not play
  // are recorded as any started song is); the rest played to their ends.
  std::map<std::string, int> times;
  for (const std::string& line : history.started) ++times[line];
  EXPECT_EQ(times.size(), static_cast<size_t>(kSingers * kSongsEach));
  for (const auto& [line, count] : times) EXPECT_EQ(count, 1) << line;
  EXPECT_EQ(history.started[0], "Singer 0: S0-0");
  EXPECT_EQ(history.started[1], "Singer 1: S1-0");
  EXPECT_EQ(history.started.back(), "Singer 9: S9-14");
  EXPECT_EQ(show->SongsEnded(), kSingers * kSongsEach - 2);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "Skipped: S3-4: the file is missing"), 1);
  EXPECT_EQ(show->HostNote(), "");

  // What the program writes at exit: the empty rotation and the break list
  // as it was read, the late drive's tracks included.
  show->FlushRotationFile();
  EXPECT_EQ(ReadFile(show->RotationFile()), "");
  ASSERT_TRUE(show->Ambients().Save(data + AmbientList::kFileName));
  EXPECT_EQ(ReadTextLines(data + AmbientList::kFileName), std::optional(breakList));
}

}  // namespace
}  // namespace lyricade
