#include "platform/media/media_graph.h"

#include "platform/media/midi_synth.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/platform_log.h"

namespace lyricade {
namespace {

// playbin's flag bits (GstPlayFlags).
constexpr guint kPlayVideo = 1u << 0;
constexpr guint kPlayAudio = 1u << 1;
constexpr guint kPlaySoftVolume = 1u << 4;

std::atomic<GraphId> nextGraphId{1};

GstElementPtr MakeElement(const char* factory, const char* name = nullptr) {
  return AdoptElement(gst_element_factory_make(factory, name));
}

// The audio sink the environment asks for, else the desktop's.
GstElementPtr MakeAudioSink() {
  const char* description = std::getenv("LYRICADE_AUDIO_SINK");
  if (description && *description) {
    GError* rawError = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description, TRUE, &rawError);
    GErrorPtr error(rawError);
    if (sink) return AdoptElement(sink);
    qCWarning(lcPlatform, "LYRICADE_AUDIO_SINK \"%s\" does not make a sink (%s); using autoaudiosink",
              description, error && error->message ? error->message : "no reason given");
  }
  return MakeElement("autoaudiosink");
}

// audioconvert ! audioresample ! S16 caps ! [filter] ! audioconvert, as one
// bin with ghost pads: what playbin runs its decoded audio through.
GstElementPtr MakeAudioPath(GstElement* filter) {
  GstElementPtr bin = AdoptElement(gst_bin_new("audio path"));
  GstElement* convertIn = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* caps = gst_element_factory_make("capsfilter", nullptr);
  GstElement* convertOut = gst_element_factory_make("audioconvert", nullptr);
  if (!convertIn || !resample || !caps || !convertOut) {
    for (GstElement* e : {convertIn, resample, caps, convertOut})
      if (e) gst_object_unref(gst_object_ref_sink(e));
    return nullptr;
  }
  // The rate is pinned to one the filter takes; a list would let a 32 kHz
  // song fixate to the nearest rate, 22050.
  GstCapsPtr s16(gst_caps_from_string(
      "audio/x-raw,format=S16LE,layout=interleaved,rate={44100,48000},channels=[1,2]"));
  g_object_set(caps, "caps", s16.get(), nullptr);
  gst_bin_add_many(GST_BIN(bin.get()), convertIn, resample, caps, convertOut, nullptr);
  bool linked = gst_element_link_many(convertIn, resample, caps, nullptr);
  if (filter) {
    gst_bin_add(GST_BIN(bin.get()), filter);
    linked = linked && gst_element_link_many(caps, filter, convertOut, nullptr);
  } else {
    linked = linked && gst_element_link(caps, convertOut);
  }
  if (!linked) return nullptr;
  GstPadPtr sink(gst_element_get_static_pad(convertIn, "sink"));
  GstPadPtr source(gst_element_get_static_pad(convertOut, "src"));
  gst_element_add_pad(bin.get(), gst_ghost_pad_new("sink", sink.get()));
  gst_element_add_pad(bin.get(), gst_ghost_pad_new("src", source.get()));
  return bin;
}

// Hands one decoded frame to the graph's video target.
void DeliverFrame(MediaGraph::VideoLink* link, GstSample* sample) {
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps)) return;
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) return;
  if (!link->Started.exchange(true)) link->Target->VideoStarted();
  const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
  const size_t stride = static_cast<size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
  link->Target->PresentVideoFrame(static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                                  stride * static_cast<size_t>(height), GST_VIDEO_FRAME_WIDTH(&frame),
                                  height, stride);
  gst_video_frame_unmap(&frame);
}

GstFlowReturn OnVideoSample(GstAppSink* sink, gpointer data) {
  GstSamplePtr sample(gst_app_sink_pull_sample(sink));
  if (sample) DeliverFrame(static_cast<MediaGraph::VideoLink*>(data), sample.get());
  return GST_FLOW_OK;
}

// The first frame shows as soon as the graph is paused at its start.
GstFlowReturn OnVideoPreroll(GstAppSink* sink, gpointer data) {
  GstSamplePtr sample(gst_app_sink_pull_preroll(sink));
  if (sample) DeliverFrame(static_cast<MediaGraph::VideoLink*>(data), sample.get());
  return GST_FLOW_OK;
}

bool IsAddress(const std::string& pathOrUrl) {
  return pathOrUrl.rfind("http://", 0) == 0 || pathOrUrl.rfind("https://", 0) == 0;
}

std::string ToUri(const std::string& pathOrUrl) {
  if (IsAddress(pathOrUrl)) return pathOrUrl;
  GError* rawError = nullptr;
  GCharPtr uri(gst_filename_to_uri(pathOrUrl.c_str(), &rawError));
  GErrorPtr error(rawError);
  return uri ? std::string(uri.get()) : std::string();
}

std::string ReasonText(const MediaError& error) {
  return error.Text.empty() ? std::string("no reason given") : error.Text;
}

}  // namespace

std::string LoggableMedia(const std::string& pathOrUrl) {
  if (!IsAddress(pathOrUrl)) return pathOrUrl;
  std::string url = pathOrUrl.substr(0, pathOrUrl.find_first_of("?#"));
  const size_t host = url.find("//") + 2;
  const size_t at = url.find('@', host);
  if (at != std::string::npos && at < url.find('/', host)) url.erase(host, at + 1 - host);
  return url;
}

namespace {

// The framework's texts quote the address they failed on, query and all:
// every address in `text` loses its query and fragment.
std::string WithoutQueries(std::string text) {
  for (size_t at = text.find("://"); at != std::string::npos; at = text.find("://", at + 3)) {
    const size_t end = text.find_first_of(" \t\r\n,;)\"'", at);
    const size_t query = text.find_first_of("?#", at);
    if (query == std::string::npos) break;
    if (end == std::string::npos || query < end)
      text.erase(query, (end == std::string::npos ? text.size() : end) - query);
  }
  return text;
}

}  // namespace

void InitialiseMedia() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

MediaGraph::MediaGraph(GraphOptions options)
    : options_(std::move(options)), id_(nextGraphId.fetch_add(1)) {}

std::unique_ptr<MediaGraph> MediaGraph::Create(GraphOptions options) {
  InitialiseMedia();
  std::unique_ptr<MediaGraph> graph(new MediaGraph(std::move(options)));
  if (!graph->Build()) return nullptr;
  return graph;
}

bool MediaGraph::Build() {
  pipeline_ = MakeElement("playbin");
  if (!pipeline_) {
    qCWarning(lcPlatform, "no media graph: the element playbin is missing");
    return false;
  }
  guint flags = kPlaySoftVolume;
  if (!options_.Silent) flags |= kPlayAudio;
  if (options_.Video) flags |= kPlayVideo;
  g_object_set(pipeline_.get(), "flags", flags, nullptr);

  if (!options_.Silent) {
    if (options_.MakeAudioFilter) {
      audioFilter_ = AdoptElement(options_.MakeAudioFilter());
      if (!audioFilter_) {
        qCWarning(lcPlatform, "no media graph: the audio filter \"%s\" cannot be made",
                  options_.AudioFilterName.c_str());
        return false;
      }
      if (!options_.AudioFilterName.empty())
        gst_object_set_name(GST_OBJECT(audioFilter_.get()), options_.AudioFilterName.c_str());
    }
    GstElementPtr path = MakeAudioPath(audioFilter_.get());
    GstElementPtr sink = MakeAudioSink();
    if (!path || !sink) {
      qCWarning(lcPlatform, "no media graph: the audio %s cannot be made",
                path ? "sink" : "path (audioconvert, audioresample, capsfilter)");
      return false;
    }
    g_object_set(pipeline_.get(), "audio-filter", path.get(), "audio-sink", sink.get(), nullptr);
  } else {
    // Without the audio flag playbin still makes its default sink, which
    // opens the sound card; a silent graph must not touch it.
    GstElementPtr sink = MakeElement("fakesink");
    if (sink) g_object_set(pipeline_.get(), "audio-sink", sink.get(), nullptr);
  }

  if (options_.Video) {
    videoSink_ = MakeElement("appsink", options_.VideoRendererName.empty()
                                            ? nullptr
                                            : options_.VideoRendererName.c_str());
    if (!videoSink_) {
      qCWarning(lcPlatform, "no media graph: the video renderer (appsink) cannot be made");
      return false;
    }
    // The screen's back buffer is 1920x1080: playbin's own scaler shrinks a
    // bigger video (proportions kept) before a frame is copied, so a 4K
    // background never costs four times the copying and uploading.
    GstCapsPtr bgrx(gst_caps_from_string(
        "video/x-raw,format=BGRx,width=[1,1920],height=[1,1080],pixel-aspect-ratio=1/1"));
    gst_app_sink_set_caps(GST_APP_SINK(videoSink_.get()), bgrx.get());
    gst_app_sink_set_max_buffers(GST_APP_SINK(videoSink_.get()), 2);
    // As a real video sink: a frame more than 20 ms late is dropped and the
    // decoder is told, so that a slow machine skips frames and keeps the
    // picture with the sound instead of falling further behind.
    g_object_set(videoSink_.get(), "qos", TRUE, "max-lateness", static_cast<gint64>(20 * GST_MSECOND),
                 nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnVideoSample;
    callbacks.new_preroll = OnVideoPreroll;
    videoLink_ = std::make_unique<VideoLink>();
    videoLink_->Target = options_.Video;
    gst_app_sink_set_callbacks(GST_APP_SINK(videoSink_.get()), &callbacks, videoLink_.get(), nullptr);
    g_object_set(pipeline_.get(), "video-sink", videoSink_.get(), nullptr);
    if (GstPad* pad = gst_element_get_static_pad(videoSink_.get(), "sink")) {
      videoTempo_.Attach(pad);
      gst_object_unref(pad);
    }
  } else {
    // Without a target playbin would still make its default video sink,
    // which autoplugs whatever sink ranks highest; some of those crash
    // without their display system. A graph with no screen discards video.
    GstElementPtr sink = MakeElement("fakesink");
    if (sink) g_object_set(pipeline_.get(), "video-sink", sink.get(), nullptr);
  }

  if (!options_.SoundFont.empty()) {
    midi_ = std::make_unique<MidiSynth>(options_.SoundFont);
    midi_->Attach(pipeline_.get());
  }

  GstBusPtr bus(gst_element_get_bus(pipeline_.get()));
  gst_bus_set_sync_handler(bus.get(), &MediaGraph::OnBusMessage, this, nullptr);
  return true;
}

void MediaGraph::SetMidiTranspose(int semitones) {
  if (midi_) midi_->SetTranspose(semitones);
}

void MediaGraph::SetRenderedTempo(double factor) {
  if (midi_) midi_->SetTempo(factor);
  videoTempo_.SetFactor(factor);
}

MediaGraph::~MediaGraph() {
  if (!pipeline_) return;
  Stop();
  GstBusPtr bus(gst_element_get_bus(pipeline_.get()));
  gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

GstBusSyncReply MediaGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  auto* graph = static_cast<MediaGraph*>(self);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: graph->Post(GraphEvent::Complete); break;
    case GST_MESSAGE_ERROR:
      graph->KeepError(message);
      // An error before the media was ready is RenderAsync's answer.
      if (!graph->FinishRender(false)) graph->Post(GraphEvent::ErrorAbort);
      break;
    case GST_MESSAGE_STATE_CHANGED:
      // Only the pipeline's own change counts: its elements reach paused
      // one by one before it does.
      if (GST_MESSAGE_SRC(message) == GST_OBJECT(graph->pipeline_.get())) {
        GstState newState = GST_STATE_VOID_PENDING;
        gst_message_parse_state_changed(message, nullptr, &newState, nullptr);
        if (newState == GST_STATE_PAUSED) graph->FinishRender(true);
      }
      break;
    case GST_MESSAGE_DURATION_CHANGED: graph->Post(GraphEvent::DurationChanged); break;
    case GST_MESSAGE_QOS: graph->KeepQos(message); break;
    default: break;
  }
  gst_message_unref(message);
  return GST_BUS_DROP;
}

void MediaGraph::KeepError(GstMessage* message) {
  GError* rawError = nullptr;
  gchar* rawDebug = nullptr;
  gst_message_parse_error(message, &rawError, &rawDebug);
  const GErrorPtr error(rawError);
  const GCharPtr debug(rawDebug);
  MediaError kept;
  kept.Text = WithoutQueries(error && error->message ? error->message : "unknown error");
  kept.Debug = WithoutQueries(debug ? debug.get() : "");
  if (GST_MESSAGE_SRC(message)) {
    const GCharPtr source(gst_object_get_name(GST_MESSAGE_SRC(message)));
    if (source) kept.Source = source.get();
  }
  {
    // Kept before it is logged: the UI thread may already be asking why the
    // graph failed. The first error is the cause; what follows is mostly
    // its echo.
    std::lock_guard<std::mutex> lock(errorMutex_);
    if (error_.Text.empty()) error_ = kept;
  }
  qCWarning(lcPlatform, "media graph %llu: %s: %s (%s)", static_cast<unsigned long long>(id_),
            kept.Source.c_str(), kept.Text.c_str(), kept.Debug.c_str());
}

void MediaGraph::KeepQos(GstMessage* message) {
  GstFormat format = GST_FORMAT_UNDEFINED;
  guint64 processed = 0, dropped = 0;
  gst_message_parse_qos_stats(message, &format, &processed, &dropped);
  if (format != GST_FORMAT_BUFFERS && format != GST_FORMAT_DEFAULT) return;
  // Each element counts its own drops from its start; a frame the sink
  // dropped is not one the decoder dropped, so the counts add up.
  std::lock_guard<std::mutex> lock(errorMutex_);
  for (auto& [source, count] : qosDropped_) {
    if (source != GST_MESSAGE_SRC(message)) continue;
    count = std::max<uint64_t>(count, dropped);
    return;
  }
  if (qosDropped_.size() < 16) qosDropped_.emplace_back(GST_MESSAGE_SRC(message), dropped);
}

uint64_t MediaGraph::QosDroppedFrames() const {
  std::lock_guard<std::mutex> lock(errorMutex_);
  uint64_t total = 0;
  for (const auto& entry : qosDropped_) total += entry.second;
  return total;
}

MediaError MediaGraph::LastError() const {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return error_;
}

void MediaGraph::Post(GraphEvent event) {
  if (!options_.EventReceiver || !options_.OnEvent) return;
  // The callback travels by value: the graph may be gone when it runs.
  QMetaObject::invokeMethod(
      options_.EventReceiver, [callback = options_.OnEvent, id = id_, event] { callback(id, event); },
      Qt::QueuedConnection);
}

bool MediaGraph::FinishRender(bool rendered) {
  RenderDone done;
  std::weak_ptr<char> token;
  {
    std::lock_guard<std::mutex> lock(renderMutex_);
    if (!renderWaiting_) return false;
    renderWaiting_ = false;
    done = std::move(renderDone_);
    token = renderToken_;
  }
  QMetaObject::invokeMethod(
      options_.EventReceiver,
      [done = std::move(done), token, rendered] {
        if (!token.expired()) done(rendered);
      },
      Qt::QueuedConnection);
  return true;
}

void MediaGraph::KeepTimeout() {
  std::lock_guard<std::mutex> lock(errorMutex_);
  if (error_.Text.empty())
    error_.Text = "not ready within " + std::to_string(options_.RenderTimeoutMs) + " ms";
}

bool MediaGraph::SetSource(const std::string& pathOrUrl) {
  const std::string uri = ToUri(pathOrUrl);
  if (uri.empty()) {
    qCWarning(lcPlatform, "media graph %llu: %s is neither a path nor an address",
              static_cast<unsigned long long>(id_), LoggableMedia(pathOrUrl).c_str());
    return false;
  }
  g_object_set(pipeline_.get(), "uri", uri.c_str(), nullptr);
  return true;
}

bool MediaGraph::Render(const std::string& pathOrUrl) {
  if (!SetSource(pathOrUrl)) return false;
  GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  GstState state = GST_STATE_VOID_PENDING;
  if (result != GST_STATE_CHANGE_FAILURE)
    result = gst_element_get_state(pipeline_.get(), &state, nullptr,
                                   GstClockTime(options_.RenderTimeoutMs) * GST_MSECOND);
  if ((result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL) &&
      state == GST_STATE_PAUSED)
    return true;
  if (result == GST_STATE_CHANGE_ASYNC) {
    KeepTimeout();
    qCWarning(lcPlatform, "media graph %llu: %s was not ready within %d ms",
              static_cast<unsigned long long>(id_), LoggableMedia(pathOrUrl).c_str(),
              options_.RenderTimeoutMs);
    return false;
  }
  // The state change can fail a moment before the streaming thread that
  // failed has handed its error message to the bus: the reason is waited
  // for briefly, so the host reads why the song does not play.
  for (int waited = 0; waited < 500 && LastError().Text.empty(); waited += 10)
    g_usleep(10 * 1000);
  qCWarning(lcPlatform, "media graph %llu cannot render %s: %s", static_cast<unsigned long long>(id_),
            LoggableMedia(pathOrUrl).c_str(), ReasonText(LastError()).c_str());
  return false;
}

bool MediaGraph::RenderAsync(const std::string& pathOrUrl, RenderDone done) {
  if (!options_.EventReceiver || !done) {
    qCWarning(lcPlatform, "media graph %llu: nobody to tell when %s is ready",
              static_cast<unsigned long long>(id_), LoggableMedia(pathOrUrl).c_str());
    return false;
  }
  if (!SetSource(pathOrUrl)) return false;
  std::weak_ptr<char> token;
  {
    // Waiting before the state change: its messages may come at once.
    std::lock_guard<std::mutex> lock(renderMutex_);
    renderWaiting_ = true;
    renderDone_ = std::move(done);
    renderToken_ = std::make_shared<char>();
    token = renderToken_;
  }
  const GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  if (result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL) {
    FinishRender(true);
    return true;
  }
  // A refusal's reason follows on the bus a moment later (and ends the
  // wait); the short wait only covers a refusal that gives none.
  const int waitMs = result == GST_STATE_CHANGE_FAILURE ? std::min(500, options_.RenderTimeoutMs)
                                                        : options_.RenderTimeoutMs;
  QTimer::singleShot(waitMs, options_.EventReceiver, [this, token, waitMs, media = LoggableMedia(pathOrUrl)] {
    // The token goes with the graph: while it is there, so is the graph.
    if (token.expired()) return;
    if (waitMs == options_.RenderTimeoutMs) KeepTimeout();
    if (!FinishRender(false)) return;
    qCWarning(lcPlatform, "media graph %llu: %s was not ready within %d ms",
              static_cast<unsigned long long>(id_), media.c_str(), waitMs);
  });
  return true;
}

bool MediaGraph::Start(const std::string& pathOrUrl) {
  if (!SetSource(pathOrUrl)) return false;
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
    return true;
  qCWarning(lcPlatform, "media graph %llu cannot start %s: %s", static_cast<unsigned long long>(id_),
            LoggableMedia(pathOrUrl).c_str(), ReasonText(LastError()).c_str());
  return false;
}

bool MediaGraph::Running() const {
  GstState state = GST_STATE_VOID_PENDING;
  GstState pending = GST_STATE_VOID_PENDING;
  gst_element_get_state(pipeline_.get(), &state, &pending, 0);
  return state == GST_STATE_PLAYING;
}

bool MediaGraph::Run() {
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
    return true;
  qCWarning(lcPlatform, "media graph %llu does not run: %s", static_cast<unsigned long long>(id_),
            ReasonText(LastError()).c_str());
  return false;
}

bool MediaGraph::Pause() {
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE)
    return true;
  qCWarning(lcPlatform, "media graph %llu does not pause: %s", static_cast<unsigned long long>(id_),
            ReasonText(LastError()).c_str());
  return false;
}

void MediaGraph::Stop() {
  {
    // A stopped graph answers no waiting RenderAsync.
    std::lock_guard<std::mutex> lock(renderMutex_);
    renderWaiting_ = false;
    renderDone_ = nullptr;
    renderToken_.reset();
  }
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  // The streaming threads are gone: the video layer can be taken down.
  if (videoLink_ && videoLink_->Started.exchange(false)) videoLink_->Target->VideoStopped();
}

int64_t MediaGraph::Position() const {
  gint64 nanoseconds = -1;
  if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0)
    return -1;
  return nanoseconds / 100;
}

int64_t MediaGraph::Duration() const {
  gint64 nanoseconds = -1;
  if (!gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0)
    return -1;
  return nanoseconds / 100;
}

bool MediaGraph::SetPosition(int64_t position) {
  if (position < 0) position = 0;
  if (gst_element_seek_simple(pipeline_.get(), GST_FORMAT_TIME,
                              GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                              position * 100))
    return true;
  qCWarning(lcPlatform, "media graph %llu cannot seek to %lld (100 ns units)",
            static_cast<unsigned long long>(id_), static_cast<long long>(position));
  return false;
}

double MediaGraph::LinearGain(long hundredthsOfDb) {
  if (hundredthsOfDb > 0) hundredthsOfDb = 0;
  if (hundredthsOfDb <= -10000) return 0.0;
  return std::pow(10.0, static_cast<double>(hundredthsOfDb) / 2000.0);
}

bool MediaGraph::SetVolume(long hundredthsOfDb) {
  if (options_.Silent) return false;
  g_object_set(pipeline_.get(), "volume", LinearGain(hundredthsOfDb), nullptr);
  return true;
}

GstElement* MediaGraph::FindFilter(const std::string& name) const {
  for (const GstElementPtr& own : {std::cref(audioFilter_), std::cref(videoSink_)}) {
    if (!own.get()) continue;
    GCharPtr ownName(gst_object_get_name(GST_OBJECT(own.get())));
    if (ownName && name == ownName.get()) return own.get();
  }
  GstElementPtr found(gst_bin_get_by_name(GST_BIN(pipeline_.get()), name.c_str()));
  // The pipeline keeps its own reference; the caller borrows.
  return found.get();
}

std::optional<std::vector<std::string>> MediaGraph::FilterNames() const {
  std::vector<std::string> names;
  GstIteratorPtr iterator(gst_bin_iterate_recurse(GST_BIN(pipeline_.get())));
  GValue item = G_VALUE_INIT;
  bool done = false;
  while (!done) {
    switch (gst_iterator_next(iterator.get(), &item)) {
      case GST_ITERATOR_OK: {
        auto* element = GST_ELEMENT(g_value_get_object(&item));
        GCharPtr name(gst_object_get_name(GST_OBJECT(element)));
        names.emplace_back(name ? name.get() : "");
        g_value_reset(&item);
        break;
      }
      case GST_ITERATOR_RESYNC:
        names.clear();
        gst_iterator_resync(iterator.get());
        break;
      case GST_ITERATOR_ERROR:
        g_value_unset(&item);
        return std::nullopt;
      case GST_ITERATOR_DONE: done = true; break;
    }
  }
  g_value_unset(&item);
  // The named filters belong to the graph from its creation on, also while
  // the media gives them nothing to do (no video stream for the renderer).
  for (const GstElementPtr& own : {std::cref(audioFilter_), std::cref(videoSink_)}) {
    if (!own.get()) continue;
    GCharPtr ownName(gst_object_get_name(GST_OBJECT(own.get())));
    if (ownName && std::find(names.begin(), names.end(), ownName.get()) == names.end())
      names.emplace_back(ownName.get());
  }
  return names;
}

bool MediaGraph::HasVideo() const {
  gint streams = 0;
  g_object_get(pipeline_.get(), "n-video", &streams, nullptr);
  return streams > 0;
}

}  // namespace lyricade
