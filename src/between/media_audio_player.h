#pragma once
// The AudioPlayer on a media graph of its own: started asynchronously, so a
// pad press or a break track never waits for its media on the UI thread.
// The graph's end events reach the handler on the receiver's (UI) thread.

#include <QObject>

#include <functional>
#include <memory>

#include "between/audio_player.h"
#include "platform/media/media_graph.h"

namespace lyricade {

class MediaAudioPlayer : public AudioPlayer {
public:
  using EndHandler = std::function<void(uint64_t graph, TrackEnd end)>;
  // `what` names the player in warnings ("effect", "break track").
  MediaAudioPlayer(QObject* receiver, EndHandler onEnd, std::string what);
  ~MediaAudioPlayer() override;

  bool Start(const std::string& path, long volume) override;
  void SetVolume(long volume) override;
  bool Pause() override;
  bool Run() override;
  void Stop() override;
  uint64_t CurrentGraph() const override { return graph_ ? graph_->Id() : 0; }

  // Whether the graph has reached its running state (benchmarks).
  bool Running() const { return graph_ && graph_->Running(); }

private:
  QObject* receiver_;
  EndHandler onEnd_;
  std::string what_;
  std::unique_ptr<MediaGraph> graph_;
};

}  // namespace lyricade
