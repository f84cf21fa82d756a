#include "playback/dsp_test_media.h"

#include <gst/app/gstappsink.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "playback/dsp_element.h"
#include "platform/media/gst_handles.h"

namespace lyricade::testing {
namespace {


std::string ErrorOf(GstMessage* message) {
  GError* rawError = nullptr;
  gchar* rawDebug = nullptr;
  gst_message_parse_error(message, &rawError, &rawDebug);
  const GErrorPtr error(rawError);
  const GCharPtr debug(rawDebug);
  std::string text = error ? error->message : "error";
  if (debug) text += std::string(" (") + debug.get() + ")";
  return text;
}

GstFlowReturn OnSample(GstAppSink* sink, gpointer data) {
  Pcm* pcm = static_cast<Pcm*>(data);
  const GstSamplePtr sample(gst_app_sink_pull_sample(sink));
  if (!sample) return GST_FLOW_OK;
  if (pcm->rate == 0) {
    const GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample.get()), 0);
    gst_structure_get_int(s, "rate", &pcm->rate);
    gst_structure_get_int(s, "channels", &pcm->channels);
  }
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  GstMapInfo map;
  if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    const size_t count = map.size / 2;
    const size_t old = pcm->samples.size();
    pcm->samples.resize(old + count);
    std::memcpy(pcm->samples.data() + old, map.data, count * 2);
    gst_buffer_unmap(buffer, &map);
  }
  pcm->stamps.push_back(GST_BUFFER_PTS(buffer));
  return GST_FLOW_OK;
}

}  // namespace

void StartGstreamer() {
  static const bool started = [] {
    gst_init(nullptr, nullptr);
    return RegisterDspElement();
  }();
  if (!started) std::abort();
}

void SetNamed(GstElement* graph, const char* name, const char* property, const std::string& value) {
  const GstElementPtr element(gst_bin_get_by_name(GST_BIN(graph), name));
  if (element) g_object_set(element.get(), property, value.c_str(), nullptr);
}

std::string RunGraph(const std::string& description, const std::function<void(GstElement*)>& setup) {
  StartGstreamer();
  GError* rawError = nullptr;
  const GstElementPtr graph = AdoptElement(gst_parse_launch(description.c_str(), &rawError));
  const GErrorPtr parseError(rawError);
  if (!graph || parseError) return parseError ? parseError->message : "no graph";
  if (setup) setup(graph.get());
  const GstBusPtr bus(gst_element_get_bus(graph.get()));
  std::string result;
  const bool started = gst_element_set_state(graph.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  const GstMessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), started ? 30 * GST_SECOND : 0,
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  if (!message) {
    result = started ? "timed out" : "could not start";
  } else if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
    result = ErrorOf(message.get());
  }
  gst_element_set_state(graph.get(), GST_STATE_NULL);
  return result;
}

std::string RunIntoMemory(const std::string& description, Pcm* pcm,
                          const std::function<void(GstElement*)>& setup) {
  *pcm = Pcm{};
  return RunGraph(description, [&](GstElement* graph) {
    const GstElementPtr sink(gst_bin_get_by_name(GST_BIN(graph), "sink"));
    if (sink) {
      GstAppSinkCallbacks callbacks{};
      callbacks.new_sample = OnSample;
      gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, pcm, nullptr);
      g_object_set(sink.get(), "sync", FALSE, nullptr);
    }
    if (setup) setup(graph);
  });
}

double DominantFrequency(const Pcm& pcm, int channel, size_t first, size_t frames) {
  if (pcm.rate <= 0 || first + frames > pcm.Frames() || frames == 0) return 0.0;
  std::vector<double> x(frames);
  for (size_t i = 0; i < frames; ++i) x[i] = pcm.At(first + i, channel);
  // Goertzel power at one frequency.
  auto power = [&](double f) {
    const double w = 2.0 * std::numbers::pi * f / pcm.rate;
    const double c = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0;
    for (double v : x) {
      const double s0 = v + c * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
  };
  double best = 0.0, bestPower = -1.0;
  for (double f = 50.0; f <= 5000.0; f += 10.0) {
    const double p = power(f);
    if (p > bestPower) bestPower = p, best = f;
  }
  const double coarse = best;
  for (double f = coarse - 10.0; f <= coarse + 10.0; f += 1.0) {
    const double p = power(f);
    if (p > bestPower) bestPower = p, best = f;
  }
  return best;
}

int PeakOf(const Pcm& pcm, int channel, size_t first, size_t frames) {
  int peak = 0;
  const size_t end = std::min(pcm.Frames(), first + frames);
  for (size_t i = first; i < end; ++i) peak = std::max(peak, std::abs(static_cast<int>(pcm.At(i, channel))));
  return peak;
}

}  // namespace lyricade::testing
