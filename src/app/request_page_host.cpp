#include "app/request_page_host.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QPointer>

#include <fstream>
#include <sstream>

#include "app/app_log.h"
#include "singers/request_approvals.h"
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
  // Phones reach the page by one of this computer's addresses; any other
  // name in the Host header is another site's.
  std::vector<std::string> names;
  for (QHostAddress address : QNetworkInterface::allAddresses()) {
    address.setScopeId({});
    names.push_back(address.toString().toStdString());
  }
  service_->SetHostNames(std::move(names));
  std::string error;
  HttpServerLimits limits;
  limits.ConnectionsPerAddress = 8;
  if (server_.Start(static_cast<uint16_t>(port), limits,
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

namespace {

bool Shareable(const QHostAddress& address) {
  return address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() && !address.isLinkLocal();
}

// The interface of the default route (the venue's network), not the first
// one listed, which may be a container's or a VPN's bridge.
QString DefaultRouteInterface() {
  std::ifstream routes("/proc/net/route");
  std::string line;
  std::getline(routes, line);  // the column names
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string name, destination;
    if (fields >> name >> destination && destination == "00000000") return QString::fromStdString(name);
  }
  return {};
}

}  // namespace

std::string RequestPageHost::Address() const {
  if (!Running()) return {};
  QString host;
  for (const QHostAddress& address : QNetworkInterface::allAddresses())
    if (host.isEmpty() && address.toString().toStdString() == chosenHost_) host = address.toString();
  const QNetworkInterface route = QNetworkInterface::interfaceFromName(DefaultRouteInterface());
  for (const QNetworkAddressEntry& entry : route.addressEntries())
    if (host.isEmpty() && Shareable(entry.ip())) host = entry.ip().toString();
  for (const QHostAddress& address : QNetworkInterface::allAddresses())
    if (host.isEmpty() && Shareable(address)) host = address.toString();
  if (host.isEmpty()) host = "127.0.0.1";
  return "http://" + host.toStdString() + ":" + std::to_string(Port()) + "/";
}

void RequestPageHost::PublishRotation(const SingerRotation& rotation,
                                      const std::vector<SingerWait>& waits) {
  std::vector<SingerQueueView> queues;
  queues.reserve(rotation.Singers().size());
  for (size_t i = 0; i < rotation.Singers().size(); ++i) {
    const Singer& singer = rotation.Singers()[i];
    SingerQueueView view;
    view.Name = singer.Name;
    for (const QueuedSong& song : singer.Playlist) view.Titles.push_back(song.Title);
    if (i < waits.size() && waits[i].Seconds >= 0) {
      view.Position = waits[i].SingersBefore;
      view.WaitSeconds = waits[i].Seconds;
      view.WaitText = PageWaitText(waits[i]);
    }
    queues.push_back(std::move(view));
  }
  service_->PublishQueues(std::move(queues));
}

}  // namespace lyricade

namespace lyricade {

void RequestPageHost::PublishRequests(const RequestApprovals& approvals, bool approving) {
  std::vector<RequestStateView> views;
  for (const RequestStatus& status : approvals.Statuses()) {
    using State = RequestStateView::State;
    const State state = status.Verdict == RequestVerdict::Waiting    ? State::Waiting
                        : status.Verdict == RequestVerdict::Accepted ? State::Accepted
                                                                     : State::Rejected;
    views.push_back({status.Singer, status.Title, state});
  }
  service_->PublishRequests(std::move(views), approving, approvals.Full());
}

}  // namespace lyricade
