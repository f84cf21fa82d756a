#include "platform/net/worker_task.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

#include "platform/net/http_client.h"

namespace lyricade {

void RunOnWorker(const std::function<void()>& job, const WorkerWait& wait) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) {
    job();
    return;
  }
  QEventLoop loop;
  QTimer ticker;
  if (wait.Tick) {
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] { wait.Tick(); });
    ticker.start(100);
  }
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    job();
    finished = true;
    // The signal back: queued, so it is handled by the waiting loop even
    // when the job ends before the loop starts.
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });
  loop.exec(wait.AcceptInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
  // The loop also ends when the application quits (every loop of the
  // thread is told to); the transfer is cancelled then, so the join takes
  // about a second rather than as long as a silent service likes.
  if (!finished) {
    CancelRunningTransfers();
    if (wait.Cancel) wait.Cancel();
  }
  worker.join();
  ticker.stop();
}

}  // namespace lyricade
