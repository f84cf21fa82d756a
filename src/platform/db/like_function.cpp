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

void DecodeFolded(const unsigned char* s, size_t n, std::u32string& out) {
  out.clear();
  for (size_t i = 0; i < n;) out.push_back(Fold(DecodeUtf8(s, n, i)));
}

// A pattern split at its "%" signs. Without any "%" there is one segment that
// must cover the whole text; with them the first segment is anchored at the
// start, the last at the end, and the ones between are found leftmost in
// order (every segment has a fixed length, so leftmost is always right).
struct CompiledPattern {
  char32_t Escape = 0;
  bool HasPercent = false;
  bool Ascii = true;  // every literal folded to ASCII: usable on ASCII texts
  std::vector<std::u32string> Segments;
  std::vector<std::string> AsciiSegments;
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
      compiled->Segments.back().push_back(Fold(cp));
      continue;
    }
    if (cp == '%') {
      compiled->HasPercent = true;
      if (compiled->Segments.back().empty() && compiled->Segments.size() > 1) continue;
      compiled->Segments.emplace_back();
      continue;
    }
    compiled->Segments.back().push_back(cp == '_' ? kOneChar : Fold(cp));
  }
  for (const std::u32string& segment : compiled->Segments) {
    std::string bytes;
    for (char32_t cp : segment) {
      if (cp == kOneChar) {
        bytes.push_back(static_cast<char>(kOneByte));
      } else if (cp < 0x80) {
        bytes.push_back(static_cast<char>(cp));
      } else {
        compiled->Ascii = false;
      }
    }
    compiled->AsciiSegments.push_back(std::move(bytes));
  }
  return compiled;
}

// Text access for the two forms: ASCII bytes folded on the fly, or code
// points folded beforehand.
struct AsciiText {
  const unsigned char* Data;
  size_t Size;
  unsigned char At(size_t i) const { return kAsciiFold[Data[i]]; }
};
struct FoldedText {
  const char32_t* Data;
  size_t Size;
  char32_t At(size_t i) const { return Data[i]; }
};

bool MatchesAt(const AsciiText& text, const std::string& segment, size_t at) {
  for (size_t k = 0; k < segment.size(); ++k) {
    const auto p = static_cast<unsigned char>(segment[k]);
    if (p != kOneByte && text.At(at + k) != p) return false;
  }
  return true;
}

bool MatchesAt(const FoldedText& text, const std::u32string& segment, size_t at) {
  for (size_t k = 0; k < segment.size(); ++k) {
    const char32_t p = segment[k];
    if (p != kOneChar && text.At(at + k) != p) return false;
  }
  return true;
}

template <typename Text, typename Segment>
bool MatchSegments(const Text& text, const std::vector<Segment>& segments, bool hasPercent) {
  const size_t n = text.Size;
  if (!hasPercent) {
    const Segment& only = segments.front();
    return only.size() == n && MatchesAt(text, only, 0);
  }
  const Segment& first = segments.front();
  const Segment& last = segments.back();
  if (first.size() + last.size() > n) return false;
  if (!MatchesAt(text, first, 0)) return false;
  size_t position = first.size();
  const size_t end = n - last.size();
  for (size_t s = 1; s + 1 < segments.size(); ++s) {
    const Segment& segment = segments[s];
    bool found = false;
    for (; position + segment.size() <= end; ++position) {
      if (MatchesAt(text, segment, position)) {
        found = true;
        break;
      }
    }
    if (!found) return false;
    position += segment.size();
  }
  return MatchesAt(text, last, end);
}

bool IsAscii(const unsigned char* s, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (s[i] >= 0x80) return false;
  return true;
}

bool Matches(const CompiledPattern& pattern, const unsigned char* text, size_t size) {
  if (pattern.Ascii && IsAscii(text, size))
    return MatchSegments(AsciiText{text, size}, pattern.AsciiSegments, pattern.HasPercent);
  thread_local std::u32string folded;
  DecodeFolded(text, size, folded);
  return MatchSegments(FoldedText{folded.data(), folded.size()}, pattern.Segments,
                       pattern.HasPercent);
}

void DeletePattern(void* pattern) { delete static_cast<CompiledPattern*>(pattern); }

void LikeSql(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  const int patternSize = sqlite3_value_bytes(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  const int textSize = sqlite3_value_bytes(argv[1]);
  if (!pattern || !text) return;  // NULL LIKE anything is NULL

  sqlite3* db = sqlite3_context_db_handle(context);
  if (patternSize > sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
    sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
    return;
  }
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

bool LikeMatches(std::string_view pattern, std::string_view text, char32_t escape) {
  std::unique_ptr<CompiledPattern> compiled = Compile(pattern, escape);
  return Matches(*compiled, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace lyricade
