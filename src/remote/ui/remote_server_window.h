#pragma once
// "Remote Request Tool Server": the host's view of the request server.
// Session name and port, start and stop, the status line, the addresses the
// server listens on and the number of connected request clients. Closing the
// window (or "Exit") stops the server and keeps the session name.

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lyricade {

class RequestServer;

class RemoteServerWindow : public QDialog {
  Q_OBJECT

public:
  static constexpr const char* kCaption = "Remote Request Tool Server";

  RemoteServerWindow(RequestServer& server, QWidget* parent = nullptr);

  // "Start Server" or "Stop Server", whichever the button says.
  void ToggleServer();
  // Shows the server as it is (it may have been started without the window).
  void Refresh();

  QLineEdit* SessionField() const { return session_; }
  QLineEdit* PortField() const { return port_; }
  QPushButton* StartStopButton() const { return startStop_; }
  QPushButton* InfoButton() const { return info_; }
  QLabel* StatusLabel() const { return status_; }
  QLabel* ClientCountLabel() const { return clientCount_; }
  QListWidget* Addresses() const { return addresses_; }
  // The singers' request page: its address and QR code under the server's
  // lines while it runs; an empty address hides them.
  void ShowRequestPage(const std::string& address);
  QLabel* RequestPageAddress() const { return pageAddress_; }
  QLabel* RequestPageCode() const { return pageCode_; }
  // The computer's addresses phones may use; the page's code names the one
  // chosen here (the default route's at first).
  QComboBox* PageHostChoice() const { return pageHost_; }

signals:
  // The host picked the address the page's code names ("192.168.1.20").
  void pageHostChosen(const std::string& host);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void StartServer();
  void StopServer();
  void ShowInfo();
  void SetStatus(const char* text);

  RequestServer& server_;
  QLineEdit* session_ = nullptr;
  QLineEdit* port_ = nullptr;
  QPushButton* startStop_ = nullptr;
  QPushButton* info_ = nullptr;
  QLabel* status_ = nullptr;
  QListWidget* addresses_ = nullptr;
  QLabel* clientCount_ = nullptr;
  QLabel* pageAddress_ = nullptr;
  QLabel* pageCode_ = nullptr;
  QComboBox* pageHost_ = nullptr;
};

}  // namespace lyricade
