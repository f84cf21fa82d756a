#include "between/ambient_folder_walk.h"

#include "between/between_log.h"
#include "common/folder_scanner.h"

namespace lyricade {

AmbientFolderWalk::AmbientFolderWalk(std::string folder)
    : current_(folder), thread_([this, folder = std::move(folder)] { Run(folder); }) {}

AmbientFolderWalk::~AmbientFolderWalk() {
  Abort();
  if (thread_.joinable()) thread_.join();
}

std::string AmbientFolderWalk::CurrentFolder() const {
  const std::lock_guard<std::mutex> hold(mutex_);
  return current_;
}

std::vector<AmbientTrack> AmbientFolderWalk::TakeFound() {
  if (!done_ || aborted_) return {};
  const std::lock_guard<std::mutex> hold(mutex_);
  return std::move(found_);
}

void AmbientFolderWalk::Run(const std::string& folder) {
  std::vector<AmbientTrack> found;
  FolderScanHooks hooks;
  hooks.FolderFound = [this](const std::string& where) {
    const std::lock_guard<std::mutex> hold(mutex_);
    current_ = where;
  };
  hooks.FileFound = [&found](const std::string& where, const std::string& name) {
    found.push_back({name, JoinPath(where, name)});
  };
  hooks.Aborted = [this] { return aborted_.load(); };
  hooks.Unreadable = [](const std::string& where, const std::string& error) {
    qCWarning(lcBetween) << "the break-music folder" << where.c_str() << "could not be read:"
                         << error.c_str();
  };
  FolderScanner(std::move(hooks)).Scan(folder, AmbientList::kFolderPatterns);
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    found_ = std::move(found);
  }
  done_ = true;
}

}  // namespace lyricade
