#include "requestpage/page_song_reader.h"

#include <unordered_map>

#include "platform/db/db_connection.h"

namespace lyricade {

PageSongReader::PageSongReader(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}

PageSongReader::~PageSongReader() = default;

std::unique_ptr<DbConnection> PageSongReader::Take() {
  {
    std::lock_guard guard(lock_);
    if (!idle_.empty()) {
      std::unique_ptr<DbConnection> connection = std::move(idle_.back());
      idle_.pop_back();
      return connection;
    }
  }
  auto connection = std::make_unique<DbConnection>();
  if (!connection->Open(libraryPath_, DbAccess::ReadOnly)) return nullptr;
  return connection;
}

void PageSongReader::Give(std::unique_ptr<DbConnection> connection) {
  std::lock_guard guard(lock_);
  if (idle_.size() < kMaxIdleConnections) idle_.push_back(std::move(connection));
}

bool PageSongReader::Read(const std::vector<int64_t>& items, std::vector<std::optional<PageVersion>>& versions) {
  versions.assign(items.size(), std::nullopt);
  if (items.empty()) return true;
  std::unique_ptr<DbConnection> connection = Take();
  if (!connection) return false;
  // The numbers come from the index, never from a phone; one statement is
  // one read of the file, under one lock.
  std::string sql = "SELECT ItemNum, Title, Artist, ID FROM Items WHERE ItemNum IN (";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) sql += ',';
    sql += std::to_string(items[i]);
  }
  sql += ");";
  std::unordered_map<int64_t, PageVersion> read;
  read.reserve(items.size());
  const bool ok = connection->Query(sql, [&](const DbRow& row) {
    PageVersion version{row.Integer(0), std::string(row.Text(1).value_or("")),
                        std::string(row.Text(2).value_or("")), std::string(row.Text(3).value_or(""))};
    read.emplace(version.Item, std::move(version));
    return true;
  });
  // A connection that failed may be on a file that went away: a new one is
  // opened next time.
  if (!ok) return false;
  Give(std::move(connection));
  for (size_t i = 0; i < items.size(); ++i)
    if (const auto found = read.find(items[i]); found != read.end()) versions[i] = found->second;
  return true;
}

}  // namespace lyricade
