// "Quillon DSP Filter" as a GStreamer element in real graphs: format
// negotiation, test tones, an MP3 made at test time and decoded end to end,
// and settings changed while audio flows.

#include "playback/dsp_element.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "playback/dsp_test_media.h"
#include "common/test_folder.h"

namespace lyricade {
namespace {

using testing::Pcm;
using testing::RunIntoMemory;

const std::string kFilter = std::string(kDspElementFactory) + " name=\"" + kDspFilterName + "\"";

// Applies settings through the program's path: find the filter by its name.
std::function<void(GstElement*)> Configure(int keyTenths, int channel, bool autoGain = false) {
  return [=](GstElement* graph) {
    const DspFilterHandle filter = FindDspFilter(graph);
    ASSERT_TRUE(filter);
    filter.Settings()->SetTempo(50);
    filter.Settings()->SetPitch(static_cast<float>(keyTenths));
    filter.Settings()->SetChannel(channel);
    filter.Filter()->SetAutoGain(autoGain);
  };
}

bool SinkAccepts(GstElement* element, const char* caps) {
  const GstPadPtr pad(gst_element_get_static_pad(element, "sink"));
  const GstCapsPtr parsed(gst_caps_from_string(caps));
  return gst_pad_query_accept_caps(pad.get(), parsed.get());
}

class DspElement : public ::testing::Test {
protected:
  void SetUp() override { testing::StartGstreamer(); }
};

TEST_F(DspElement, TakesOnlyTheListedFormats) {
  const GstElementPtr element = MakeDspElement();
  ASSERT_TRUE(element);
  const GCharPtr name(gst_object_get_name(GST_OBJECT(element.get())));
  EXPECT_STREQ(name.get(), "Quillon DSP Filter");
  EXPECT_NE(DspFilterOf(element.get()), nullptr);

  const char* base = "audio/x-raw,layout=interleaved,";
  for (const char* good : {"format=S16LE,rate=44100,channels=2", "format=S16LE,rate=48000,channels=1",
                           "format=S16LE,rate=22050,channels=2", "format=S16LE,rate=11025,channels=1"}) {
    EXPECT_TRUE(SinkAccepts(element.get(), (std::string(base) + good).c_str())) << good;
  }
  for (const char* bad : {"format=S16LE,rate=32000,channels=2", "format=S8,rate=44100,channels=2",
                          "format=S24LE,rate=44100,channels=2", "format=S16LE,rate=44100,channels=3",
                          "format=F32LE,rate=44100,channels=2", "format=S16BE,rate=44100,channels=2"}) {
    EXPECT_FALSE(SinkAccepts(element.get(), (std::string(base) + bad).c_str())) << bad;
  }

  // In a graph, a 32 kHz source fails to connect rather than playing wrongly.
  Pcm pcm;
  const std::string error = RunIntoMemory(
      "audiotestsrc num-buffers=5 ! audio/x-raw,format=S16LE,rate=32000,channels=2 ! audioconvert ! " + kFilter +
          " ! appsink name=sink",
      &pcm);
  // Refused while linking or, when linking is deferred, at negotiation.
  EXPECT_TRUE(error.find("not-negotiated") != std::string::npos ||
              error.find("could not link") != std::string::npos)
      << error;
  EXPECT_EQ(pcm.Frames(), 0u);
}

TEST_F(DspElement, TestToneKeyChannelAndStamps) {
  // A 440 Hz tone on the left, 1000 Hz on the right.
  const std::string source =
      "audiotestsrc freq=440 volume=0.3 num-buffers=120 ! audio/x-raw,rate=44100,channels=1 ! mix.sink_0 "
      "audiotestsrc freq=1000 volume=0.3 num-buffers=120 ! audio/x-raw,rate=44100,channels=1 ! mix.sink_1 "
      "interleave name=mix ! audioconvert ! audio/x-raw,format=S16LE,channels=2 ! ";

  Pcm plain;
  ASSERT_EQ(RunIntoMemory(source + kFilter + " ! appsink name=sink", &plain, Configure(0, 0)), "");
  ASSERT_GT(plain.Frames(), 44100u);
  EXPECT_NEAR(testing::DominantFrequency(plain, 0, 20000, 8192), 440, 5);
  EXPECT_NEAR(testing::DominantFrequency(plain, 1, 20000, 8192), 1000, 5);

  Pcm left;
  ASSERT_EQ(RunIntoMemory(source + kFilter + " ! appsink name=sink", &left, Configure(0, 1)), "");
  ASSERT_EQ(left.Frames(), plain.Frames());
  for (size_t i = 0; i < left.Frames(); ++i) ASSERT_EQ(left.At(i, 0), left.At(i, 1)) << "frame " << i;
  EXPECT_NEAR(testing::DominantFrequency(left, 1, 20000, 8192), 440, 5);

  Pcm up;
  ASSERT_EQ(RunIntoMemory(source + kFilter + " ! appsink name=sink", &up, Configure(120, 0)), "");
  ASSERT_GT(up.Frames(), 40000u);
  EXPECT_NEAR(testing::DominantFrequency(up, 0, 20000, 8192), 880, 880 * 0.03);
  EXPECT_NEAR(testing::DominantFrequency(up, 1, 20000, 8192), 2000, 2000 * 0.03);
  ASSERT_GT(up.stamps.size(), 10u);
  for (size_t i = 1; i < up.stamps.size(); ++i) {
    ASSERT_TRUE(GST_CLOCK_TIME_IS_VALID(up.stamps[i]));
    EXPECT_GT(up.stamps[i], up.stamps[i - 1]) << "buffer " << i;
  }
}

// Makes an MP3 of `seconds` with a tone on the left channel and silence on
// the right.
std::string MakeMp3(const testing::TestFolder& folder, double volume, double seconds = 1.5) {
  const std::string path = folder.File("song.mp3");
  const int buffers = static_cast<int>(seconds * 44100 / 1024);
  const std::string error = testing::RunGraph(
      "audiotestsrc freq=440 samplesperbuffer=1024 num-buffers=" + std::to_string(buffers) +
          " volume=" + std::to_string(volume) +
          " ! audio/x-raw,rate=44100,channels=1 ! audioconvert ! audiopanorama panorama=-1 method=simple"
          " ! audioconvert ! lamemp3enc ! filesink name=out",
      [&](GstElement* graph) { testing::SetNamed(graph, "out", "location", path); });
  EXPECT_EQ(error, "");
  return path;
}

Pcm PlayMp3(const std::string& path, const std::function<void(GstElement*)>& setup) {
  Pcm pcm;
  const GCharPtr uri(gst_filename_to_uri(path.c_str(), nullptr));
  const std::string error = RunIntoMemory(
      "uridecodebin name=dec ! audioconvert ! audioresample ! audio/x-raw,format=S16LE ! " + kFilter +
          " ! appsink name=sink",
      &pcm, [&](GstElement* graph) {
        testing::SetNamed(graph, "dec", "uri", uri.get());
        setup(graph);
      });
  EXPECT_EQ(error, "");
  return pcm;
}

TEST_F(DspElement, PlaysAnMp3EndToEnd) {
  testing::TestFolder folder;
  const std::string mp3 = MakeMp3(folder, 0.5);

  const Pcm centre = PlayMp3(mp3, Configure(0, 0));
  ASSERT_GT(centre.Frames(), 44100u);
  EXPECT_EQ(centre.rate, 44100);
  EXPECT_GT(testing::PeakOf(centre, 0, 10000, 20000), 10000);
  EXPECT_LT(testing::PeakOf(centre, 1, 10000, 20000), 1000);

  const Pcm left = PlayMp3(mp3, Configure(0, 1));
  ASSERT_EQ(left.Frames(), centre.Frames());
  for (size_t i = 0; i < left.Frames(); ++i) ASSERT_EQ(left.At(i, 0), left.At(i, 1)) << "frame " << i;
  EXPECT_GT(testing::PeakOf(left, 1, 10000, 20000), 10000);

  const Pcm right = PlayMp3(mp3, Configure(0, 2));
  EXPECT_LT(testing::PeakOf(right, 0, 10000, 20000), 1000);

  const Pcm up = PlayMp3(mp3, Configure(120, 0));
  ASSERT_GT(up.Frames(), 40000u);
  EXPECT_NEAR(testing::DominantFrequency(up, 0, 20000, 8192), 880, 880 * 0.03);
  for (size_t i = 1; i < up.stamps.size(); ++i) EXPECT_GT(up.stamps[i], up.stamps[i - 1]);
}

TEST_F(DspElement, AutoGainRaisesAQuietMp3) {
  testing::TestFolder folder;
  const std::string mp3 = MakeMp3(folder, 0.05, 3.0);
  const Pcm plain = PlayMp3(mp3, Configure(0, 0, false));
  const Pcm levelled = PlayMp3(mp3, Configure(0, 0, true));
  ASSERT_EQ(plain.Frames(), levelled.Frames());
  const size_t tail = plain.Frames() - 20000;
  const int before = testing::PeakOf(plain, 0, tail, 10000);
  const int after = testing::PeakOf(levelled, 0, tail, 10000);
  ASSERT_GT(before, 1000);
  // Gain climbs 0.02 a buffer (1152 frames) from 1.0: about 2.9 after 2.5 s.
  EXPECT_GT(after, 2.5 * before);
  EXPECT_LE(after, static_cast<int>(0.6 * 32767) + 1);
}

// Settings changed between two buffers apply to the second one.
TEST_F(DspElement, ChangesTakeEffectAtTheNextBuffer) {
  GError* rawError = nullptr;
  const GstElementPtr graph = AdoptElement(gst_parse_launch(
      ("appsrc name=src format=time caps=audio/x-raw,format=S16LE,layout=interleaved,rate=44100,channels=2 ! " +
       kFilter + " ! appsink name=sink sync=false")
          .c_str(),
      &rawError));
  const GErrorPtr parseError(rawError);
  ASSERT_TRUE(graph && !parseError);
  const GstElementPtr src(gst_bin_get_by_name(GST_BIN(graph.get()), "src"));
  const GstElementPtr sink(gst_bin_get_by_name(GST_BIN(graph.get()), "sink"));
  ASSERT_NE(gst_element_set_state(graph.get(), GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);

  const size_t frames = 1024;
  auto push = [&](int index) {
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
      const double t = static_cast<double>(index * frames + i) / 44100;
      samples[2 * i] = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440 * t));
      samples[2 * i + 1] = static_cast<int16_t>(-3000);
    }
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, samples.size() * 2, nullptr);
    gst_buffer_fill(buffer, 0, samples.data(), samples.size() * 2);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(index * frames, GST_SECOND, 44100);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(frames, GST_SECOND, 44100);
    return gst_app_src_push_buffer(GST_APP_SRC(src.get()), buffer) == GST_FLOW_OK;
  };
  auto pull = [&]() {
    std::vector<int16_t> samples;
    const GstSamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 5 * GST_SECOND));
    if (!sample) return samples;
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    samples.resize(gst_buffer_get_size(buffer) / 2);
    gst_buffer_extract(buffer, 0, samples.data(), samples.size() * 2);
    return samples;
  };

  ASSERT_TRUE(push(0));
  std::vector<int16_t> out = pull();
  ASSERT_EQ(out.size(), frames * 2);
  EXPECT_EQ(out[1], -3000);

  FindDspFilter(graph.get()).Settings()->SetChannel(2);
  ASSERT_TRUE(push(1));
  out = pull();
  ASSERT_EQ(out.size(), frames * 2);
  for (size_t i = 0; i < frames; ++i) ASSERT_EQ(out[2 * i], -3000) << "frame " << i;

  // A key change sends the next buffers through the shifter: nothing comes
  // out while it fills, then shifted audio follows.
  FindDspFilter(graph.get()).Settings()->SetChannel(0);
  FindDspFilter(graph.get()).Settings()->SetPitch(40);
  for (int i = 2; i < 40; ++i) ASSERT_TRUE(push(i));
  gst_app_src_end_of_stream(GST_APP_SRC(src.get()));
  size_t shiftedFrames = 0;
  for (out = pull(); !out.empty(); out = pull()) shiftedFrames += out.size() / 2;
  EXPECT_GT(shiftedFrames, 20 * frames);
  EXPECT_LT(shiftedFrames, 38 * frames) << "the first buffers only fill the shifter";
  gst_element_set_state(graph.get(), GST_STATE_NULL);
}

}  // namespace
}  // namespace lyricade
