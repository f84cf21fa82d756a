// dspfile IN.wav OUT.wav [--key HALFSTEPS] [--channel left|right|center] [--agc]
// Runs a WAV file through the song's audio filter, in the same GStreamer
// element the player uses, and writes the result as a WAV file.

#include <cstdio>
#include <string>
#include <vector>

#include <iostream>

#include "common/standard_options.h"
#include "playback/dsp_file_render.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const lyricade::ProgramDescription description{
      "dspfile", "dspfile: runs a WAV file through the song player's audio filter (key change, "
                 "channel, automatic gain) and writes the result.",
      "Usage: dspfile IN.wav OUT.wav [--key HALFSTEPS] [--channel left|right|center] [--agc]\n",
      "      --key HALFSTEPS   key change in half steps\n"
      "      --channel C       left, right or center\n"
      "      --agc             automatic gain control\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(args, description, std::cout))
    return *answered;
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
