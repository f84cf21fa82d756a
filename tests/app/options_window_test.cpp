#include "app/ui/options_window.h"

#include <gtest/gtest.h>

#include "common/app_settings.h"

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
