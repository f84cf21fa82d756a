#pragma once
// Heavy work takes turns, a few at a time, in the order it arrives. When
// thirty phones search at once, each answer waits for the searches asked
// before it and no longer. Letting every search run at once would share the
// cores among all of them, so each one's answer would take as long as all
// of them together, in an order left to chance.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace lyricade {

class TurnQueue {
public:
  explicit TurnQueue(unsigned atOnce) : atOnce_(atOnce == 0 ? 1 : atOnce) {}
  TurnQueue(const TurnQueue&) = delete;
  TurnQueue& operator=(const TurnQueue&) = delete;

  // Held while one piece of work runs; made, it waits for its turn.
  class Turn {
  public:
    explicit Turn(TurnQueue& queue) : queue_(queue) { queue_.Take(); }
    ~Turn() { queue_.Give(); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

  private:
    TurnQueue& queue_;
  };

  // Turns waiting now, for the tests.
  size_t Waiting();

private:
  // Each waiter is woken alone when its turn comes (waking them all at each
  // turn's end cost more than the work with thirty waiting).
  struct Waiter {
    std::condition_variable wake;
    bool admitted = false;
  };
  void Take();
  void Give();

  const unsigned atOnce_;
  std::mutex lock_;
  unsigned running_ = 0;
  std::deque<Waiter*> waiting_;
};

}  // namespace lyricade
