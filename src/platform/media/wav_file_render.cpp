#include "platform/media/wav_file_render.h"

#include <cstring>

#include "platform/media/media_graph.h"
#include "platform/platform_log.h"

namespace lyricade {
namespace {

GstElementPtr MakeElement(const char* factory) {
  return AdoptElement(gst_element_factory_make(factory, nullptr));
}

WavFileRenderResult Failed(const WavFileRenderJob& job, std::string error, bool formatRefused = false) {
  qCWarning(lcPlatform, "rendering %s to %s failed: %s", job.Input.c_str(), job.Output.c_str(),
            error.c_str());
  WavFileRenderResult result;
  result.FormatRefused = formatRefused;
  result.Error = std::move(error);
  return result;
}

}  // namespace

WavFileRenderResult RenderWavFile(const WavFileRenderJob& job) {
  InitialiseMedia();
  GstElementPtr pipeline = AdoptElement(gst_pipeline_new("wav file render"));
  GstElementPtr source = MakeElement("filesrc");
  GstElementPtr parse = MakeElement("wavparse");
  GstElementPtr filter = job.MakeFilter ? job.MakeFilter() : nullptr;
  GstElementPtr encode = MakeElement("wavenc");
  GstElementPtr sink = MakeElement("filesink");
  if (!pipeline || !source || !parse || !encode || !sink)
    return Failed(job, "the graph could not be built (filesrc, wavparse, wavenc, filesink)");
  if (!filter) return Failed(job, "the filter could not be made");
  g_object_set(source.get(), "location", job.Input.c_str(), nullptr);
  g_object_set(sink.get(), "location", job.Output.c_str(), nullptr);

  // The bin takes references of its own; ours are dropped with the handles.
  GstBin* bin = GST_BIN(pipeline.get());
  for (const GstElementPtr* element : {&source, &parse, &filter, &encode, &sink})
    gst_bin_add(bin, element->get());
  if (!gst_element_link_many(source.get(), parse.get(), filter.get(), encode.get(), sink.get(),
                             nullptr))
    return Failed(job, "the graph's elements could not be linked");

  const GstBusPtr bus(gst_element_get_bus(pipeline.get()));
  const bool started =
      gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  const GstMessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), started ? GST_CLOCK_TIME_NONE : 0,
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);

  if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
    GError* rawError = nullptr;
    gchar* rawDebug = nullptr;
    gst_message_parse_error(message.get(), &rawError, &rawDebug);
    const GErrorPtr error(rawError);
    const GCharPtr debug(rawDebug);
    const bool refused = debug && std::strstr(debug.get(), "not-negotiated");
    std::string text = error && error->message ? error->message : "the graph failed";
    if (debug) qCDebug(lcPlatform, "%s", debug.get());
    return Failed(job, std::move(text), refused);
  }
  if (!started) return Failed(job, "the graph could not start");
  WavFileRenderResult result;
  result.Ok = true;
  return result;
}

}  // namespace lyricade
