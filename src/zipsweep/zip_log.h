#pragma once
// The log "ziplog.txt": replaced by its header at the start of every run,
// then one line "reason, status, path" per archive that failed. A log that
// cannot be written is skipped (the run goes on) and reported once.

#include <cstdio>
#include <memory>
#include <string>

namespace lyricade {

class ZipLog {
public:
  explicit ZipLog(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Replaces the file with the header and keeps it open for the run.
  bool Begin();
  void Line(const std::string& reason, const std::string& status, const std::string& archive);
  void End() { file_.reset(); }

private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
};

// zipsweep's data folder ($XDG_DATA_HOME/zipsweep/, else
// ~/.local/share/zipsweep/), made when missing, and the log's path in it.
std::string ZipLogPath();

// `text` fit for one line of the log or of standard output: a tab, a line
// break or another control character in an archive's path is written as
// "\t", "\n", "\r" or "\xHH" (and a backslash as "\\"), so no path can
// forge a line or a column.
std::string OneLine(const std::string& text);

}  // namespace lyricade
