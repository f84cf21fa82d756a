// dspfile IN.wav OUT.wav [--key HALFSTEPS] [--channel left|right|center] [--agc]
// Runs a WAV file through the song's audio filter, in the same GStreamer
// element the player uses, and writes the result as a WAV file.

#include <cstdio>
#include <string>
#include <vector>

#include "playback/dsp_file_render.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  lyricade::DspFileJob job;
  std::string error;
  if (!lyricade::ParseDspFileArgs(args, &job, &error)) {
    std::fprintf(stderr, "dspfile: %s\n", error.c_str());
    return 2;
  }
  if (!lyricade::RenderDspFile(job, &error)) {
    std::fprintf(stderr, "dspfile: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
