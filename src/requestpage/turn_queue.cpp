#include "requestpage/turn_queue.h"

namespace lyricade {

void TurnQueue::Take() {
  std::unique_lock lock(lock_);
  if (running_ < atOnce_ && waiting_.empty()) {
    ++running_;
    return;
  }
  Waiter me;
  waiting_.push_back(&me);
  me.wake.wait(lock, [&] { return me.admitted; });
}

void TurnQueue::Give() {
  std::lock_guard lock(lock_);
  if (waiting_.empty()) {
    --running_;
    return;
  }
  // The turn passes straight to the first waiter: running_ stays.
  Waiter* next = waiting_.front();
  waiting_.pop_front();
  next->admitted = true;
  next->wake.notify_one();
}

size_t TurnQueue::Waiting() {
  std::lock_guard lock(lock_);
  return waiting_.size();
}

}  // namespace lyricade
