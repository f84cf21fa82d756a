#include "support/test_midi.h"

#include <cstdint>
#include <fstream>

namespace lyricade::testing {
namespace {

void Vlq(std::string& out, uint32_t value) {
  char bytes[5];
  int count = 0;
  bytes[count++] = static_cast<char>(value & 0x7F);
  while ((value >>= 7) != 0) bytes[count++] = static_cast<char>((value & 0x7F) | 0x80);
  while (count > 0) out += bytes[--count];
}

void Meta(std::string& out, uint32_t delta, uint8_t type, const std::string& text) {
  Vlq(out, delta);
  out += '\xFF';
  out += static_cast<char>(type);
  Vlq(out, static_cast<uint32_t>(text.size()));
  out += text;
}

void Be(std::string& out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

bool MakeKaraokeMidi(const std::string& path, const std::vector<std::string>& headers,
                     const std::vector<MidiSyllable>& syllables, int beatsEach) {
  std::string track;
  Meta(track, 0, 0x51, std::string("\x07\xA1\x20", 3));  // 500,000 us a beat
  for (const std::string& header : headers) Meta(track, 0, 0x01, header);
  for (const MidiSyllable& syllable : syllables) {
    Meta(track, 0, 0x01, syllable.Text);
    Vlq(track, 0);
    track += static_cast<char>(0x90 | syllable.Channel);
    track += static_cast<char>(syllable.Note);
    track += '\x64';
    Vlq(track, static_cast<uint32_t>(480 * beatsEach));
    track += static_cast<char>(0x80 | syllable.Channel);
    track += static_cast<char>(syllable.Note);
    track += '\x40';
  }
  Meta(track, 0, 0x2F, "");
  std::string file = "MThd";
  Be(file, 6, 4);
  Be(file, 0, 2);
  Be(file, 1, 2);
  Be(file, 480, 2);
  file += "MTrk";
  Be(file, static_cast<uint32_t>(track.size()), 4);
  file += track;
  std::ofstream out(path, std::ios::binary);
  out << file;
  return static_cast<bool>(out);
}

}  // namespace lyricade::testing
