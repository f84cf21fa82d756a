#include "common/path_pieces.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <system_error>

namespace lyricade {

std::string FileExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  const size_t slash = path.rfind('/');
  if (slash != std::string_view::npos && slash > dot) return {};
  const std::string_view tail = path.substr(dot + 1);
  if (tail.size() >= 5) return {};
  return std::string(tail);
}

std::string DisplayName(std::string_view path) {
  const size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace lyricade

namespace lyricade {

std::string FindFileIgnoringCase(const std::string& path) {
  return FindFirstFileIgnoringCase({path});
}

std::string FindFirstFileIgnoringCase(const std::vector<std::string>& paths) {
  // Each folder is listed at most once, and only when an exact name is
  // missing.
  std::map<std::string, std::vector<std::string>> listings;
  for (const std::string& path : paths) {
    if (IsRegularFile(path)) return path;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) continue;

    auto [listing, fresh] = listings.try_emplace(folder);
    if (fresh) {
      std::error_code error;
      std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
      for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error))
        listing->second.push_back(entries->path().filename().string());
    }
    std::string best;
    for (const std::string& candidate : listing->second) {
      if (!EqualsIgnoreCase(candidate, name) || (!best.empty() && candidate >= best)) continue;
      if (IsRegularFile(folder + candidate)) best = candidate;
    }
    if (!best.empty()) return folder + best;
  }
  return {};
}

}  // namespace lyricade
