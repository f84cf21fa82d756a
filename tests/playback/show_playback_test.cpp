#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/media/midi_synth.h"
#include "playback/lyric_display.h"
#include "lyrics/timed_lyrics.h"
#include "playback_test_support.h"
#include "support/test_midi.h"

namespace lyricade {
namespace {

using testing::ShowFixture;

constexpr int64_t kSecond = 10'000'000;

class ShowPlayback : public ShowFixture {};

TEST_F(ShowPlayback, LocalMp3gPlaysWithItsGraphicsAndEndsOnce) {
  const std::string song = MakeSong("Artist - Title", 2);
  ASSERT_TRUE(show->PlaySong(song, 0, 20));
  const PlaybackState& state = show->Transport().State();
  EXPECT_TRUE(state.Playing);
  EXPECT_TRUE(state.HasGraphics);
  EXPECT_EQ(state.KeyText, "+2");
  EXPECT_EQ(state.ChannelText, "Center");
  EXPECT_TRUE(show->Cdg().IsOpen());
  EXPECT_TRUE(show->Scene().CdgMode);
  EXPECT_TRUE(show->Scene().SongVisualShowing);
  EXPECT_FALSE(show->PlayEnabled());
  EXPECT_EQ(sink.Opened(), 1);

  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }));
  RunFor(200);  // a second end event, if any, has had time to arrive
  EXPECT_EQ(show->SongsEnded(), 1);
  EXPECT_FALSE(state.Playing);
  EXPECT_FALSE(show->Cdg().IsOpen());
  EXPECT_EQ(sink.Closed(), 1);
  EXPECT_FALSE(show->Scene().SongVisualShowing);
  EXPECT_TRUE(show->PlayEnabled());
  EXPECT_EQ(show->BreakMusicStarts(), 0);  // the end of a song: a song follows
  EXPECT_TRUE(prompts.Shown().empty());

  // The graph log in the data folder lists the filters by name.
  std::ifstream log(folder.File("data/QuillonLog.log"));
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str().rfind("\n\nFilter Graph\n", 0), 0u);
  EXPECT_NE(text.str().find("\nQuillon DSP Filter\n"), std::string::npos);
  EXPECT_NE(text.str().find("\nTexture Renderer 0\n"), std::string::npos);
}

TEST_F(ShowPlayback, UpperCaseGraphicsBesideTheAudioShow) {
  const std::string song = MakeSong("Ripped", 1);
  const std::string upper = folder.File("songs/RIPPED.MP3");
  std::filesystem::rename(song, upper);
  std::filesystem::rename(folder.File("songs/Ripped.cdg"), folder.File("songs/RIPPED.CDG"));
  ASSERT_TRUE(show->PlaySong(upper, 0, 0));
  EXPECT_EQ(show->Opener().Current().Graphics, folder.File("songs/RIPPED.CDG"));
  EXPECT_TRUE(show->Transport().State().HasGraphics);
  EXPECT_TRUE(show->Cdg().IsOpen());
}

TEST_F(ShowPlayback, StaleAndRepeatedEndEventsAreDropped) {
  const std::string first = MakeSong("First", 2);
  const std::string second = MakeSong("Second", 2);
  ASSERT_TRUE(show->PlaySong(first, 0, 0));
  const GraphId firstGraph = show->Transport().CurrentGraphId();
  ASSERT_TRUE(show->PlaySong(second, 1, 0));
  const GraphId secondGraph = show->Transport().CurrentGraphId();
  ASSERT_NE(firstGraph, secondGraph);
  show->graphEvent(firstGraph, GraphEvent::Complete);
  EXPECT_TRUE(show->Transport().State().Playing);
  EXPECT_EQ(show->SongsEnded(), 0);
  show->graphEvent(secondGraph, GraphEvent::ErrorAbort);
  show->graphEvent(secondGraph, GraphEvent::Complete);
  EXPECT_EQ(show->SongsEnded(), 1);
  EXPECT_FALSE(show->Transport().State().Playing);
}

TEST_F(ShowPlayback, MissingAndUnplayableFiles) {
  // A missing local file: true (the song leaves the queue), nothing plays.
  EXPECT_TRUE(show->PlaySong(folder.File("songs/gone.mp3"), 0, 0));
  EXPECT_FALSE(show->Transport().State().Playing);
  EXPECT_TRUE(prompts.Shown().empty());
  EXPECT_EQ(show->BreakMusicStarts(), 0);

  // A file the graph cannot render: false, stopped without a message, and
  // the break music starts when it is managed automatically.
  settings.AutoManageAmbients = true;
  const std::string junk = folder.File("songs/junk.mp3");
  std::ofstream(junk) << "this is not audio at all";
  EXPECT_FALSE(show->PlaySong(junk, 0, 0));
  EXPECT_FALSE(show->Transport().State().Playing);
  EXPECT_EQ(show->Transport().CurrentGraphId(), 0u);
  EXPECT_TRUE(prompts.Shown().empty());
  EXPECT_EQ(show->BreakMusicStarts(), 1);
}

TEST_F(ShowPlayback, VideoWithGraphicsBesideItRunsBoth) {
  const std::string clip = folder.File("songs/Clip.avi");
  ASSERT_TRUE(testing::MakeVideo(clip, 1.0, 160, 120));
  const auto bytes = testing::CountingSong(1);
  std::ofstream(folder.File("songs/Clip.cdg"), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(show->PlaySong(clip, 0, 0));
  EXPECT_TRUE(show->Transport().State().HasGraphics);
  EXPECT_TRUE(show->Transport().Graph()->HasVideo());
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }));
  EXPECT_TRUE(video.Started());
  EXPECT_GT(video.Frames(), 5);
  EXPECT_EQ(video.Width(), 160);
  EXPECT_TRUE(video.Stopped());
}

TEST_F(ShowPlayback, AVideoBiggerThanTheScreenArrivesShrunkWithItsProportions) {
  const std::string clip = folder.File("songs/Wide.avi");
  ASSERT_TRUE(testing::MakeVideo(clip, 0.2, 2400, 1200));
  ASSERT_TRUE(show->PlaySong(clip, 0, 0));
  ASSERT_TRUE(RunUntil([&] { return video.Frames() > 0; }));
  EXPECT_EQ(video.Width(), 1920);
  EXPECT_EQ(video.Height(), 960);
}

// Timing matters here: the fake sink plays in real time.
class ShowPlaybackInTime : public ShowFixture {
protected:
  ShowPlaybackInTime() : ShowFixture("fakesink sync=true") {}
};

TEST_F(ShowPlaybackInTime, GraphicsFollowTheAudioThroughPauseAndSeek) {
  const std::string song = MakeSong("Timed", 4);
  ASSERT_TRUE(show->PlaySong(song, 0, 0));
  ASSERT_TRUE(RunUntil([&] { return show->Transport().CurrentPosition() > kSecond + kSecond / 5; }));
  show->tick();
  const int64_t position = show->Transport().CurrentPosition();
  EXPECT_NEAR(show->Cdg().SectorPosition(), CdgPlayer::TargetSector(position), 8);
  EXPECT_EQ(sink.PixelAt(160, 120), 0xFF100000u);  // colour 1 from second 1 on
  // The time text and the progress bar follow the song (4 s long).
  EXPECT_EQ(show->TimeText(), "00:01 | 00:04");
  EXPECT_NEAR(show->ProgressBarValue(), 184 * position / show->Transport().State().Duration, 1);
  // While the host drags the bar the timer leaves it alone.
  show->SetProgressDragging(true);
  const int dragged = show->ProgressBarValue();
  RunFor(100);
  EXPECT_EQ(show->ProgressBarValue(), dragged);
  show->SetProgressDragging(false);

  // Paused: the position and the picture hold.
  show->TogglePause();
  RunFor(100);
  const int64_t held = show->Transport().CurrentPosition();
  const int presented = sink.Presented();
  RunFor(300);
  EXPECT_EQ(show->Transport().CurrentPosition(), held);
  EXPECT_EQ(sink.Presented(), presented);

  // A seek while paused moves the picture at the next tick.
  show->Seek(3 * kSecond + kSecond / 10);
  ASSERT_TRUE(RunUntil([&] { return show->Cdg().SectorPosition() >= 232; }, 5000));
  EXPECT_EQ(sink.PixelAt(160, 120), 0xFF300000u);  // colour 3
  // Back to the start of second 2: replayed from the start.
  show->Seek(2 * kSecond + kSecond / 10);
  ASSERT_TRUE(RunUntil([&] { return show->Cdg().SectorPosition() < 232; }, 5000));
  EXPECT_EQ(sink.PixelAt(160, 120), 0xFF200000u);
  show->TogglePause();
  EXPECT_FALSE(show->Transport().State().Paused);
  show->Stop();
  EXPECT_FALSE(show->Transport().State().Playing);
}

}  // namespace
}  // namespace lyricade

namespace lyricade {
namespace {

class RecordingLyrics : public LyricDisplay {
public:
  void OpenLyrics(const TimedLyrics& lyrics) override {
    ++opened;
    lines.clear();
    for (const LyricLine& line : lyrics.Lines) lines.push_back(line.Text());
  }
  void LyricsAt(int64_t positionMs) override { last = positionMs; }
  void CloseLyrics() override { ++closed; }
  int opened = 0, closed = 0;
  int64_t last = -1;
  std::vector<std::string> lines;
};

// Timed lyrics beside the audio (any letter case), or in a MIDI file, reach
// the screen and follow the song's position; a video song's lyric file is
// not used, its own picture is the song's.
TEST_F(ShowPlayback, TimedLyricsFollowTheSongAndAVideosLyricFileIsIgnored) {
  RecordingLyrics display;
  show->SetLyricDisplay(&display);
  const std::string mp3 = folder.File("songs/Timed.mp3");
  ASSERT_TRUE(testing::MakeMp3(mp3, 2));
  std::ofstream(folder.File("songs/TIMED.lrc")) << "[00:00.20]One\n[00:01.00]Two <00:01.50>more\n";
  ASSERT_TRUE(show->PlaySong(mp3, 0, 0));
  EXPECT_EQ(display.lines, (std::vector<std::string>{"One", "Two more"}));
  EXPECT_TRUE(show->Scene().CdgMode);
  EXPECT_TRUE(show->Scene().SongVisualShowing);
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }));
  EXPECT_GE(display.last, 0);
  EXPECT_EQ(display.closed, 1);

  const std::string mp4 = folder.File("songs/Clip.mp4");
  ASSERT_TRUE(testing::MakeMp4(mp4, 1));
  std::ofstream(folder.File("songs/Clip.lrc")) << "[00:00.20]Not for video\n";
  ASSERT_TRUE(show->PlaySong(mp4, 0, 0));
  EXPECT_EQ(display.opened, 1);
  show->Stop();

  if (FindSoundFont().empty()) return;
  const std::string kar = folder.File("songs/Tune.kar");
  ASSERT_TRUE(testing::MakeKaraokeMidi(kar, {"@TTune"}, {{"/Sing "}, {"this"}, {"/Now"}}));
  EXPECT_TRUE(show->ChannelsApply());
  ASSERT_TRUE(show->PlaySong(kar, 0, 0));
  EXPECT_EQ(display.lines, (std::vector<std::string>{"Sing this", "Now"}));
  EXPECT_FALSE(show->ChannelsApply()) << "a MIDI song has no channels to choose";
  show->Stop();
  EXPECT_EQ(display.closed, 2);
  EXPECT_TRUE(show->ChannelsApply());
}

}  // namespace
}  // namespace lyricade
