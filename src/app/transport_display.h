#pragma once
// The numbers the main window shows for the song that plays: the time text,
// the progress bar (0 to 184) and the volume bar (0 to 133), and their
// inverses for the host's drags.

#include <cstdint>
#include <string>

namespace lyricade {

inline constexpr int kProgressRange = 184;
inline constexpr int kVolumeRange = 133;

// "%02d:%02d | %02d:%02d": position and duration in minutes and seconds,
// the minutes taken modulo 60 (61:05 reads 01:05). Times in 100 ns units;
// an unknown (negative) time reads as 0.
std::string FormatTimeText(int64_t position, int64_t duration);
// position / duration x 184, clamped; 0 when the duration is not positive.
int ProgressValue(int64_t position, int64_t duration);
// The position a progress value stands for: duration x value / 184.
int64_t ProgressPosition(int value, int64_t duration);
// volume x 133 / 100, and value x 100 / 133.
int VolumeBarValue(int volume);
int VolumeFromBar(int value);

}  // namespace lyricade
