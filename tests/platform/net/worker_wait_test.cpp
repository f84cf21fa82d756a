// A wait in the middle of a command holds the host's clicks off the windows
// that were open, yet the window manager's close request still reaches them
// (a program waiting on a silent service must still be closable), and a
// window opened during the wait takes its clicks.
#include <gtest/gtest.h>
#include <X11/keysym.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/net/worker_task.h"
#include "support/x11_session.h"

namespace lyricade {
namespace {

class CountingWindow : public QWidget {
public:
  explicit CountingWindow(const char* title) { setWindowTitle(title); resize(200, 100); }
  int Keys = 0;
  bool Closed = false;

protected:
  void keyPressEvent(QKeyEvent*) override { ++Keys; }
  void closeEvent(QCloseEvent* event) override {
    Closed = true;
    event->accept();
  }
};

// Runs events until the X server shows `title`.
Window Mapped(const testing::X11Session& x11, const char* title) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (const Window window = x11.FindWindow(title)) return window;
  }
  return 0;
}

TEST(WorkerWait, AHeldWaitDropsKeysButLetsTheCloseRequestAndNewWindowsThrough) {
  testing::X11Session x11;
  ASSERT_TRUE(x11.Connected()) << "the tests run on an X display";
  CountingWindow main("worker wait main");
  main.show();
  const Window mainWindow = Mapped(x11, "worker wait main");
  ASSERT_NE(mainWindow, 0u);
  main.activateWindow();
  QCoreApplication::processEvents();

  CountingWindow later("worker wait question");
  std::atomic<bool> release{false};
  bool closedDuringWait = false;
  int laterKeysDuringWait = 0;
  QTimer::singleShot(100, [&] {
    x11.PressKey(mainWindow, XK_a);
    x11.RequestClose(mainWindow);
    later.show();
  });
  // Under a loaded test run the new window may take a while to be mapped:
  // the key goes to it as soon as it is there.
  QTimer findQuestion;
  QObject::connect(&findQuestion, &QTimer::timeout, [&] {
    if (const Window question = x11.FindWindow("worker wait question")) {
      x11.PressKey(question, XK_b);
      findQuestion.stop();
    }
  });
  findQuestion.start(50);
  QTimer::singleShot(1500, [&] {
    closedDuringWait = main.Closed;
    laterKeysDuringWait = later.Keys;
    release = true;
  });
  WorkerWait wait;
  wait.AcceptInput = false;
  RunOnWorker([&] {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }, wait);
  QCoreApplication::processEvents();
  EXPECT_TRUE(closedDuringWait) << "the close request waited for the job";
  EXPECT_EQ(main.Keys, 0) << "a key reached the window that was waiting";
  EXPECT_EQ(laterKeysDuringWait, 1) << "the window opened meanwhile took no key";
}

}  // namespace
}  // namespace lyricade
