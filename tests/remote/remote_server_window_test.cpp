// The "Remote Request Tool Server" window: start and stop with what it
// shows, the client count, the session name kept between windows, and a
// start that fails closing the window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpSocket>
#include <QThread>

#include "common/test_folder.h"
#include "remote/request_server.h"
#include "remote/ui/remote_server_window.h"

namespace lyricade {
namespace {

bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs && !done()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return done();
}

class RemoteWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The settings land in the scratch folder, never the user's.
    setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
    QCoreApplication::setOrganizationName("Quillon");
    QCoreApplication::setApplicationName("Lyricade");
  }
  testing::TestFolder folder;
  RequestServer server;
};

TEST_F(RemoteWindowTest, StartAndStopShowTheServerAndItsClients) {
  RemoteServerWindow window(server);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Remote Request Tool Server");
  EXPECT_EQ(window.SessionField()->text(), "RequestTool");
  EXPECT_EQ(window.PortField()->text(), "2507");
  EXPECT_FALSE(window.InfoButton()->isEnabled());
  // A field that is no number lets the system pick the port.
  window.PortField()->setText("any");
  window.StartStopButton()->click();
  ASSERT_TRUE(server.Hosting());
  EXPECT_EQ(window.StatusLabel()->text(), "Server started.");
  EXPECT_EQ(window.StartStopButton()->text(), "Stop Server");
  EXPECT_FALSE(window.SessionField()->isEnabled());
  EXPECT_FALSE(window.PortField()->isEnabled());
  EXPECT_TRUE(window.InfoButton()->isEnabled());
  EXPECT_EQ(window.PortField()->text(), QString::number(server.Port()));
  EXPECT_FALSE(window.Addresses()->findItems(QString("127.0.0.1:%1").arg(server.Port()), Qt::MatchExactly)
                   .isEmpty());

  QTcpSocket client;
  client.connectToHost("127.0.0.1", static_cast<quint16>(server.Port()));
  ASSERT_TRUE(client.waitForConnected(5000));
  const std::string hello = Frame(EncodeHello({std::string(kRequestAppGuid), "RequestTool", "Bar"}));
  client.write(hello.data(), static_cast<qint64>(hello.size()));
  EXPECT_TRUE(RunUntil([&] { return window.ClientCountLabel()->text() == "1"; }));

  window.StartStopButton()->click();
  EXPECT_FALSE(server.Hosting());
  EXPECT_EQ(window.StatusLabel()->text(), "Server stopped.");
  EXPECT_EQ(window.StartStopButton()->text(), "Start Server");
  EXPECT_TRUE(window.PortField()->isEnabled());
  EXPECT_EQ(window.ClientCountLabel()->text(), "0");
}

TEST_F(RemoteWindowTest, TheSessionNameIsKeptAndAFailedStartClosesTheWindow) {
  {
    RemoteServerWindow window(server);
    window.show();
    window.SessionField()->setText("Friday Night");
    window.PortField()->setText("0");
    window.StartStopButton()->click();
    ASSERT_TRUE(server.Hosting());
    window.close();
    EXPECT_FALSE(server.Hosting()) << "closing the window stops the server";
  }
  RemoteServerWindow again(server);
  EXPECT_EQ(again.SessionField()->text(), "Friday Night");

  RequestServer other;
  ASSERT_TRUE(other.Start("Other", 0));
  again.show();
  again.PortField()->setText(QString::number(other.Port()));
  again.StartStopButton()->click();
  EXPECT_FALSE(server.Hosting());
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(again.StatusLabel()->text(), "Server stopped.");
}

}  // namespace
}  // namespace lyricade
