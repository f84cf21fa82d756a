#include "singers/song_lengths.h"

#include <sys/stat.h>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "common/text_file.h"
#include "platform/db/db_connection.h"

namespace lyricade {
namespace {

// A kept table line is a number, a tab and a path no longer than the list
// file's path field.
constexpr size_t kMaximumPathBytes = 1024;

bool EndsWithZip(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".zip";
}

bool Streamed(const std::string& path) {
  return path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0;
}

std::string SqlText(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

}  // namespace

int SongLenSeconds(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.size() > 12) return -1;
  long long total = 0;
  int parts = 0;
  while (true) {
    const size_t colon = text.find(':');
    const std::string_view piece = text.substr(0, colon);
    int value = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (piece.empty() || error != std::errc() || end != piece.data() + piece.size() || value < 0)
      return -1;
    // Minutes and seconds after the first part stay below 60.
    if (parts > 0 && value >= 60) return -1;
    total = total * 60 + value;
    if (++parts > 3) return -1;
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  if (total <= 0 || total > SongLengths::kMaximumSeconds) return -1;
  return static_cast<int>(total);
}

int LibrarySongSeconds(const std::string& databasePath, const std::string& path) {
  DbConnection db;
  if (databasePath.empty() || !db.Open(databasePath, DbAccess::ReadOnly)) return -1;
  int seconds = -1;
  db.Query("SELECT SongLen FROM Items WHERE SongPath = " + SqlText(path) + " LIMIT 8;",
           [&](const DbRow& row) {
             if (const auto text = row.Text(0)) seconds = SongLenSeconds(*text);
             return seconds < 0;
           });
  return seconds;
}

int MeasureSongSeconds(const std::string& path) {
  if (path.empty() || Streamed(path) || EndsWithZip(path)) return -1;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > kMaximumMeasuredBytes)
    return -1;
  TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
  if (file.isNull() || !file.audioProperties()) return -1;
  const int seconds = file.audioProperties()->lengthInSeconds();
  return seconds > 0 && seconds <= SongLengths::kMaximumSeconds ? seconds : -1;
}

SongLengths::SongLengths(std::string tableFile, std::string libraryDatabase, Measure measure)
    : tableFile_(std::move(tableFile)), measure_(std::move(measure)) {
  if (!measure_)
    measure_ = [database = std::move(libraryDatabase)](const std::string& path) {
      const int listed = LibrarySongSeconds(database, path);
      return listed > 0 ? listed : MeasureSongSeconds(path);
    };
  Load();
  worker_ = std::thread([this] { Run(); });
}

SongLengths::~SongLengths() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stop_ = true;
    pending_.clear();
  }
  wake_.notify_all();
  worker_.join();
}

void SongLengths::Load() {
  const auto lines = ReadTextLines(tableFile_);
  if (!lines) return;
  for (const std::string& line : *lines) {
    if (seconds_.size() >= kMaximumEntries) break;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 || line.size() - tab - 1 > kMaximumPathBytes) continue;
    const int seconds = SongLenSeconds(std::string_view(line).substr(0, tab));
    const std::string path = line.substr(tab + 1);
    if (seconds > 0 && !path.empty()) seconds_[path] = seconds;
  }
}

int SongLengths::Seconds(const std::string& path) {
  if (const auto known = seconds_.find(path); known != seconds_.end()) return known->second;
  if (path.empty() || path.size() > kMaximumPathBytes || asked_.size() >= kMaximumEntries ||
      !asked_.insert(path).second)
    return -1;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (pending_.size() >= kMaximumPending) {
      // Asked again once the queue has room.
      asked_.erase(path);
      return -1;
    }
    pending_.push_back(path);
  }
  wake_.notify_one();
  return -1;
}

void SongLengths::Record(const std::string& path, int seconds) {
  if (path.empty() || path.size() > kMaximumPathBytes || path.find_first_of("\r\n") != std::string::npos ||
      seconds <= 0 || seconds > kMaximumSeconds)
    return;
  auto known = seconds_.find(path);
  if (known == seconds_.end() && seconds_.size() >= kMaximumEntries) return;
  if (known != seconds_.end() && known->second == seconds) return;
  seconds_[path] = seconds;
  changed_ = true;
}

bool SongLengths::Collect() {
  std::vector<std::pair<std::string, int>> measured;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    measured.swap(measured_);
  }
  bool added = false;
  for (auto& [path, seconds] : measured) {
    if (seconds <= 0 || seconds_.count(path)) continue;
    Record(path, seconds);
    added = added || seconds_.count(path) > 0;
  }
  return added;
}

bool SongLengths::Save() {
  if (!changed_) return true;
  std::vector<std::pair<std::string, int>> rows(seconds_.begin(), seconds_.end());
  // A stable order: the file changes only where lengths change.
  std::sort(rows.begin(), rows.end());
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const auto& [path, seconds] : rows) lines.push_back(std::to_string(seconds) + '\t' + path);
  if (!WriteTextLinesAtomically(tableFile_, lines)) return false;
  changed_ = false;
  return true;
}

void SongLengths::WaitIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return (pending_.empty() && !busy_) || stop_; });
}

void SongLengths::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stop_ || !pending_.empty(); });
    if (stop_) break;
    const std::string path = std::move(pending_.front());
    pending_.pop_front();
    busy_ = true;
    lock.unlock();
    const int seconds = measure_(path);
    lock.lock();
    busy_ = false;
    if (seconds > 0 && measured_.size() < kMaximumPending) measured_.emplace_back(path, seconds);
    idle_.notify_all();
  }
  busy_ = false;
  idle_.notify_all();
}

}  // namespace lyricade
