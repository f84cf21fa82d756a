#include "app/ui/data_folder_owner.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "app/app_log.h"

namespace lyricade {
namespace {

constexpr QByteArrayView kComeForward = "forward\n";
// The running program answers at once unless it is stuck; a stuck one is
// not waited for longer than this.
constexpr int kAskTimeoutMs = 2000;

void AskOwnerToComeForward(const std::string& name) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(name));
  if (!socket.waitForConnected(kAskTimeoutMs)) {
    qCWarning(lcApp) << "the program holding the data folder does not answer:" << socket.errorString();
    return;
  }
  socket.write(kComeForward.data(), kComeForward.size());
  socket.waitForBytesWritten(kAskTimeoutMs);
  socket.disconnectFromServer();
}

}  // namespace

std::string OwnerSocketName(const std::string& dataFolder) {
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(dataFolder), QCryptographicHash::Sha256).toHex();
  return "lyricade-" + std::to_string(::getuid()) + "-" + hash.left(24).toStdString();
}

DataFolderOwner::DataFolderOwner() = default;
DataFolderOwner::~DataFolderOwner() = default;

bool DataFolderOwner::Claim(const std::string& dataFolder) {
  lock_ = FileLock::Take(dataFolder + kLockFileName);
  const std::string name = OwnerSocketName(dataFolder);
  if (lock_.Current() == FileLock::State::HeldElsewhere) {
    AskOwnerToComeForward(name);
    return false;
  }
  if (lock_.Current() == FileLock::State::Unavailable) {
    qCWarning(lcApp) << "the data folder" << dataFolder.c_str()
                     << "cannot be locked; another copy of the program would not be noticed";
    return true;
  }
  // Holding the lock, any socket of that name is a dead owner's.
  QLocalServer::removeServer(QString::fromStdString(name));
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(QString::fromStdString(name))) {
    qCWarning(lcApp) << "later starts cannot reach this program:" << server_->errorString();
    return true;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      // One short line at most is read: the socket is the user's own, but
      // nothing from it is trusted to be small.
      const auto read = [this, socket] {
        if (socket->bytesAvailable() < kComeForward.size()) return;
        const QByteArray said = socket->read(kComeForward.size());
        socket->disconnectFromServer();
        if (said == kComeForward) emit comeForwardRequested();
      };
      connect(socket, &QLocalSocket::readyRead, this, read);
      // A caller that has already written and gone sends no readyRead.
      read();
    }
  });
  return true;
}

}  // namespace lyricade
