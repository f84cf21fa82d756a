#include <gtest/gtest.h>

#include <cstring>

#include "leveling/level_rules.h"
#include "playback/dsp_filter.h"
#include "playback_test_support.h"

namespace lyricade {
namespace {

TEST(DspLeveling, FixedGainReplacesAutoGainWhileLevelingIsOn) {
  DspFilter filter;
  std::atomic<bool> autoGain{true}, leveling{true};
  filter.FollowAutoGain(autoGain);
  filter.FollowLeveling(leveling);
  filter.SetLevelGain(0.5f);
  int16_t frames[4] = {1000, -2000, 32767, -32768};
  uint8_t out[sizeof frames * 4];
  DspOutput output;
  ASSERT_EQ(filter.Transform(reinterpret_cast<uint8_t*>(frames), sizeof frames, out, sizeof out,
                             &output),
            DspResult::Ok);
  int16_t result[4];
  std::memcpy(result, out, sizeof result);
  EXPECT_EQ(result[0], 500);
  EXPECT_EQ(result[1], -1000);  // ((x + 1) * g) - 1, as the filter scales
  EXPECT_EQ(result[2], 16383);
  EXPECT_EQ(filter.Gain(), 1.0f);  // auto gain stood aside

  // Leveling off: the song plays at its plain level under auto gain again.
  leveling = false;
  filter.Transform(reinterpret_cast<uint8_t*>(frames), sizeof frames, out, sizeof out, &output);
  EXPECT_NE(filter.Gain(), 1.0f);
}

// Real time, so the position moves as it would in the room.
class ShowEarlyEnd : public testing::ShowFixture {
protected:
  ShowEarlyEnd() : ShowFixture("fakesink sync=true") {}
};

TEST_F(ShowEarlyEnd, SilentTailFadesAndEndsOnceThroughTheEndOfSong) {
  const std::string song = MakeSong("Tail", 8);
  const std::string plain = MakeSong("Plain", 1);
  LoudnessFigures figures;
  figures.Measured = true;
  figures.Lufs = -20;
  figures.PeakDb = -6;
  figures.AudibleEnd = 0.3;
  figures.CdgEnd = 0.2;
  int lookups = 0;
  show->Leveling().SetLookup([&](const std::string& path) -> std::optional<LoudnessFigures> {
    ++lookups;
    if (path == song) return figures;
    return std::nullopt;
  });
  settings.EndAfterLastLine = true;
  settings.EndMarginSeconds = 0;
  int ended = 0;
  QObject::connect(show.get(), &Show::songEnded, [&] { ++ended; });

  ASSERT_TRUE(show->PlaySong(song, 0, 0));
  EXPECT_EQ(lookups, 1);
  EXPECT_EQ(show->Leveling().LevelText(), "Level +4.0 dB");
  const GraphId graph = show->Transport().CurrentGraphId();
  // The 8-second song ends 0.3 s in plus the 2-second fade, well before
  // its real end.
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 0; }, 6000));
  EXPECT_FALSE(show->Transport().State().Playing);
  EXPECT_TRUE(show->PlayEnabled());
  // The graph's own end, should it still arrive, changes nothing.
  show->graphEvent(graph, GraphEvent::Complete);
  RunFor(300);
  EXPECT_EQ(show->SongsEnded(), 1);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(show->Leveling().LevelText(), "");

  // A song without figures plays at its plain level and ends at its end.
  ASSERT_TRUE(show->PlaySong(plain, 0, 0));
  EXPECT_EQ(show->Leveling().LevelText(), "");
  ASSERT_TRUE(RunUntil([&] { return show->SongsEnded() > 1; }, 6000));
  EXPECT_EQ(ended, 2);
}

}  // namespace
}  // namespace lyricade
