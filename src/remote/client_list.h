#pragma once
// The connected request clients: one record per client that said a valid
// hello, shared between the server thread (which adds and drops them) and
// the window (which lists their names). Records are held by shared
// pointers; the list's lock guards the list, and the count is atomic so the
// window reads it without the lock.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lyricade {

struct ClientRecord {
  uint32_t PlayerId = 0;
  // The client's player name, at most 14 characters.
  std::string DisplayName;
};

class ClientList {
public:
  std::shared_ptr<const ClientRecord> Add(const std::string& playerName);
  void Remove(uint32_t playerId);
  void Clear();
  int Count() const { return count_.load(); }
  std::vector<std::string> Names() const;

private:
  mutable std::mutex lock_;
  std::vector<std::shared_ptr<const ClientRecord>> records_;
  std::atomic<int> count_{0};
  uint32_t nextId_ = 1;
};

}  // namespace lyricade
