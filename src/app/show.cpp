#include "app/show.h"

#include "common/app_settings.h"

namespace lyricade {

Show::Show(AppSettings& settings, Prompts& prompts, ShowFolders folders, QObject* parent)
    : QObject(parent),
      settings_(settings),
      prompts_(prompts),
      folders_(std::move(folders)),
      cdg_(settings),
      extractor_(folders_.Scratch + "Zipped/", prompts, folders_.ModuleFolder),
      transport_(settings, cdg_, *this, scene_),
      opener_(settings, prompts, transport_, cdg_, extractor_, *this, scene_),
      streamed_(http_, prompts, transport_, cdg_, scene_, folders_.Scratch + "Stream/",
                ServiceBaseUrl()) {
  opener_.SetStreamedSongOpener(&streamed_);
  transport_.SetEventReceiver(this, [this](GraphId graph, GraphEvent event) {
    graphEvent(graph, event);
  });
  transport_.SetExtractionCleanup([this] { extractor_.DeleteExtractedFiles(); });
}

Show::~Show() { transport_.Teardown(); }

bool Show::PlaySong(const std::string& location, int channel, int keyTenths) {
  transport_.StopPlayback(true);
  transport_.Teardown();
  const bool started = opener_.OpenSong(location, channel, keyTenths);
  if (started) playEnabled_ = false;
  return started;
}

void Show::graphEvent(GraphId graph, GraphEvent event) {
  if (graph == 0 || graph != transport_.CurrentGraphId()) return;
  if (event == GraphEvent::DurationChanged) {
    transport_.RefreshDuration();
    return;
  }
  if (graph == endedGraph_) return;
  endedGraph_ = graph;
  transport_.StopPlayback(true);
  ++songsEnded_;
  emit songEnded();
}

void Show::tick() { transport_.Tick(); }

void Show::RemoveScratchFolders() {
  transport_.StopPlayback(true);
  transport_.Teardown();
  RemoveScratchTree(folders_.Scratch + "Zipped/");
  RemoveScratchTree(folders_.Scratch + "Stream/");
}

}  // namespace lyricade
