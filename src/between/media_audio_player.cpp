#include "between/media_audio_player.h"

#include "between/between_log.h"

namespace lyricade {

MediaAudioPlayer::MediaAudioPlayer(QObject* receiver, EndHandler onEnd, std::string what)
    : receiver_(receiver), onEnd_(std::move(onEnd)), what_(std::move(what)) {}

MediaAudioPlayer::~MediaAudioPlayer() { Stop(); }

bool MediaAudioPlayer::Start(const std::string& path, long volume) {
  Stop();
  GraphOptions options;
  options.EventReceiver = receiver_;
  // Duration changes mean nothing here; the three ends do.
  EndHandler onEnd = onEnd_;
  options.OnEvent = [onEnd](GraphId graph, GraphEvent event) {
    if (!onEnd || event == GraphEvent::DurationChanged) return;
    onEnd(graph, event == GraphEvent::Complete ? TrackEnd::Complete : TrackEnd::Aborted);
  };
  std::unique_ptr<MediaGraph> graph = MediaGraph::Create(std::move(options));
  if (!graph) {
    qCWarning(lcBetween) << "no graph could be made for the" << what_.c_str() << path.c_str();
    return false;
  }
  graph->SetVolume(volume);
  // The graph has logged why it refused.
  if (!graph->Start(path)) return false;
  graph_ = std::move(graph);
  return true;
}

void MediaAudioPlayer::SetVolume(long volume) {
  if (graph_) graph_->SetVolume(volume);
}

bool MediaAudioPlayer::Pause() { return graph_ && graph_->Pause(); }

bool MediaAudioPlayer::Run() { return graph_ && graph_->Run(); }

void MediaAudioPlayer::Stop() {
  if (!graph_) return;
  graph_->Stop();
  graph_.reset();
}

}  // namespace lyricade
