#pragma once
// The singers' request page inside the program: the HTTP server and the
// page's answers, started and stopped with the request server, the queues
// it shows kept from the rotation, and each request from a phone handed to
// the UI thread, where it takes the same way as a request client's.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/net/http_server.h"
#include "requestpage/request_page_service.h"
#include "singers/wait_estimate.h"

namespace lyricade {

class RequestApprovals;
class SingerRotation;

class RequestPageHost : public QObject {
  Q_OBJECT
public:
  // The page's port unless the host chose another.
  static constexpr int kDefaultPort = 2508;

  // `handOff` runs on the UI thread for each request.
  RequestPageHost(std::string libraryPath, std::string pageFolder,
                  std::function<void(const PageSongRequest&)> handOff, QObject* parent = nullptr);
  ~RequestPageHost() override;

  // Listens on `port` (0: the system chooses). False when it cannot.
  bool Start(int port);
  void Stop();
  bool Running() const { return server_.Running(); }
  int Port() const { return server_.Port(); }
  // "http://ADDRESS:PORT/" with the address the host chose while this
  // computer still has it, else the default route's (loopback when there is
  // none); empty while stopped.
  std::string Address() const;
  void SetChosenHost(std::string host) { chosenHost_ = std::move(host); }

  // From the UI thread whenever the rotation changed.
  // The queues with each singer's estimate (`waits` in rotation order, as
  // EstimateWaits gives them).
  void PublishRotation(const SingerRotation& rotation, const std::vector<SingerWait>& waits);
  // The requests waiting for the KJ and the recent decisions.
  void PublishRequests(const RequestApprovals& approvals, bool approving);
  // Where the page's searches find the library's search index: asked on
  // the UI thread every second while the page runs (null while the index is
  // not current; searches then run the statement).
  void SetIndexSource(std::function<std::shared_ptr<const SearchIndex>()> source);
  // The host's order of makers for the page's songs.
  void SetMakerPreference(MakerPreference preference) { service_->PublishMakerPreference(std::move(preference)); }

private:
  std::function<void(const PageSongRequest&)> handOff_;
  std::unique_ptr<RequestPageService> service_;
  std::function<std::shared_ptr<const SearchIndex>()> indexSource_;
  QTimer indexTimer_;
  HttpServer server_;
  std::string chosenHost_;
};

}  // namespace lyricade
