#include "library/substring_scan.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lyricade {
namespace {

// The whole needle at `at`. Search words are short: a loop beats a call to
// memcmp for them.
inline bool SameBytes(const char* at, const char* needle, size_t m) {
  if (m <= 12) {
    for (size_t k = 0; k < m; ++k)
      if (at[k] != needle[k]) return false;
    return true;
  }
  return std::memcmp(at, needle, m) == 0;
}

// Any of the needles at one of the mask's places (bit b: the place i + b),
// lowest place first.
inline size_t FirstOfAnyIn(unsigned mask, const char* hay, size_t n, size_t i,
                           std::span<const ProbedNeedle> needles, size_t& which) {
  while (mask != 0) {
    const size_t at = i + static_cast<unsigned>(__builtin_ctz(mask));
    for (size_t k = 0; k < needles.size(); ++k) {
      const std::string_view needle = needles[k].Bytes;
      if (at + needle.size() <= n && SameBytes(hay + at, needle.data(), needle.size())) {
        which = k;
        return at;
      }
    }
    mask &= mask - 1;
  }
  return std::string_view::npos;
}

#if defined(__x86_64__)
// Thirty-two places per step; the rest is left to the caller from `i`.
__attribute__((target("avx2"))) size_t ScanAnyAvx2(const char* hay, size_t n,
                                                   std::span<const ProbedNeedle> needles,
                                                   size_t reach, size_t& i, size_t& which) {
  __m256i one[kMaxProbedNeedles];
  __m256i two[kMaxProbedNeedles];
  for (size_t k = 0; k < needles.size(); ++k) {
    one[k] = _mm256_set1_epi8(needles[k].Bytes[needles[k].First]);
    two[k] = _mm256_set1_epi8(needles[k].Bytes[needles[k].Second]);
  }
  for (; i + 32 + reach <= n; i += 32) {
    __m256i any = _mm256_setzero_si256();
    for (size_t k = 0; k < needles.size(); ++k) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + needles[k].First));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + needles[k].Second));
      any = _mm256_or_si256(any, _mm256_and_si256(_mm256_cmpeq_epi8(a, one[k]), _mm256_cmpeq_epi8(b, two[k])));
    }
    const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(any));
    if (mask == 0) continue;
    const size_t found = FirstOfAnyIn(mask, hay, n, i, needles, which);
    if (found != std::string_view::npos) return found;
  }
  return std::string_view::npos;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

size_t FindAnyBytes(std::string_view haystack, std::span<const ProbedNeedle> needles, size_t from,
                    size_t& which) {
  const size_t n = haystack.size();
  if (needles.empty() || needles.size() > kMaxProbedNeedles || from > n) return std::string_view::npos;
  const char* hay = haystack.data();
  // How far past a place the probes read.
  size_t reach = 0;
  for (const ProbedNeedle& needle : needles) reach = std::max({reach, needle.First, needle.Second});
  size_t i = from;
#if defined(__x86_64__)
  if (HasAvx2()) {
    const size_t found = ScanAnyAvx2(hay, n, needles, reach, i, which);
    if (found != std::string_view::npos) return found;
  }
#endif
#if defined(__SSE2__)
  __m128i one[kMaxProbedNeedles];
  __m128i two[kMaxProbedNeedles];
  for (size_t k = 0; k < needles.size(); ++k) {
    one[k] = _mm_set1_epi8(needles[k].Bytes[needles[k].First]);
    two[k] = _mm_set1_epi8(needles[k].Bytes[needles[k].Second]);
  }
  for (; i + 16 + reach <= n; i += 16) {
    __m128i any = _mm_setzero_si128();
    for (size_t k = 0; k < needles.size(); ++k) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + needles[k].First));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + needles[k].Second));
      any = _mm_or_si128(any, _mm_and_si128(_mm_cmpeq_epi8(a, one[k]), _mm_cmpeq_epi8(b, two[k])));
    }
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(any));
    if (mask == 0) continue;
    const size_t found = FirstOfAnyIn(mask, hay, n, i, needles, which);
    if (found != std::string_view::npos) return found;
  }
#endif
  for (; i < n; ++i) {
    for (size_t k = 0; k < needles.size(); ++k) {
      const ProbedNeedle& needle = needles[k];
      if (i + needle.Bytes.size() <= n && SameBytes(hay + i, needle.Bytes.data(), needle.Bytes.size())) {
        which = k;
        return i;
      }
    }
  }
  return std::string_view::npos;
}

size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from) {
  const size_t n = haystack.size();
  const size_t m = needle.size();
  if (m == 0) return from <= n ? from : std::string_view::npos;
  if (from > n || n - from < m) return std::string_view::npos;
  if (m == 1) {
    const void* found = std::memchr(haystack.data() + from, needle[0], n - from);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - haystack.data())
                 : std::string_view::npos;
  }
  const ProbedNeedle ends[] = {{needle, 0, m - 1}};
  size_t which = 0;
  return FindAnyBytes(haystack, ends, from, which);
}

}  // namespace lyricade
