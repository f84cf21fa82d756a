#pragma once
// Sets of rows as bits, 64 rows to a word: the search index's matches and
// its checks that every row is in an order once.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lyricade {

inline bool TestRow(const std::vector<uint64_t>& bits, size_t row) {
  return (bits[row >> 6] >> (row & 63)) & 1;
}

inline void SetRow(std::vector<uint64_t>& bits, size_t row) {
  bits[row >> 6] |= uint64_t{1} << (row & 63);
}

inline size_t CountRows(const std::vector<uint64_t>& bits) {
  size_t count = 0;
  for (uint64_t word : bits) count += static_cast<size_t>(std::popcount(word));
  return count;
}

}  // namespace lyricade
