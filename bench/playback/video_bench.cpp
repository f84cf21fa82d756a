// Video songs on this machine's OpenGL (Mesa llvmpipe, no GPU), played by
// the show through the real song graph into the singers' screen's song
// layer, drawn by the real render thread, with the audio on a clocked sink:
//   video-720p-dropped    the share of a 60-second 1280x720 30 fps H.264/AAC
//                         song's frames that were not drawn: dropped for
//                         lateness (the QoS reports of the sink and the
//                         decoder), or decoded but replaced in the layer
//                         before the render thread took them, or lost any
//                         other way (%)
//   video-1080p-dropped   the same at 1920x1080 (%)
//   video-seek-audio-gap  the time from a seek in the 720p song to the first
//                         audible buffer of the new place at the audio sink;
//                         the median of five seeks (ms)
// The songs are made once (a few minutes of encoding) in a temporary
// folder kept for the next run. Needs a display; without one the program
// runs itself again under xvfb-run.

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QThread>

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/show.h"
#include "bench_figures.h"
#include "common/app_settings.h"
#include "common/scene_flags.h"
#include "platform/media/gst_handles.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/preview_surface.h"
#include "screen/render_thread.h"
#include "screen/scene_buffers.h"
#include "screen/video_layer.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSeconds = 60;
constexpr int kFramesPerSecond = 30;
constexpr char kProbeName[] = "Audio Probe";

bool RunToEnd(const std::string& description) {
  GError* rawError = nullptr;
  GstElementPtr pipeline = AdoptElement(gst_parse_launch(description.c_str(), &rawError));
  GErrorPtr error(rawError);
  if (!pipeline || error) return false;
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
  GstBusPtr bus(gst_element_get_bus(pipeline.get()));
  GstMessagePtr message(gst_bus_timed_pop_filtered(bus.get(), 1800 * GST_SECOND,
                                                   GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  const bool ended = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return ended;
}

// A karaoke-like video: the whole picture moves every frame, so every frame
// carries real work for the decoder; x264's "superfast" keeps CABAC, as
// the encoders of real songs do. Made once, then kept.
std::string MadeSong(int width, int height, int kilobitsPerSecond) {
  const fs::path folder = fs::temp_directory_path() / "lyricade-bench-video";
  fs::create_directories(folder);
  const std::string name = std::to_string(height) + "p" + std::to_string(kFramesPerSecond);
  const std::string path = (folder / (name + ".mp4")).string();
  if (fs::exists(path)) return path;
  const std::string partial = (folder / (name + ".part.mp4")).string();
  const bool made = RunToEnd(
      "mp4mux name=mux ! filesink location=\"" + partial + "\" videotestsrc pattern=smpte horizontal-speed=4 num-buffers=" +
      std::to_string(kSeconds * kFramesPerSecond) + " ! video/x-raw,width=" + std::to_string(width) +
      ",height=" + std::to_string(height) + ",framerate=" + std::to_string(kFramesPerSecond) +
      "/1 ! x264enc speed-preset=superfast key-int-max=60 bitrate=" + std::to_string(kilobitsPerSecond) +
      " ! h264parse ! mux. audiotestsrc wave=sine volume=0.5 num-buffers=" +
      std::to_string(kSeconds * 44100 / 1024 + 1) +
      " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! avenc_aac ! "
      "aacparse ! mux.");
  std::error_code error;
  if (!made || (fs::rename(partial, path, error), error)) return {};
  return path;
}

// The song layer, counting the frames it was given.
class CountingLayer : public VideoFrameTarget {
public:
  explicit CountingLayer(VideoLayer& layer) : layer_(layer) {}
  void VideoStarted() override { layer_.VideoStarted(); }
  bool PresentVideoFrame(const uint8_t* pixels, size_t size, int width, int height, size_t stride) override {
    const bool shown = layer_.PresentVideoFrame(pixels, size, width, height, stride);
    if (shown) ++presented;
    return shown;
  }
  void VideoStopped() override { layer_.VideoStopped(); }
  std::atomic<uint64_t> presented{0};

private:
  VideoLayer& layer_;
};

// The first audible buffer at the sink once armed: its arrival time.
struct AudioProbe {
  std::atomic<bool> armed{false};
  std::atomic<int64_t> fromPts{0};  // ns: buffers of the new place only
  std::mutex mutex;
  Clock::time_point heard;
  bool found = false;

  static void OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer self) {
    auto* probe = static_cast<AudioProbe*>(self);
    if (!probe->armed.load()) return;
    if (!GST_BUFFER_PTS_IS_VALID(buffer) || static_cast<int64_t>(GST_BUFFER_PTS(buffer)) < probe->fromPts.load())
      return;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
    // 16-bit samples (the sink's caps); -50 dBFS is a peak of 103.
    int peak = 0;
    const auto* samples = reinterpret_cast<const int16_t*>(map.data);
    for (size_t i = 0; i < map.size / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    gst_buffer_unmap(buffer, &map);
    if (peak < 104) return;
    std::lock_guard lock(probe->mutex);
    if (probe->found) return;
    probe->found = true;
    probe->heard = Clock::now();
    probe->armed = false;
  }
};

// The singers' screen without a window: the song layer, the scene and the
// real render thread drawing into an offscreen surface.
struct Screen {
  Screen() : layer(0, buffers, flags, preview), counting(layer) {
    surface.create();
    target.Surface = &surface;
    auto context = std::make_unique<QOpenGLContext>();
    context->create();
    thread = std::make_unique<RenderThread>(std::move(context), target, buffers, flags, settings, nullptr, false);
    thread->setObjectName("video-render");
    thread->Start();
    thread->WaitForSetup();
  }
  ~Screen() { thread->Stop(); }
  AppSettings settings;
  SceneFlags flags;
  SceneBuffers buffers;
  PreviewSurface preview;
  VideoLayer layer;
  CountingLayer counting;
  QOffscreenSurface surface;
  PresentTarget target;
  std::unique_ptr<RenderThread> thread;
};

struct Player {
  explicit Player(Screen& screen)
      : folder(fs::temp_directory_path() / "lyricade-bench-video"),
        show(settings, prompts, ShowFolders{(folder / "data/").string(), (folder / "scratch/").string(),
                                            LYRICADE_MODULE_FOLDER}) {
    fs::create_directories(folder / "data");
    show.SetSongVideoTarget(&screen.counting);
  }
  // Runs the show's events and its 30 ms timer until `done` or `limitMs`.
  template <typename Done>
  bool RunUntil(Done done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    auto next = Clock::now();
    while (clock.elapsed() < limitMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      if (Clock::now() >= next) {
        show.tick();
        next += std::chrono::milliseconds(30);
      }
      if (done()) return true;
      QThread::msleep(5);
    }
    return false;
  }
  fs::path folder;
  AppSettings settings;
  ScriptedPrompts prompts;
  Show show;
};

// Plays the whole song; the share of its frames not drawn, in %, or -1.
double DroppedShare(const std::string& song, const char* label) {
  Screen screen;
  Player player(screen);
  const uint64_t replacedBefore = screen.buffers.Replaced(SceneTexture::SongVideo);
  if (!player.show.PlaySong(song, 0, 0)) return -1;
  uint64_t qos = 0;
  const int ended = player.show.SongsEnded();
  const bool finished = player.RunUntil(
      [&] {
        if (MediaGraph* graph = player.show.Transport().Graph()) qos = std::max(qos, graph->QosDroppedFrames());
        return player.show.SongsEnded() != ended;
      },
      (kSeconds + 30) * 1000);
  if (!finished) return -1;
  const uint64_t total = static_cast<uint64_t>(kSeconds) * kFramesPerSecond;
  const uint64_t presented = screen.counting.presented.load();
  const uint64_t replaced = screen.buffers.Replaced(SceneTexture::SongVideo) - replacedBefore;
  const uint64_t drawn = presented > replaced ? presented - replaced : 0;
  const uint64_t lost = drawn < total ? total - drawn : 0;
  std::printf("%s: %llu frames, %llu given to the layer, %llu dropped late (QoS), %llu replaced before "
              "drawn, %llu screen frames drawn\n",
              label, static_cast<unsigned long long>(total), static_cast<unsigned long long>(presented),
              static_cast<unsigned long long>(qos), static_cast<unsigned long long>(replaced),
              static_cast<unsigned long long>(screen.thread->FramesDrawn()));
  return 100.0 * static_cast<double>(lost) / static_cast<double>(total);
}

// Milliseconds from each of five seeks to the first audible buffer after it.
std::vector<double> SeekGaps(const std::string& song) {
  Screen screen;
  Player player(screen);
  std::vector<double> gaps;
  if (!player.show.PlaySong(song, 0, 0)) return gaps;
  GstElement* sink = player.show.Transport().Graph() ? player.show.Transport().Graph()->FindFilter(kProbeName) : nullptr;
  if (!sink) return gaps;
  AudioProbe probe;
  const gulong handler = g_signal_connect(sink, "handoff", G_CALLBACK(AudioProbe::OnHandoff), &probe);
  player.RunUntil([] { return false; }, 2000);
  for (int seconds : {30, 10, 45, 20, 50}) {
    {
      std::lock_guard lock(probe.mutex);
      probe.found = false;
    }
    probe.fromPts = static_cast<int64_t>(seconds) * GST_SECOND - 50 * GST_MSECOND;
    probe.armed = true;
    const Clock::time_point start = Clock::now();
    player.show.Transport().SeekSong(static_cast<int64_t>(seconds) * 10'000'000);
    const bool heard = player.RunUntil(
        [&] {
          std::lock_guard lock(probe.mutex);
          return probe.found;
        },
        3000);
    if (!heard) break;
    std::lock_guard lock(probe.mutex);
    gaps.push_back(std::chrono::duration<double, std::milli>(probe.heard - start).count());
    player.RunUntil([] { return false; }, 1000);  // plays on a moment before the next seek
  }
  g_signal_handler_disconnect(sink, handler);
  player.show.Stop();
  return gaps;
}

}  // namespace
}  // namespace lyricade

int main(int argc, char** argv) {
  using namespace lyricade;
  bench::RestartUnderXvfbIfNoDisplay(argc, argv);
  // Clocked, as a sound card is: the video is drawn against real time.
  setenv("LYRICADE_AUDIO_SINK",
         "audioconvert ! audio/x-raw,format=S16LE ! "
         "fakesink name=\"Audio Probe\" sync=true signal-handoffs=true",
         1);
  QGuiApplication app(argc, argv);
  InitialiseMedia();
  const std::string hd = MadeSong(1280, 720, 4000);
  const std::string fullHd = MadeSong(1920, 1080, 8000);
  if (hd.empty() || fullHd.empty()) {
    std::fprintf(stderr, "bench-playback-video: the songs could not be made\n");
    return 1;
  }
  const double dropped720 = DroppedShare(hd, "720p");
  const double dropped1080 = DroppedShare(fullHd, "1080p");
  std::vector<double> gaps = SeekGaps(hd);
  if (dropped720 >= 0) std::printf("video-720p-dropped: %.2f %%\n", dropped720);
  else std::fprintf(stderr, "bench-playback-video: the 720p song did not play to its end\n");
  if (dropped1080 >= 0) std::printf("video-1080p-dropped: %.2f %%\n", dropped1080);
  else std::fprintf(stderr, "bench-playback-video: the 1080p song did not play to its end\n");
  if (gaps.size() == 5) {
    std::string all;
    for (double gap : gaps) all += std::to_string(static_cast<int>(gap)) + " ";
    std::sort(gaps.begin(), gaps.end());
    std::printf("video-seek-audio-gaps: %sms\n", all.c_str());
    std::printf("video-seek-audio-gap: %.0f ms\n", gaps[2]);
  } else {
    std::fprintf(stderr, "bench-playback-video: a seek was never heard\n");
  }
  return 0;
}
