// lyricade-make-backgrounds FOLDER
//
// Makes the background videos the program brings along into FOLDER (the
// program folder's "Backgrounds/"): two short, calm, silent WMV loops drawn
// frame by frame here and encoded with GStreamer, so a first run lists
// something to show behind the lyrics and no media is kept in the source
// tree. Each animation is periodic over its length, so the loop has no
// seam. Files are written under a hidden temporary name and renamed into
// place, so an interrupted build never leaves half a video.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;
constexpr int kFramesPerSecond = 25;
constexpr int kSeconds = 8;
constexpr int kFrames = kFramesPerSecond * kSeconds;
constexpr double kTwoPi = 6.283185307179586;

struct Rgb {
  double R, G, B;
};

uint8_t Channel(double value) { return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0)); }

// Draws frame `phase` (0 to 1 over the loop) into BGRx pixels.
using Painter = std::function<void(double phase, std::vector<uint8_t>& pixels)>;

void Put(std::vector<uint8_t>& pixels, int x, int y, const Rgb& colour) {
  uint8_t* p = pixels.data() + (static_cast<size_t>(y) * kWidth + x) * 4;
  p[0] = Channel(colour.B);
  p[1] = Channel(colour.G);
  p[2] = Channel(colour.R);
  p[3] = 255;
}

// Night sky with slow green and violet curtains swaying across it.
void PaintAurora(double phase, std::vector<uint8_t>& pixels) {
  const double t = phase * kTwoPi;
  for (int y = 0; y < kHeight; ++y) {
    const double v = static_cast<double>(y) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      const double u = static_cast<double>(x) / kWidth;
      Rgb sky{8 + 20 * v, 10 + 16 * v, 40 + 50 * v};
      const double curtain1 = 0.35 + 0.08 * std::sin(u * 7.0 + t) + 0.04 * std::sin(u * 17.0 - 2 * t);
      const double curtain2 = 0.55 + 0.07 * std::sin(u * 5.0 - t + 1.3) + 0.03 * std::sin(u * 13.0 + t);
      const double glow1 = std::exp(-std::pow((v - curtain1) / 0.06, 2)) * (0.6 + 0.4 * std::sin(u * 9 + t));
      const double glow2 = std::exp(-std::pow((v - curtain2) / 0.05, 2)) * (0.5 + 0.5 * std::cos(u * 6 - t));
      sky.R += 40 * glow2;
      sky.G += 150 * glow1 + 30 * glow2;
      sky.B += 60 * glow1 + 110 * glow2;
      Put(pixels, x, y, sky);
    }
  }
}

// Warm lanterns drifting upwards over a dusk blue, each back where it
// started when the loop ends.
void PaintLanterns(double phase, std::vector<uint8_t>& pixels) {
  struct Lantern {
    double X, Y, Radius, Sway;
  };
  static const Lantern lanterns[] = {{0.12, 0.20, 38, 0.7}, {0.30, 0.65, 28, 1.3}, {0.47, 0.05, 46, 0.4},
                                     {0.62, 0.45, 32, 1.9}, {0.80, 0.80, 42, 1.1}, {0.92, 0.30, 24, 2.6},
                                     {0.22, 0.90, 30, 3.1}, {0.70, 0.15, 22, 0.2}};
  const double t = phase * kTwoPi;
  for (int y = 0; y < kHeight; ++y) {
    const double v = static_cast<double>(y) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      Rgb colour{30 + 30 * v, 14 + 12 * v, 60 - 20 * v};
      for (const Lantern& lantern : lanterns) {
        // One whole rise per loop, wrapping from the top to the bottom.
        double ly = std::fmod(lantern.Y - phase + 1.0, 1.0) * (kHeight + 120) - 60;
        double lx = lantern.X * kWidth + 18 * std::sin(t + lantern.Sway);
        const double dx = x - lx, dy = y - ly;
        const double d2 = (dx * dx + dy * dy) / (lantern.Radius * lantern.Radius);
        if (d2 > 9) continue;
        const double glow = std::exp(-d2 * 1.6);
        colour.R += 230 * glow;
        colour.G += 140 * glow;
        colour.B += 40 * glow;
      }
      Put(pixels, x, y, colour);
    }
  }
}

void ReleaseBuffer(gpointer data) { delete static_cast<std::vector<uint8_t>*>(data); }

bool Encode(const fs::path& target, const Painter& paint) {
  const std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".part")).string();
  const std::string description =
      "appsrc name=frames format=time ! videoconvert ! avenc_wmv2 pass=quant quantizer=4 gop-size=25 ! asfmux ! "
      "filesink name=file";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (!pipeline || error) {
    std::cerr << "make-backgrounds: no encoder: " << (error ? error->message : "unknown") << "\n";
    if (error) g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  GstElement* file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
  g_object_set(file, "location", temporary.c_str(), nullptr);
  gst_object_unref(file);
  GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "frames");
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                                      kWidth, "height", G_TYPE_INT, kHeight, "framerate",
                                      GST_TYPE_FRACTION, kFramesPerSecond, 1, nullptr);
  gst_app_src_set_caps(GST_APP_SRC(source), caps);
  gst_caps_unref(caps);
  gst_element_set_state(pipeline, GST_STATE_PLAYING);

  bool pushed = true;
  for (int frame = 0; frame < kFrames && pushed; ++frame) {
    auto* pixels = new std::vector<uint8_t>(static_cast<size_t>(kWidth) * kHeight * 4);
    paint(static_cast<double>(frame) / kFrames, *pixels);
    GstBuffer* buffer =
        gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY, pixels->data(), pixels->size(), 0,
                                    pixels->size(), pixels, ReleaseBuffer);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(frame, GST_SECOND, kFramesPerSecond);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(1, GST_SECOND, kFramesPerSecond);
    pushed = gst_app_src_push_buffer(GST_APP_SRC(source), buffer) == GST_FLOW_OK;
  }
  gst_app_src_end_of_stream(GST_APP_SRC(source));
  gst_object_unref(source);

  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(
      bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ended = pushed && message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
    GError* failure = nullptr;
    gst_message_parse_error(message, &failure, nullptr);
    std::cerr << "make-backgrounds: " << target << ": " << (failure ? failure->message : "error") << "\n";
    if (failure) g_error_free(failure);
  }
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);

  std::error_code fsError;
  if (!ended) {
    fs::remove(temporary, fsError);
    return false;
  }
  fs::rename(temporary, target, fsError);
  if (fsError) {
    std::cerr << "make-backgrounds: cannot put " << target << " in place: " << fsError.message() << "\n";
    fs::remove(temporary, fsError);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: lyricade-make-backgrounds FOLDER\n";
    return 2;
  }
  gst_init(nullptr, nullptr);
  const fs::path folder(argv[1]);
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    std::cerr << "make-backgrounds: cannot make " << folder << ": " << error.message() << "\n";
    return 1;
  }
  const std::pair<const char*, Painter> videos[] = {{"Aurora Drift.wmv", PaintAurora},
                                                    {"Lantern Rise.wmv", PaintLanterns}};
  for (const auto& [name, paint] : videos)
    if (!Encode(folder / name, paint)) return 1;
  return 0;
}
