#pragma once
// Runs a WAV file through the audio filter in a real media graph
// (filesrc, wavparse, "Quillon DSP Filter", wavenc, filesink): KJs pre-render
// a transposed or single-channel track with it, and the project measures the
// filter with it.

#include <string>
#include <vector>

namespace lyricade {

struct DspFileJob {
  std::string input;
  std::string output;
  float keyHalfSteps = 0.0f;  // -24 to 24, tenths count
  int channel = 0;            // 0 centre, 1 left, 2 right
  bool autoGain = false;
};

// Reads `dspfile IN.wav OUT.wav [--key HALFSTEPS] [--channel left|right|center]
// [--agc]` (arguments after the program name). False with a message on any
// unknown, missing or out-of-range argument.
bool ParseDspFileArgs(const std::vector<std::string>& args, DspFileJob* job, std::string* error);

// Runs the job to the end of the input through the media layer's WAV
// renderer, starting the media framework and registering the filter's
// element when needed. False with a message when a file cannot be read or written or the
// audio is not in a format the filter takes.
bool RenderDspFile(const DspFileJob& job, std::string* error);

}  // namespace lyricade
