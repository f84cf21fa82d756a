#include "remote/client_list.h"

#include <algorithm>

#include "remote/request_message.h"

namespace lyricade {

std::shared_ptr<const ClientRecord> ClientList::Add(const std::string& playerName) {
  auto record = std::make_shared<ClientRecord>();
  record->DisplayName = FirstCharacters(playerName, kClientDisplayNameCharacters);
  std::lock_guard<std::mutex> guard(lock_);
  record->PlayerId = nextId_++;
  records_.push_back(record);
  ++count_;
  return record;
}

void ClientList::Remove(uint32_t playerId) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [playerId](const auto& record) { return record->PlayerId == playerId; });
  if (found == records_.end()) return;
  records_.erase(found);
  --count_;
}

void ClientList::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  records_.clear();
  count_ = 0;
}

std::vector<std::string> ClientList::Names() const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> names;
  for (const auto& record : records_) names.push_back(record->DisplayName);
  return names;
}

}  // namespace lyricade
