#include "cdg/cdg_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lyricade {

bool CdgStream::OpenFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return false;
  Close();
  fd_ = std::move(fd);
  block_.resize(kBlockBytes);
  return true;
}

void CdgStream::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  // An empty stream still counts as open.
  static const uint8_t kEmpty = 0;
  memory_ = data ? data : &kEmpty;
  memorySize_ = data ? size : 0;
  memoryPosition_ = 0;
}

void CdgStream::Close() {
  fd_.Reset();
  memory_ = nullptr;
  memorySize_ = memoryPosition_ = 0;
  blockStart_ = blockEnd_ = 0;
}

long CdgStream::Read(uint8_t* out, size_t size) {
  if (memory_) {
    const size_t count = std::min(size, memorySize_ - memoryPosition_);
    std::memcpy(out, memory_ + memoryPosition_, count);
    memoryPosition_ += count;
    return static_cast<long>(count);
  }
  if (!fd_.Valid()) return -1;
  size_t got = 0;
  while (got < size) {
    if (blockStart_ == blockEnd_) {
      ssize_t read = ::read(fd_.Get(), block_.data(), block_.size());
      if (read < 0) {
        if (errno == EINTR) continue;
        return got > 0 ? static_cast<long>(got) : -1;
      }
      if (read == 0) break;  // end of file
      blockStart_ = 0;
      blockEnd_ = static_cast<size_t>(read);
    }
    const size_t count = std::min(size - got, blockEnd_ - blockStart_);
    std::memcpy(out + got, block_.data() + blockStart_, count);
    blockStart_ += count;
    got += count;
  }
  return static_cast<long>(got);
}

bool CdgStream::Rewind() {
  if (memory_) {
    memoryPosition_ = 0;
    return true;
  }
  if (!fd_.Valid()) return false;
  blockStart_ = blockEnd_ = 0;
  return ::lseek(fd_.Get(), 0, SEEK_SET) == 0;
}

}  // namespace lyricade
