#include "store/purchased_files.h"

#include <filesystem>

#include "platform/net/http_client.h"
#include "store/store_log.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

bool EndsWithZip(const std::string& name) {
  if (name.size() < 4) return false;
  const std::string tail = name.substr(name.size() - 4);
  return tail[0] == '.' && (tail[1] | 0x20) == 'z' && (tail[2] | 0x20) == 'i' &&
         (tail[3] | 0x20) == 'p';
}

// The folder part (with its "/") and the name without ".zip".
void SplitTarget(const std::string& path, std::string& folder, std::string& stem) {
  const size_t slash = path.rfind('/');
  folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (EndsWithZip(stem)) stem.resize(stem.size() - 4);
}

}  // namespace

void PurchasedFiles::Reset() {
  listed_ = false;
  stems_.clear();
}

void PurchasedFiles::List(const std::string& folder) {
  listed_ = true;
  folder_ = folder;
  stems_.clear();
  ++listings_;
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? "." : folder, error);
  if (error) {
    qCWarning(lcStore, "the output folder %s cannot be listed: %s", folder.c_str(),
           error.message().c_str());
    return;
  }
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (EndsWithZip(name) && it->is_regular_file(typeError))
      stems_.insert(name.substr(0, name.size() - 4));
  }
}

bool PurchasedFiles::Contains(const std::string& targetPath) {
  std::string folder, stem;
  SplitTarget(targetPath, folder, stem);
  if (!listed_ || folder != folder_) List(folder);
  return stems_.count(stem) > 0;
}

std::string FindZipAnyCase(const std::string& targetPath) {
  std::error_code error;
  if (fs::is_regular_file(targetPath, error)) return targetPath;
  std::string folder, stem;
  SplitTarget(targetPath, folder, stem);
  fs::directory_iterator it(folder.empty() ? "." : folder, error);
  if (error) {
    qCWarning(lcStore, "the output folder %s cannot be listed: %s", folder.c_str(),
              error.message().c_str());
    return {};
  }
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.size() == stem.size() + 4 && name.compare(0, stem.size(), stem) == 0 &&
        EndsWithZip(name) && it->is_regular_file(typeError))
      return folder + name;
  }
  return {};
}

int RemoveDownloadLeftovers(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  int removed = 0;
  if (folder.empty()) return 0;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!IsDownloadLeftover(name) || !it->is_regular_file(error)) continue;
    std::error_code ignored;
    if (fs::remove(it->path(), ignored)) ++removed;
  }
  if (removed > 0) qCInfo(lcStore, "removed %d unfinished downloads in %s", removed, folder.c_str());
  return removed;
}

}  // namespace lyricade
