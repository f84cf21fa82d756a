// The effect pads in play and assign mode, on a player that plays nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "between/fake_player.h"
#include "between/quick_effects.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

class QuickEffectsTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const int slot : {2, 4}) {
      const std::string path = folder.File("pad" + std::to_string(slot + 1) + ".wav");
      std::ofstream(path) << "x";
      pads.Assign(slot, path);
    }
    pads.Assign(6, folder.File("gone.mp3"));
  }

  testing::TestFolder folder;
  AppSettings settings;
  testing::FakePlayer player;
  EffectSlots pads;
  QuickEffects effects{settings, player, pads};
  ScriptedPrompts prompts;
};

TEST_F(QuickEffectsTest, EachPressEndsThePreviousEffect) {
  settings.SongVolume = 50;
  EXPECT_FALSE(effects.AssignMode());
  ASSERT_TRUE(effects.Press(2, prompts));
  EXPECT_EQ(player.volumes.back(), -3750);
  ASSERT_TRUE(effects.Press(4, prompts));
  EXPECT_EQ(player.calls, (std::vector<std::string>{"start " + pads.Path(2), "stop",
                                                    "start " + pads.Path(4)}));
  EXPECT_TRUE(effects.Playing());

  // A free pad and a missing file stop the effect and start nothing.
  EXPECT_FALSE(effects.Press(0, prompts));
  EXPECT_FALSE(effects.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);
  ASSERT_TRUE(effects.Press(4, prompts));
  EXPECT_FALSE(effects.Press(6, prompts));
  EXPECT_EQ(player.CurrentGraph(), 0u);
  EXPECT_TRUE(prompts.Shown().empty());
}

TEST_F(QuickEffectsTest, PauseStopAndEnds) {
  effects.TogglePause();  // nothing plays
  EXPECT_FALSE(effects.Paused());
  ASSERT_TRUE(effects.Press(2, prompts));
  effects.TogglePause();
  EXPECT_TRUE(effects.Paused());
  effects.TogglePause();
  EXPECT_FALSE(effects.Paused());

  // The end of the file keeps it "playing" for Pause and Stop; an abort
  // releases it.
  effects.EffectEnded(player.CurrentGraph(), TrackEnd::Complete);
  EXPECT_TRUE(effects.Playing());
  effects.EffectEnded(player.CurrentGraph(), TrackEnd::Aborted);
  EXPECT_FALSE(effects.Playing());
  EXPECT_EQ(player.CurrentGraph(), 0u);

  player.refuse = true;
  EXPECT_FALSE(effects.Press(2, prompts));
  EXPECT_FALSE(effects.Playing());
}

TEST_F(QuickEffectsTest, AssignModeTakesAFileAndPlaysNothing) {
  effects.ToggleMode();
  EXPECT_EQ(effects.ModeText(), "Mode: Assign Sound");
  prompts.QueueFiles({"/sounds/Applause.mp3"});
  EXPECT_TRUE(effects.Press(9, prompts));
  EXPECT_EQ(pads.ButtonText(9), "*10");
  EXPECT_EQ(pads.Path(9), "/sounds/Applause.mp3");
  ASSERT_EQ(prompts.Shown().size(), 1u);
  ASSERT_EQ(prompts.Shown()[0].Filters.size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Filters[0].Name, "Audio Files (*.mp3, *.wav, *.wma)");
  EXPECT_FALSE(effects.Press(3, prompts));  // cancelled
  EXPECT_FALSE(pads.Assigned(3));
  EXPECT_TRUE(player.calls.empty());
  effects.ToggleMode();
  EXPECT_EQ(effects.ModeText(), "Mode: Play Sound");
}

}  // namespace
}  // namespace lyricade
