// The dspfile renderer: its command line and a WAV file run through the
// filter in a real graph.

#include "playback/dsp_file_render.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/test_folder.h"
#include "playback/dsp_test_media.h"

namespace lyricade {
namespace {

TEST(DspFileArgs, ReadsTheOptions) {
  DspFileJob job;
  std::string error;
  ASSERT_TRUE(ParseDspFileArgs({"in.wav", "out.wav"}, &job, &error)) << error;
  EXPECT_EQ(job.input, "in.wav");
  EXPECT_EQ(job.output, "out.wav");
  EXPECT_EQ(job.keyHalfSteps, 0.0f);
  EXPECT_EQ(job.channel, 0);
  EXPECT_FALSE(job.autoGain);

  ASSERT_TRUE(ParseDspFileArgs({"--key", "-3", "a.wav", "--channel", "right", "b.wav", "--agc"}, &job, &error));
  EXPECT_EQ(job.keyHalfSteps, -3.0f);
  EXPECT_EQ(job.channel, 2);
  EXPECT_TRUE(job.autoGain);
  ASSERT_TRUE(ParseDspFileArgs({"a.wav", "b.wav", "--key", "1.5", "--channel", "left"}, &job, &error));
  EXPECT_EQ(job.keyHalfSteps, 1.5f);
  EXPECT_EQ(job.channel, 1);
}

TEST(DspFileArgs, RefusesBadArguments) {
  const std::vector<std::vector<std::string>> bad{
      {},
      {"only.wav"},
      {"a.wav", "b.wav", "c.wav"},
      {"a.wav", "b.wav", "--key"},
      {"a.wav", "b.wav", "--key", "two"},
      {"a.wav", "b.wav", "--key", "3x"},
      {"a.wav", "b.wav", "--key", "nan"},
      {"a.wav", "b.wav", "--key", "1e9"},
      {"a.wav", "b.wav", "--key", "25"},
      {"a.wav", "b.wav", "--channel", "middle"},
      {"a.wav", "b.wav", "--volume", "3"},
  };
  for (const auto& args : bad) {
    DspFileJob job;
    std::string error;
    EXPECT_FALSE(ParseDspFileArgs(args, &job, &error)) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(error.empty());
  }
}

class DspFileRender : public ::testing::Test {
protected:
  void SetUp() override { testing::StartGstreamer(); }

  // Two seconds: 440 Hz on the left, 1000 Hz on the right.
  std::string MakeWav(const std::string& name, int rate = 44100) {
    const std::string path = folder_.File(name);
    const std::string caps = "audio/x-raw,rate=" + std::to_string(rate) + ",channels=1";
    const std::string error = testing::RunGraph(
        "audiotestsrc freq=440 volume=0.3 num-buffers=80 ! " + caps + " ! mix.sink_0 "
        "audiotestsrc freq=1000 volume=0.3 num-buffers=80 ! " + caps + " ! mix.sink_1 "
        "interleave name=mix ! audioconvert ! audio/x-raw,format=S16LE,channels=2 ! wavenc ! filesink name=out",
        [&](GstElement* graph) { testing::SetNamed(graph, "out", "location", path); });
    EXPECT_EQ(error, "");
    return path;
  }

  testing::Pcm ReadWav(const std::string& path) {
    testing::Pcm pcm;
    const std::string error = testing::RunIntoMemory(
        "filesrc name=in ! wavparse ! appsink name=sink", &pcm,
        [&](GstElement* graph) { testing::SetNamed(graph, "in", "location", path); });
    EXPECT_EQ(error, "");
    return pcm;
  }

  testing::TestFolder folder_;
};

TEST_F(DspFileRender, WritesTheFilteredWav) {
  const std::string in = MakeWav("in.wav");
  std::string error;
  const DspFileJob job{in, folder_.File("out.wav"), 2.0f, 1, false};
  ASSERT_TRUE(RenderDspFile(job, &error)) << error;
  const testing::Pcm out = ReadWav(job.output);
  EXPECT_EQ(out.rate, 44100);
  ASSERT_EQ(out.channels, 2);
  ASSERT_GT(out.Frames(), 60000u);
  // The left channel on both sides, two half steps up: 2^(2/12) = 1.1225.
  for (size_t i = 0; i < out.Frames(); ++i) ASSERT_EQ(out.At(i, 0), out.At(i, 1)) << "frame " << i;
  EXPECT_NEAR(testing::DominantFrequency(out, 1, 30000, 16384), 440 * 1.1225, 440 * 0.03);
}

TEST_F(DspFileRender, ReportsFilesItCannotUse) {
  std::string error;
  EXPECT_FALSE(RenderDspFile({folder_.File("missing.wav"), folder_.File("out.wav"), 0, 0, false}, &error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;

  const std::string odd = MakeWav("32k.wav", 32000);
  error.clear();
  EXPECT_FALSE(RenderDspFile({odd, folder_.File("out.wav"), 0, 0, false}, &error));
  EXPECT_NE(error.find("not 16-bit PCM at 44100"), std::string::npos) << error;

  // A cut-off file and one that is not a WAV at all end with a message or an
  // empty result, never a crash or a hang.
  const std::string good = MakeWav("good.wav");
  std::ifstream source(good, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
  {
    std::ofstream cut(folder_.File("cut.wav"), std::ios::binary);
    cut.write(bytes.data(), 30);
    std::ofstream junk(folder_.File("junk.wav"), std::ios::binary);
    junk << "RIFF\xff\xff\xff\x7fWAVEfmt \x10\0\0\0garbage that is not a format";
  }
  RenderDspFile({folder_.File("cut.wav"), folder_.File("o1.wav"), 1, 0, false}, &error);
  RenderDspFile({folder_.File("junk.wav"), folder_.File("o2.wav"), 1, 0, false}, &error);

  error.clear();
  EXPECT_FALSE(RenderDspFile({good, folder_.File("no/such/folder/out.wav"), 0, 0, false}, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace lyricade
