// A whole show through the host controller, without a screen: singers and
// songs queued, cued, played with generated songs and a fake audio sink,
// songs ending with each combination of options, the list file kept.
#include <gtest/gtest.h>

#include <sstream>

#include "playback/playback_test_support.h"

namespace lyricade {
namespace {

class ScriptedShow : public testing::ShowFixture {
protected:
  void SetUp() override {
    ShowFixture::SetUp();
    show->SetHistory(&history);
    std::filesystem::create_directories(folder.File("data"));
  }
  // Queues `count` generated songs for the singer.
  void Queue(int singer, int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = show->Rotation().Singers()[singer].Name + std::to_string(i);
      QueuedSong song;
      song.Title = name;
      song.Path = MakeSong(name, 1);
      show->Rotation().QueueSong(singer, song);
    }
  }
  std::string Current() const {
    const SingerRotation& rotation = show->Rotation();
    return rotation.ValidSinger(rotation.CurrentSinger())
               ? rotation.Singers()[rotation.CurrentSinger()].Name
               : std::string("-");
  }
  // Plays the current song to its end.
  void PlayToTheEnd() {
    const int ended = show->SongsEnded();
    ASSERT_TRUE(show->Play());
    ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > ended; }));
  }
  std::string ListFile() const {
    std::ifstream in(show->RotationFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string Expected() const {
    std::string text;
    for (const std::string& line : show->Rotation().ListFileLines()) text += line + "\r\n";
    return text;
  }

  testing::RecordingHistory history;
};

TEST_F(ScriptedShow, FiveSingersTakeTheirTurns) {
  settings.ProceedToNextSinger = true;
  settings.AutoAnnounceSinger = true;
  for (const char* name : {"Ana", "Ben", "Cy", "Dee", "Eve"}) show->Rotation().AddSinger(name);
  Queue(0, 3);
  Queue(1, 2);
  Queue(3, 4);
  Queue(4, 3);
  EXPECT_EQ(ListFile(), Expected());

  // "Next Singer" before any song, then Play: the end of that song keeps Ana.
  show->NextSinger();
  EXPECT_EQ(Current(), "Ana");
  EXPECT_TRUE(show->PlayEnabled());
  PlayToTheEnd();
  EXPECT_EQ(Current(), "Ana");
  EXPECT_EQ(show->LastAnnouncement(), (std::vector<std::string>{"Ana", "Ana1", ""}));
  // The next end moves on; Cy has no songs and is passed over.
  PlayToTheEnd();
  EXPECT_EQ(Current(), "Ben");
  PlayToTheEnd();
  EXPECT_EQ(Current(), "Dee");
  EXPECT_EQ(history.started,
            (std::vector<std::string>{"Ana: Ana0", "Ana: Ana1", "Ben: Ben0"}));
  EXPECT_EQ(show->Rotation().Singers()[0].Playlist.size(), 1u);
  EXPECT_EQ(ListFile(), Expected());

  // "Next Singer" while Dee's song plays moves once; its end does not move
  // again.
  ASSERT_TRUE(show->Play());
  show->NextSinger();
  EXPECT_EQ(Current(), "Eve");
  ASSERT_TRUE(RunUntil([&] { return !show->Transport().State().Playing; }));
  EXPECT_EQ(Current(), "Eve");

  // Eve sings all three: with "Remove Empty Singers" her last song takes
  // her out, and the next advance stays on the singer after her (Ana).
  settings.ProceedToNextSinger = false;
  for (int i = 0; i < 3; ++i) {
    show->CueSinger(show->Rotation().FindSingerExactly("Eve"));
    PlayToTheEnd();
  }
  EXPECT_EQ(show->Rotation().FindSingerExactly("Eve"), -1);
  EXPECT_EQ(show->Rotation().Count(), 4);
  show->NextSinger();
  EXPECT_EQ(Current(), "Ana");
  EXPECT_EQ(ListFile(), Expected());

  // A restart reads the same rotation back.
  const auto singers = show->Rotation().Singers();
  show.reset();
  Show restarted(settings, prompts, ShowFolders{folder.File("data/"), folder.File("scratch/"), ""});
  restarted.LoadRotation();
  EXPECT_EQ(restarted.Rotation().Singers(), singers);
  EXPECT_EQ(restarted.Rotation().CurrentSinger(), -1);
}

TEST_F(ScriptedShow, SteeringSurvivesARestartInItsOwnFile) {
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  Queue(0, 1);
  Queue(1, 1);
  show->Rotation().SetSittingOut(1, true);
  show->Rotation().SetNextUpLocked(true);
  // The list file is what it always was; the state sits beside it.
  EXPECT_EQ(ListFile(), Expected());
  ASSERT_TRUE(std::filesystem::exists(show->RotationStateFile()));
  show.reset();
  Show restarted(settings, prompts, ShowFolders{folder.File("data/"), folder.File("scratch/"), ""});
  restarted.LoadRotation();
  ASSERT_EQ(restarted.Rotation().Count(), 2);
  EXPECT_TRUE(restarted.Rotation().Singers()[1].SittingOut);
  EXPECT_TRUE(restarted.Rotation().NextUpLocked());
}

TEST_F(ScriptedShow, KeepPlayingSkipsASongThatPlaysNothingAndTellsTheHost) {
  settings.KeepPlayingNonStop = true;
  settings.RemoveEmptySingers = false;
  settings.ProceedToNextSinger = true;
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  show->Rotation().AddSinger("Cleo");
  QueuedSong gone;
  gone.Title = "Gone";
  gone.Path = folder.File("songs/gone.mp3");
  show->Rotation().QueueSong(0, gone);
  Queue(1, 1);
  Queue(2, 1);
  show->CueSinger(0);

  // Ana's file is missing: her entry goes as a missing file's does, Ben's
  // song starts at once and the note stays while it plays.
  show->Play();
  EXPECT_TRUE(show->SongPlaying());
  EXPECT_EQ(history.started, (std::vector<std::string>{"Ana: Gone", "Ben: Ben0"}));
  EXPECT_EQ(show->HostNote(), "Skipped: Gone: the file is missing");
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() == 1; }));
  EXPECT_EQ(history.started.back(), "Cleo: Cleo0");
  EXPECT_EQ(show->HostNote(), "");

  // Nothing but a song that does not play: one try, then the show waits.
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() == 2; }));
  show->Rotation().QueueSong(0, gone);
  show->CueSinger(0);
  show->Play();
  EXPECT_FALSE(show->SongPlaying());
  EXPECT_EQ(show->HostNote(), "Skipped: Gone: the file is missing");
}

TEST_F(ScriptedShow, KeepPlayingStartsTheNextSongItself) {
  settings.KeepPlayingNonStop = true;
  settings.ProceedToNextSinger = true;
  settings.AutoManageAmbients = true;
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  Queue(0, 1);
  Queue(1, 1);
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());
  EXPECT_EQ(show->BreakMusicFadeOuts(), 1);
  // Ana's song ends, Ben's starts at once, then the rotation is empty.
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() == 2; }));
  EXPECT_EQ(history.started, (std::vector<std::string>{"Ana: Ana0", "Ben: Ben0"}));
  EXPECT_TRUE(show->Rotation().Empty());
  EXPECT_EQ(show->BreakMusicStarts(), 0);  // no break music between non-stop songs
  EXPECT_EQ(ListFile(), "");
}

TEST_F(ScriptedShow, BreakMusicAndAnnouncementsBetweenSongs) {
  settings.AutoManageAmbients = true;
  settings.AutoAnnounceSinger = true;
  show->Rotation().AddSinger("Ana");
  Queue(0, 2);
  show->CueSinger(0);
  // Without "Proceed to Next Singer" nothing is current after the song:
  // the announcement has nobody to name.
  PlayToTheEnd();
  EXPECT_EQ(show->BreakMusicStarts(), 1);
  EXPECT_TRUE(show->LastAnnouncement().empty());
  // With it, the end of the song moves on and announces who is up.
  settings.ProceedToNextSinger = true;
  show->CueSinger(0);
  show->Rotation().QueueSong(0, show->Rotation().Singers()[0].Playlist[0]);
  PlayToTheEnd();
  EXPECT_EQ(show->BreakMusicStarts(), 2);
  EXPECT_EQ(show->LastAnnouncement(), (std::vector<std::string>{"Ana", "Ana1", ""}));
  EXPECT_GT(show->TickerRebuilds(), 0);
}

TEST_F(ScriptedShow, DelayedStartWaitsMoreThanThreeWholeSeconds) {
  int64_t now = 100'000;
  show->SetClock([&] { return now; });
  show->Rotation().AddSinger("Ana");
  Queue(0, 1);
  show->CueSinger(0);
  show->ArmDelayedStart();
  now += 3999;  // three whole seconds: not yet
  show->tick();
  EXPECT_FALSE(show->Transport().State().Playing);
  now += 1;
  show->tick();
  EXPECT_TRUE(show->Transport().State().Playing);
  EXPECT_FALSE(show->DelayedStartArmed());
  // A stop disarms a pending delayed start.
  show->Stop();
  show->ArmDelayedStart();
  show->Stop();
  EXPECT_FALSE(show->DelayedStartArmed());
}

// What the show asks of the singers' screen, recorded.
class RecordingScreen : public ScreenAnnouncements {
public:
  void DrawAnnounceCard(const std::string& singer, const std::string& title,
                        const std::string&) override {
    cards.push_back(singer + ": " + title);
  }
  bool TickerShowing() const override { return showing; }
  void StartTicker(const std::string& text) override {
    tickers.push_back(text);
    showing = true;
  }
  void ShowCountdown(bool active, int64_t startMs) override {
    countdown.push_back(active ? startMs : -1);
  }
  std::vector<std::string> cards;
  std::vector<std::string> tickers;
  std::vector<int64_t> countdown;
  bool showing = false;
};

TEST_F(ScriptedShow, CountdownEndsOnTheTimerThenTheDelayedStartPlays) {
  RecordingScreen screen;
  show->SetAnnouncements(&screen);
  int64_t now = 50'000;
  show->SetClock([&] { return now; });
  settings.NextStartTimer = true;
  settings.CountdownSeconds = 7;
  show->Rotation().AddSinger("Ana");
  Queue(0, 2);
  show->CueSinger(0);
  show->Announce();
  EXPECT_EQ(screen.cards, (std::vector<std::string>{"Ana: Ana0"}));
  EXPECT_EQ(screen.countdown, (std::vector<int64_t>{50'000}));
  EXPECT_TRUE(show->Scene().AnnounceCardShowing);
  // 7, 6, ..., 1: the timer leaves it alone for seven whole seconds, with
  // no frame drawn at all.
  for (now = 50'000; now < 57'000; now += 500) {
    show->tick();
    ASSERT_TRUE(show->CountdownActive()) << now;
  }
  // At seven: the countdown ends, the card goes, the delayed start is armed.
  now = 57'000;
  show->tick();
  EXPECT_FALSE(show->CountdownActive());
  EXPECT_FALSE(show->Scene().AnnounceCardShowing);
  EXPECT_EQ(screen.countdown.back(), -1);
  EXPECT_TRUE(show->DelayedStartArmed());
  now += 3999;
  show->tick();
  EXPECT_FALSE(show->Transport().State().Playing);
  now += 1;
  show->tick();
  EXPECT_TRUE(show->Transport().State().Playing);

  // A stop before the end takes the card and the countdown down; no
  // delayed start follows.
  show->Stop();
  show->CueSinger(0);
  show->Announce();
  ASSERT_TRUE(show->CountdownActive());
  show->Stop();
  EXPECT_FALSE(show->CountdownActive());
  EXPECT_FALSE(show->Scene().AnnounceCardShowing);
  now += 60'000;
  show->tick();
  EXPECT_FALSE(show->DelayedStartArmed());

  // While a song plays the host is asked first: "No" leaves the song and
  // the screen alone, "Yes" stops it and announces.
  Queue(0, 2);
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());
  show->CueSinger(0);
  prompts.QueueAnswer(PromptAnswer::No);
  show->Announce();
  EXPECT_TRUE(show->SongPlaying());
  EXPECT_FALSE(show->Scene().AnnounceCardShowing);
  EXPECT_FALSE(show->CountdownActive());
  prompts.QueueAnswer(PromptAnswer::Yes);
  show->Announce();
  EXPECT_FALSE(show->SongPlaying());
  EXPECT_TRUE(show->Scene().AnnounceCardShowing);
  EXPECT_TRUE(show->CountdownActive());
  ASSERT_FALSE(prompts.Shown().empty());
  EXPECT_EQ(prompts.Shown().back().Caption, "Announce Singer");
  EXPECT_EQ(prompts.Shown().back().Text, "A song is playing. Stop it and announce the next singer?");
}

TEST_F(ScriptedShow, NextSingersStartTheTickerOnceAndOnlyWithSomeoneToName) {
  RecordingScreen screen;
  show->SetAnnouncements(&screen);
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  Queue(0, 1);
  Queue(1, 1);
  // Off by default.
  show->ShowNextSingers();
  EXPECT_TRUE(screen.tickers.empty());
  settings.AutoNextSingerTicker = true;
  // Nobody current yet: the walk covers the rotation once from the first.
  show->ShowNextSingers();
  EXPECT_EQ(screen.tickers, (std::vector<std::string>{"Next Singer(s)...  1. Ana   2. Ben   "}));
  // The same line is not sent again while it shows; a changed one is (the
  // screen puts it in at the old line's next pass), so the ticker never
  // names the singer who is already up.
  show->ShowNextSingers();
  EXPECT_EQ(screen.tickers.size(), 1u);
  show->CueSinger(0);
  show->ShowNextSingers();
  EXPECT_EQ(screen.tickers.back(), "Next Singer(s)...  1. Ben   ");
  // Ben without songs and Ana with one: nobody to name, no ticker.
  screen.showing = false;
  show->Rotation().SelectSinger(1);
  show->Rotation().SelectSong(0);
  prompts.QueueAnswer(PromptAnswer::Yes);
  settings.RemoveEmptySingers = false;
  ASSERT_TRUE(show->RemoveSelectedSong());
  show->ShowNextSingers();
  EXPECT_EQ(screen.tickers.size(), 2u);
}

TEST_F(ScriptedShow, TheTickerCanNameEachWaitFromTheSongsOwnLengths) {
  RecordingScreen screen;
  show->SetAnnouncements(&screen);
  settings.AutoNextSingerTicker = true;
  SongLengths lengths(folder.File("data/song-lengths.cfg"), "", [](const std::string&) { return 300; });
  show->SetSongLengths(&lengths);
  for (const char* name : {"Ana", "Ben", "Cy"}) show->Rotation().AddSinger(name);
  for (int singer = 0; singer < 3; ++singer) Queue(singer, 1);
  // Lengths not measured yet count as the assumed length.
  EXPECT_EQ(show->SingerWaits()[1].Seconds, Show::kAssumedSongSeconds + ChangeoverClock::kDefaultSeconds);
  lengths.WaitIdle();
  lengths.Collect();
  RotationOptions options = show->Rotation().Options();
  options.TickerWaits = true;
  show->Rotation().SetOptions(options);
  show->CueSinger(0);
  show->ShowNextSingers();
  ASSERT_FALSE(screen.tickers.empty());
  EXPECT_EQ(screen.tickers.back(), "Next Singer(s)...  Ben (~6 min), Cy (~12 min)");
  show->SetSongLengths(nullptr);
}

TEST_F(ScriptedShow, RemovalAndExitQuestions) {
  // Nothing selected: no question at all.
  show->Rotation().SelectSinger(-1);
  EXPECT_FALSE(show->RemoveSelectedSinger());
  EXPECT_TRUE(prompts.Shown().empty());
  show->Rotation().AddSinger("Ana");
  Queue(0, 1);
  show->Rotation().SelectSinger(0);
  show->Rotation().SelectSong(0);
  EXPECT_FALSE(show->RemoveSelectedSong());  // No: nothing removed
  ASSERT_EQ(prompts.Shown().back().Text, "Are you sure?");
  EXPECT_EQ(prompts.Shown().back().Caption, "Remove");
  prompts.QueueAnswer(PromptAnswer::Yes);
  EXPECT_TRUE(show->RemoveSelectedSong());
  EXPECT_TRUE(show->Rotation().Empty());  // the empty singer went with it

  show->Rotation().AddSinger("Ben");
  prompts.QueueAnswer(PromptAnswer::Cancel);
  EXPECT_FALSE(show->ConfirmExit());
  prompts.QueueAnswer(PromptAnswer::No);
  EXPECT_TRUE(show->ConfirmExit());
  EXPECT_EQ(ListFile(), "0\r\n");
  prompts.QueueAnswer(PromptAnswer::Yes);
  EXPECT_TRUE(show->ConfirmExit());
  EXPECT_EQ(ListFile(), "1\r\n-Ben\r\n0\r\n");

  // A song still playing asks first.
  Queue(0, 1);
  show->CueSinger(0);
  ASSERT_TRUE(show->Play());
  prompts.ClearShown();
  prompts.QueueAnswer(PromptAnswer::No);
  EXPECT_FALSE(show->ConfirmExit());
  EXPECT_EQ(prompts.Shown().back().Caption, "Exit Program");
}

// Counts the warnings the host controller logs.
int appWarnings = 0;
void CountAppWarnings(QtMsgType type, const QMessageLogContext& context, const QString&) {
  if (type == QtWarningMsg && context.category && std::string(context.category) == "lyricade.app")
    ++appWarnings;
}

TEST_F(ScriptedShow, AnUnwritableSingerListIsReportedOnceUntilASaveSucceeds) {
  // A folder where the list file should be: every save fails.
  std::filesystem::create_directories(show->RotationFile());
  appWarnings = 0;
  const QtMessageHandler previous = qInstallMessageHandler(CountAppWarnings);
  show->Rotation().AppendSinger("Ana");
  show->Rotation().AppendSinger("Ben");
  show->Rotation().MoveSingerToTop();
  EXPECT_EQ(appWarnings, 1);
  std::filesystem::remove(show->RotationFile());
  show->Rotation().AppendSinger("Cy");
  EXPECT_EQ(ListFile(), Expected());
  std::filesystem::remove(show->RotationFile());
  std::filesystem::create_directories(show->RotationFile());
  show->Rotation().AppendSinger("Dee");
  EXPECT_EQ(appWarnings, 2) << "reported again after a save succeeded";
  qInstallMessageHandler(previous);
}

TEST_F(ScriptedShow, PlayAfterAnEmptiedSingerSingsTheNextSingersSong) {
  settings.RemoveEmptySingers = true;
  settings.ProceedToNextSinger = true;
  show->Rotation().AddSinger("Carol");
  show->Rotation().AddSinger("Bob");
  Queue(0, 1);
  Queue(1, 1);
  show->CueSinger(0);
  PlayToTheEnd();  // Carol's last song: Carol is erased, Bob is up
  ASSERT_EQ(Current(), "Bob");
  ASSERT_TRUE(show->Play());
  EXPECT_EQ(history.started, (std::vector<std::string>{"Carol: Carol0", "Bob: Bob0"}));
  EXPECT_TRUE(show->Rotation().Singers().empty() || show->Rotation().Singers()[0].Playlist.empty());

  // Nobody with songs up: Play replays the last song, as before.
  show->Stop();
  EXPECT_TRUE(show->Play());
  EXPECT_EQ(history.started.size(), 2u);
}

TEST_F(ScriptedShow, CueingShowsTheKeyAndStopClearsTheDisplays) {
  int idlePictures = 0;
  show->SetIdlePreview([&] { ++idlePictures; });
  show->Rotation().AddSinger("Ana");
  show->Rotation().AddSinger("Ben");
  Queue(0, 1);
  QueuedSong bens;
  bens.Title = "Ben's";
  bens.Path = MakeSong("Ben's", 3);
  bens.Key = -2;
  bens.Multiplex = 1;
  show->Rotation().QueueSong(1, bens);
  int labelRefreshes = 0;
  QObject::connect(show.get(), &Show::transportChanged, [&] { ++labelRefreshes; });
  // Cueing puts the cued song's key and channel on the labels before Play.
  show->CueSinger(1);
  EXPECT_GT(labelRefreshes, 0);
  EXPECT_EQ(show->KeyText(), "-2");
  EXPECT_EQ(show->ChannelText(), "Left");

  ASSERT_TRUE(show->Play());
  // Held, so the song cannot end by itself before it is stopped.
  show->TogglePause();
  show->SetProgressDragging(true);
  show->DragProgressTo(100);
  show->tick();
  show->SetProgressDragging(false);
  EXPECT_EQ(show->ProgressBarValue(), 100);
  EXPECT_EQ(show->TimeText().substr(5), " | 00:03");
  idlePictures = 0;
  show->Stop();
  EXPECT_EQ(show->ProgressBarValue(), 0);
  EXPECT_EQ(show->TimeText(), "00:00 | 00:00");
  EXPECT_GT(idlePictures, 0) << "the preview shows its idle picture again";
}

}  // namespace
}  // namespace lyricade
