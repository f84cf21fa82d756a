#include "playback/dsp_file_render.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/media/media_graph.h"
#include "platform/media/wav_file_render.h"
#include "playback/dsp_element.h"
#include "playback/playback_log.h"

namespace lyricade {
namespace {

constexpr float kMaxKeyHalfSteps = 24.0f;

bool ParseKey(const std::string& text, float* key) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) return false;
  if (std::fabs(value) > kMaxKeyHalfSteps) return false;
  *key = static_cast<float>(value);
  return true;
}

}  // namespace

bool ParseDspFileArgs(const std::vector<std::string>& args, DspFileJob* job, std::string* error) {
  DspFileJob parsed;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--key" || arg == "--channel") {
      if (i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (arg == "--key") {
        if (!ParseKey(value, &parsed.keyHalfSteps)) {
          *error = "--key takes half steps from -24 to 24, not \"" + value + "\"";
          return false;
        }
      } else if (value == "left") {
        parsed.channel = 1;
      } else if (value == "right") {
        parsed.channel = 2;
      } else if (value == "center") {
        parsed.channel = 0;
      } else {
        *error = "--channel takes left, right or center, not \"" + value + "\"";
        return false;
      }
    } else if (arg == "--agc") {
      parsed.autoGain = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option \"" + arg + "\"";
      return false;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) {
    *error = "usage: dspfile IN.wav OUT.wav [--key HALFSTEPS] [--channel left|right|center] [--agc]";
    return false;
  }
  parsed.input = files[0];
  parsed.output = files[1];
  *job = parsed;
  return true;
}

bool RenderDspFile(const DspFileJob& job, std::string* error) {
  InitialiseMedia();
  if (!RegisterDspElement()) {
    *error = "the audio filter could not be registered";
    qCWarning(lcPlayback, "dspfile: %s", error->c_str());
    return false;
  }
  WavFileRenderJob render;
  render.Input = job.input;
  render.Output = job.output;
  render.MakeFilter = [&job] {
    GstElementPtr element = MakeDspElement();
    DspFilter* filter = DspFilterOf(element.get());
    if (!filter) return GstElementPtr();
    filter->SetAutoGain(job.autoGain);
    filter->SetTempo(50.0f);
    filter->SetChannel(job.channel);
    filter->SetPitch(job.keyHalfSteps * 10.0f);
    return element;
  };
  const WavFileRenderResult result = RenderWavFile(render);
  if (result.Ok) return true;
  *error = job.input + ": " +
           (result.FormatRefused ? "the audio is not 16-bit PCM at 44100, 48000, 22050 or 11025 Hz "
                                   "with 1 or 2 channels"
                                 : result.Error);
  return false;
}

}  // namespace lyricade
