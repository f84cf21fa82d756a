#pragma once
// A media graph: one file or http(s) address played through the filters the
// program names. Songs run with the DSP filter on the audio path and video
// renderer 0; background videos run silent into video renderer 1; break
// music, effects and previews are audio only.
//
// Built on playbin: the audio path is audioconvert ! audioresample ! S16
// caps ! <audio filter> ! audioconvert, then playbin's volume and the audio
// sink (autoaudiosink, or what LYRICADE_AUDIO_SINK describes, for example
// "fakesink sync=false"); a video stream goes to an appsink (BGRx) named as
// the renderer, whose frames reach a VideoFrameTarget.
//
// End events (complete, error abort) and duration changes are posted to the
// UI thread through the event receiver, each carrying the graph's id, so a
// receiver can drop the events of graphs it has already torn down. An error's
// text is logged ("lyricade.platform") and kept for LastError. All methods
// but LastError are for the UI thread.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/gst_handles.h"
#include "platform/media/segment_scaler.h"
#include "platform/media/video_frame_target.h"

namespace lyricade {

class MidiSynth;

enum class GraphEvent { Complete, UserAbort, ErrorAbort, DurationChanged };

// What the media framework said when a graph failed: its message, the
// element that failed, and its debug text (the technical detail).
struct MediaError {
  std::string Text;
  std::string Source;
  std::string Debug;
};

using GraphId = uint64_t;

// `pathOrUrl` as a log line may carry it: a path as it is, an address
// without its user, query or fragment (a streamed song's query names the
// account).
std::string LoggableMedia(const std::string& pathOrUrl);

// Runs gst_init once per process. Safe to call from anywhere, any number of
// times.
void InitialiseMedia();

struct GraphOptions {
  // Made once per graph and added to the audio path under AudioFilterName;
  // none when empty.
  std::function<GstElement*()> MakeAudioFilter;
  std::string AudioFilterName;
  // Video frames go here under VideoRendererName; without a target the graph
  // plays no video.
  VideoFrameTarget* Video = nullptr;
  std::string VideoRendererName;
  // No audio at all (background videos).
  bool Silent = false;
  // For MIDI songs: the General MIDI sound font the synthesizer loads.
  std::string SoundFont;
  // Receives the graph's events on its own (UI) thread.
  QObject* EventReceiver = nullptr;
  std::function<void(GraphId, GraphEvent)> OnEvent;
  // How long Render (and RenderAsync) waits for the media to be ready, in
  // milliseconds.
  int RenderTimeoutMs = 15000;
};

// Whether the media is paused at its start (true) or failed, or was not
// ready within the graph's RenderTimeoutMs (false, the reason in LastError).
using RenderDone = std::function<void(bool rendered)>;

class MediaGraph {
public:
  // An empty graph with the named filters in place. Null when the pipeline
  // cannot be made.
  static std::unique_ptr<MediaGraph> Create(GraphOptions options);
  ~MediaGraph();
  MediaGraph(const MediaGraph&) = delete;
  MediaGraph& operator=(const MediaGraph&) = delete;

  GraphId Id() const { return id_; }

  // Renders a local path or an http(s) address: the media is opened and
  // connected through the graph's filters, paused at its start. False when it
  // cannot be rendered.
  bool Render(const std::string& pathOrUrl);
  // Render without waiting, for media that comes over the network: the
  // graph sets off towards its paused start and this returns at once;
  // `done` runs later on the event receiver's thread, when the graph's
  // messages say it got there or failed, or when the wait is over. An error
  // while it waits ends the wait (no error abort event). Stopping or
  // destroying the graph first means `done` never runs. False, and no
  // `done`, when the graph refuses at once (no address, no event receiver).
  bool RenderAsync(const std::string& pathOrUrl, RenderDone done);
  // Opens the media and sets the graph running without waiting for it: the
  // media framework gets there on its own threads, and a file that turns out
  // not to play arrives later as an error abort. For effects and break
  // music, whose start must never hold up the UI thread. False only when
  // the graph refuses at once (no address, no state change at all).
  bool Start(const std::string& pathOrUrl);
  // Whether the graph has reached its running state (asks without waiting).
  bool Running() const;

  bool Run();
  bool Pause();
  // Stops the graph (its streaming threads are finished when this returns).
  void Stop();

  // Media time in 100 ns units; -1 when the graph cannot say.
  int64_t Position() const;
  int64_t Duration() const;
  // Absolute, accurate position.
  bool SetPosition(int64_t position);
  // 0 (full) to -10000 hundredths of a decibel.
  bool SetVolume(long hundredthsOfDb);
  // The linear gain for a volume in hundredths of a decibel.
  static double LinearGain(long hundredthsOfDb);

  // A filter by the name it was added under; null when there is none.
  GstElement* FindFilter(const std::string& name) const;
  // The names of the graph's elements, the named filters among them;
  // nullopt when they cannot be listed.
  std::optional<std::vector<std::string>> FilterNames() const;

  // Moves a MIDI song's notes by semitones (drums excepted); nothing for
  // other media.
  void SetMidiTranspose(int semitones);
  // Plays what is rendered at its time stamps, a MIDI song's notes and a
  // video's frames, `factor` times as fast from the next segment (a seek
  // makes one); the position stays the media's own time. Sampled audio
  // changes tempo in the song's audio filter instead.
  void SetRenderedTempo(double factor);

  // True once the media turned out to carry video.
  bool HasVideo() const;

  // The first error the graph reported (an error abort, or the reason it
  // could not be rendered); empty texts while there was none. Errors arrive
  // on streaming threads; this may be read from any thread.
  MediaError LastError() const;
  // Frames the graph's elements said they dropped for lateness (QoS
  // messages: the video sink's late frames and the decoder's skipped ones).
  uint64_t QosDroppedFrames() const;

  // What the video renderer's callbacks reach: the target, and whether the
  // stream has started (first frame seen).
  struct VideoLink {
    VideoFrameTarget* Target = nullptr;
    std::atomic<bool> Started{false};
  };

private:
  explicit MediaGraph(GraphOptions options);
  bool Build();
  // Points the graph at a file or an address; false (logged) for neither.
  bool SetSource(const std::string& pathOrUrl);
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  // Logs an error message's text and keeps the first one (streaming threads).
  void KeepError(GstMessage* message);
  // Keeps a QoS message's count of dropped frames (streaming threads).
  void KeepQos(GstMessage* message);
  void Post(GraphEvent event);
  // Ends a waiting RenderAsync: its `done` is posted to the receiver, unless
  // the graph is stopped by then. False when none was waiting. Any thread.
  bool FinishRender(bool rendered);
  // Keeps "not ready within N ms" as the graph's error, unless it has one.
  void KeepTimeout();

  GraphOptions options_;
  GraphId id_;
  GstElementPtr pipeline_;
  GstElementPtr audioFilter_;
  GstElementPtr videoSink_;
  std::unique_ptr<VideoLink> videoLink_;
  std::unique_ptr<MidiSynth> midi_;
  SegmentScaler videoTempo_;
  QPointer<QObject> receiver_;
  mutable std::mutex errorMutex_;
  MediaError error_;
  // Per reporting element (compared, never dereferenced): its drop count.
  std::vector<std::pair<const GstObject*, uint64_t>> qosDropped_;
  // A RenderAsync that has not finished yet. The token lives as long as the
  // wait may still end in `done`: Stop drops it, and a posted `done` whose
  // token has gone is not run (checked on the receiver's thread).
  std::mutex renderMutex_;
  bool renderWaiting_ = false;
  RenderDone renderDone_;
  std::shared_ptr<char> renderToken_;
};

}  // namespace lyricade
