#include "platform/media/pcm_decoder.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <atomic>
#include <memory>

#include "platform/media/gst_handles.h"
#include "platform/media/media_graph.h"
#include "platform/media/nice_task_pool.h"
#include "platform/platform_log.h"

namespace lyricade {
namespace {

GstElementPtr MakeElement(const char* factory) {
  return AdoptElement(gst_element_factory_make(factory, nullptr));
}

// decodebin's pads appear while it finds the streams: the first audio pad
// goes to the converter, every other stream into a fakesink of its own so
// that a song video never stalls the demuxer.
void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer convert) {
  const GstCapsPtr caps(gst_pad_get_current_caps(pad));
  const GstStructure* s = caps ? gst_caps_get_structure(caps.get(), 0) : nullptr;
  const bool audio = s && g_str_has_prefix(gst_structure_get_name(s), "audio/");
  const GstPadPtr convertSink(gst_element_get_static_pad(GST_ELEMENT(convert), "sink"));
  if (audio && !gst_pad_is_linked(convertSink.get())) {
    gst_pad_link(pad, convertSink.get());
    return;
  }
  GstElement* drain = gst_element_factory_make("fakesink", nullptr);
  if (!drain) return;
  g_object_set(drain, "sync", FALSE, "async", FALSE, nullptr);
  GstBin* bin = GST_BIN(gst_element_get_parent(decoder));
  if (!bin) {
    gst_object_unref(drain);
    return;
  }
  gst_bin_add(bin, drain);  // the bin takes the floating reference
  gst_element_sync_state_with_parent(drain);
  const GstPadPtr drainSink(gst_element_get_static_pad(drain, "sink"));
  gst_pad_link(pad, drainSink.get());
  gst_object_unref(bin);
}

PcmDecodeResult Failed(std::string error) {
  PcmDecodeResult result;
  result.Error = std::move(error);
  return result;
}

std::string BusError(GstMessage* message) {
  GError* rawError = nullptr;
  gchar* rawDebug = nullptr;
  gst_message_parse_error(message, &rawError, &rawDebug);
  const GErrorPtr error(rawError);
  const GCharPtr debug(rawDebug);
  if (debug) qCDebug(lcPlatform, "%s", debug.get());
  return error && error->message ? error->message : "the decoder failed";
}

// What the streaming thread and the waiting thread share while a graph
// runs. The streaming thread writes `result` and `failed`; the waiting
// thread reads them only once the graph is back in NULL (its threads
// joined), or `failed` alone, which is atomic.
struct PullState {
  const PcmBlockSink* sink = nullptr;
  const PcmDecodeOptions* options = nullptr;
  PcmDecodeResult result;
  std::atomic<bool> failed{false};
};

// The decoder's streaming thread measures each block as it comes: handing
// blocks to another thread cost a context switch per block, a tenth of a
// fast decode.
GstFlowReturn OnNewSample(GstAppSink* appsink, gpointer raw) {
  auto* state = static_cast<PullState*>(raw);
  PcmDecodeResult& result = state->result;
  const GstSamplePtr sample(gst_app_sink_pull_sample(appsink));
  if (!sample || state->failed.load(std::memory_order_relaxed)) return GST_FLOW_ERROR;
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  GstCaps* caps = gst_sample_get_caps(sample.get());
  const GstStructure* s = caps ? gst_caps_get_structure(caps, 0) : nullptr;
  int rate = 0, channels = 0;
  if (s) {
    gst_structure_get_int(s, "rate", &rate);
    gst_structure_get_int(s, "channels", &channels);
  }
  GstMapInfo map;
  if (!buffer || rate <= 0 || channels <= 0 || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    result.Error = "the decoder gave a block without a format";
    state->failed.store(true);
    return GST_FLOW_ERROR;
  }
  PcmBlock block;
  block.Samples = reinterpret_cast<const float*>(map.data);
  block.Frames = map.size / (sizeof(float) * static_cast<size_t>(channels));
  block.Channels = channels;
  block.Rate = rate;
  if (result.Rate == 0) {
    result.Rate = rate;
    result.Channels = channels;
  }
  const bool sameFormat = rate == result.Rate && channels == result.Channels;
  result.Frames += block.Frames;
  const PcmDecodeOptions& options = *state->options;
  const bool cancelled = options.Cancel && options.Cancel->load(std::memory_order_relaxed);
  const bool taken = sameFormat && !cancelled && result.Frames <= options.MaxFrames && (*state->sink)(block);
  gst_buffer_unmap(buffer, &map);
  if (taken) return GST_FLOW_OK;
  result.Error = !sameFormat                      ? "the audio changed its format midway"
                 : cancelled                      ? "the decode was cancelled"
                 : result.Frames > options.MaxFrames ? "the audio is too long"
                                                     : "the measurer stopped";
  state->failed.store(true);
  return GST_FLOW_ERROR;
}

// Runs a built graph to its end, handing every block to the sink on the
// streaming thread while this thread watches the bus, the clock and the
// cancel flag.
PcmDecodeResult Pull(GstElement* pipeline, GstAppSink* appsink, const PcmBlockSink& sink,
                     const PcmDecodeOptions& options) {
  const auto deadline = std::chrono::steady_clock::now() + options.Deadline;
  const GstBusPtr bus(gst_element_get_bus(pipeline));
  std::unique_ptr<NiceTaskPool> pool;
  if (options.LowPriority) pool = std::make_unique<NiceTaskPool>(bus.get());
  PullState state;
  state.sink = &sink;
  state.options = &options;
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnNewSample;
  gst_app_sink_set_callbacks(appsink, &callbacks, &state, nullptr);
  std::string error;
  bool ended = false;
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    const GstMessagePtr message(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
    error = message ? BusError(message.get()) : "the decoder could not start";
  } else {
    for (;;) {
      // Other messages (the parser's tags) are dropped as they are passed:
      // left on the bus they pile up for the whole song.
      const GstMessagePtr message{gst_bus_timed_pop_filtered(
          bus.get(), 50 * GST_MSECOND, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS))};
      if (state.failed.load()) break;  // the streaming thread said why
      if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS) {
        ended = true;
        break;
      }
      if (message) {
        error = BusError(message.get());
        break;
      }
      if (options.Cancel && options.Cancel->load(std::memory_order_relaxed)) {
        error = "the decode was cancelled";
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        error = "decoding took too long";
        break;
      }
    }
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_app_sink_set_callbacks(appsink, &callbacks, nullptr, nullptr);
  PcmDecodeResult result = std::move(state.result);
  if (state.failed.load()) {
    result.Ok = false;
  } else if (ended) {
    result.Ok = result.Frames > 0;
    if (!result.Ok) result.Error = "the media holds no audio";
  } else {
    result.Ok = false;
    result.Error = std::move(error);
  }
  return result;
}

// Two MP3 decoders of the same rank are usually installed; mpg123's gives
// interleaved float itself and decodes in half the time of libav's
// (avdec_mp3, avdec_mp3float). decodebin sorts equal ranks by name, so
// libav's are skipped whenever mpg123's can be made.
enum class AutoplugChoice { Try = 0, Expose = 1, Skip = 2 };  // GstAutoplugSelectResult

gint OnAutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
  static const bool haveMpg123 = [] {
    GstElementFactory* found = gst_element_factory_find("mpg123audiodec");
    if (found) gst_object_unref(found);
    return found != nullptr;
  }();
  const bool libavMp3 = g_str_has_prefix(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "avdec_mp3");
  return static_cast<gint>(haveMpg123 && libavMp3 ? AutoplugChoice::Skip : AutoplugChoice::Try);
}

// A decoder inside decodebin picks its output format before its pad is
// linked, so it asks decodebin, not the converter, what downstream takes;
// unanswered, mpg123's decoder falls back to 16-bit samples, which clip
// every sample over full scale (a loud master's peaks) and cost a
// conversion back to float. The answer puts interleaved float first and
// still allows any raw audio, so a decoder without float goes on working.
gboolean OnAutoplugQuery(GstElement*, GstPad*, GstElement* child, GstQuery* query, gpointer) {
  if (GST_QUERY_TYPE(query) != GST_QUERY_CAPS) return FALSE;
  // Only audio decoders are answered: the pad decodebin names is its own
  // (ANY), and a parser or demuxer told "raw audio" would find nothing it
  // can give.
  GstElementFactory* factory = gst_element_get_factory(child);
  if (!factory || !gst_element_factory_list_is_type(
                      factory, GST_ELEMENT_FACTORY_TYPE_DECODER | GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO))
    return FALSE;
  static GstStaticCaps preferred =
      GST_STATIC_CAPS("audio/x-raw, format=(string)F32LE, layout=(string)interleaved; audio/x-raw");
  GstCapsPtr answer(gst_static_caps_get(&preferred));
  GstCaps* filter = nullptr;
  gst_query_parse_caps(query, &filter);
  if (filter) answer.reset(gst_caps_intersect_full(filter, answer.get(), GST_CAPS_INTERSECT_FIRST));
  gst_query_set_caps_result(query, answer.get());
  return TRUE;
}

PcmDecodeResult Decode(GstElementPtr source, const PcmBlockSink& sink,
                       const PcmDecodeOptions& options) {
  GstElementPtr pipeline = AdoptElement(gst_pipeline_new("pcm decode"));
  GstElementPtr decode = MakeElement("decodebin");
  GstElementPtr convert = MakeElement("audioconvert");
  GstElementPtr appsink = MakeElement("appsink");
  if (!pipeline || !source || !decode || !convert || !appsink)
    return Failed("the decoder could not be built (decodebin, audioconvert, appsink)");
  const GstCapsPtr caps(gst_caps_from_string("audio/x-raw,format=F32LE,layout=interleaved"));
  // The measurer runs inside the sample callback, so blocks never queue up;
  // the bound only guards a caller that takes samples some other way.
  g_object_set(appsink.get(), "caps", caps.get(), "sync", FALSE, "max-buffers", 8u, "drop", FALSE,
               "emit-signals", FALSE, nullptr);
  GstBin* bin = GST_BIN(pipeline.get());
  for (const GstElementPtr* element : {&source, &decode, &convert, &appsink})
    gst_bin_add(bin, element->get());
  if (!gst_element_link(source.get(), decode.get()) ||
      !gst_element_link(convert.get(), appsink.get()))
    return Failed("the decoder's elements could not be linked");
  g_signal_connect(decode.get(), "pad-added", G_CALLBACK(OnPadAdded), convert.get());
  g_signal_connect(decode.get(), "autoplug-select", G_CALLBACK(OnAutoplugSelect), nullptr);
  g_signal_connect(decode.get(), "autoplug-query", G_CALLBACK(OnAutoplugQuery), nullptr);
  return Pull(pipeline.get(), GST_APP_SINK(appsink.get()), sink, options);
}

}  // namespace

PcmDecodeResult DecodePcmFile(const std::string& path, const PcmBlockSink& sink,
                              const PcmDecodeOptions& options) {
  InitialiseMedia();
  GstElementPtr source = MakeElement("filesrc");
  if (source) g_object_set(source.get(), "location", path.c_str(), nullptr);
  PcmDecodeResult result = Decode(std::move(source), sink, options);
  if (!result.Ok) qCInfo(lcPlatform, "%s cannot be decoded: %s", path.c_str(), result.Error.c_str());
  return result;
}

PcmDecodeResult DecodePcmMemory(std::string_view data, const PcmBlockSink& sink,
                                const PcmDecodeOptions& options) {
  InitialiseMedia();
  if (data.empty()) return Failed("the media holds no audio");
  GstElementPtr source = MakeElement("appsrc");
  if (source) {
    g_object_set(source.get(), "stream-type", GST_APP_STREAM_TYPE_STREAM, "size",
                 static_cast<gint64>(data.size()), "format", GST_FORMAT_BYTES, nullptr);
    // The caller's bytes are lent, not copied: they outlive the graph.
    GstBuffer* buffer = gst_buffer_new_wrapped_full(
        GST_MEMORY_FLAG_READONLY, const_cast<char*>(data.data()), data.size(), 0, data.size(),
        nullptr, nullptr);
    gst_app_src_push_buffer(GST_APP_SRC(source.get()), buffer);  // takes the buffer
    gst_app_src_end_of_stream(GST_APP_SRC(source.get()));
  }
  PcmDecodeResult result = Decode(std::move(source), sink, options);
  if (!result.Ok) qCInfo(lcPlatform, "audio in memory cannot be decoded: %s", result.Error.c_str());
  return result;
}

}  // namespace lyricade
