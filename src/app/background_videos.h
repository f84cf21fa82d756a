#pragma once
// The background video: the list of background videos and pictures, and the
// one graph that plays the current one silently into "Texture Renderer 1",
// behind everything on the singers' screen. The 30 ms timer loops it (back
// to 1 ms once it passes its duration minus 0.1 s); a still picture has no
// duration and simply stays. Song opening replaces it at each song start
// while backgrounds are enabled. UI thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/media/media_graph.h"
#include "screen/background_lists.h"

namespace lyricade {

class AppSettings;
class VideoFrameTarget;

class BackgroundVideos {
public:
  static constexpr const char* kRendererName = "Texture Renderer 1";
  // The loop's margin before the end and the position it goes back to, in
  // 100 ns units.
  static constexpr int64_t kLoopMargin = 1000000;
  static constexpr int64_t kLoopStart = 10000;

  explicit BackgroundVideos(AppSettings& settings);
  ~BackgroundVideos();
  BackgroundVideos(const BackgroundVideos&) = delete;
  BackgroundVideos& operator=(const BackgroundVideos&) = delete;

  // Where the frames go (the screen's background video layer). Without a
  // target nothing is started.
  void SetTarget(VideoFrameTarget* target) { target_ = target; }

  BackgroundVideoList& List() { return list_; }
  const BackgroundVideoList& List() const { return list_; }

  // Starts the current entry; false (and nothing playing) when the index
  // names no entry, the file is gone or it cannot be played.
  bool StartCurrent();
  // Starts `path`. Whatever played before is stopped and released first,
  // also when it never delivered a frame.
  bool Start(const std::string& path);
  void Stop();
  // Moves the list on by one (wrapping) and starts that entry.
  bool StartNext();
  // "Show Now": makes entry `index` current and starts it.
  bool ShowEntry(int index);
  // "Enable" / "Enable Backgrounds": the setting, and the current entry
  // started or the video stopped.
  void Enable(bool on);

  // The timer's loop step.
  void Loop();

  bool Playing() const { return graph_ != nullptr; }
  const std::string& PlayingPath() const { return playingPath_; }
  // The graph now playing (0 when none), and its duration (-1 unknown).
  GraphId CurrentGraph() const { return graph_ ? graph_->Id() : 0; }
  int64_t Duration() const { return duration_; }
  // How often the loop went back to the start of the video now playing.
  int Loops() const { return loops_; }

private:
  AppSettings& settings_;
  VideoFrameTarget* target_ = nullptr;
  BackgroundVideoList list_;
  std::unique_ptr<MediaGraph> graph_;
  std::string playingPath_;
  int64_t duration_ = -1;
  bool still_ = false;
  int loops_ = 0;
};

}  // namespace lyricade
