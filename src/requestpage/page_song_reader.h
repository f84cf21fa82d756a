#pragma once
// The texts a search answer shows for each version (title, artist, ID), read
// from the library file in one statement per answer. The index knows which
// rows an answer holds but keeps only folded texts, so the shown texts come
// from the file. Connections stay open between answers (a few, for the
// server's threads): opening one and reading the schema again cost more
// than the read itself. An open connection that is not reading holds no
// lock, so writers never wait for it.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lyricade {

class DbConnection;

// One version as a search row shows it.
struct PageVersion {
  int64_t Item = 0;
  std::string Title;
  std::string Artist;
  std::string Id;
};

class PageSongReader {
public:
  explicit PageSongReader(std::string libraryPath);
  ~PageSongReader();
  PageSongReader(const PageSongReader&) = delete;
  PageSongReader& operator=(const PageSongReader&) = delete;

  // The version of each of `items`, in their order; nullopt for a number no
  // row has (removed since the index was taken). False when the file cannot
  // be read. Safe to call from several threads at once.
  bool Read(const std::vector<int64_t>& items, std::vector<std::optional<PageVersion>>& versions);

  // Connections kept for the next answers at most: one per server thread.
  static constexpr size_t kMaxIdleConnections = 4;

private:
  std::unique_ptr<DbConnection> Take();
  void Give(std::unique_ptr<DbConnection> connection);

  const std::string libraryPath_;
  std::mutex lock_;
  std::vector<std::unique_ptr<DbConnection>> idle_;
};

}  // namespace lyricade
