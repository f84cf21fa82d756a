// The host's search text and the stored texts it is compared with: any bytes
// must split, sanitise and build a statement, and the case-folding LIKE must
// compare any pattern with any text (broken UTF-8 included) without reading
// out of bounds. Input: a mode byte, then pattern and text separated by a
// zero byte.

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "library/library_search.h"
#include "platform/db/like_function.h"
#include "platform/db/sqlite_handles.h"

namespace {

// The whole literal, zero bytes inside it included.
template <size_t N>
void WriteSeed(const std::string& folder, const char* name, const char (&bytes)[N]) {
  std::ofstream(folder + "/" + name, std::ios::binary).write(bytes, N - 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* seeds = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!seeds) return 0;
  WriteSeed(seeds, "words", "\x00love me [Live] don't\0Love Me Do");
  WriteSeed(seeds, "accents", "\x01%BEYONC\xC3\xA9%\0Beyonc\xC3\x89 - Halo");
  WriteSeed(seeds, "broken", "\x12%\xE2\x82_%\0\xFF\xC3\xE2\x82\xAC");
  WriteSeed(seeds, "escape", "\x13" "a!%b_\0A%B\xC3\xA9");
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t split = rest.find('\0');
  const std::string pattern = rest.substr(0, split);
  const std::string text = split == std::string::npos ? std::string() : rest.substr(split + 1);

  using namespace lyricade;
  const std::vector<std::string> words = SplitSearchWords(SanitizeSearchText(pattern));
  const SearchField field = static_cast<SearchField>(mode % 7);
  const MatchMode match = (mode & 8) ? MatchMode::AtleastOne : MatchMode::All;
  (void)BuildSearchStatement(words, field, match, SortOrder{});

  const char32_t escape = (mode & 16) ? U'!' : 0;
  (void)LikeMatches(pattern, text, escape);

  // The same comparison through SQL, with the compiled pattern reused.
  static sqlite3* db = [] {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    RegisterCaseFoldingLike(raw);
    return raw;
  }();
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT ?2 LIKE ?1, ?2 LIKE ?1 ESCAPE '!';", -1, &raw, nullptr) ==
      SQLITE_OK) {
    StatementHandle statement(raw);
    sqlite3_bind_text(raw, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_STATIC);
    sqlite3_bind_text(raw, 2, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    sqlite3_step(raw);
  }
  return 0;
}
