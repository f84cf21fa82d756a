#pragma once
// Finding a run of bytes in a long block of bytes, fast: the search index
// scans one block per column, megabytes at a time, for every search word.
// SSE2 (AVX2 where the processor has it) compares two of the needle's bytes
// at sixteen (thirty-two) places at once and checks the whole needle only
// where both agree: the first and the last byte, or for a scan for several
// needles the ones the caller names (rarer ones: in a block of song titles,
// "l" and "e" of "love" agree at far more places than its "v" and "o" do).

#include <cstddef>
#include <span>
#include <string_view>

namespace lyricade {

// The offset of the first occurrence of `needle` in `haystack` at or after
// `from`, or std::string_view::npos. An empty needle is found at `from`.
size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from = 0);

// A needle with the two places of it a scan probes (as above).
struct ProbedNeedle {
  std::string_view Bytes;  // never empty
  size_t First = 0;
  size_t Second = 0;
};

// Where the first occurrence of any of `needles` starts at or after `from`,
// or npos; `which` is then the needle's place in the list (the first of
// those starting there). One pass over the block, however many needles: a
// search for any of several words reads the block once. At most
// kMaxProbedNeedles needles.
inline constexpr size_t kMaxProbedNeedles = 8;
size_t FindAnyBytes(std::string_view haystack, std::span<const ProbedNeedle> needles, size_t from,
                    size_t& which);

}  // namespace lyricade
