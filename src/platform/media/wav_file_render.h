#pragma once
// A WAV file run through one filter element into another WAV file, as fast as
// the graph goes: filesrc ! wavparse ! <filter> ! wavenc ! filesink. Tools
// pre-render tracks with it (dspfile) and measurements use it. File names go
// in as element properties, never through a graph description, so no name
// can change the graph.

#include <functional>
#include <string>

#include "platform/media/gst_handles.h"

namespace lyricade {

struct WavFileRenderJob {
  std::string Input;
  std::string Output;
  // Makes the filter element, already set up; called once per render. An
  // empty element fails the render.
  std::function<GstElementPtr()> MakeFilter;
};

struct WavFileRenderResult {
  bool Ok = false;
  // The filter and the audio agreed on no format (rate, sample type,
  // channels): the caller knows which formats its filter takes.
  bool FormatRefused = false;
  // What failed, in the media framework's words; empty when Ok.
  std::string Error;
};

// Runs the job to the end of the input (initialising the media framework
// when needed). Failures are logged ("lyricade.platform") and returned.
WavFileRenderResult RenderWavFile(const WavFileRenderJob& job);

}  // namespace lyricade
