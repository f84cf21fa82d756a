// The rules of the screen messages without drawing: the next-singers line,
// the ticker's motion on a fake clock, the announce options and custom
// image files.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <future>

#include "common/test_folder.h"
#include "screen/announce_options.h"
#include "screen/scene_buffers.h"
#include "screen/ticker_motion.h"
#include "screen/ticker_text.h"

namespace lyricade {
namespace {

std::string Line(std::initializer_list<const char*> names) {
  std::string text = kTickerHeading;
  int n = 0;
  for (const char* name : names) text += std::to_string(++n) + ". " + name + "   ";
  return text;
}

TEST(TickerText, TheWalkOfTheRotation) {
  // Two singers; the next one has no songs and "Empty Singers in Ticker"
  // is off: only the current singer may be named, and only with two songs.
  std::vector<TickerSinger> two{{"Ana", 1}, {"Ben", 0}};
  EXPECT_EQ(NextSingersText(two, 0, 3, false), kTickerHeading);
  EXPECT_FALSE(TickerTextNamesSingers(NextSingersText(two, 0, 3, false)));
  two[0].Songs = 2;
  EXPECT_EQ(NextSingersText(two, 0, 3, false), Line({"Ana"}));
  EXPECT_TRUE(TickerTextNamesSingers(Line({"Ana"})));
  EXPECT_EQ(NextSingersText(two, 0, 3, true), Line({"Ben", "Ana"}));

  // Wrapping from the last to the first, numbered from 1, at most N.
  const std::vector<TickerSinger> five{{"A", 1}, {"B", 0}, {"C", 1}, {"D", 3}, {"E", 1}};
  EXPECT_EQ(NextSingersText(five, 2, 15, false), Line({"D", "E", "A"}));
  EXPECT_EQ(NextSingersText(five, 3, 15, false), Line({"E", "A", "C", "D"}));
  EXPECT_EQ(NextSingersText(five, 3, 2, true), Line({"E", "A"}));

  // Positions the walk never meets end after one round of the rotation.
  EXPECT_EQ(NextSingersText(five, -1, 15, false), Line({"A", "C", "D", "E"}));
  EXPECT_EQ(NextSingersText(five, 9, 15, true), Line({"A", "B", "C", "D", "E"}));
  EXPECT_EQ(NextSingersText({}, -1, 15, true), kTickerHeading);

  // With waits: by name and estimate, a singer without one by name alone.
  const std::vector<TickerSinger> waited{
      {"Ana", 1, false, "~4 min"}, {"Bob", 1, false, "~9 min"}, {"Cy", 1, false, ""}, {"Di", 1, true, "~1 min"}};
  EXPECT_EQ(NextSingersText(waited, 2, 15, false, true),
            std::string(kTickerHeading) + "Ana (~4 min), Bob (~9 min)");
  EXPECT_EQ(NextSingersText(waited, 1, 15, false, true), std::string(kTickerHeading) + "Cy, Ana (~4 min)");
}

// Frames every `frameMs` until `until` is true or the limit passes.
int64_t Frames(TickerMotion& motion, int64_t& now, int frameMs, int width, int loops, bool faster,
               const std::function<bool()>& until) {
  for (int frame = 0; frame < 200000 && !until(); ++frame) {
    now += frameMs;
    motion.Step(now, width, loops, faster);
  }
  return now;
}

TEST(TickerMotion, ScrollsOnePixelPerTenMillisecondsAndThreeFaster) {
  for (const bool faster : {false, true}) {
    TickerMotion motion;
    int64_t now = 5000;
    motion.Start(now);
    for (int frame = 1; frame <= 20; ++frame) {
      now += 10;
      ASSERT_TRUE(motion.Step(now, 400, 3, faster));
      EXPECT_EQ(motion.Position(), frame * (faster ? 3.f : 1.f));
    }
    // Fades in by one step each 10 ms, from 254 down.
    EXPECT_EQ(motion.Fade(), 234);
    EXPECT_EQ(motion.TextLeft(1920), 1920 - (faster ? 60 : 20));
  }
  // The remainder of a frame's scroll is dropped, the fade's is kept: at
  // 15 ms a frame the line moves 2 pixels, the fade 1.5 steps a frame.
  TickerMotion motion;
  motion.Start(0);
  for (int64_t now = 15; now <= 150; now += 15) motion.Step(now, 400, 3, false);
  EXPECT_EQ(motion.Position(), 20.f);
  EXPECT_EQ(motion.Fade(), 254 - 15);
}

TEST(TickerMotion, LoopSettingNGivesNPlusOnePassesThenAFadeOut) {
  for (const int loops : {1, 3}) {
    TickerMotion motion;
    int64_t now = 0;
    motion.Start(now);
    const int width = 300;  // a pass is 2 x 300 + 1930 pixels
    Frames(motion, now, 10, width, loops, false, [&] { return motion.Passes() == loops; });
    EXPECT_TRUE(motion.Showing());
    EXPECT_EQ(motion.Fade(), 0);
    Frames(motion, now, 10, width, loops, false, [&] { return !motion.Showing(); });
    EXPECT_EQ(motion.Passes(), loops + 1);
    EXPECT_EQ(motion.Position(), 0.f);
    // The fade-out: 2.55 s while the line goes on scrolling, then nothing.
    const int64_t fadeStart = now;
    Frames(motion, now, 10, width, loops, false, [&] { return !motion.Visible(); });
    EXPECT_EQ(now - fadeStart, 2550);
    EXPECT_GT(motion.Position(), 250.f);
    EXPECT_FALSE(motion.Step(now + 10, width, loops, false));
  }
}

TEST(SceneBuffers, TheMessagesSnapshotIsTakenUnderTheSceneLock) {
  SceneBuffers buffers;
  SceneBuffers::Handovers changes;
  bool otherThreadGotTheLock = true;
  ASSERT_TRUE(buffers.TryTakeChanges(changes, [&] {
    otherThreadGotTheLock = std::async(std::launch::async, [&] {
                              const bool got = buffers.Lock().try_lock();
                              if (got) buffers.Lock().unlock();
                              return got;
                            }).get();
  }));
  EXPECT_FALSE(otherThreadGotTheLock);
}

TEST(AnnounceFiles, OptionsLinesBothColourFormsAndBadNumbers) {
  AnnounceOptions options;
  // The defaults, the artist's colour written before the title's, each as a
  // signed 32-bit number.
  EXPECT_EQ(AnnounceOptionLines(options),
            (std::vector<std::string>{"0, 0, 0, 0, 0, 0", "1, 1, 1, 1",
                                      "-1996488705, -2013265665, 16776960, 16777215"}));
  ASSERT_TRUE(ApplyAnnounceOptionLines(
      {"2, 1, 1, 2, 0, 1", "1, 0, 1, 1", "2298478591, 255, 65280, -16777216"}, options));
  EXPECT_EQ(options.ImageLocation, 2);
  EXPECT_EQ(options.ImagePlace, 1);
  EXPECT_EQ(options.Alignment, (std::array<int, 4>{1, 2, 0, 1}));
  EXPECT_FALSE(options.Shown[static_cast<int>(CardLine::Performing)]);
  EXPECT_EQ(options.Colour[static_cast<int>(CardLine::Singer)], 0x88FFFFFFu);
  EXPECT_EQ(options.Colour[static_cast<int>(CardLine::Performing)], 0xFFu);
  EXPECT_EQ(options.Colour[static_cast<int>(CardLine::Artist)], 0xFF00u);
  EXPECT_EQ(options.Colour[static_cast<int>(CardLine::Title)], 0xFF000000u);
  // Written back as the stored files have it.
  EXPECT_EQ(AnnounceOptionLines(options)[2], "-1996488705, 255, 65280, -16777216");

  // Lines that do not scan, or hold values out of range, keep their values.
  const AnnounceOptions before = options;
  EXPECT_FALSE(ApplyAnnounceOptionLines(
      {"3, 0, 0, 0, 0, 0", "1, 1, 1", "red, 0, 0, 0"}, options));
  EXPECT_EQ(options, before);
  EXPECT_FALSE(ApplyAnnounceOptionLines({"0, 0, 0, 0, 0, 0", "1, 1, 1, 1", "4294967296, 0, 0, 0"},
                                        options));
  EXPECT_EQ(options.Colour, before.Colour);
  EXPECT_EQ(options.ImageLocation, 0);
}

TEST(AnnounceFiles, CustomImagesHoldFiftyAndTheFilesRoundTrip) {
  testing::TestFolder folder;
  const std::string list = folder.File("customimages.cfg");
  std::ofstream(list, std::ios::binary) << "\r\n/pics/Party.Night.bmp\r\n\r\n/pics/stage\r\n";
  AnnounceImageList images;
  ASSERT_TRUE(ReadCustomPictures(list, images));
  ASSERT_EQ(images.Count(), 2u);
  EXPECT_EQ(images.Entries()[0].Name, "Party.Night");
  EXPECT_EQ(images.Numbered(2)->Path, "/pics/stage");
  EXPECT_EQ(images.Numbered(3), nullptr);
  EXPECT_EQ(images.Numbered(0), nullptr);

  while (!images.Full()) ASSERT_TRUE(images.Add("/pics/" + std::to_string(images.Count()) + ".bmp"));
  EXPECT_EQ(images.Count(), 50u);
  EXPECT_FALSE(images.Add("/pics/fifty-first.bmp"));
  ASSERT_TRUE(WriteCustomPictures(list, images));
  AnnounceImageList again;
  ASSERT_TRUE(ReadCustomPictures(list, again));
  EXPECT_EQ(again.Lines(), images.Lines());
  EXPECT_TRUE(images.Remove(0));
  EXPECT_EQ(images.Entries()[0].Name, "stage");

  // A missing list file empties the list; a missing options file keeps the
  // options.
  EXPECT_FALSE(ReadCustomPictures(folder.File("none.cfg"), again));
  EXPECT_EQ(again.Count(), 0u);
  AnnounceOptions options;
  options.ImagePlace = 2;
  EXPECT_FALSE(ReadAnnounceOptions(folder.File("none.cfg"), options));
  EXPECT_EQ(options.ImagePlace, 2);
  const std::string file = folder.File("customoptions.cfg");
  ASSERT_TRUE(WriteAnnounceOptions(file, options));
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.substr(0, 18), "0, 2, 0, 0, 0, 0\r\n");
  AnnounceOptions read;
  ASSERT_TRUE(ReadAnnounceOptions(file, read));
  EXPECT_EQ(read, options);
}

}  // namespace
}  // namespace lyricade
