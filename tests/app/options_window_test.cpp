#include "app/ui/options_window.h"

#include <gtest/gtest.h>

#include "app/leveling_settings.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "remote/server_settings.h"

namespace lyricade {
namespace {

TEST(OptionsWindow, EveryChangeTakesEffectAtOnce) {
  AppSettings settings;
  int ambientStarts = 0;
  OptionsHooks hooks;
  hooks.ambientsSwitchedOn = [&] { ++ambientStarts; };
  OptionsWindow window(settings, hooks);
  EXPECT_EQ(window.windowTitle(), "Lyricade 2.0 Options");
  EXPECT_TRUE(window.Check("Remove Empty Singers")->isChecked());
  EXPECT_TRUE(window.Check("Smooth Output Lyrics")->isChecked());

  window.Check("Proceed to Next Singer")->click();
  // Leveling replaces the auto gain: its box is greyed until leveling is off.
  EXPECT_FALSE(window.Check("Auto Gain Control")->isEnabled());
  window.Check("Level Songs")->click();
  EXPECT_FALSE(settings.LevelSongs);
  window.Check("Auto Gain Control")->click();
  window.Check("Smooth Output Lyrics")->click();
  EXPECT_TRUE(settings.ProceedToNextSinger);
  EXPECT_TRUE(settings.AutoGainControl);
  EXPECT_FALSE(settings.SmoothOutputLyrics);
  window.Check("Auto Manage Ambients")->click();
  EXPECT_TRUE(settings.AutoManageAmbients);
  EXPECT_EQ(ambientStarts, 1);

  // The lists: entry + 1 loops, entry + 5 seconds, entry singers beyond 3.
  EXPECT_EQ(window.TickerLoops()->count(), 5);
  EXPECT_EQ(window.TickerLoops()->currentText(), "Three Times + Fade");
  EXPECT_EQ(window.TimerInterval()->itemText(0), "5 secs");
  EXPECT_EQ(window.TimerInterval()->count(), 41);
  EXPECT_EQ(window.SingerCount()->itemText(12), "15 Singers");
  window.TickerLoops()->setCurrentIndex(0);
  window.TimerInterval()->setCurrentIndex(40);
  window.SingerCount()->setCurrentIndex(2);
  EXPECT_EQ(settings.TickerLoops, 1);
  EXPECT_EQ(settings.CountdownSeconds, 45);
  EXPECT_EQ(settings.TickerSingersMinus3, 2);
}

TEST(OptionsWindow, KeepPlayingGreysOutTheAnnounceAndTickerControls) {
  AppSettings settings;
  OptionsWindow window(settings, {});
  const char* greyed[] = {"Auto Announce Singer", "Empty Singers in Ticker", "Auto Next Singer Ticker"};
  window.Check("Keep Playing (Non-stop)")->click();
  EXPECT_TRUE(settings.KeepPlayingNonStop);
  for (const char* caption : greyed) EXPECT_FALSE(window.Check(caption)->isEnabled()) << caption;
  EXPECT_FALSE(window.TickerLoops()->isEnabled());
  window.Check("Keep Playing (Non-stop)")->click();
  for (const char* caption : greyed) EXPECT_TRUE(window.Check(caption)->isEnabled()) << caption;
  EXPECT_TRUE(window.TickerLoops()->isEnabled());
}

// Kept in the program's settings (here the test's own folder), not in the
// preferences file.
TEST(OptionsWindow, TheRequestServerPreferenceIsKeptForTheNextStart) {
  testing::TestFolder folder;
  setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  AppSettings settings;
  {
    OptionsWindow window(settings, {});
    ASSERT_FALSE(window.StartRequestServerBox()->isChecked());
    window.StartRequestServerBox()->click();
  }
  EXPECT_TRUE(ReadStartWithProgram());
  OptionsWindow again(settings, {});
  EXPECT_TRUE(again.StartRequestServerBox()->isChecked());
  EXPECT_EQ(again.StartRequestServerBox()->text(), "Start the request server with Lyricade");
}

// The makers the host prefers and "Group Versions": tidied as typed, told
// to the program at once, kept in the program's settings.
TEST(OptionsWindow, SongVersionsOptionsAreTidiedAndKept) {
  testing::TestFolder folder;
  setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  AppSettings settings;
  int changes = 0;
  OptionsHooks hooks;
  hooks.versionsChanged = [&] { ++changes; };
  OptionsWindow window(settings, hooks);
  EXPECT_FALSE(window.Check("Group Versions")->isChecked());
  window.PreferredMakersBox()->setText("sf; SC sf  zm1");
  emit window.PreferredMakersBox()->editingFinished();
  EXPECT_EQ(settings.PreferredMakers, "SF, SC, ZM");
  EXPECT_EQ(window.PreferredMakersBox()->text(), "SF, SC, ZM");
  emit window.PreferredMakersBox()->editingFinished();  // unchanged: no reload
  window.Check("Group Versions")->click();
  EXPECT_TRUE(settings.GroupVersions);
  EXPECT_EQ(changes, 2);

  StoreLevelingSettings(settings);
  AppSettings next;
  ReadLevelingSettings(next, false);
  EXPECT_EQ(next.PreferredMakers, "SF, SC, ZM");
  EXPECT_TRUE(next.GroupVersions);
}

TEST(OptionsWindow, BackgroundLogoSelection) {
  AppSettings settings;
  std::vector<std::string> logos;
  OptionsHooks hooks;
  hooks.customLogos = [&] { return logos; };
  hooks.addCustomLogo = [&] {
    logos.push_back("Party.Night");
    return logos.back();
  };
  OptionsWindow window(settings, hooks);
  QComboBox* box = window.BackgroundLogo();
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(0), "Lyricade");
  EXPECT_EQ(box->itemText(1), "Blank");
  EXPECT_EQ(box->itemText(2), "Add Custom...");
  emit box->activated(1);
  EXPECT_EQ(settings.BackgroundChoice, 1);
  emit box->activated(2);  // "Add Custom..."
  ASSERT_EQ(box->count(), 4);
  EXPECT_EQ(box->itemText(2), "Party.Night");
  EXPECT_EQ(box->itemText(3), "Add Custom...");
}

}  // namespace
}  // namespace lyricade

#include <QTreeWidget>

#include "app/background_videos.h"
#include "app/ui/background_options_window.h"
#include "app/ui/custom_logos.h"
#include "platform/prompts/scripted_prompts.h"

namespace lyricade {
namespace {

// Choosing a logo loads it; "Remove..." refuses the fixed entries with their
// messages and asks before removing a logo; the 51st logo is refused.
TEST(OptionsWindow, CustomLogosAreChosenAddedAndRemoved) {
  AppSettings settings;
  ScriptedPrompts prompts;
  std::vector<std::pair<std::string, int>> loads;
  bool loadsSucceed = true;
  CustomLogos logos(settings, prompts, [&](const std::string& path, int index) {
    loads.emplace_back(path, index);
    if (loadsSucceed) settings.BackgroundChoice = index + 2;
    return loadsSucceed;
  });
  for (const char* path : {"/logos/Stage.png", "/logos/Party.Night.jpg"}) {
    prompts.QueueFiles({path});
    logos.Add();
  }
  OptionsHooks hooks;
  hooks.customLogos = [&] { return logos.Names(); };
  hooks.addCustomLogo = [&] { return logos.Add(); };
  hooks.chooseCustomLogo = [&](int entry) { return logos.Choose(entry); };
  hooks.removeCustomLogo = [&](int entry) { return logos.Remove(entry); };
  OptionsWindow window(settings, hooks);
  QComboBox* box = window.BackgroundLogo();
  ASSERT_EQ(box->count(), 5);
  EXPECT_EQ(box->currentText(), "Party.Night");

  loads.clear();
  box->setCurrentIndex(2);
  emit box->activated(2);
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0], std::make_pair(std::string("/logos/Stage.png"), 0));
  EXPECT_EQ(settings.BackgroundChoice, 2);
  // A logo that no longer loads leaves the choice where it was.
  loadsSucceed = false;
  box->setCurrentIndex(3);
  emit box->activated(3);
  EXPECT_EQ(box->currentIndex(), 2);
  loadsSucceed = true;

  prompts.ClearShown();
  for (int entry : {4, 0}) {
    box->setCurrentIndex(entry);
    window.RemoveLogoButton()->click();
  }
  ASSERT_EQ(prompts.Shown().size(), 2u);
  EXPECT_EQ(prompts.Shown()[0].Text, "You can not delete the last item");
  EXPECT_EQ(prompts.Shown()[1].Text, "You can not delete these items");
  EXPECT_EQ(prompts.Shown()[1].Caption, "Remove Custom Logo");
  box->setCurrentIndex(2);
  prompts.QueueAnswer(PromptAnswer::No);
  window.RemoveLogoButton()->click();
  EXPECT_EQ(box->count(), 5);
  prompts.QueueAnswer(PromptAnswer::Yes);
  window.RemoveLogoButton()->click();
  EXPECT_EQ(prompts.Shown().back().Caption, "Confirm Remove");
  ASSERT_EQ(box->count(), 4);
  EXPECT_EQ(box->itemText(2), "Party.Night");
  EXPECT_EQ(settings.BackgroundChoice, 0);
  EXPECT_EQ(box->currentIndex(), 0);

  for (int i = 1; i < 50; ++i) {
    prompts.QueueFiles({"/logos/more.png"});
    ASSERT_FALSE(logos.Add().empty());
  }
  prompts.ClearShown();
  EXPECT_EQ(logos.Add(), "");
  ASSERT_EQ(prompts.Shown().size(), 1u);
  EXPECT_EQ(prompts.Shown()[0].Text, "Maximum Custom Logos Reached");
  EXPECT_EQ(prompts.Shown()[0].Caption, "Reached Maximum");
}

TEST(BackgroundOptionsWindow, EditsTheListAndSwitchesBackgrounds) {
  AppSettings settings;
  ScriptedPrompts prompts;
  BackgroundVideos videos(settings);
  videos.List().Add("/videos/Sunset.wmv");
  std::vector<bool> mainBox;
  BackgroundOptionsWindow window(settings, videos, prompts, [&](bool on) { mainBox.push_back(on); });
  EXPECT_EQ(window.windowTitle(), "Background Options");
  QTreeWidget* list = window.List();
  EXPECT_EQ(list->headerItem()->text(0), "Name");
  EXPECT_EQ(list->headerItem()->text(1), "Path");
  ASSERT_EQ(list->topLevelItemCount(), 1);

  prompts.QueueFiles({"/pictures/Party.Night.jpg"});
  window.AddButton()->click();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(1)->text(0), "Party.Night");
  EXPECT_EQ(videos.List().Entries()[1].Path, "/pictures/Party.Night.jpg");
  EXPECT_EQ(prompts.Shown().back().Filters.at(0).Name,
            "Karaoke Files (*.jpg, *.gif, *.wmv, *.mpg, *.mp4, *.m4v, *.avi)");

  // "Show Now" makes the selected entry current (the file is not there, so
  // nothing plays).
  list->setCurrentItem(list->topLevelItem(1));
  window.ShowNowButton()->click();
  EXPECT_EQ(videos.List().CurrentIndex(), 1);
  EXPECT_FALSE(videos.Playing());
  list->setCurrentItem(list->topLevelItem(0));
  window.RemoveButton()->click();
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(videos.List().Entries()[0].Name, "Party.Night");

  window.EnableBox()->click();
  EXPECT_TRUE(settings.BackgroundsEnabled);
  window.EnableBox()->click();
  EXPECT_FALSE(settings.BackgroundsEnabled);
  EXPECT_EQ(mainBox, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace lyricade
