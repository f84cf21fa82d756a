// The Announce Options dialog over a real announcer: every control writes
// at once, the image list's limits and messages.
#include "app/ui/announce_options_dialog.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRadioButton>

#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen/screen_announcer.h"

namespace lyricade {
namespace {

class AnnounceOptionsDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder_.File("Back2.bmp"))));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder_.File("Stage.Lights.bmp"))));
  }
  void Activate(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    emit box->activated(entry);
  }
  std::string LastText() const { return prompts_.Shown().back().Text; }

  testing::TestFolder folder_;
  AppSettings settings_;
  ScriptedPrompts prompts_;
  KaraokeScreen screen_{settings_, prompts_, folder_.Path(), folder_.Path()};
  ScreenAnnouncer announcer_{screen_, settings_, prompts_, folder_.Path()};
};

TEST_F(AnnounceOptionsDialogTest, ControlsWriteTheOptionsAtOnce) {
  AnnounceOptionsDialog dialog(announcer_, settings_, prompts_);
  EXPECT_TRUE(dialog.LocationGroup()->button(0)->isChecked());
  EXPECT_TRUE(dialog.PlaceGroup()->button(0)->isChecked());
  dialog.LocationGroup()->button(2)->click();
  EXPECT_EQ(announcer_.Options().ImageLocation, 2);
  EXPECT_EQ(dialog.PlaceGroup()->button(1)->text(), "Left Half");
  dialog.PlaceGroup()->button(1)->click();
  EXPECT_EQ(announcer_.Options().ImagePlace, 1);
  dialog.AlignmentGroup(CardLine::Artist)->button(2)->click();
  EXPECT_EQ(announcer_.Options().Alignment[3], 2);
  EXPECT_FALSE(dialog.AlignmentGroup(CardLine::Artist)->button(0)->isChecked());
  ASSERT_EQ(dialog.ShowLine(CardLine::Performing)->text(), "Performing");
  dialog.ShowLine(CardLine::Performing)->click();
  EXPECT_FALSE(announcer_.Options().Shown[1]);
  // The colour chooser opens on the current colour; OK stores the choice.
  prompts_.QueueColour(RgbColour{0x11, 0x22, 0x33});
  dialog.ColourButton(CardLine::Title)->click();
  EXPECT_EQ(announcer_.Options().Colour[2], 0x00332211u);
  prompts_.QueueColour(std::nullopt);
  dialog.ColourButton(CardLine::Title)->click();
  EXPECT_EQ(announcer_.Options().Colour[2], 0x00332211u);
}

TEST_F(AnnounceOptionsDialogTest, ImageListLimitsAndMessages) {
  ASSERT_TRUE(announcer_.LoadAnnounceImage(0));
  AnnounceOptionsDialog dialog(announcer_, settings_, prompts_);
  QComboBox* images = dialog.Images();
  ASSERT_EQ(images->count(), 2);
  EXPECT_EQ(images->itemText(0), "Lyricade");
  EXPECT_EQ(images->itemText(1), AnnounceOptionsDialog::kAddCustom);

  // The two entries that cannot go.
  dialog.RemoveButton()->click();
  EXPECT_EQ(LastText(), "You can not delete these items");
  EXPECT_EQ(prompts_.Shown().back().Caption, "Remove Custom Logo");
  images->setCurrentIndex(1);
  dialog.RemoveButton()->click();
  EXPECT_EQ(LastText(), "You can not delete the last item");

  // Added and loaded: listed before "Add Custom...", made current.
  prompts_.QueueFiles({folder_.File("Stage.Lights.bmp")});
  Activate(images, 1);
  ASSERT_EQ(prompts_.Shown().back().Filters.at(0).Name, "Bitmap Files (*.bmp)");
  EXPECT_EQ(images->itemText(1), "Stage.Lights");
  EXPECT_EQ(images->currentIndex(), 1);
  EXPECT_EQ(settings_.AnnounceImage, 1);
  // A picture that does not load is not counted; the current one stays.
  prompts_.QueueFiles({folder_.File("missing.bmp")});
  Activate(images, 2);
  EXPECT_EQ(LastText(), "DirectDraw Failure");
  EXPECT_EQ(announcer_.Images().Count(), 1u);
  EXPECT_EQ(images->currentIndex(), 1);
  EXPECT_FALSE(announcer_.Image().isNull());

  // The 51st cannot be added.
  while (!announcer_.Images().Full()) announcer_.Images().Add(folder_.File("Stage.Lights.bmp"));
  Activate(images, images->count() - 1);
  EXPECT_EQ(LastText(), "Maximum Custom Images Reached");
  EXPECT_EQ(prompts_.Shown().back().Caption, "Reached Maximum");
  EXPECT_EQ(images->currentIndex(), 1);

  // Removal asks, then the default image is current again.
  images->setCurrentIndex(1);
  dialog.RemoveButton()->click();  // No
  EXPECT_EQ(LastText(), "Are You Sure?");
  EXPECT_EQ(prompts_.Shown().back().Caption, "Confirm Remove");
  EXPECT_EQ(announcer_.Images().Count(), 50u);
  prompts_.QueueAnswer(PromptAnswer::Yes);
  dialog.RemoveButton()->click();
  EXPECT_EQ(announcer_.Images().Count(), 49u);
  EXPECT_EQ(images->currentIndex(), 0);
  EXPECT_EQ(settings_.AnnounceImage, 0);
}

TEST_F(AnnounceOptionsDialogTest, AnImageNumberBeyondTheListFallsBackToTheDefault) {
  settings_.AnnounceImage = 7;
  EXPECT_TRUE(announcer_.LoadAnnounceImage(7));
  EXPECT_EQ(settings_.AnnounceImage, 0);
  EXPECT_EQ(announcer_.Image().size(), QSize(20, 10));
  // The files are written beside the preferences and read back.
  announcer_.Images().Add(folder_.File("Stage.Lights.bmp"));
  announcer_.Options().Colour[3] = 0x88FFFFFFu;
  ASSERT_TRUE(announcer_.WriteFiles());
  ScreenAnnouncer again(screen_, settings_, prompts_, folder_.Path());
  again.ReadFiles();
  EXPECT_EQ(again.Images().Count(), 1u);
  EXPECT_EQ(again.Options(), announcer_.Options());
  EXPECT_TRUE(again.LoadAnnounceImage(1));
  EXPECT_EQ(settings_.AnnounceImage, 1);
}

}  // namespace
}  // namespace lyricade
