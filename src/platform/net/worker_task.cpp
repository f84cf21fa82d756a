#include "platform/net/worker_task.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <QPointer>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/net/http_client.h"

namespace lyricade {
namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::ShortcutOverride:
    case QEvent::Shortcut: case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: case QEvent::MouseMove: case QEvent::Wheel:
    case QEvent::ContextMenu: case QEvent::TouchBegin: case QEvent::TouchUpdate:
    case QEvent::TouchEnd: case QEvent::TouchCancel: case QEvent::TabletPress:
    case QEvent::TabletRelease: case QEvent::TabletMove: case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease: case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default: return false;
  }
}

// Holds the host's clicks and keys off the windows that were there when a
// step of another command began to wait, and lets everything else through:
// the window system's close request (excluding input would hold it back too,
// keeping the program up for as long as a silent service likes) and windows
// that open meanwhile, such as the quit question. Events reach a window
// before its widgets; the widgets decide.
class InputHold : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) opened_.emplace_back(watched);
    if (!IsInput(event->type())) return false;
    for (QObject* object = watched; object; object = object->parent())
      for (const QPointer<QObject>& opened : opened_)
        if (opened == object) return false;
    return watched->isWidgetType() || event->type() == QEvent::Shortcut ||
           event->type() == QEvent::ShortcutOverride;
  }

private:
  std::vector<QPointer<QObject>> opened_;
};

}  // namespace

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
  InputHold hold;
  if (!wait.AcceptInput) app->installEventFilter(&hold);
  loop.exec();
  if (!wait.AcceptInput) app->removeEventFilter(&hold);
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
