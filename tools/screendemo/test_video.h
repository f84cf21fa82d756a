#pragma once
// A GStreamer test pattern played into a VideoFrameTarget through an appsink
// asking for BGRx, the way the song's and the background's video sinks feed
// the karaoke screen.

#include <gst/gst.h>

#include <memory>
#include <string>

namespace lyricade {

class VideoFrameTarget;

struct GstElementDeleter {
  void operator()(GstElement* element) const {
    gst_element_set_state(element, GST_STATE_NULL);
    gst_object_unref(element);
  }
};
using GstPipelinePtr = std::unique_ptr<GstElement, GstElementDeleter>;

class TestVideo {
public:
  // `pattern` is a videotestsrc pattern name ("ball", "smpte", ...).
  TestVideo(VideoFrameTarget& target, const std::string& pattern, int width, int height);
  ~TestVideo();
  bool Start();

private:
  static GstFlowReturn OnSample(GstElement* sink, gpointer self);

  VideoFrameTarget& target_;
  GstPipelinePtr pipeline_;
};

}  // namespace lyricade
