#include "platform/net/worker_task.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <thread>

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
  std::thread worker([&] {
    job();
    // The signal back: queued, so it is handled by the waiting loop even
    // when the job ends before the loop starts.
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });
  loop.exec(wait.AcceptInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
  worker.join();
  ticker.stop();
}

}  // namespace lyricade
