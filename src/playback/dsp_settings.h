#pragma once
// The settings of the song's audio filter as the rest of the program sees
// them. The UI thread calls the setters while a song plays; the streaming
// thread reads the values once per buffer, so a change is heard at the next
// buffer.

namespace lyricade {

// The filter's name in every song graph; the program finds it by this name.
inline constexpr const char kDspFilterName[] = "Quillon DSP Filter";

class IDspSettings {
public:
  virtual ~IDspSettings() = default;

  // Key change in semitones (fractions allowed).
  virtual float GetPitch() const = 0;
  // Takes the key in tenths of a semitone; keeps the value truncated to an
  // integer, divided by 10.
  virtual void SetPitch(float tenths) = 0;
  // Tempo change in percent; 0 is the song's own tempo.
  virtual float GetTempo() const = 0;
  // Takes the tempo centred on 50 (50 = unchanged); not-a-number gives 0.
  virtual void SetTempo(float value) = 0;
  // 0 both channels as they are, 1 the left channel on both outputs, 2 the
  // right channel on both outputs.
  virtual int GetChannel() const = 0;
  virtual void SetChannel(int channel) = 0;
};

}  // namespace lyricade
