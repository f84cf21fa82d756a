#include "support/test_media.h"

#include <gst/gst.h>

#include <charconv>
#include <cmath>

#include "platform/media/gst_handles.h"
#include "platform/media/media_graph.h"

namespace lyricade::testing {
namespace {

bool RunToEnd(const std::string& description) {
  InitialiseMedia();
  GError* rawError = nullptr;
  GstElementPtr pipeline = AdoptElement(gst_parse_launch(description.c_str(), &rawError));
  GErrorPtr error(rawError);
  if (!pipeline || error) return false;
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
  GstBusPtr bus(gst_element_get_bus(pipeline.get()));
  GstMessagePtr message(gst_bus_timed_pop_filtered(
      bus.get(), 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  const bool ended = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return ended;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// `seconds` of audiotestsrc (`tone`: its settings), stereo at 44.1 kHz,
// through lamemp3enc (`encoder`: its settings) and xingmux into `path`.
bool EncodeMp3(const std::string& path, double seconds, const std::string& tone,
               const std::string& encoder) {
  const int buffers = static_cast<int>(std::ceil(seconds * 44100 / 1024));
  return RunToEnd("audiotestsrc " + tone + " num-buffers=" + std::to_string(buffers) +
                  " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                  "lamemp3enc " + encoder + " ! xingmux ! filesink location=" + Quoted(path));
}

}  // namespace

bool MakeMp3(const std::string& path, double seconds, int frequency) {
  return EncodeMp3(path, seconds, "freq=" + std::to_string(frequency), "");
}

bool MakeSquareMp3(const std::string& path, double seconds) {
  return EncodeMp3(path, seconds, "wave=square volume=1.0", "");
}

bool MakeNoiseMp3(const std::string& path, double seconds, int kilobitsPerSecond, double volume) {
  // to_chars: the caller's locale may write a decimal comma.
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, volume);
  return EncodeMp3(path, seconds, "wave=pink-noise volume=" + std::string(text, written.ptr),
                   "target=bitrate cbr=true bitrate=" + std::to_string(kilobitsPerSecond));
}

bool MakeVideo(const std::string& path, double seconds, int width, int height) {
  const int frames = static_cast<int>(std::ceil(seconds * 25));
  const int buffers = static_cast<int>(std::ceil(seconds * 44100 / 1024));
  return RunToEnd("avimux name=mux ! filesink location=" + Quoted(path) +
                  " videotestsrc num-buffers=" + std::to_string(frames) +
                  " ! video/x-raw,width=" + std::to_string(width) + ",height=" +
                  std::to_string(height) + ",framerate=25/1 ! jpegenc ! mux. audiotestsrc num-buffers=" +
                  std::to_string(buffers) +
                  " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                  "lamemp3enc ! mux.");
}

bool MakeFlac(const std::string& path, double seconds) {
  const int buffers = static_cast<int>(std::ceil(seconds * 44100 / 1024));
  return RunToEnd("audiotestsrc num-buffers=" + std::to_string(buffers) +
                  " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                  "flacenc ! filesink location=" + Quoted(path));
}

bool MakeMp4(const std::string& path, double seconds, int width, int height) {
  const int frames = static_cast<int>(std::ceil(seconds * 25));
  const int buffers = static_cast<int>(std::ceil(seconds * 44100 / 1024));
  return RunToEnd("mp4mux name=mux ! filesink location=" + Quoted(path) +
                  " videotestsrc num-buffers=" + std::to_string(frames) +
                  " ! video/x-raw,width=" + std::to_string(width) + ",height=" +
                  std::to_string(height) +
                  ",framerate=25/1 ! x264enc speed-preset=ultrafast ! h264parse ! mux. "
                  "audiotestsrc num-buffers=" + std::to_string(buffers) +
                  " samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                  "avenc_aac ! aacparse ! mux.");
}

}  // namespace lyricade::testing
