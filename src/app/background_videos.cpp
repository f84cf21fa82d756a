#include "app/background_videos.h"

#include "app/app_log.h"
#include "common/app_settings.h"
#include "common/path_pieces.h"

namespace lyricade {
namespace {

// Pictures the background list takes besides videos: one frame, nothing to
// loop.
bool IsStillPicture(const std::string& path) {
  const std::string extension = FileExtension(path);
  for (const char* still : {"jpg", "jpeg", "gif", "png", "bmp"})
    if (EqualsIgnoreCase(extension, still)) return true;
  return false;
}

}  // namespace

BackgroundVideos::BackgroundVideos(AppSettings& settings) : settings_(settings) {}

BackgroundVideos::~BackgroundVideos() { Stop(); }

bool BackgroundVideos::StartCurrent() {
  const std::string path = list_.CurrentPath();
  if (path.empty()) {
    Stop();
    return false;
  }
  return Start(path);
}

bool BackgroundVideos::Start(const std::string& path) {
  // The graph goes whether or not its first frame ever arrived: one that
  // never showed anything still holds its decoders and threads.
  Stop();
  if (!target_) {
    qCWarning(lcApp) << "the background" << path.c_str() << "has no screen to play on";
    return false;
  }
  if (!IsRegularFile(path)) {
    qCWarning(lcApp) << "the background" << path.c_str() << "is not there";
    return false;
  }
  GraphOptions options;
  options.Video = target_;
  options.VideoRendererName = kRendererName;
  options.Silent = true;
  std::unique_ptr<MediaGraph> graph = MediaGraph::Create(std::move(options));
  if (!graph) {
    qCWarning(lcApp) << "no graph could be made for the background" << path.c_str();
    return false;
  }
  // Render has logged why a file does not play.
  if (!graph->Render(path)) return false;
  if (!graph->Run()) return false;
  graph_ = std::move(graph);
  playingPath_ = path;
  still_ = IsStillPicture(path);
  duration_ = still_ ? -1 : graph_->Duration();
  loops_ = 0;
  return true;
}

void BackgroundVideos::Stop() {
  if (!graph_) return;
  // Stopping finishes the streaming threads and takes the layer down; the
  // graph and its renderer go with the pointer.
  graph_->Stop();
  graph_.reset();
  playingPath_.clear();
  duration_ = -1;
  still_ = false;
}

bool BackgroundVideos::StartNext() {
  if (list_.Empty()) return false;
  list_.Advance();
  // Entries whose drive is not plugged in are passed over.
  for (size_t tried = 1; tried < list_.Size() && !IsRegularFile(list_.CurrentPath()); ++tried) list_.Advance();
  return StartCurrent();
}

bool BackgroundVideos::ShowEntry(int index) {
  if (index < 0 || static_cast<size_t>(index) >= list_.Size()) return false;
  list_.SetCurrent(index);
  return StartCurrent();
}

void BackgroundVideos::Enable(bool on) {
  settings_.BackgroundsEnabled = on;
  if (on)
    StartCurrent();
  else
    Stop();
}

void BackgroundVideos::Loop() {
  if (!graph_ || still_ || !settings_.BackgroundsEnabled.load()) return;
  // Some containers only know their length once playing.
  if (duration_ <= 0) duration_ = graph_->Duration();
  if (duration_ <= 0) return;
  const int64_t position = graph_->Position();
  if (position <= duration_ - kLoopMargin) return;
  if (graph_->SetPosition(kLoopStart)) ++loops_;
}

}  // namespace lyricade
