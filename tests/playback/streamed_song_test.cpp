#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "playback_test_support.h"
#include "store/vendor_service.h"

namespace lyricade {
namespace {

using testing::VendorService;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// The local vendor service answers the stream check with `checkAnswer` and
// serves the song's audio (Type=1) and graphics (Type=2).
class StreamedSong : public testing::ShowFixture {
protected:
  // In real time: the song opens on the graph's threads, and a song played
  // as fast as it decodes would end before its opened state could be seen.
  StreamedSong() : ShowFixture("fakesink sync=true") {}
  void Serve(std::string checkAnswer) {
    MakeSong("Streamed", 1);
    graphics_ = ReadAll(folder.File("songs/Streamed.cdg"));
    std::filesystem::create_directories(folder.File("service"));
    server_ = std::make_unique<VendorService>(
        folder.File("service/"),
        testing::VendorFiles{"", "", folder.File("songs/Streamed.mp3"),
                             folder.File("songs/Streamed.cdg")});
    ASSERT_TRUE(server_->Ready());
    ASSERT_TRUE(server_->Set("checksub", checkAnswer));
    setenv("LYRICADE_SERVICE_URL", server_->HttpBase().c_str(), 1);
    setenv("LYRICADE_SERVICE_TIMEOUT", "2", 1);
    // The show reads the service's settings when it is made.
    show = std::make_unique<Show>(settings, prompts,
                                  ShowFolders{folder.File("data/"), folder.File("scratch/"),
                                              LYRICADE_MODULE_FOLDER});
    show->SetCdgSink(&sink);
  }
  void TearDown() override {
    show.reset();
    server_.reset();
    unsetenv("LYRICADE_SERVICE_URL");
    unsetenv("LYRICADE_SERVICE_TIMEOUT");
  }

  std::unique_ptr<VendorService> server_;
  std::string graphics_;
};

TEST_F(StreamedSong, PlaysFromTheServiceWithItsGraphics) {
  Serve("--:STREAM:--Streamed.mp3\r\n");
  ASSERT_TRUE(show->PlaySong("http://AccountID=A 7&SongID=42", 2, -30));
  const PlaybackState& state = show->Transport().State();
  EXPECT_TRUE(state.Playing);
  ASSERT_TRUE(RunUntil([&] { return !state.Opening; }));
  EXPECT_TRUE(state.LiveDuration);
  EXPECT_TRUE(state.HasGraphics);
  EXPECT_EQ(state.KeyText, "-3");
  EXPECT_EQ(state.ChannelText, "Right");
  EXPECT_TRUE(prompts.Shown().empty());
  // The check sends everything after "http://", blanks as underscores.
  const auto requests = server_->Requests();
  ASSERT_GE(requests.size(), 3u);
  EXPECT_EQ(requests[0], "/cgi-bin/vudazazareziraro/LYRSubs/checksub.asp?AccountID=A_7&SongID=42");
  EXPECT_NE(std::find(requests.begin(), requests.end(),
                      "/cgi-bin/vudazazareziraro/LYRSubs/getfilesub.aspx?AccountID=A_7&SongID=42"
                      "&MP3File=Streamed.mp3&Type=2"),
            requests.end());
  // The graphics landed in "temp.cdg" in a folder below "Stream/".
  bool found = false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.File("scratch/Stream")))
    found = found || (entry.path().filename() == "temp.cdg" && ReadAll(entry.path()) == graphics_);
  EXPECT_TRUE(found);
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }));
  EXPECT_EQ(show->SongsEnded(), 1);
}

TEST_F(StreamedSong, AStreamQueuedForASingerPlaysOnHerTurn) {
  Serve("--:STREAM:--Streamed.mp3");
  const int singer = show->Rotation().AddSinger("Ana");
  QueuedSong song;
  song.Title = "Streamed";
  song.Path = "http://AccountID=ACC-1001&SongID=ST-1";
  ASSERT_TRUE(show->Rotation().QueueSong(singer, song));
  show->CueSinger(singer);
  ASSERT_TRUE(show->Play());
  ASSERT_TRUE(RunUntil([&] { return !show->Transport().State().Opening; }));
  EXPECT_TRUE(show->Transport().State().HasGraphics);
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() == 1; }));
  EXPECT_EQ(server_->RequestsFor("checksub.asp?AccountID=ACC-1001&SongID=ST-1").size(), 1u);
  EXPECT_TRUE(prompts.Shown().empty());
}

TEST_F(StreamedSong, AnAnswerWithoutTheMarkerIsShown) {
  Serve("Your subscription has expired");
  EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
  EXPECT_FALSE(show->Transport().State().Playing);
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Streaming Failure");
  EXPECT_EQ(prompts.Shown()[0].Text, "Your subscription has expired");
}

TEST_F(StreamedSong, AFileNameThatWouldChangeTheAddressIsRefused) {
  for (const char* answer : {"--:STREAM:--", "--:STREAM:--a&Type=2", "--:STREAM:--../x.mp3",
                             "--:STREAM:--a#b", "--:STREAM:--a\x01b"}) {
    if (!server_) Serve(answer);
    ASSERT_TRUE(server_->Set("checksub", answer));
    prompts.ClearShown();
    EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
    EXPECT_FALSE(show->Transport().State().Playing) << answer;
    ASSERT_EQ(prompts.Shown().size(), 1u) << answer;
    EXPECT_EQ(prompts.Shown()[0].Text, "Connection Failure, Check Your Internet Connection");
    EXPECT_TRUE(server_->RequestsFor("getfilesub").empty()) << answer;
  }
}

TEST_F(StreamedSong, AShortOrMissingAnswerIsAConnectionFailure) {
  Serve("x");
  EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Text, "Connection Failure, Check Your Internet Connection");
  // A service that never answers, then nobody listening at all.
  server_->Set("checksub", "!hang");
  prompts.ClearShown();
  EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Text, "Connection Failure, Check Your Internet Connection");
  server_.reset();
  prompts.ClearShown();
  EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Text, "Connection Failure, Check Your Internet Connection");
}

TEST_F(StreamedSong, ASilentStreamOpensWithoutHoldingTheWindowAndStopsAfterItsWait) {
  Serve("--:STREAM:--Streamed.mp3");
  ASSERT_TRUE(server_->Set("getfilesub1", "!hang"));
  // The window's timer keeps ticking while the service says nothing.
  QElapsedTimer clock;
  qint64 lastTick = 0, longestGap = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, clock.elapsed() - lastTick);
    lastTick = clock.elapsed();
  });
  ticker.start(10);
  static std::string logged;
  logged.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { logged += text.toStdString() + "\n"; });
  clock.start();
  EXPECT_TRUE(show->PlaySong("http://AccountID=7&SongID=42", 0, 0));
  EXPECT_LT(clock.elapsed(), 1000) << "the request waited for the audio";
  const PlaybackState& state = show->Transport().State();
  EXPECT_TRUE(state.Opening);
  EXPECT_TRUE(state.Playing);
  lastTick = clock.elapsed();
  const bool ended = RunUntil([&] { return !state.Opening; }, 10000);
  qInstallMessageHandler(previous);
  ASSERT_TRUE(ended);
  // The log names the address that did not answer, never its account.
  EXPECT_NE(logged.find("getfilesub.aspx"), std::string::npos) << logged;
  EXPECT_EQ(logged.find("AccountID"), std::string::npos) << logged;
  // The service's wait (2 s here), then the song is stopped as a song that
  // does not render is, the reason kept; no box.
  EXPECT_GE(clock.elapsed(), 1900);
  EXPECT_FALSE(state.Playing);
  EXPECT_EQ(show->Transport().CurrentGraphId(), 0u);
  EXPECT_EQ(show->Transport().LastGraphError(), "not ready within 2000 ms");
  EXPECT_TRUE(prompts.Shown().empty());
  RunUntil([] { return false; }, 100);
  EXPECT_LT(longestGap, 200) << "the window was held for " << longestGap << " ms";
  EXPECT_TRUE(server_->RequestsFor("Type=2").empty()) << "no graphics for a song that did not open";
}

TEST_F(StreamedSong, GraphicsThatFailLeaveNothingPlaying) {
  Serve("--:STREAM:--Streamed.mp3");
  ASSERT_TRUE(server_->Set("getfilesub2", "!truncate"));
  show->PlaySong("http://AccountID=7&SongID=42", 0, 0);
  ASSERT_TRUE(RunUntil([&] { return !show->Transport().State().Opening; }));
  EXPECT_FALSE(show->Transport().State().Playing);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.File("scratch/Stream")))
    EXPECT_FALSE(entry.is_regular_file()) << entry.path();
}

}  // namespace
}  // namespace lyricade
