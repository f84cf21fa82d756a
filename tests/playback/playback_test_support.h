#pragma once
// A show with its own data and scratch folders, the fake audio sink, a
// recording CD+G sink and video target, and a loop that runs the 30 ms timer
// while waiting for something to happen.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>

#include "app/show.h"
#include "cdg/cdg_writer.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "singers/history_recorder.h"
#include "support/counting_song.h"
#include "support/test_media.h"

namespace lyricade::testing {

// Frames of the song's video renderer.
class RecordingVideoTarget : public VideoFrameTarget {
public:
  void VideoStarted() override { started_ = true; }
  bool PresentVideoFrame(const uint8_t*, size_t, int width, int height, size_t) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++frames_;
    width_ = width;
    height_ = height;
    return true;
  }
  void VideoStopped() override { stopped_ = true; }
  int Frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  int Width() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return width_;
  }
  int Height() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return height_;
  }
  bool Started() const { return started_; }
  bool Stopped() const { return stopped_; }

private:
  mutable std::mutex mutex_;
  int frames_ = 0, width_ = 0, height_ = 0;
  std::atomic<bool> started_{false}, stopped_{false};
};

// The songs the show started, as "singer: title", in order.
class RecordingHistory : public HistoryRecorder {
public:
  void RecordStartedSong(const QueuedSong& song, const std::string& singer) override {
    started.push_back(singer + ": " + song.Title);
  }
  std::vector<std::string> started;
};

class ShowFixture : public ::testing::Test {
protected:
  explicit ShowFixture(const char* audioSink = "fakesink sync=false") {
    setenv("LYRICADE_AUDIO_SINK", audioSink, 1);
    std::filesystem::create_directories(folder.File("songs"));
    std::filesystem::create_directories(folder.File("data"));
  }
  void SetUp() override {
    show = std::make_unique<Show>(settings, prompts,
                                  ShowFolders{folder.File("data/"), folder.File("scratch/"),
                                              LYRICADE_MODULE_FOLDER});
    show->SetCdgSink(&sink);
    show->SetSongVideoTarget(&video);
  }
  void TearDown() override { show.reset(); }

  // An MP3 with its .cdg beside it.
  std::string MakeSong(const std::string& name, double seconds) {
    const std::string mp3 = folder.File("songs/" + name + ".mp3");
    EXPECT_TRUE(MakeMp3(mp3, seconds));
    const auto bytes = CountingSong(static_cast<int>(seconds));
    std::ofstream(folder.File("songs/" + name + ".cdg"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return mp3;
  }

  // Runs events and the 30 ms timer until `done` or the time is up.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      show->tick();
      if (done()) return true;
      QThread::msleep(10);
    }
    return false;
  }
  void RunFor(int ms) {
    RunUntil([] { return false; }, ms);
  }

  TestFolder folder;
  AppSettings settings;
  ScriptedPrompts prompts;
  LastFrameSink sink;
  RecordingVideoTarget video;
  std::unique_ptr<Show> show;
};

}  // namespace lyricade::testing
