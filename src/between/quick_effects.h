#pragma once
// The effect pads in use: the mode (assign or play, program-wide, play at
// start), a press of a pad, and "Pause" and "Stop" for the effect that
// plays. A press in play mode ends the effect before it, then starts the
// pad's file at the main volume; a free pad or a missing file plays nothing.
// Effects never overlap each other; they do overlap the song and the break
// music. An effect that reached its end counts as playing until the next
// press or "Stop" releases it.

#include <string>

#include "between/audio_player.h"
#include "between/effect_slots.h"

namespace lyricade {

class AppSettings;
class Prompts;

class QuickEffects {
public:
  static constexpr const char* kFilterName = "Audio Files (*.mp3, *.wav, *.wma)";

  QuickEffects(AppSettings& settings, AudioPlayer& player, EffectSlots& pads);

  bool AssignMode() const { return assignMode_; }
  void ToggleMode() { assignMode_ = !assignMode_; }
  std::string ModeText() const { return assignMode_ ? "Mode: Assign Sound" : "Mode: Play Sound"; }

  // A pad pressed: assign mode asks for a file (true when one was taken);
  // play mode plays the pad (true when an effect started).
  bool Press(int slot, Prompts& prompts);
  bool PlaySlot(int slot);
  // "Pause": only while an effect plays, pauses or runs it again.
  void TogglePause();
  // "Stop": stops and releases the effect.
  void Stop();
  // The effect's graph ended; an abort releases it (the file did not play).
  void EffectEnded(uint64_t graph, TrackEnd end);

  bool Playing() const { return playing_; }
  bool Paused() const { return paused_; }
  EffectSlots& Slots() { return slots_; }

private:
  AppSettings& settings_;
  AudioPlayer& player_;
  EffectSlots& slots_;
  bool assignMode_ = false;
  bool playing_ = false;
  bool paused_ = false;
};

}  // namespace lyricade
