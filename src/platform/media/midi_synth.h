#pragma once
// MIDI songs (".kar", ".mid") play through the media framework's FluidSynth
// decoder. This sets that decoder up when the graph makes it: the General
// MIDI sound font to load, the key change, which moves the notes themselves
// (no pitch shifting of rendered audio) on every channel but the drums, and
// the tempo, which plays the events sooner or later (no stretching of
// rendered audio either).

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/media/segment_scaler.h"

typedef struct _GstElement GstElement;

namespace lyricade {

// Looks for a General MIDI sound font where Debian's packages put them
// (fluid-soundfont-gm first); the folders in LYRICADE_SOUND_FONT_DIRS
// (separated by ":") are searched instead when it is set. Empty when none is
// installed.
std::string FindSoundFont();

// The package whose sound font the program looks for, named in the message
// when none is installed.
inline constexpr const char* kSoundFontPackage = "fluid-soundfont-gm";

class MidiSynth {
public:
  explicit MidiSynth(std::string soundFont) : soundFont_(std::move(soundFont)) {}

  // Connects to the graph's element setup, so the synthesizer it makes gets
  // the sound font and the note filter. The graph must outlive nothing of
  // this object's: the graph owns it.
  void Attach(GstElement* playbin);

  // Gives a synthesizer the graph just made the sound font and the note
  // filter (streaming thread).
  void ConfigureDecoder(GstElement* decoder);

  // Semitones, any thread; notes already sounding end on the key they
  // started in, so none is left hanging.
  void SetTranspose(int semitones) { transpose_.store(semitones, std::memory_order_relaxed); }
  // The song's tempo as a factor of its own (1.15 = 15 % faster), any
  // thread; taken at the next segment. The synthesizer renders up to each
  // event's time stamp, so the events' stamps move closer together and the
  // graph's position stays the song's own time, which its lyrics follow.
  void SetTempo(double factor) { tempo_.SetFactor(factor); }

  // Rewrites one MIDI event in place (streaming thread): note on, note off
  // and key pressure move by the transpose, channel 10 (drums) never.
  void TransposeEvent(uint8_t* bytes, size_t size);

private:
  std::string soundFont_;
  std::atomic<int> transpose_{0};
  SegmentScaler tempo_;
  std::mutex lock_;
  // The note each sounding key was started as, per channel, so its note off
  // matches; -1 when that key is silent.
  std::array<std::array<int16_t, 128>, 16> sounding_ = [] {
    std::array<std::array<int16_t, 128>, 16> keys{};
    for (auto& channel : keys) channel.fill(-1);
    return keys;
  }();
};

}  // namespace lyricade
