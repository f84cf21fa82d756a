// The background video through the host controller, with videos made at
// test time: each song start replaces it (a companion video in any letter
// case, else the next entry), the timer loops it, a still picture stays, and
// a graph that never showed a frame is still released when the next starts.
#include <gtest/gtest.h>

#include <QImage>
#include <mutex>
#include <vector>

#include "playback/playback_test_support.h"

namespace lyricade {
namespace {

using namespace testing;

// Records what the background layer is told, in order; refuses every frame
// when asked to, as a screen that cannot show them would.
class BackgroundTarget : public VideoFrameTarget {
public:
  explicit BackgroundTarget(bool refuseFrames = false) : refuse_(refuseFrames) {}
  void VideoStarted() override { Record("started"); }
  bool PresentVideoFrame(const uint8_t*, size_t, int, int, size_t) override {
    std::lock_guard lock(mutex_);
    ++frames_;
    return !refuse_;
  }
  void VideoStopped() override { Record("stopped"); }
  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  int Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }

private:
  void Record(const char* event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  bool refuse_;
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
  int frames_ = 0;
};

class BackgroundVideoTest : public ShowFixture {
protected:
  void SetUp() override {
    ShowFixture::SetUp();
    show->SetBackgroundVideoTarget(&target);
  }
  std::string Video(const std::string& name, double seconds = 1.0) {
    const std::string path = folder.File("songs/" + name);
    EXPECT_TRUE(MakeVideo(path, seconds));
    return path;
  }
  BackgroundVideos& Backgrounds() { return show->Backgrounds(); }
  BackgroundTarget target;
};

TEST_F(BackgroundVideoTest, EachSongStartReplacesItByCompanionOrNextEntry) {
  const std::string first = Video("first.avi"), second = Video("second.avi");
  const std::string companion = Video("Duet.AVI");
  const std::string plain = MakeSong("Plain", 2), duet = MakeSong("duet", 2);
  Backgrounds().List().Add(first);
  Backgrounds().List().Add(second);

  // Off: song starts leave the background alone.
  ASSERT_TRUE(show->PlaySong(plain, 0, 0));
  EXPECT_FALSE(Backgrounds().Playing());

  settings.BackgroundsEnabled = true;
  const char* expected[] = {"first.avi", "second.avi", "first.avi"};
  for (const char* name : expected) {
    ASSERT_TRUE(show->PlaySong(plain, 0, 0));
    EXPECT_EQ(Backgrounds().PlayingPath(), folder.File(std::string("songs/") + name));
  }
  // A song with a video of its name (any letter case) brings its own; the
  // list stays where it was.
  ASSERT_TRUE(show->PlaySong(duet, 0, 0));
  EXPECT_EQ(Backgrounds().PlayingPath(), companion);
  EXPECT_EQ(Backgrounds().List().CurrentIndex(), 0);
  EXPECT_TRUE(RunUntil([&] { return target.Frames() > 0; }));

  // The "Enable" box: off stops it, on starts the current entry again.
  Backgrounds().Enable(false);
  EXPECT_FALSE(Backgrounds().Playing());
  EXPECT_FALSE(settings.BackgroundsEnabled);
  Backgrounds().Enable(true);
  EXPECT_EQ(Backgrounds().PlayingPath(), first);
}

TEST_F(BackgroundVideoTest, TheTimerLoopsAVideoAndAStillPictureStays) {
  settings.BackgroundsEnabled = true;
  Backgrounds().List().Add(Video("loop.avi", 1.0));
  Backgrounds().List().SetCurrent(0);
  ASSERT_TRUE(Backgrounds().StartCurrent());
  EXPECT_GT(Backgrounds().Duration(), 9000000);
  const GraphId graph = Backgrounds().CurrentGraph();
  // Twice around a one-second video, on the same graph, frames all along.
  ASSERT_TRUE(RunUntil([&] { return Backgrounds().Loops() >= 2; }, 10000));
  EXPECT_EQ(Backgrounds().CurrentGraph(), graph);
  const int frames = target.Frames();
  EXPECT_TRUE(RunUntil([&] { return target.Frames() > frames; }, 3000));

  QImage picture(64, 48, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  const std::string still = folder.File("Party.Night.jpg");
  ASSERT_TRUE(picture.save(QString::fromStdString(still)));
  ASSERT_TRUE(Backgrounds().Start(still));
  RunFor(1500);
  EXPECT_TRUE(Backgrounds().Playing());
  EXPECT_EQ(Backgrounds().Loops(), 0);
  EXPECT_GE(target.Frames(), frames + 1);
}

TEST(BackgroundVideoStart, AGraphThatNeverShowedAFrameIsReleasedByTheNext) {
  // Every frame refused: the layer never reports a first frame shown.
  setenv("LYRICADE_AUDIO_SINK", "fakesink sync=false", 1);
  TestFolder folder;
  AppSettings settings;
  BackgroundTarget refusing(true);
  BackgroundVideos videos(settings);
  videos.SetTarget(&refusing);
  const std::string a = folder.File("a.avi"), b = folder.File("b.avi");
  ASSERT_TRUE(MakeVideo(a, 1.0));
  ASSERT_TRUE(MakeVideo(b, 1.0));
  ASSERT_TRUE(videos.Start(a));
  ASSERT_TRUE(videos.Start(b));
  EXPECT_EQ(refusing.Events(), (std::vector<std::string>{"started", "stopped", "started"}));
  // A file that is gone or does not play leaves nothing running.
  EXPECT_FALSE(videos.Start(folder.File("gone.avi")));
  EXPECT_FALSE(videos.Playing());
  EXPECT_EQ(refusing.Events().back(), "stopped");
  std::ofstream(folder.File("broken.wmv")) << "not a video";
  EXPECT_FALSE(videos.Start(folder.File("broken.wmv")));
  EXPECT_FALSE(videos.Playing());

  // The next background passes over entries whose drive is not plugged in.
  videos.List().Add(folder.File("drive/late.avi"));
  videos.List().Add(b);
  videos.List().SetCurrent(-1);
  ASSERT_TRUE(videos.StartNext());
  EXPECT_EQ(videos.List().CurrentIndex(), 1);
}

}  // namespace
}  // namespace lyricade
