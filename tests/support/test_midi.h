#pragma once
// Small Standard MIDI Files written at test time: a karaoke file's lyric
// events and notes, as ".kar" files carry them.

#include <string>
#include <vector>

namespace lyricade::testing {

struct MidiSyllable {
  std::string Text;  // as the file writes it ("/Hel", "lo", "\\Next")
  int Note = 60;
  int Channel = 0;
};

// A format-0 file at 120 beats a minute, 480 ticks a beat: `headers` as text
// events at time 0 ("@TTitle"), then each syllable as a lyric event with its
// note sounding for `beatsEach` beats. False when it cannot be written.
bool MakeKaraokeMidi(const std::string& path, const std::vector<std::string>& headers,
                     const std::vector<MidiSyllable>& syllables, int beatsEach = 1);

}  // namespace lyricade::testing
