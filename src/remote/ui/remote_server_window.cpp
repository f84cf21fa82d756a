#include "remote/ui/remote_server_window.h"

#include <QPixmap>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

#include "remote/request_message.h"
#include "remote/request_server.h"
#include "requestcode/request_code_picture.h"
#include "remote/server_settings.h"

namespace lyricade {

RemoteServerWindow::RemoteServerWindow(RequestServer& server, QWidget* parent)
    : QDialog(parent), server_(server) {
  setWindowTitle(kCaption);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  session_ = new QLineEdit(QString::fromStdString(ReadSessionName()), this);
  session_->setMaxLength(static_cast<int>(kMaximumSessionNameBytes));
  port_ = new QLineEdit(QString::number(kDefaultRequestPort), this);
  form->addRow("Session Name:", session_);
  form->addRow("Port:", port_);
  layout->addLayout(form);

  auto* buttons = new QHBoxLayout;
  startStop_ = new QPushButton("Start Server", this);
  info_ = new QPushButton("Info...", this);
  info_->setEnabled(false);
  buttons->addWidget(startStop_);
  buttons->addWidget(info_);
  layout->addLayout(buttons);

  auto* statusLine = new QHBoxLayout;
  statusLine->addWidget(new QLabel("Server Status:", this));
  status_ = new QLabel("Server stopped.", this);
  status_->setTextFormat(Qt::PlainText);
  statusLine->addWidget(status_, 1);
  layout->addLayout(statusLine);
  addresses_ = new QListWidget(this);
  layout->addWidget(addresses_);
  auto* countLine = new QHBoxLayout;
  countLine->addWidget(new QLabel("Number of Remote Tools:", this));
  clientCount_ = new QLabel("0", this);
  countLine->addWidget(clientCount_, 1);
  layout->addLayout(countLine);
  pageAddress_ = new QLabel(this);
  pageAddress_->setTextFormat(Qt::PlainText);
  pageAddress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pageCode_ = new QLabel(this);
  pageCode_->setAlignment(Qt::AlignCenter);
  pageHost_ = new QComboBox(this);
  pageHost_->setToolTip("The address the request page's code names");
  connect(pageHost_, &QComboBox::activated, this,
          [this](int index) { emit pageHostChosen(pageHost_->itemText(index).toStdString()); });
  layout->addWidget(pageHost_);
  layout->addWidget(pageAddress_);
  layout->addWidget(pageCode_);
  ShowRequestPage({});
  auto* note = new QLabel("DO NOT CLOSE THIS DIALOG, JUST MINIMIZE IT!", this);
  note->setStyleSheet("font-weight: bold");
  layout->addWidget(note);
  auto* exit = new QPushButton("Exit", this);
  layout->addWidget(exit, 0, Qt::AlignRight);

  connect(startStop_, &QPushButton::clicked, this, &RemoteServerWindow::ToggleServer);
  connect(info_, &QPushButton::clicked, this, &RemoteServerWindow::ShowInfo);
  connect(exit, &QPushButton::clicked, this, &QWidget::close);
  connect(&server_, &RequestServer::clientsChanged, this, &RemoteServerWindow::Refresh);
  connect(&server_, &RequestServer::stateChanged, this, &RemoteServerWindow::Refresh);
  Refresh();
}

void RemoteServerWindow::ToggleServer() {
  if (server_.Hosting())
    StopServer();
  else
    StartServer();
}

void RemoteServerWindow::StartServer() {
  SetStatus("Starting server...");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool started = server_.Start(session_->text().toStdString(),
                                     PortFromText(port_->text().trimmed().toStdString()));
  QApplication::restoreOverrideCursor();
  Refresh();
  // A server that would not start has been taken through the stop steps;
  // the window then closes, as a failed start always has.
  if (!started) close();
}

void RemoteServerWindow::StopServer() {
  SetStatus("Stopping server...");
  info_->setEnabled(false);
  server_.Stop();
  Refresh();
}

void RemoteServerWindow::Refresh() {
  const bool hosting = server_.Hosting();
  startStop_->setText(hosting ? "Stop Server" : "Start Server");
  session_->setEnabled(!hosting);
  port_->setEnabled(!hosting);
  info_->setEnabled(hosting);
  if (server_.State() == ServerState::Hosting) SetStatus("Server started.");
  if (server_.State() == ServerState::Stopped) SetStatus("Server stopped.");
  if (hosting) {
    session_->setText(QString::fromStdString(server_.Session()));
    port_->setText(QString::number(server_.Port()));
  }
  clientCount_->setText(QString::number(server_.ClientCount()));
  addresses_->clear();
  if (!hosting) return;
  for (const QHostAddress& address : QNetworkInterface::allAddresses())
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
      addresses_->addItem(QString("%1:%2").arg(address.toString()).arg(server_.Port()));
}

void RemoteServerWindow::ShowRequestPage(const std::string& address) {
  pageAddress_->setVisible(!address.empty());
  pageCode_->setVisible(!address.empty());
  pageHost_->setVisible(!address.empty());
  if (address.empty()) return;
  // "http://HOST:PORT/": the choice lists this computer's addresses with
  // the one named selected.
  const QString named = QString::fromStdString(address).section('/', 2, 2).section(':', 0, 0);
  pageHost_->clear();
  for (const QHostAddress& host : QNetworkInterface::allAddresses())
    if (host.protocol() == QAbstractSocket::IPv4Protocol && !host.isLoopback())
      pageHost_->addItem(host.toString());
  if (pageHost_->findText(named) < 0) pageHost_->addItem(named);
  pageHost_->setCurrentIndex(pageHost_->findText(named));
  pageAddress_->setText("Singers' request page: " + QString::fromStdString(address));
  pageCode_->setPixmap(QPixmap::fromImage(RequestCodePicture(address, 4)));
}

void RemoteServerWindow::SetStatus(const char* text) {
  status_->setText(text);
  status_->repaint();
}

void RemoteServerWindow::ShowInfo() {
  // The session information: who is connected.
  QDialog info(this);
  info.setWindowTitle("Session Information");
  auto* layout = new QVBoxLayout(&info);
  auto* list = new QListWidget(&info);
  for (const std::string& name : server_.ClientNames()) list->addItem(QString::fromStdString(name));
  auto* caption = new QLabel(&info);
  caption->setTextFormat(Qt::PlainText);
  caption->setText(QString("Connected request clients in \"%1\":").arg(QString::fromStdString(server_.Session())));
  layout->addWidget(caption);
  layout->addWidget(list);
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &info);
  connect(close, &QDialogButtonBox::rejected, &info, &QDialog::reject);
  layout->addWidget(close);
  info.exec();
}

void RemoteServerWindow::closeEvent(QCloseEvent* event) {
  if (server_.Hosting()) StopServer();
  StoreSessionName(session_->text().toStdString());
  event->accept();
}

}  // namespace lyricade
