#pragma once
// The service's answer to "may this account stream this song": the marker
// "--:STREAM:--" followed by the audio file's name up to the line's end.
// The name goes back unescaped into the file address (spaces become
// underscores there, nothing else changes), so a name that could add or
// change a query field, name another path or break a line is refused rather
// than sent. The one reader of that answer, for playback and the store.

#include <optional>
#include <string>
#include <string_view>

namespace lyricade {

inline constexpr std::string_view kStreamAnswerMarker = "--:STREAM:--";

struct StreamAnswer {
  // Whether the marker is there at all (without it the answer is the
  // service's own message to the host).
  bool HasMarker = false;
  // The file name; nullopt without the marker, or when the name is empty or
  // holds "&", "=", "#", "?", "/", "\" or a control character.
  std::optional<std::string> Name;
};

StreamAnswer ParseStreamAnswer(std::string_view answer);

}  // namespace lyricade
