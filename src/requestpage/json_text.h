#pragma once
// JSON text written straight into a string, for the answers the page asks
// for most (a search answer carries a hundred songs; building it as Qt JSON
// objects cost more than reading its rows).

#include <string>
#include <string_view>

namespace lyricade {

// Appends `text` as a JSON string, quotes included. Quotes, backslashes and
// control characters are escaped; bytes that are not UTF-8 (a tag from
// elsewhere) become U+FFFD each, so the answer is always valid JSON.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace lyricade
