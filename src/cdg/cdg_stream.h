#pragma once
// The byte source of a ".cdg" file, read sector by sector from the start and
// rewound on a backward move. Files are read through a large block buffer so
// a replay from the start costs a few system calls, not one per sector; a
// stream can also come from memory (fuzzing, generated songs).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/unique_fd.h"

namespace lyricade {

class CdgStream {
public:
  bool OpenFile(const std::string& path);
  // The bytes are not copied; they must outlive the stream.
  void OpenMemory(const uint8_t* data, size_t size);
  void Close();
  bool IsOpen() const { return fd_.Valid() || memory_ != nullptr; }

  // Reads up to `size` bytes: fewer only at the end of the stream. Returns the
  // count, 0 at the end, -1 on a read error (the position stays where the
  // failed read left it).
  long Read(uint8_t* out, size_t size);
  bool Rewind();

private:
  static constexpr size_t kBlockBytes = 96 * 1024;

  UniqueFd fd_;
  std::vector<uint8_t> block_;
  size_t blockStart_ = 0;
  size_t blockEnd_ = 0;
  const uint8_t* memory_ = nullptr;
  size_t memorySize_ = 0;
  size_t memoryPosition_ = 0;
};

}  // namespace lyricade
