#include "library/substring_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lyricade {

size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from) {
  const size_t n = haystack.size();
  const size_t m = needle.size();
  if (m == 0) return from <= n ? from : std::string_view::npos;
  if (from > n || n - from < m) return std::string_view::npos;
  const char* hay = haystack.data();
  if (m == 1) {
    const void* found = std::memchr(hay + from, needle[0], n - from);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - hay)
                 : std::string_view::npos;
  }
  const size_t last = n - m;  // the last place the needle can start
  size_t i = from;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i final = _mm_set1_epi8(needle[m - 1]);
  for (; i + 16 <= last + 1; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + m - 1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
    while (mask != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (std::memcmp(hay + i + bit + 1, needle.data() + 1, m - 2) == 0) return i + bit;
      mask &= mask - 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (hay[i] == needle[0] && hay[i + m - 1] == needle[m - 1] &&
        std::memcmp(hay + i + 1, needle.data() + 1, m - 2) == 0)
      return i;
  return std::string_view::npos;
}

}  // namespace lyricade
