#pragma once
// The demo songs' audio: a sung-like melody following the lyric timeline and
// a small band (bass, strummed chords, a soft hi-hat) synthesised as 44.1 kHz
// samples, mixed for the song's packaging and encoded to MP3 with GStreamer.

#include <cstdint>
#include <string>
#include <vector>

#include "demo_song_book.h"

namespace lyricade::demo {

inline constexpr int kSampleRate = 44100;

// The two parts of a song, mono, same length.
struct SongParts {
  std::vector<float> Vocal;
  std::vector<float> Backing;
};

SongParts SynthesiseParts(const DemoSong& song, const Timeline& timeline);

// Interleaved stereo 16-bit samples: vocal and backing on both channels, or
// for a multiplex song the vocal alone on the left and the backing alone on
// the right. Normalised so the loudest sample sits a little below full
// scale, with a short fade at both ends.
std::vector<int16_t> MixStereo(const SongParts& parts, DemoPackaging packaging);

// Encodes interleaved stereo samples to a 128 kbit/s MP3 file with a Xing
// header. False, with `error` set, when the encoding did not finish.
bool EncodeMp3(const std::vector<int16_t>& interleaved, const std::string& path,
               std::string& error);

}  // namespace lyricade::demo
