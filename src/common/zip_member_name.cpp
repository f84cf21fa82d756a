#include "common/zip_member_name.h"

#include <vector>

namespace lyricade {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAbsolute(std::string_view name) {
  if (name.empty()) return false;
  if (IsSeparator(name.front())) return true;
  // "C:" names a drive on the system the archive may have come from.
  const char first = name[0];
  const bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
  return name.size() >= 2 && letter && name[1] == ':';
}

}  // namespace

bool IsFolderMemberName(std::string_view name) {
  return !name.empty() && IsSeparator(name.back());
}

std::optional<std::string> SafeMemberPath(std::string_view name) {
  if (name.empty() || IsAbsolute(name) || IsFolderMemberName(name)) return std::nullopt;
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string_view part = name.substr(start, end - start);
    if (part == "..") return std::nullopt;
    if (!part.empty() && part != ".") parts.push_back(part);
    start = end + 1;
  }
  if (parts.empty()) return std::nullopt;
  std::string path;
  for (const std::string_view part : parts) {
    if (!path.empty()) path += '/';
    path += part;
  }
  return path;
}

std::optional<std::string> FlatMemberName(std::string_view name) {
  std::optional<std::string> path = SafeMemberPath(name);
  if (!path) return std::nullopt;
  const size_t slash = path->rfind('/');
  if (slash != std::string::npos) path->erase(0, slash + 1);
  return path;
}

}  // namespace lyricade
