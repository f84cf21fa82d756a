#include "common/field_text.h"

namespace lyricade {

std::string CutUtf8(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  size_t cut = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of a character.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

std::string BlankControlCharacters(std::string_view text) {
  std::string clean(text);
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) c = ' ';
  }
  return clean;
}

std::string FieldText(std::string_view text, size_t capacity) {
  return CutUtf8(BlankControlCharacters(text), capacity > 0 ? capacity - 1 : 0);
}

std::vector<std::string> SplitTabs(const std::string& line, size_t maxFields) {
  std::vector<std::string> fields;
  size_t at = 0;
  for (;;) {
    const size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
    if (tab == std::string::npos || fields.size() > maxFields) return fields;
    at = tab + 1;
  }
}

}  // namespace lyricade
