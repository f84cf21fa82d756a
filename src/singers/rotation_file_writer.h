#pragma once
// Writes the singer list file off the caller's thread. A burst of changes
// costs one write: each Post replaces the text still waiting, and a writer
// thread puts the newest text on disk (each write is complete and atomic).
// WriteNow writes at once on the caller's thread and supersedes anything
// posted before it, so an older text never lands after a newer one.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lyricade {

// One file's whole text.
struct FileText {
  std::string Path;
  std::vector<std::string> Lines;
};

class RotationFileWriter {
public:
  // `written` is called after every background write with its outcome, on
  // the writer thread.
  explicit RotationFileWriter(std::function<void(bool ok)> written = {});
  // Writes what is still waiting, then stops the thread.
  ~RotationFileWriter();
  RotationFileWriter(const RotationFileWriter&) = delete;
  RotationFileWriter& operator=(const RotationFileWriter&) = delete;

  void Post(const std::string& path, std::vector<std::string> lines);
  bool WriteNow(const std::string& path, const std::vector<std::string>& lines);
  // Several files written in the order given, each replaced atomically (the
  // extra state before the list it describes).
  void Post(std::vector<FileText> files);
  bool WriteNow(const std::vector<FileText>& files);
  // Waits until nothing posted is left unwritten.
  void Flush();

private:
  struct Pending {
    std::vector<FileText> Files;
    uint64_t Sequence = 0;
  };
  void Run();
  bool WriteInOrder(const std::vector<FileText>& files, uint64_t sequence);

  std::function<void(bool)> written_;
  std::mutex lock_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Pending> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  uint64_t nextSequence_ = 1;
  // Held while a file is written; the newest sequence written so far.
  std::mutex fileLock_;
  uint64_t writtenSequence_ = 0;
  std::thread thread_;
};

}  // namespace lyricade
