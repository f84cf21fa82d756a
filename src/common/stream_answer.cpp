#include "common/stream_answer.h"

#include <algorithm>

namespace lyricade {

StreamAnswer ParseStreamAnswer(std::string_view answer) {
  StreamAnswer parsed;
  const size_t at = answer.find(kStreamAnswerMarker);
  if (at == std::string_view::npos) return parsed;
  parsed.HasMarker = true;
  // A file name may hold blanks; it ends at the line's end.
  std::string_view name = answer.substr(at + kStreamAnswerMarker.size());
  name = name.substr(0, name.find_first_of("\r\n"));
  const bool refused = name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || std::string_view("&=#?/\\").find(c) != std::string_view::npos;
  });
  if (!refused) parsed.Name = std::string(name);
  return parsed;
}

}  // namespace lyricade
