#pragma once
// How a song's figures become its playback: the fixed leveling gain and its
// label, and where a song with a silent tail ends early.

#include <cstdint>
#include <string>

#include "leveling/song_measure.h"

namespace lyricade {

// The target range and default of "Level Songs", in LUFS.
inline constexpr int kLevelTargetMin = -23;
inline constexpr int kLevelTargetMax = -9;
inline constexpr int kLevelTargetDefault = -16;
// The peak a levelled song may reach, dBFS.
inline constexpr double kLevelPeakCeiling = -1.0;
// "End Songs After the Last Line": margin range and default, seconds; the
// fade the host hears before the early end.
inline constexpr int kEndMarginMin = 0;
inline constexpr int kEndMarginMax = 15;
inline constexpr int kEndMarginDefault = 3;
inline constexpr int64_t kEarlyEndFadeMs = 2000;

// Target minus measured, lowered where needed so the peak stays at or below
// -1 dBFS. 0 for figures that are not measured.
double LevelGainDb(const LoudnessFigures& figures, double targetLufs);
// The gain as a factor on the samples.
float GainFactor(double gainDb);
// The main window's label: "Level −3.5 dB", "Level +2.0 dB", "Level 0.0 dB".
std::string LevelLabel(double gainDb);

// Where the song may end, in milliseconds: the later of the audible end and
// the CD+G end, plus the margin. -1 when the figures say nothing.
int64_t EarlyEndMs(const LoudnessFigures& figures, int marginSeconds);

}  // namespace lyricade
