#include "app/transport_display.h"

#include <algorithm>
#include <cstdio>

namespace lyricade {

std::string FormatTimeText(int64_t position, int64_t duration) {
  const int64_t positionSeconds = std::max<int64_t>(position, 0) / 10000 / 1000;
  const int64_t durationSeconds = std::max<int64_t>(duration, 0) / 10000 / 1000;
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d | %02d:%02d",
                static_cast<int>(positionSeconds / 60 % 60), static_cast<int>(positionSeconds % 60),
                static_cast<int>(durationSeconds / 60 % 60), static_cast<int>(durationSeconds % 60));
  return text;
}

int ProgressValue(int64_t position, int64_t duration) {
  if (duration <= 0 || position <= 0) return 0;
  const double value = static_cast<double>(position) / static_cast<double>(duration) * kProgressRange;
  return std::clamp(static_cast<int>(value), 0, kProgressRange);
}

int64_t ProgressPosition(int value, int64_t duration) {
  if (duration <= 0) return 0;
  return duration * std::clamp(value, 0, kProgressRange) / kProgressRange;
}

int VolumeBarValue(int volume) { return std::clamp(volume, 0, 100) * kVolumeRange / 100; }

int VolumeFromBar(int value) { return std::clamp(value, 0, kVolumeRange) * 100 / kVolumeRange; }

}  // namespace lyricade
