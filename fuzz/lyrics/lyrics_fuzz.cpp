// Arbitrary bytes read as a karaoke MIDI file and as a timed lyric file, and
// the pages of what came out walked at arbitrary moments. The readers must
// stay inside their limits whatever the file says.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "lyrics/lrc_lyrics.h"
#include "lyrics/midi_lyrics.h"

namespace {

void WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

void Walk(const lyricade::TimedLyrics& lyrics) {
  if (lyrics.Lines.size() > lyricade::kLyricLinesMax) std::abort();
  for (int64_t at : {int64_t{-1}, int64_t{0}, int64_t{1000}, int64_t{1} << 40}) {
    const lyricade::LyricPage page = lyricade::PageAt(lyrics, at, 4);
    if (page.First > page.End || page.End > lyrics.Lines.size()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("LYRICADE_FUZZ_SEEDS");
  if (!folder || !*folder) return 0;
  WriteSeed(folder, "song.lrc",
            "[ti:Seed]\n[ar:Fuzz]\n[offset:+250]\n[00:01.00]<00:01.00>Hel<00:01.50>lo\n"
            "[00:03.20][00:09.000]Chorus [00:04.10]line\nno time\n[bad:tag]\n");
  std::string track;
  track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
  track += std::string("\x00\xFF\x01\x06@TSeed", 10);
  track += std::string("\x00\xFF\x01\x04/Hel\x00\x90\x3C\x64\x83\x60\x80\x3C\x40", 17);
  track += std::string("\x00\xFF\x01\x03\\lo\x00\x90\x3E\x64\x83\x60\x3E\x00", 15);
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string midi = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14) + "MTrk";
  for (int shift = 24; shift >= 0; shift -= 8) midi += static_cast<char>((track.size() >> shift) & 0xFF);
  WriteSeed(folder, "song.kar", midi + track);
  // Writing the seeds is the whole run: returning would start fuzzing.
  std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (std::optional<lyricade::TimedLyrics> midi = lyricade::ReadMidiLyrics(bytes)) Walk(*midi);
  Walk(lyricade::ReadLrcLyrics(bytes));
  return 0;
}
