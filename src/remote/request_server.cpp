#include "remote/request_server.h"

#include "remote/remote_log.h"

namespace lyricade {

RequestServer::RequestServer(ServerLimits limits, QObject* parent)
    : QObject(parent), limits_(limits) {
  qRegisterMetaType<lyricade::SongRequest>();
  qRegisterMetaType<lyricade::ServerState>();
  thread_.setObjectName("lyricade-requests");
}

RequestServer::~RequestServer() { Stop(); }

bool RequestServer::Start(const std::string& session, int port) {
  if (state_ != ServerState::Stopped) return state_ == ServerState::Hosting;
  SetState(ServerState::Starting);
  session_ = session;
  pending_ = 0;
  thread_.start();
  worker_ = std::make_unique<ServerWorker>(limits_, clients_, pending_, this);
  worker_->moveToThread(&thread_);
  // Queued to this (UI) thread; a request still on its way when the server
  // stops is dropped there.
  connect(worker_.get(), &ServerWorker::songRequested, this, [this](const SongRequest& request) {
    pending_.fetch_sub(1);
    if (Hosting()) emit songRequested(request);
  });
  connect(worker_.get(), &ServerWorker::clientsChanged, this, &RequestServer::clientsChanged);
  int listening = 0;
  QMetaObject::invokeMethod(worker_.get(), "Listen", Qt::BlockingQueuedConnection,
                            Q_RETURN_ARG(int, listening),
                            Q_ARG(QString, QString::fromStdString(session)), Q_ARG(int, port));
  if (listening == 0) {
    Stop();
    return false;
  }
  port_ = listening;
  qCInfo(lcRemote) << "hosting the session" << session.c_str() << "on port" << port_;
  SetState(ServerState::Hosting);
  return true;
}

void RequestServer::Stop() {
  if (!worker_) {
    if (state_ != ServerState::Stopped) SetState(ServerState::Stopped);
    return;
  }
  SetState(ServerState::Stopping);
  QMetaObject::invokeMethod(worker_.get(), "Close", Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  worker_.reset();
  port_ = 0;
  SetState(ServerState::Stopped);
  emit clientsChanged();
}

void RequestServer::SetState(ServerState state) {
  state_ = state;
  emit stateChanged(state);
}

}  // namespace lyricade
