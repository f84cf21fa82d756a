#include "catalogue/catalogue_preview.h"

#include <algorithm>

#include "catalogue/catalogue_log.h"

namespace lyricade {

CataloguePreview::CataloguePreview(QObject* parent) : QObject(parent) {}

CataloguePreview::~CataloguePreview() {
  if (graph_) graph_->Stop();
}

long CataloguePreview::VolumeFor(int percent) {
  return (100 - std::clamp(percent, 0, 100)) * -75L;
}

bool CataloguePreview::Start(const std::string& url, int volumePercent) {
  Stop();
  GraphOptions options;
  options.EventReceiver = this;
  options.OnEvent = [this](GraphId id, lyricade::GraphEvent event) { GraphEvent(id, event); };
  if (renderTimeoutMs_ > 0) options.RenderTimeoutMs = renderTimeoutMs_;
  std::unique_ptr<MediaGraph> graph = MediaGraph::Create(std::move(options));
  if (!graph) {
    qCWarning(lcCatalogue, "the preview graph could not be made for %s", LoggableMedia(url).c_str());
    return false;
  }
  // The vendor's preview comes over the network: it opens on the graph's
  // threads and plays when it is ready; the window does not wait for it.
  MediaGraph* opening = graph.get();
  const bool started = graph->RenderAsync(url, [this, opening, url, volumePercent](bool rendered) {
    // A stopped preview's graph is gone and never answers.
    if (graph_.get() != opening) return;
    if (!rendered) {
      qCWarning(lcCatalogue, "the preview %s could not be rendered: %s", LoggableMedia(url).c_str(),
                graph_->LastError().Text.c_str());
      Stop();
      return;
    }
    graph_->SetVolume(VolumeFor(volumePercent));
    if (!graph_->Run()) {
      qCWarning(lcCatalogue, "the preview %s could not be started", LoggableMedia(url).c_str());
      Stop();
    }
  });
  if (!started) {
    qCWarning(lcCatalogue, "the preview %s could not be rendered: %s", LoggableMedia(url).c_str(),
              graph->LastError().Text.c_str());
    return false;
  }
  graph_ = std::move(graph);
  return true;
}

void CataloguePreview::Stop() {
  if (!graph_) return;
  graph_->Stop();
  graph_.reset();
  emit stopped();
}

void CataloguePreview::GraphEvent(GraphId id, lyricade::GraphEvent event) {
  // Events of a graph already torn down are dropped.
  if (!graph_ || id != graph_->Id()) return;
  if (event == lyricade::GraphEvent::DurationChanged) return;
  if (event == lyricade::GraphEvent::ErrorAbort)
    qCWarning(lcCatalogue, "the preview stopped with an error: %s", graph_->LastError().Text.c_str());
  Stop();
}

}  // namespace lyricade
