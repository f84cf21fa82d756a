#include "common/write_outcomes.h"

#include <mutex>

namespace lyricade {
namespace {

std::mutex& ListenerMutex() {
  static std::mutex mutex;
  return mutex;
}

WriteOutcomeListener& Listener() {
  static WriteOutcomeListener listener;
  return listener;
}

}  // namespace

void SetWriteOutcomeListener(WriteOutcomeListener listener) {
  const std::lock_guard<std::mutex> hold(ListenerMutex());
  Listener() = std::move(listener);
}

void ReportWriteOutcome(const std::string& what, bool ok, const std::string& detail) {
  // Held while the listener runs, so it is never called once replaced; a
  // listener only posts, it never writes a file itself.
  const std::lock_guard<std::mutex> hold(ListenerMutex());
  if (Listener()) Listener()(what, ok, detail);
}

}  // namespace lyricade
