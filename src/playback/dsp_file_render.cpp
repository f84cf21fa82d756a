#include "playback/dsp_file_render.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "playback/dsp_element.h"
#include "platform/media/gst_handles.h"

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

std::string FailureText(GstMessage* message) {
  GError* rawError = nullptr;
  gchar* rawDebug = nullptr;
  gst_message_parse_error(message, &rawError, &rawDebug);
  const GErrorPtr error(rawError);
  const GCharPtr debug(rawDebug);
  if (debug && std::strstr(debug.get(), "not-negotiated")) {
    return "the audio is not 16-bit PCM at 44100, 48000, 22050 or 11025 Hz with 1 or 2 channels";
  }
  return error ? error->message : "the graph failed";
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
  if (!RegisterDspElement()) {
    *error = "the audio filter could not be registered";
    return false;
  }
  GError* rawError = nullptr;
  const std::string description = std::string("filesrc name=in ! wavparse ! ") + kDspElementFactory +
                                  " name=\"" + kDspFilterName + "\" ! wavenc ! filesink name=out";
  GstElementPtr pipeline = AdoptElement(gst_parse_launch(description.c_str(), &rawError));
  const GErrorPtr parseError(rawError);
  if (!pipeline || parseError) {
    *error = parseError ? parseError->message : "the graph could not be built";
    return false;
  }
  // File names go in as properties, never through the description, so no
  // name can change the graph.
  const GstElementPtr source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
  const GstElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
  g_object_set(source.get(), "location", job.input.c_str(), nullptr);
  g_object_set(sink.get(), "location", job.output.c_str(), nullptr);

  {
    const DspFilterHandle filter = FindDspFilter(pipeline.get());
    if (!filter) {
      *error = "the audio filter is missing from the graph";
      return false;
    }
    filter.Filter()->SetAutoGain(job.autoGain);
    filter.Settings()->SetTempo(50.0f);
    filter.Settings()->SetChannel(job.channel);
    filter.Settings()->SetPitch(job.keyHalfSteps * 10.0f);
  }

  const GstBusPtr bus(gst_element_get_bus(pipeline.get()));
  bool ok = true;
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    ok = false;
  }
  const GstMessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), ok ? GST_CLOCK_TIME_NONE : 0,
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
    *error = job.input + ": " + FailureText(message.get());
    ok = false;
  } else if (!ok) {
    *error = job.input + ": the graph could not start";
  }
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return ok;
}

}  // namespace lyricade
