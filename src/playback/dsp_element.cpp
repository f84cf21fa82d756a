#include "playback/dsp_element.h"

#include <gst/audio/audio.h>
#include <gst/base/gstbasetransform.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "playback/playback_log.h"

namespace lyricade {
namespace {

// Everything the element keeps besides its GObject parts.
struct ElementState {
  DspFilter filter;
  // Output buffers are taken from a pool sized for the largest input seen
  // (times four), so steady playback allocates nothing per buffer.
  GstBufferPoolPtr pool;
  size_t poolBufferBytes = 0;

  // Tempo and time. At a changed tempo less (or more) audio comes out than
  // goes in, so the output cannot keep the input's time stamps: the audio
  // sink would play it with gaps (or overlaps). The element then stamps its
  // output in output time, counting the frames it put out, and says in the
  // segment it sends on that the stream already plays at `factor` times its
  // own speed (applied_rate), as rate-changing elements do. The sinks play
  // by running time, which follows the output; the position a graph reports
  // is stream time, which the segment maps back to the song's own time:
  // time + (stamp - start) x applied_rate. So the graph's position, its
  // duration (asked of the demuxer upstream) and its seeks all stay in song
  // time, and the CD+G player, the lyrics, the progress bar and the
  // end-of-song rules follow the song at any tempo without converting
  // anything. A tempo change while the song plays starts a new segment where
  // the output has got to, carrying on its running time and stream time.
  GstSegment inSegment;
  GstSegment outSegment;
  bool haveSegment = false;
  // The tempo factor outSegment was made with.
  double factor = 1.0;
  // Output stamped by frames counted from outSegment.start (off while the
  // output is the input's own time, tempo never changed in this segment).
  bool counting = false;
  uint64_t framesOut = 0;
  // Where the next output buffer starts, in output time.
  GstClockTime nextOut = GST_CLOCK_TIME_NONE;
};

struct LyricadeDsp {
  GstBaseTransform parent;
  ElementState state;  // constructed in init, destroyed in finalize
};

struct LyricadeDspClass {
  GstBaseTransformClass parent_class;
};

enum { kPropAutoGain = 1 };

#define LYRICADE_DSP_CAPS                                                    \
  "audio/x-raw, format = (string) S16LE, layout = (string) interleaved, "    \
  "rate = (int) { 44100, 48000, 22050, 11025 }, channels = (int) [ 1, 2 ]"

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(LYRICADE_DSP_CAPS));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS(LYRICADE_DSP_CAPS));

G_DEFINE_TYPE(LyricadeDsp, lyricade_dsp, GST_TYPE_BASE_TRANSFORM)

ElementState& StateOf(gpointer object) { return reinterpret_cast<LyricadeDsp*>(object)->state; }

void Finalize(GObject* object) {
  std::destroy_at(&StateOf(object));
  G_OBJECT_CLASS(lyricade_dsp_parent_class)->finalize(object);
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  if (id == kPropAutoGain) {
    StateOf(object).filter.SetAutoGain(g_value_get_boolean(value));
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  if (id == kPropAutoGain) {
    g_value_set_boolean(value, StateOf(object).filter.AutoGain());
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

gboolean SetCaps(GstBaseTransform* trans, GstCaps* incaps, GstCaps* /*outcaps*/) {
  GstAudioInfo info;
  const bool known = gst_audio_info_from_caps(&info, incaps);
  DspFilter& filter = StateOf(trans).filter;
  if (!known || GST_AUDIO_INFO_FORMAT(&info) != GST_AUDIO_FORMAT_S16LE ||
      GST_AUDIO_INFO_LAYOUT(&info) != GST_AUDIO_LAYOUT_INTERLEAVED ||
      !filter.SetInputFormat({GST_AUDIO_INFO_CHANNELS(&info), GST_AUDIO_INFO_RATE(&info), 16})) {
    const GCharPtr text(gst_caps_to_string(incaps));
    qCWarning(lcPlayback, "the audio filter refuses the format %s", text ? text.get() : "(none)");
    return FALSE;
  }
  filter.PrepareShifter();
  return TRUE;
}

bool EnsurePool(ElementState& state, size_t bytes) {
  if (state.pool && state.poolBufferBytes >= bytes) return true;
  // Round up so that inputs of slightly varying size share one pool.
  const size_t size = (bytes + 16383) / 16384 * 16384;
  GstBufferPoolPtr pool(gst_buffer_pool_new());
  GstStructure* config = gst_buffer_pool_get_config(pool.get());
  gst_buffer_pool_config_set_params(config, nullptr, static_cast<guint>(size), 2, 0);
  if (!gst_buffer_pool_set_config(pool.get(), config) ||
      !gst_buffer_pool_set_active(pool.get(), TRUE)) {
    qCWarning(lcPlayback, "the audio filter has no buffer pool for %zu bytes; allocating each",
              size);
    return false;
  }
  if (state.pool) gst_buffer_pool_set_active(state.pool.get(), FALSE);
  state.pool = std::move(pool);
  state.poolBufferBytes = size;
  return true;
}

// The output segment for the input's, at the tempo factor: the same start
// and stream time, the rest of the song `factor` times shorter.
void BeginSegment(ElementState& state, double factor) {
  state.outSegment = state.inSegment;
  state.factor = factor;
  state.counting = factor != 1.0;
  state.framesOut = 0;
  state.nextOut = state.inSegment.start;
  if (!state.counting) return;
  GstSegment& out = state.outSegment;
  out.applied_rate = state.inSegment.applied_rate * factor;
  if (GST_CLOCK_TIME_IS_VALID(state.inSegment.stop) && state.inSegment.stop > out.start)
    out.stop = out.start + static_cast<guint64>(
                               static_cast<double>(state.inSegment.stop - out.start) / factor);
  out.position = out.start;
}

// The tempo changed since the output segment was made: a new one from where
// the output has got to, its running time and stream time carried on.
void FollowTempo(GstBaseTransform* trans, ElementState& state, double factor) {
  if (!state.haveSegment || factor == state.factor || !GST_CLOCK_TIME_IS_VALID(state.nextOut))
    return;
  const GstClockTime at = state.nextOut;
  const guint64 running = gst_segment_to_running_time(&state.outSegment, GST_FORMAT_TIME, at);
  const guint64 stream = gst_segment_to_stream_time(&state.outSegment, GST_FORMAT_TIME, at);
  if (!GST_CLOCK_TIME_IS_VALID(running) || !GST_CLOCK_TIME_IS_VALID(stream)) return;
  GstSegment next = state.outSegment;
  next.base = running;
  next.offset = 0;
  next.start = at;
  next.position = at;
  next.time = stream;
  // Where the song ends in output time is no longer known exactly; the
  // demuxer's end of stream ends it.
  next.stop = GST_CLOCK_TIME_NONE;
  next.applied_rate = state.inSegment.applied_rate * factor;
  state.outSegment = next;
  state.factor = factor;
  state.counting = true;
  state.framesOut = 0;
  gst_pad_push_event(GST_BASE_TRANSFORM_SRC_PAD(trans), gst_event_new_segment(&next));
}

GstClockTime FramesTime(uint64_t frames, int rate) {
  return gst_util_uint64_scale(frames, GST_SECOND, static_cast<guint64>(rate));
}

void StampCounted(ElementState& state, GstBuffer* output, size_t frames) {
  const int rate = state.filter.InputFormat().rate;
  const GstClockTime start = state.outSegment.start + FramesTime(state.framesOut, rate);
  state.framesOut += frames;
  const GstClockTime end = state.outSegment.start + FramesTime(state.framesOut, rate);
  GST_BUFFER_PTS(output) = start;
  GST_BUFFER_DTS(output) = GST_CLOCK_TIME_NONE;
  GST_BUFFER_DURATION(output) = end - start;
  GST_BUFFER_OFFSET(output) = GST_BUFFER_OFFSET_NONE;
  GST_BUFFER_OFFSET_END(output) = GST_BUFFER_OFFSET_NONE;
  GST_BUFFER_FLAG_UNSET(output, GST_BUFFER_FLAG_DELTA_UNIT);
  state.nextOut = end;
}

void KeepNextOut(ElementState& state, GstBuffer* output) {
  if (GST_BUFFER_PTS_IS_VALID(output) && GST_BUFFER_DURATION_IS_VALID(output))
    state.nextOut = GST_BUFFER_PTS(output) + GST_BUFFER_DURATION(output);
}

gboolean SinkEvent(GstBaseTransform* trans, GstEvent* event) {
  ElementState& state = StateOf(trans);
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
    // The audio before a flushing seek must not come out after it.
    state.filter.ClearShifter();
    state.haveSegment = false;
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    GstSegment segment;
    gst_event_copy_segment(event, &segment);
    state.haveSegment = segment.format == GST_FORMAT_TIME;
    if (state.haveSegment) {
      state.inSegment = segment;
      BeginSegment(state, DspFilter::TempoFactor(state.filter.GetTempo()));
      if (state.counting) {
        GstEvent* scaled = gst_event_new_segment(&state.outSegment);
        gst_event_set_seqnum(scaled, gst_event_get_seqnum(event));
        gst_event_unref(event);
        event = scaled;
      }
    }
  }
  return GST_BASE_TRANSFORM_CLASS(lyricade_dsp_parent_class)->sink_event(trans, event);
}

GstFlowReturn PrepareOutputBuffer(GstBaseTransform* trans, GstBuffer* input, GstBuffer** output) {
  ElementState& state = StateOf(trans);
  const size_t bytes = std::max<size_t>(DspFilter::OutputBufferBytes(gst_buffer_get_size(input)), 1);
  if (bytes <= G_MAXUINT && EnsurePool(state, bytes)) {
    return gst_buffer_pool_acquire_buffer(state.pool.get(), output, nullptr);
  }
  *output = gst_buffer_new_allocate(nullptr, bytes, nullptr);
  return *output ? GST_FLOW_OK : GST_FLOW_ERROR;
}

GstFlowReturn Transform(GstBaseTransform* trans, GstBuffer* input, GstBuffer* output) {
  DspFilter& filter = StateOf(trans).filter;
  GstMapInfo in;
  if (!gst_buffer_map(input, &in, GST_MAP_READ)) return GST_BASE_TRANSFORM_FLOW_DROPPED;
  GstMapInfo out;
  if (!gst_buffer_map(output, &out, GST_MAP_WRITE)) {
    gst_buffer_unmap(input, &in);
    return GST_BASE_TRANSFORM_FLOW_DROPPED;
  }
  const size_t inBytes = in.size;
  DspOutput result;
  const DspResult done = filter.Transform(in.data, in.size, out.data, out.size, &result);
  gst_buffer_unmap(output, &out);
  gst_buffer_unmap(input, &in);
  if (done == DspResult::NoSample) return GST_BASE_TRANSFORM_FLOW_DROPPED;

  gst_buffer_set_size(output, static_cast<gssize>(result.bytes));
  ElementState& state = StateOf(trans);
  FollowTempo(trans, state, DspFilter::TempoFactor(result.tempo));
  if (state.counting) {
    StampCounted(state, output, result.bytes / filter.FrameBytes());
    return GST_FLOW_OK;
  }
  if (!result.shifted) {
    gst_buffer_copy_into(output, input,
                         static_cast<GstBufferCopyFlags>(GST_BUFFER_COPY_FLAGS | GST_BUFFER_COPY_TIMESTAMPS),
                         0, -1);
    KeepNextOut(state, output);
    return GST_FLOW_OK;
  }
  // Shifted audio is stamped with the input's start and the input's length:
  // what comes out of the shifter lags the input by its fill, not by a
  // changing amount per buffer.
  GST_BUFFER_PTS(output) = GST_BUFFER_PTS(input);
  GST_BUFFER_DTS(output) = GST_BUFFER_DTS(input);
  GST_BUFFER_DURATION(output) = GST_BUFFER_PTS_IS_VALID(input)
                                    ? static_cast<GstClockTime>(filter.InputDuration(inBytes)) * 100
                                    : GST_CLOCK_TIME_NONE;
  GST_BUFFER_OFFSET(output) = GST_BUFFER_OFFSET(input);
  GST_BUFFER_OFFSET_END(output) = GST_BUFFER_OFFSET_END(input);
  GST_BUFFER_FLAG_UNSET(output, GST_BUFFER_FLAG_DELTA_UNIT);
  KeepNextOut(state, output);
  return GST_FLOW_OK;
}

gboolean Stop(GstBaseTransform* trans) {
  ElementState& state = StateOf(trans);
  if (state.pool) gst_buffer_pool_set_active(state.pool.get(), FALSE);
  state.pool.reset();
  state.poolBufferBytes = 0;
  state.haveSegment = false;
  return TRUE;
}

void lyricade_dsp_class_init(LyricadeDspClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->finalize = Finalize;
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  g_object_class_install_property(
      objectClass, kPropAutoGain,
      g_param_spec_boolean("auto-gain", "Auto Gain Control",
                           "Level the loudness from buffer to buffer", FALSE,
                           static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));

  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &srcTemplate);
  gst_element_class_set_static_metadata(elementClass, kDspFilterName, "Filter/Effect/Audio",
                                        "Key change, channel selection and automatic gain",
                                        "Lyricade");

  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->set_caps = SetCaps;
  transformClass->prepare_output_buffer = PrepareOutputBuffer;
  transformClass->transform = Transform;
  transformClass->stop = Stop;
  transformClass->sink_event = SinkEvent;
  transformClass->passthrough_on_same_caps = FALSE;
}

void lyricade_dsp_init(LyricadeDsp* self) {
  std::construct_at(&self->state);
  gst_segment_init(&self->state.inSegment, GST_FORMAT_TIME);
  gst_segment_init(&self->state.outSegment, GST_FORMAT_TIME);
}

}  // namespace

bool RegisterDspElement() {
  static const bool registered = [] {
    const bool done =
        gst_element_register(nullptr, kDspElementFactory, GST_RANK_NONE, lyricade_dsp_get_type());
    if (!done) qCWarning(lcPlayback, "the element %s cannot be registered", kDspElementFactory);
    return done;
  }();
  return registered;
}

GstElementPtr MakeDspElement() {
  GstElementPtr element = AdoptElement(gst_element_factory_make(kDspElementFactory, kDspFilterName));
  if (!element) qCWarning(lcPlayback, "no \"%s\": the element %s is not registered", kDspFilterName,
                          kDspElementFactory);
  return element;
}

DspFilter* DspFilterOf(GstElement* element) {
  if (element == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(element, lyricade_dsp_get_type())) {
    return nullptr;
  }
  return &StateOf(element).filter;
}

DspFilterHandle::DspFilterHandle(GstElementPtr element)
    : element_(std::move(element)), filter_(DspFilterOf(element_.get())) {}

DspFilterHandle FindDspFilter(GstElement* graph) {
  if (graph == nullptr) return {};
  if (GST_IS_BIN(graph)) {
    return DspFilterHandle(GstElementPtr(gst_bin_get_by_name(GST_BIN(graph), kDspFilterName)));
  }
  const GCharPtr name(gst_object_get_name(GST_OBJECT(graph)));
  if (name && g_strcmp0(name.get(), kDspFilterName) == 0) {
    return DspFilterHandle(GstElementPtr(GST_ELEMENT(gst_object_ref(graph))));
  }
  return {};
}

}  // namespace lyricade
