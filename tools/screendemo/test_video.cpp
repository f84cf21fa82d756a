#include "test_video.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include "platform/media/video_frame_target.h"

namespace lyricade {
namespace {

struct SampleDeleter {
  void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};

}  // namespace

TestVideo::TestVideo(VideoFrameTarget& target, const std::string& pattern, int width, int height)
    : target_(target) {
  const std::string description =
      "videotestsrc is-live=true pattern=" + pattern +
      " ! videoconvert ! videoscale ! video/x-raw,format=BGRx,width=" + std::to_string(width) +
      ",height=" + std::to_string(height) +
      ",framerate=25/1 ! appsink name=sink emit-signals=true max-buffers=2 drop=true sync=true";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) g_error_free(error);
  if (!pipeline) return;
  pipeline_.reset(pipeline);
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
  if (sink) {
    g_signal_connect(sink, "new-sample", G_CALLBACK(&TestVideo::OnSample), this);
    gst_object_unref(sink);
  }
}

TestVideo::~TestVideo() {
  pipeline_.reset();
  target_.VideoStopped();
}

bool TestVideo::Start() {
  if (!pipeline_) return false;
  target_.VideoStarted();
  return gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

GstFlowReturn TestVideo::OnSample(GstElement* sink, gpointer self) {
  auto* video = static_cast<TestVideo*>(self);
  std::unique_ptr<GstSample, SampleDeleter> sample(gst_app_sink_pull_sample(GST_APP_SINK(sink)));
  if (!sample) return GST_FLOW_OK;
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get()))) return GST_FLOW_OK;
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  GstMapInfo map;
  if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_FLOW_OK;
  video->target_.PresentVideoFrame(map.data, map.size, GST_VIDEO_INFO_WIDTH(&info),
                                   GST_VIDEO_INFO_HEIGHT(&info),
                                   static_cast<size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0)));
  gst_buffer_unmap(buffer, &map);
  return GST_FLOW_OK;
}

}  // namespace lyricade
