// The screen messages drawn for real: the announce card on the work
// surface, and the ticker and countdown in frames drawn with Mesa and read
// back, on a fake clock.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "common/app_settings.h"
#include "screen/announce_card.h"
#include "screen/scene_renderer.h"
#include "screen/screen_fonts.h"
#include "screen/screen_message_state.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using testing::Rgb;
using testing::Solid;

// Pixels in `area` within 40 of `rgb` in every channel.
int CountNear(const QImage& image, const QRect& area, QRgb rgb) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (std::abs(qRed(p) - qRed(rgb)) < 40 && std::abs(qGreen(p) - qGreen(rgb)) < 40 &&
          std::abs(qBlue(p) - qBlue(rgb)) < 40)
        ++count;
    }
  return count;
}

// The leftmost and rightmost column in `rows` holding a pixel near `rgb`.
std::pair<int, int> Extent(const QImage& image, int top, int bottom, QRgb rgb) {
  int left = image.width(), right = -1;
  for (int x = 0; x < image.width(); ++x)
    if (CountNear(image, QRect(x, top, 1, bottom - top), rgb) > 0) {
      left = std::min(left, x);
      right = x;
    }
  return {left, right};
}

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kCyan = qRgb(0, 255, 255);

class AnnounceCardTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::GuiApplication();
    image_ = QImage(8, 8, QImage::Format_RGB32);
    image_.fill(QColor(0, 200, 0));
  }
  QImage image_;
  AnnounceCardText text_{"Ana", "Song Title", "The Artist"};
};

TEST_F(AnnounceCardTest, FontsAreSizedByTheirCells) {
  for (const int cell : {80, 40, 35, 25}) {
    const QFontMetricsF metrics(CellFont(cell, 700));
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), cell, 1.0) << cell;
  }
  // The ticker's 70 x 38 face is wider than the font's own.
  const QFontMetricsF ticker(CellFont(70, 500, 38));
  EXPECT_NEAR(ticker.ascent() + ticker.descent(), 70, 1.0);
  EXPECT_GT(ticker.horizontalAdvance("Next Singer(s)"),
            QFontMetricsF(CellFont(70, 500)).horizontalAdvance("Next Singer(s)") * 1.2);
}

TEST_F(AnnounceCardTest, LinesArePlacedFromTheirMeasuredHeights) {
  AnnounceOptions options;
  AnnounceCardLayout layout = LayOutAnnounceCard(text_, options);
  EXPECT_EQ(layout.Height, (std::array<int, 4>{80, 40, 35, 25}));
  EXPECT_EQ(layout.Top, (std::array<int, 4>{160, 280, 345, 385}));
  // A name too long for one row wraps to two: it moves up by half a row,
  // the rest stays.
  text_.Singer = "Annabelle Fitzgerald";
  text_.Title = "A Title Long Enough To Need Two Rows Of Text";
  layout = LayOutAnnounceCard(text_, options);
  EXPECT_EQ(layout.Height[0], 160);
  EXPECT_EQ(layout.Top[0], 120);
  EXPECT_EQ(layout.Height[2], 70);
  EXPECT_EQ(layout.Top[3], 420);

  // Hidden lines keep their space: the title sits where it did, and the
  // rows of "performing:" stay black.
  options.Shown[static_cast<int>(CardLine::Performing)] = false;
  EXPECT_EQ(LayOutAnnounceCard(text_, options).Top, layout.Top);
  const QImage card = DrawAnnounceCard(text_, options, image_);
  EXPECT_EQ(CountNear(card, QRect(50, 282, 540, 36), kRed), 0);
  EXPECT_GT(CountNear(card, QRect(50, 345, 540, 70), kWhite), 100);
  EXPECT_GT(CountNear(card, QRect(50, 420, 540, 25), kCyan), 30);
  options.Shown[static_cast<int>(CardLine::Performing)] = true;
  EXPECT_GT(CountNear(DrawAnnounceCard(text_, options, image_), QRect(50, 282, 540, 36), kRed), 50);
}

TEST_F(AnnounceCardTest, AlignmentsAndImagePlaces) {
  AnnounceOptions options;
  const QRgb green = qRgb(0, 200, 0);
  // Centre top: the image in 172..468 x 25..114 on black.
  QImage card = DrawAnnounceCard(text_, options, image_);
  EXPECT_EQ(card.size(), QSize(640, 480));
  EXPECT_EQ(card.pixel(172, 25), green);
  EXPECT_EQ(card.pixel(468, 114), green);
  EXPECT_EQ(Rgb(card, 171, 70), 0u);
  EXPECT_EQ(Rgb(card, 320, 115), 0u);
  const struct {
    int Location, Place;
    QPoint Inside, Outside;
  } places[] = {{0, 1, {25, 25}, {309, 70}}, {0, 2, {614, 114}, {332, 70}},
                {1, 0, {320, 370}, {320, 369}}, {1, 1, {25, 459}, {25, 460}},
                {2, 1, {0, 0}, {}}, {2, 0, {639, 479}, {}}};
  for (const auto& place : places) {
    options.ImageLocation = place.Location;
    options.ImagePlace = place.Place;
    card = DrawAnnounceCard({}, options, image_);
    EXPECT_EQ(card.pixel(place.Inside), green) << place.Location << place.Place;
    if (!place.Outside.isNull()) {
      EXPECT_EQ(Rgb(card, place.Outside.x(), place.Outside.y()), 0u);
    }
  }
  // No image: the card is drawn without one.
  options.ImageLocation = 2;
  EXPECT_EQ(Rgb(DrawAnnounceCard({}, options, QImage()), 0, 0), 0u);

  // The name left, right and centred in the column 50..590.
  options = AnnounceOptions();
  for (const int alignment : {1, 2, 0}) {
    options.Alignment[0] = alignment;
    const auto [left, right] = Extent(DrawAnnounceCard(text_, options, QImage()), 160, 240, kWhite);
    const int width = right - left;
    ASSERT_GT(width, 60);
    if (alignment == 1) {
      EXPECT_NEAR(left, 50, 8);
    } else if (alignment == 2) {
      EXPECT_NEAR(right, 589, 8);
    } else {
      EXPECT_NEAR((left + right) / 2, 320, 6);
    }
  }
}

class ScreenMessagesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.Current());
    renderer_ = std::make_unique<SceneRenderer>(buffers_, flags_, settings_);
    ASSERT_TRUE(renderer_->Initialise());
    renderer_->SetMessages(&messages_);
    messages_.SetClock([this] { return now_; });
    buffers_.Put(SceneTexture::Background, Solid(640, 480, 0xFF0000C0u));
    buffers_.Put(SceneTexture::Black, Solid(64, 64, 0xFF000000u));
    settings_.SmoothOutputLyrics = false;
  }
  void TearDown() override { renderer_->Release(); }
  // One turn of the render thread at `ms`.
  QImage FrameAt(int64_t ms) {
    now_ = ms;
    SceneBuffers::Handovers changes;
    EXPECT_TRUE(buffers_.TryTakeChanges(changes, [this] { messages_.TakeSnapshot(); }));
    renderer_->Upload(changes);
    renderer_->DrawFrame();
    return renderer_->ReadBackBuffer();
  }

  testing::GlContext gl_;
  AppSettings settings_;
  SceneFlags flags_;
  SceneBuffers buffers_;
  ScreenMessageState messages_{buffers_, settings_};
  std::unique_ptr<SceneRenderer> renderer_;
  int64_t now_ = 0;
};

TEST_F(ScreenMessagesTest, TickerBandAndLineScrollInFromTheRight) {
  EXPECT_FALSE(messages_.TickerShowing());
  messages_.StartTicker("Next Singer(s)...  1. Ana   2. Ben   ");
  EXPECT_TRUE(messages_.TickerShowing());
  FrameAt(1000);  // taken over: fading in from here
  EXPECT_TRUE(messages_.Animating());
  // 3 s later: opaque (the fade took 2.54 s), 3000 / 7 = 428 pixels in.
  QImage frame = FrameAt(4000);
  EXPECT_EQ(messages_.Motion().Fade(), 0);
  EXPECT_EQ(messages_.Motion().TextLeft(1920), 1920 - 428);
  EXPECT_EQ(Rgb(frame, 100, 1000), 0u);         // the band
  EXPECT_EQ(Rgb(frame, 100, 930), 0x0000C0u);   // the background above it
  const auto [left, right] = Extent(frame, 945, 1080, kWhite);
  // The line starts at 1492; its "N" has a few pixels of side bearing.
  EXPECT_GE(left, 1492);
  EXPECT_LE(left, 1504);
  EXPECT_GT(right, 1880);

  // "Top Scroll" and "Smaller": the band 0..118.8, the font made again.
  const int normalWidth = messages_.TickerTextWidth();
  settings_.TickerTopScroll = true;
  settings_.TickerSmaller = true;
  frame = FrameAt(4010);
  EXPECT_LT(messages_.TickerTextWidth(), normalWidth);
  EXPECT_EQ(Rgb(frame, 100, 100), 0u);
  EXPECT_EQ(Rgb(frame, 100, 125), 0x0000C0u);
  EXPECT_EQ(Rgb(frame, 100, 1000), 0x0000C0u);
  EXPECT_GT(CountNear(frame, QRect(1500, 0, 420, 108), kWhite), 50);
  // A request while the line shows is refused by the caller's check.
  EXPECT_TRUE(messages_.TickerShowing());
}

TEST_F(ScreenMessagesTest, ANewerLineReplacesTheShowingOneAtItsNextPass) {
  settings_.TickerLoops = 2;
  messages_.StartTicker("Next Singer(s)...  1. Ana   ");
  FrameAt(1000);
  const int oldWidth = messages_.TickerTextWidth();
  messages_.StartTicker("Next Singer(s)...  1. Ben   2. Cy   3. Dee   ");
  FrameAt(5000);
  // The old line scrolls on, faded in, until it has left the screen.
  EXPECT_EQ(messages_.TickerTextWidth(), oldWidth);
  EXPECT_EQ(messages_.Motion().Fade(), 0);
  const int64_t pass = 7 * (2 * oldWidth + 1930 + 7);
  FrameAt(1000 + pass / 2);
  FrameAt(1000 + pass);
  EXPECT_GT(messages_.TickerTextWidth(), oldWidth);
  EXPECT_EQ(messages_.Motion().Passes(), 0);
  EXPECT_TRUE(messages_.Motion().Showing());
  EXPECT_EQ(messages_.Motion().Fade(), 0);  // no second fade-in
  EXPECT_LT(messages_.Motion().Position(), 40.f);
  EXPECT_TRUE(messages_.TickerShowing());
}

TEST_F(ScreenMessagesTest, ALineWiderThanAnyTextureStillDraws) {
  std::string text = "Next Singer(s)...  ";
  for (int i = 1; i <= 15; ++i)
    text += std::to_string(i) + ". Singer With A Really Rather Long Stage Name " +
            std::to_string(i) + "   ";
  messages_.StartTicker(text);
  FrameAt(0);
  ASSERT_GT(messages_.TickerTextWidth(), 16384);
  // 30,000 pixels in (210 s at 7 ms a pixel): the line covers the screen.
  const QImage frame = FrameAt(210'000);
  EXPECT_EQ(renderer_->StepFailures(FrameStep::Messages), 0);
  EXPECT_GT(CountNear(frame, QRect(0, 945, 640, 135), kWhite), 200);
  EXPECT_GT(CountNear(frame, QRect(1280, 945, 640, 135), kWhite), 200);
  EXPECT_LE(messages_.Painter().TilesHeld(), 2u);
}

TEST_F(ScreenMessagesTest, CountdownCountsInTheTitleColourAndStopsDrawingAtItsEnd) {
  settings_.CountdownSeconds = 7;
  messages_.SetCountdown(true, 1000, QColor(255, 0, 0));
  QImage frame = FrameAt(1000);
  const auto [left, right] = Extent(frame, 10, 64, kRed);
  EXPECT_NEAR((left + right) / 2, 960, 4);
  EXPECT_GT(right - left, 300);
  EXPECT_GT(CountNear(frame, QRect(left, 22, right - left, 34), kRed), 300);
  EXPECT_EQ(CountNear(frame, QRect(0, 64, 1920, 100), kRed), 0);
  // Nothing new to draw until the number changes.
  EXPECT_FALSE(messages_.Animating());
  now_ = 2000;
  EXPECT_TRUE(messages_.Animating());
  EXPECT_EQ(CountdownPainter::Text(6), "Starts in: 6 secs");
  // At seven seconds nothing is left to count; ending it is the timer's.
  frame = FrameAt(8000);
  EXPECT_EQ(CountNear(frame, QRect(600, 10, 720, 54), kRed), 0);
  messages_.SetCountdown(false, 0, Qt::red);
  FrameAt(8010);
  EXPECT_FALSE(messages_.Animating());
}

}  // namespace
}  // namespace lyricade
