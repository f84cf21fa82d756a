#include "singers/rotation_file_writer.h"

#include "common/text_file.h"

namespace lyricade {

RotationFileWriter::RotationFileWriter(std::function<void(bool)> written)
    : written_(std::move(written)), thread_([this] { Run(); }) {}

RotationFileWriter::~RotationFileWriter() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void RotationFileWriter::Post(const std::string& path, std::vector<std::string> lines) {
  Post(std::vector<FileText>{FileText{path, std::move(lines)}});
}

bool RotationFileWriter::WriteNow(const std::string& path, const std::vector<std::string>& lines) {
  return WriteNow(std::vector<FileText>{FileText{path, lines}});
}

void RotationFileWriter::Post(std::vector<FileText> files) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    pending_ = Pending{std::move(files), nextSequence_++};
  }
  wake_.notify_all();
}

bool RotationFileWriter::WriteNow(const std::vector<FileText>& files) {
  uint64_t sequence = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    pending_.reset();
    sequence = nextSequence_++;
  }
  idle_.notify_all();
  return WriteInOrder(files, sequence);
}

void RotationFileWriter::Flush() {
  std::unique_lock<std::mutex> guard(lock_);
  idle_.wait(guard, [this] { return !pending_ && !busy_; });
}

bool RotationFileWriter::WriteInOrder(const std::vector<FileText>& files, uint64_t sequence) {
  std::lock_guard<std::mutex> guard(fileLock_);
  // A newer text is already on disk.
  if (sequence < writtenSequence_) return true;
  writtenSequence_ = sequence;
  bool ok = true;
  for (const FileText& file : files) ok = WriteTextLinesAtomically(file.Path, file.Lines) && ok;
  return ok;
}

void RotationFileWriter::Run() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    wake_.wait(guard, [this] { return stopping_ || pending_; });
    if (!pending_) return;  // stopping with nothing left
    Pending job = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    guard.unlock();
    const bool ok = WriteInOrder(job.Files, job.Sequence);
    if (written_) written_(ok);
    guard.lock();
    busy_ = false;
    idle_.notify_all();
  }
}

}  // namespace lyricade
