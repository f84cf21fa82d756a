#pragma once
// Finding a run of bytes in a long block of bytes, fast: the search index
// scans one block per column, megabytes at a time, for every search word.
// SSE2 compares the needle's first and last byte at sixteen places at once
// and checks the middle only where both agree.

#include <cstddef>
#include <string_view>

namespace lyricade {

// The offset of the first occurrence of `needle` in `haystack` at or after
// `from`, or std::string_view::npos. An empty needle is found at `from`.
size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from = 0);

}  // namespace lyricade
