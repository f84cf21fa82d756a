#pragma once
// Short media files made with GStreamer at test time, so no binary test
// media is kept in the repository.

#include <string>

namespace lyricade::testing {

// An MP3 of `seconds` of a sine tone (stereo, 44.1 kHz). False on failure.
bool MakeMp3(const std::string& path, double seconds, int frequency = 440);
// An MP3 of a full-scale square wave: decoded, its edges overshoot full
// scale by about 2 dB, as a loud master's peaks do.
bool MakeSquareMp3(const std::string& path, double seconds);
// An MP3 of pink noise at a constant bit rate: it keeps its size in a ZIP,
// as real songs do. `volume` scales the noise (audiotestsrc's own default).
bool MakeNoiseMp3(const std::string& path, double seconds, int kilobitsPerSecond = 128,
                  double volume = 0.8);
// An AVI with MJPEG video (`width` x `height`, 25 frames a second) and MP3
// audio.
bool MakeVideo(const std::string& path, double seconds, int width = 160, int height = 120);
// A FLAC file of `seconds` of a sine tone (stereo, 44.1 kHz).
bool MakeFlac(const std::string& path, double seconds);
// An MP4 with H.264 video (25 frames a second) and AAC audio, as most
// karaoke videos are made.
bool MakeMp4(const std::string& path, double seconds, int width = 160, int height = 120);

}  // namespace lyricade::testing
