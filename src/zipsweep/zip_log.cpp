#include "zipsweep/zip_log.h"

#include <filesystem>
#include <system_error>

#include "platform/paths/paths.h"
#include "zipsweep/sweep_texts.h"
#include "zipsweep/zipsweep_log.h"

namespace lyricade {

bool ZipLog::Begin() {
  file_.reset(std::fopen(path_.c_str(), "w"));
  if (!file_) {
    qCWarning(lcZipsweep, "the log %s cannot be written; the run goes on without it",
              path_.c_str());
    return false;
  }
  std::fputs(sweep::kLogHeader, file_.get());
  std::fflush(file_.get());
  return true;
}

void ZipLog::Line(const std::string& reason, const std::string& status, const std::string& archive) {
  if (!file_) return;
  std::fprintf(file_.get(), "%s, %s, %s\n", reason.c_str(), status.c_str(), archive.c_str());
  // Each line reaches the file as it is written: a run stopped by force
  // still leaves the failures so far.
  std::fflush(file_.get());
}

std::string ZipLogPath() {
  const std::string folder = ResolveDataFolder({}, "zipsweep", "");
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error)
    qCWarning(lcZipsweep, "the data folder %s cannot be made: %s", folder.c_str(),
              error.message().c_str());
  return folder + sweep::kLogFile;
}

}  // namespace lyricade
