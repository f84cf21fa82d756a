#pragma once
// The LIKE of the library's statements: "%" any run of characters, "_" one
// character, and letter case ignored for every letter, not only A to Z. The
// search words arrive upper-cased for a to z only while stored texts keep
// their case, so "%BEYONCé%" must find "Beyoncé" and "BEYONCÉ".
//
// Both sides are compared after Unicode simple case folding. Texts and
// patterns made only of ASCII (nearly every row of a library) take a fast
// path that folds bytes through a table without decoding.

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace lyricade {

// Replaces like(X,Y) and like(X,Y,Z) on the connection. Returns false when
// SQLite refuses the registration.
bool RegisterCaseFoldingLike(sqlite3* db);

// The same comparison outside SQL: does `text` match `pattern`? `escape` is
// the ESCAPE character or 0 for none. Invalid UTF-8 bytes compare as
// themselves.
bool LikeMatches(std::string_view pattern, std::string_view text, char32_t escape = 0);

// The text as the comparison sees it, written out again as UTF-8: every
// character case-folded, and each byte that does not start a well-formed
// character kept as a character of its own (encoded in the surrogate range,
// so it never equals a real one). Matching LIKE patterns without escape
// against folded texts is then a byte comparison: a folded pattern character
// that is not "%" or "_" matches exactly its own bytes. The byte 0xFF never
// occurs in the output, so it can separate folded texts.
std::string FoldForLike(std::string_view text);
// The same, appended to `out`.
void AppendFoldedForLike(std::string_view text, std::string& out);

}  // namespace lyricade
