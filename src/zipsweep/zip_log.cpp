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
  std::fprintf(file_.get(), "%s, %s, %s\n", OneLine(reason).c_str(), OneLine(status).c_str(),
               OneLine(archive).c_str());
  // Each line reaches the file as it is written: a run stopped by force
  // still leaves the failures so far.
  std::fflush(file_.get());
}

std::string OneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      line += "\\\\";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (byte < 0x20 || byte == 0x7f) {
      static const char kHex[] = "0123456789abcdef";
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0xf];
    } else {
      line += c;
    }
  }
  return line;
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
