#include "leveling/level_rules.h"

#include <algorithm>
#include <cmath>
#include <charconv>

namespace lyricade {

double LevelGainDb(const LoudnessFigures& figures, double targetLufs) {
  if (!figures.Measured) return 0.0;
  const double gain = targetLufs - figures.Lufs;
  return std::min(gain, kLevelPeakCeiling - figures.PeakDb);
}

float GainFactor(double gainDb) { return static_cast<float>(std::pow(10.0, gainDb / 20.0)); }

std::string LevelLabel(double gainDb) {
  // One decimal, as the label is read: a gain that rounds to 0.0 has no sign.
  const double rounded = std::round(gainDb * 10.0) / 10.0;
  // to_chars, not printf: the program's locale may write a decimal comma.
  char buffer[32];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(rounded), std::chars_format::fixed, 1);
  const std::string number(buffer, written.ptr);
  if (rounded < 0) return std::string("Level \u2212") + number + " dB";
  if (rounded > 0) return std::string("Level +") + number + " dB";
  return std::string("Level ") + number + " dB";
}

int64_t EarlyEndMs(const LoudnessFigures& figures, int marginSeconds) {
  if (!figures.Measured) return -1;
  const double end = std::max(figures.AudibleEnd, figures.CdgEnd);
  if (end <= 0) return -1;
  const int margin = std::clamp(marginSeconds, kEndMarginMin, kEndMarginMax);
  return std::llround(end * 1000.0) + int64_t{margin} * 1000;
}

}  // namespace lyricade
