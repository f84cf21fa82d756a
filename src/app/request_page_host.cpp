#include "app/request_page_host.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QPointer>

#include "app/app_log.h"
#include "singers/singer_rotation.h"

namespace lyricade {

RequestPageHost::RequestPageHost(std::string libraryPath, std::string pageFolder,
                                 std::function<void(const PageSongRequest&)> handOff, QObject* parent)
    : QObject(parent), handOff_(std::move(handOff)) {
  // The page's answers run on the server's threads; requests travel to the
  // UI thread, which alone changes the rotation.
  QPointer<RequestPageHost> self(this);
  service_ = std::make_unique<RequestPageService>(
      std::move(libraryPath), std::move(pageFolder), [self](const PageSongRequest& request) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, request] {
              if (self && self->handOff_) self->handOff_(request);
            },
            Qt::QueuedConnection);
      });
}

RequestPageHost::~RequestPageHost() { Stop(); }

void RequestPageHost::SetIndexSource(std::function<std::shared_ptr<const SearchIndex>()> source) {
  indexSource_ = std::move(source);
  indexTimer_.setInterval(1000);
  QObject::connect(&indexTimer_, &QTimer::timeout, this,
                   [this] { service_->PublishIndex(indexSource_ ? indexSource_() : nullptr); });
}

bool RequestPageHost::Start(int port) {
  if (port < 0 || port > 65535) return false;
  std::string error;
  if (server_.Start(static_cast<uint16_t>(port), HttpServerLimits{},
                    [service = service_.get()](const HttpRequest& request) { return service->Handle(request); },
                    &error)) {
    if (indexSource_) {
      service_->PublishIndex(indexSource_());
      indexTimer_.start();
    }
    return true;
  }
  qCWarning(lcApp, "the request page does not start: %s", error.c_str());
  return false;
}

void RequestPageHost::Stop() {
  indexTimer_.stop();
  server_.Stop();
  service_->PublishIndex(nullptr);
}

std::string RequestPageHost::Address() const {
  if (!Running()) return {};
  QString host = "127.0.0.1";
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
        !address.isLinkLocal()) {
      host = address.toString();
      break;
    }
  }
  return "http://" + host.toStdString() + ":" + std::to_string(Port()) + "/";
}

void RequestPageHost::PublishRotation(const SingerRotation& rotation) {
  std::vector<SingerQueueView> queues;
  queues.reserve(rotation.Singers().size());
  for (const Singer& singer : rotation.Singers()) {
    SingerQueueView view{singer.Name, {}};
    for (const QueuedSong& song : singer.Playlist) view.Titles.push_back(song.Title);
    queues.push_back(std::move(view));
  }
  service_->PublishQueues(std::move(queues));
}

}  // namespace lyricade
