#include "platform/db/like_function.h"

#include <QChar>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace lyricade {
namespace {

// "_" inside a compiled segment. In the folded code-point form it is a value
// no decoded character can take; in the ASCII form a byte no ASCII text holds.
constexpr char32_t kOneChar = 0xFFFFFFFE;
constexpr unsigned char kOneByte = 0x80;

constexpr std::array<unsigned char, 128> MakeAsciiFold() {
  std::array<unsigned char, 128> table{};
  for (int c = 0; c < 128; ++c) table[c] = (c >= 'A' && c <= 'Z') ? c + 32 : c;
  return table;
}
constexpr std::array<unsigned char, 128> kAsciiFold = MakeAsciiFold();

// Decodes one UTF-8 character at `i` and advances `i`. A byte that does not
// start a well-formed sequence stands for itself, mapped into the surrogate
// range where no decoded character lands, so broken texts still compare.
char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
  const unsigned char b0 = s[i];
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  size_t extra = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    ++i;
    return 0xDC00 + b0;
  }
  if (i + extra >= n) {
    ++i;
    return 0xDC00 + b0;
  }
  for (size_t k = 1; k <= extra; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) {
      ++i;
      return 0xDC00 + b0;
    }
    cp = (cp << 6) | (s[i + k] & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xDC00 + b0;
  }
  i += extra + 1;
  return cp;
}

char32_t Fold(char32_t cp) {
  if (cp < 0x80) return kAsciiFold[cp];
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return cp;
  return QChar::toCaseFolded(cp);
}

// A pattern split at its "%" signs. Without any "%" there is one segment that
// must cover the whole text; with them the first segment is anchored at the
// start, the last at the end, and the ones between are found leftmost in
// order (every segment has a fixed length, so leftmost is always right).
struct Segment {
  std::u32string Folded;  // "_" as kOneChar
  std::string Ascii;      // the same in bytes, "_" as kOneByte; valid when the pattern is ASCII
  bool HasOne = false;    // holds a "_"
};

struct CompiledPattern {
  char32_t Escape = 0;
  bool HasPercent = false;
  bool Ascii = true;  // every literal folded to ASCII: usable on ASCII texts
  std::vector<Segment> Segments;
};

std::unique_ptr<CompiledPattern> Compile(std::string_view pattern, char32_t escape) {
  auto compiled = std::make_unique<CompiledPattern>();
  compiled->Escape = escape;
  compiled->Segments.emplace_back();
  const auto* s = reinterpret_cast<const unsigned char*>(pattern.data());
  const size_t n = pattern.size();
  for (size_t i = 0; i < n;) {
    char32_t cp = DecodeUtf8(s, n, i);
    if (escape != 0 && cp == escape) {
      // An escape makes the next character literal; a trailing escape is
      // itself literal.
      if (i < n) cp = DecodeUtf8(s, n, i);
      compiled->Segments.back().Folded.push_back(Fold(cp));
      continue;
    }
    if (cp == '%') {
      compiled->HasPercent = true;
      if (compiled->Segments.back().Folded.empty() && compiled->Segments.size() > 1) continue;
      compiled->Segments.emplace_back();
      continue;
    }
    compiled->Segments.back().Folded.push_back(cp == '_' ? kOneChar : Fold(cp));
  }
  for (Segment& segment : compiled->Segments) {
    for (char32_t cp : segment.Folded) {
      if (cp == kOneChar) {
        segment.HasOne = true;
        segment.Ascii.push_back(static_cast<char>(kOneByte));
      } else if (cp < 0x80) {
        segment.Ascii.push_back(static_cast<char>(cp));
      } else {
        compiled->Ascii = false;
      }
    }
  }
  return compiled;
}

// Matching over a folded text of bytes (ASCII) or of code points.
template <typename Char>
struct Folded {
  const Char* Data;
  size_t Size;
};

template <typename Char>
const std::basic_string<Char>& Pieces(const Segment& segment);
template <>
const std::string& Pieces<char>(const Segment& segment) {
  return segment.Ascii;
}
template <>
const std::u32string& Pieces<char32_t>(const Segment& segment) {
  return segment.Folded;
}

template <typename Char>
bool MatchesAt(const Folded<Char>& text, const Segment& segment, size_t at) {
  const std::basic_string<Char>& pieces = Pieces<Char>(segment);
  if (!segment.HasOne)
    return std::char_traits<Char>::compare(text.Data + at, pieces.data(), pieces.size()) == 0;
  constexpr Char kOne = sizeof(Char) == 1 ? static_cast<Char>(kOneByte) : static_cast<Char>(kOneChar);
  for (size_t k = 0; k < pieces.size(); ++k)
    if (pieces[k] != kOne && text.Data[at + k] != pieces[k]) return false;
  return true;
}

// The leftmost place at or after `from`, ending by `end`, where the segment
// matches; npos when none.
template <typename Char>
size_t Find(const Folded<Char>& text, const Segment& segment, size_t from, size_t end) {
  const std::basic_string<Char>& pieces = Pieces<Char>(segment);
  const size_t size = pieces.size();
  if (size == 0) return from;
  if (end < size || from > end - size) return std::string::npos;
  if (!segment.HasOne) {
    const Char first = pieces[0];
    const Char* data = text.Data;
    for (size_t p = from; p + size <= end; ++p) {
      if (data[p] != first) continue;
      size_t k = 1;
      while (k < size && data[p + k] == pieces[k]) ++k;
      if (k == size) return p;
    }
    return std::string::npos;
  }
  for (size_t p = from; p + size <= end; ++p)
    if (MatchesAt(text, segment, p)) return p;
  return std::string::npos;
}

template <typename Char>
bool MatchSegments(const Folded<Char>& text, const std::vector<Segment>& segments,
                   bool hasPercent) {
  const size_t n = text.Size;
  if (!hasPercent) {
    const Segment& only = segments.front();
    return Pieces<Char>(only).size() == n && MatchesAt(text, only, 0);
  }
  const size_t firstSize = Pieces<Char>(segments.front()).size();
  const size_t lastSize = Pieces<Char>(segments.back()).size();
  if (firstSize + lastSize > n) return false;
  if (!MatchesAt(text, segments.front(), 0)) return false;
  size_t position = firstSize;
  const size_t end = n - lastSize;
  for (size_t s = 1; s + 1 < segments.size(); ++s) {
    const size_t found = Find(text, segments[s], position, end);
    if (found == std::string::npos) return false;
    position = found + Pieces<Char>(segments[s]).size();
  }
  return MatchesAt(text, segments.back(), end);
}

bool Matches(const CompiledPattern& pattern, const unsigned char* text, size_t size) {
  // Library texts are short: fold them into a buffer on the stack, and only
  // reach for the heap for long ones.
  constexpr size_t kLocal = 512;
  if (pattern.Ascii) {
    // Fold while checking for non-ASCII bytes: most library texts are ASCII
    // and never need decoding.
    char local[kLocal];
    std::string heap;
    char* bytes = local;
    if (size > kLocal) {
      heap.resize(size);
      bytes = heap.data();
    }
    unsigned char seen = 0;
    for (size_t i = 0; i < size; ++i) {
      const unsigned char c = text[i];
      seen |= c;
      bytes[i] = static_cast<char>(kAsciiFold[c & 0x7F]);
    }
    if ((seen & 0x80) == 0)
      return MatchSegments(Folded<char>{bytes, size}, pattern.Segments, pattern.HasPercent);
  }
  char32_t local[kLocal];
  std::u32string heap;
  char32_t* points = local;
  if (size > kLocal) {
    heap.resize(size);
    points = heap.data();
  }
  size_t count = 0;
  for (size_t i = 0; i < size;) {
    const unsigned char c = text[i];
    if (c < 0x80) {
      points[count++] = kAsciiFold[c];
      ++i;
    } else {
      points[count++] = Fold(DecodeUtf8(text, size, i));
    }
  }
  return MatchSegments(Folded<char32_t>{points, count}, pattern.Segments, pattern.HasPercent);
}

void DeletePattern(void* pattern) { delete static_cast<CompiledPattern*>(pattern); }

void LikeSql(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  const int patternSize = sqlite3_value_bytes(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  const int textSize = sqlite3_value_bytes(argv[1]);
  if (!pattern || !text) return;  // NULL LIKE anything is NULL

  char32_t escape = 0;
  if (argc == 3) {
    const unsigned char* escapeText = sqlite3_value_text(argv[2]);
    if (!escapeText) return;
    const size_t escapeSize = static_cast<size_t>(sqlite3_value_bytes(argv[2]));
    size_t i = 0;
    if (escapeSize > 0) escape = DecodeUtf8(escapeText, escapeSize, i);
    if (escapeSize == 0 || i != escapeSize) {
      sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
      return;
    }
  }

  // The compiled pattern is kept with the statement while the pattern
  // argument is a constant, so a scan of many rows compiles it once.
  auto* cached = static_cast<CompiledPattern*>(sqlite3_get_auxdata(context, 0));
  if (cached && cached->Escape == escape) {
    sqlite3_result_int(context, Matches(*cached, text, static_cast<size_t>(textSize)));
    return;
  }
  sqlite3* db = sqlite3_context_db_handle(context);
  if (patternSize > sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
    sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
    return;
  }
  std::unique_ptr<CompiledPattern> compiled = Compile(
      std::string_view(reinterpret_cast<const char*>(pattern), static_cast<size_t>(patternSize)),
      escape);
  sqlite3_result_int(context, Matches(*compiled, text, static_cast<size_t>(textSize)));
  sqlite3_set_auxdata(context, 0, compiled.release(), DeletePattern);
}

}  // namespace

bool RegisterCaseFoldingLike(sqlite3* db) {
  if (!db) return false;
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  return sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeSql, nullptr, nullptr,
                                    nullptr) == SQLITE_OK &&
         sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeSql, nullptr, nullptr,
                                    nullptr) == SQLITE_OK;
}

std::string FoldForLike(std::string_view text) {
  std::string out;
  AppendFoldedForLike(text, out);
  return out;
}

void AppendFoldedForLike(std::string_view text, std::string& out) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  // Most texts are ASCII: fold them straight into place.
  const size_t base = out.size();
  out.resize(base + n);
  char* ascii = out.data() + base;
  size_t i = 0;
  for (; i < n && s[i] < 0x80; ++i) ascii[i] = static_cast<char>(kAsciiFold[s[i]]);
  out.resize(base + i);
  while (i < n) {
    if (s[i] < 0x80) {
      out += static_cast<char>(kAsciiFold[s[i]]);
      ++i;
      continue;
    }
    // Surrogates (stray bytes) are written like any other code point; the
    // encoding is only ever compared with itself.
    const char32_t cp = Fold(DecodeUtf8(s, n, i));
    if (cp < 0x80) {  // the Kelvin sign folds to "k"
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
}

bool LikeMatches(std::string_view pattern, std::string_view text, char32_t escape) {
  std::unique_ptr<CompiledPattern> compiled = Compile(pattern, escape);
  return Matches(*compiled, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace lyricade
