#pragma once
// The song manager's preview player: a graph of its own that plays the
// vendor's preview of a song at the break-music volume, apart from the main
// deck. Its events come back to this object on the UI thread; the end of the
// preview (or an error) tears the graph down.

#include <QObject>

#include <memory>
#include <string>

#include "platform/media/media_graph.h"

namespace lyricade {

class CataloguePreview : public QObject {
  Q_OBJECT
public:
  explicit CataloguePreview(QObject* parent = nullptr);
  ~CataloguePreview() override;

  // The graph's volume for a break-music volume in percent: (100 - v) x -75
  // hundredths of a decibel.
  static long VolumeFor(int percent);

  // Builds the graph for `url` and sets it opening, without waiting: it
  // runs once the preview is ready. False (logged) when the graph cannot be
  // made; a preview that then fails to open, or is not there within the
  // render wait, is logged and stops (`stopped` follows). Playing() holds
  // from here until it stops.
  bool Start(const std::string& url, int volumePercent);
  // The longest wait for a preview to open, in milliseconds (0: the media
  // layer's own).
  void SetRenderTimeoutMs(int ms) { renderTimeoutMs_ = ms; }
  // Tears the graph down; nothing when none plays.
  void Stop();
  bool Playing() const { return graph_ != nullptr; }

signals:
  // The preview ended by itself or by Stop.
  void stopped();

private:
  void GraphEvent(GraphId id, lyricade::GraphEvent event);

  std::unique_ptr<MediaGraph> graph_;
  int renderTimeoutMs_ = 0;
};

}  // namespace lyricade
