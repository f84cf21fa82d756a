// Frames drawn for real into the back buffer with Mesa and read back with
// glReadPixels.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "screen/cdg_screen_sink.h"
#include "screen/preview_surface.h"
#include "screen/scene_renderer.h"
#include "screen/video_layer.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using testing::Rgb;
using testing::ScreenPointOfTexel;
using testing::Solid;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;
constexpr uint32_t kCyan = 0xFF00FFFFu;

class RecordingMessages : public ScreenMessages {
public:
  void DrawTicker(SceneCanvas& canvas) override {
    calls.push_back("ticker");
    if (throwInTicker) throw std::runtime_error("ticker failed");
    if (!band.isNull()) canvas.DrawTexture(SceneTexture::Black, QRectF(0, 945, 1920, 135), 1.f);
  }
  void DrawCountdown(SceneCanvas& canvas) override {
    calls.push_back("countdown");
    if (!text.isNull()) canvas.DrawImage(text, QRectF(800, 400, 320, 100), 1.f);
  }
  bool Animating() const override { return false; }

  std::vector<std::string> calls;
  bool throwInTicker = false;
  QImage band;
  QImage text;
};

class SceneRendererTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.Current());
    settings_.SmoothOutputLyrics = false;
    renderer_ = std::make_unique<SceneRenderer>(buffers_, flags_, settings_);
    ASSERT_TRUE(renderer_->Initialise());
    renderer_->SetMessages(&messages_);
  }
  void TearDown() override {
    if (renderer_) renderer_->Release();
  }
  QImage Frame() {
    SceneBuffers::Handovers changes;
    EXPECT_TRUE(buffers_.TryTakeChanges(changes));
    renderer_->Upload(changes);
    renderer_->DrawFrame();
    return renderer_->ReadBackBuffer();
  }
  void BackgroundVideo(uint32_t colour) {
    buffers_.Put(SceneTexture::BackgroundVideo, Solid(32, 18, colour));
    flags_.BackgroundVideoRunning = true;
    settings_.BackgroundsEnabled = true;
  }

  testing::GlContext gl_;
  AppSettings settings_;
  SceneFlags flags_;
  SceneBuffers buffers_;
  RecordingMessages messages_;
  std::unique_ptr<SceneRenderer> renderer_;
};

TEST_F(SceneRendererTest, BackgroundChoiceSelectsThePicture) {
  buffers_.Put(SceneTexture::Background, Solid(640, 480, kRed));
  buffers_.Put(SceneTexture::Blank, Solid(640, 480, kGreen));
  buffers_.Put(SceneTexture::CustomLogo, Solid(100, 50, kBlue));

  settings_.BackgroundChoice = 0;
  QImage frame = Frame();
  EXPECT_EQ(Rgb(frame, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(frame, 960, 540), 0xFF0000u);
  EXPECT_EQ(Rgb(frame, 1919, 1079), 0xFF0000u);

  settings_.BackgroundChoice = 1;
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x00FF00u);

  // A logo choice draws only while a logo is loaded.
  settings_.BackgroundChoice = 3;
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x000000u);
  flags_.CustomLogoLoaded = true;
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x0000FFu);
  EXPECT_EQ(messages_.calls.size(), 8u);
  EXPECT_EQ(messages_.calls[0], "ticker");
  EXPECT_EQ(messages_.calls[1], "countdown");
}

TEST_F(SceneRendererTest, TransparentBackgroundShowsTheBackgroundVideoBlended) {
  BackgroundVideo(kYellow);
  // Left half transparent, right half opaque green, a stripe half covered.
  PixelImage blank(640, 480, 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 320; x < 640; ++x) blank.Set(x, y, kGreen);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 320; ++x) blank.Set(x, y, 0x800000FFu);
  buffers_.Put(SceneTexture::Blank, blank);
  settings_.BackgroundChoice = 1;
  QImage frame = Frame();
  EXPECT_EQ(Rgb(frame, 400, 540), 0xFFFF00u);
  EXPECT_EQ(Rgb(frame, 1500, 540), 0x00FF00u);
  // Half blue over yellow: about (127, 127, 128).
  const QRgb mixed = frame.pixel(400, 10);
  EXPECT_NEAR(qRed(mixed), 127, 2);
  EXPECT_NEAR(qGreen(mixed), 127, 2);
  EXPECT_NEAR(qBlue(mixed), 128, 2);

  // Backgrounds off: no video behind, black through the hole.
  settings_.BackgroundsEnabled = false;
  EXPECT_EQ(Rgb(Frame(), 400, 540), 0x000000u);
}

TEST_F(SceneRendererTest, CdgFrameShowsTheBackgroundVideoThroughItsTransparentColour) {
  settings_.BackgroundsEnabled = true;
  PreviewSurface preview;
  CdgScreenSink sink(buffers_, preview);
  CdgPlayer player(settings_, &sink);
  const std::vector<uint8_t> song = testing::LyricsSong();
  ASSERT_TRUE(player.OpenMemory(song.data(), song.size()));
  player.AdvanceTo(CdgPlayer::kMediaUnitsPerSecond);
  player.PresentFrame(0);
  flags_.SongVisualShowing = true;
  flags_.SongPlaying = true;
  flags_.CdgMode = true;
  buffers_.Put(SceneTexture::Background, Solid(640, 480, kRed));  // not drawn during a song

  // Without a background video the transparent colour is black.
  QImage frame = Frame();
  const QPoint outside = ScreenPointOfTexel(60, 60, 320, 240);
  const QPoint band = ScreenPointOfTexel(119, 110, 320, 240);
  EXPECT_EQ(Rgb(frame, outside.x(), outside.y()), 0x000000u);
  EXPECT_EQ(Rgb(frame, band.x(), band.y()), 0x000080u);

  BackgroundVideo(kCyan);
  frame = Frame();
  EXPECT_EQ(Rgb(frame, outside.x(), outside.y()), 0x00FFFFu);
  EXPECT_EQ(Rgb(frame, band.x(), band.y()), 0x000080u);
  // The letters of "SING" are CD+G white (components of 240) inside their
  // tiles.
  int white = 0;
  for (int tx = 130; tx < 154; ++tx) {
    for (int ty = 108; ty < 120; ++ty) {
      const QPoint p = ScreenPointOfTexel(tx, ty, 320, 240);
      if (Rgb(frame, p.x(), p.y()) == 0xF0F0F0u) ++white;
    }
  }
  EXPECT_GT(white, 20);

  // Playing stops but the visual still shows: the main layer draws nothing,
  // only the background video remains.
  flags_.SongPlaying = false;
  frame = Frame();
  EXPECT_EQ(Rgb(frame, band.x(), band.y()), 0x00FFFFu);
  settings_.BackgroundsEnabled = false;
  EXPECT_EQ(Rgb(Frame(), band.x(), band.y()), 0x000000u);
}

TEST_F(SceneRendererTest, AnnounceCardCoversTheBackgroundOpaquely) {
  buffers_.Put(SceneTexture::Background, Solid(640, 480, kRed));
  PixelImage card(640, 480, 0);  // keyed-out black: alpha 0 everywhere
  card.Set(320, 240, kGreen);
  buffers_.Put(SceneTexture::AnnounceCard, card);
  BackgroundVideo(kYellow);
  flags_.AnnounceCardShowing = true;
  const QImage frame = Frame();
  // Alpha comes from the vertex colour only: the card's black hides the rest.
  EXPECT_EQ(Rgb(frame, 100, 100), 0x000000u);
  const QPoint dot = ScreenPointOfTexel(320, 240, 640, 480);
  EXPECT_EQ(Rgb(frame, dot.x(), dot.y()), 0x00FF00u);
}

TEST_F(SceneRendererTest, VideoWithCdgDrawsTheLyricsOverTheVideo) {
  flags_.SongVisualShowing = true;
  flags_.SongPlaying = true;
  PixelImage video(64, 48, 0);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) video.Set(x, y, y < 24 ? kRed : kGreen);
  // Top row first in memory: red must be on top (upright).
  buffers_.PutRows(SceneTexture::SongVideo, video.Pixels.data(), 64, 48, video.Pitch(), true);
  QImage frame = Frame();
  EXPECT_EQ(Rgb(frame, 960, 100), 0xFF0000u);
  EXPECT_EQ(Rgb(frame, 960, 1000), 0x00FF00u);

  PixelImage cdg(320, 240, 0);
  for (int x = 0; x < 320; ++x) cdg.Set(x, 120, kBlue);
  buffers_.Put(SceneTexture::SongCdg, cdg);
  flags_.CdgMode = true;
  frame = Frame();
  const QPoint line = ScreenPointOfTexel(160, 120, 320, 240);
  EXPECT_EQ(Rgb(frame, line.x(), line.y()), 0x0000FFu);
  EXPECT_EQ(Rgb(frame, 960, 100), 0xFF0000u);
  EXPECT_EQ(Rgb(frame, 960, 1000), 0x00FF00u);
}

TEST_F(SceneRendererTest, SmoothingSwitchesBetweenNearestAndLinear) {
  PixelImage stripes(4, 1, 0);
  stripes.Set(0, 0, 0xFF000000u);
  stripes.Set(1, 0, 0xFFFFFFFFu);
  stripes.Set(2, 0, 0xFF000000u);
  stripes.Set(3, 0, 0xFFFFFFFFu);
  buffers_.Put(SceneTexture::Background, stripes);
  auto graysAcross = [](const QImage& frame) {
    int between = 0;
    for (int x = 0; x < 1920; ++x) {
      const int grey = qRed(frame.pixel(x, 540));
      if (grey > 8 && grey < 247) ++between;
    }
    return between;
  };
  EXPECT_EQ(graysAcross(Frame()), 0);
  settings_.SmoothOutputLyrics = true;  // picked up at the next frame
  EXPECT_GT(graysAcross(Frame()), 500);
}

TEST_F(SceneRendererTest, MissingTexturesDrawTheirLayerWithoutTextureAndTheFrameGoesOn) {
  BackgroundVideo(kYellow);
  settings_.BackgroundChoice = 0;  // "background.dds" never loaded
  QImage frame = Frame();
  EXPECT_EQ(Rgb(frame, 960, 540), 0x000000u);
  // The ticker band's "black.dds" is missing too: opaque black, still drawn.
  settings_.BackgroundChoice = 1;
  buffers_.Put(SceneTexture::Blank, Solid(640, 480, 0));
  messages_.band = QImage(1, 1, QImage::Format_ARGB32);
  frame = Frame();
  EXPECT_EQ(Rgb(frame, 960, 500), 0xFFFF00u);
  EXPECT_EQ(Rgb(frame, 960, 1000), 0x000000u);
}

TEST_F(SceneRendererTest, MessagesDrawInOrderAndAFailingStepAbandonsOnlyItself) {
  QImage text(32, 10, QImage::Format_ARGB32);
  text.fill(QColor(255, 0, 255));
  messages_.text = text;
  messages_.throwInTicker = true;
  buffers_.Put(SceneTexture::Background, Solid(640, 480, kBlue));
  const QImage frame = Frame();
  EXPECT_EQ(renderer_->StepFailures(FrameStep::Messages), 1);
  ASSERT_EQ(messages_.calls.size(), 2u);
  EXPECT_EQ(messages_.calls[1], "countdown");
  EXPECT_EQ(Rgb(frame, 960, 450), 0xFF00FFu);  // the countdown's picture
  EXPECT_EQ(Rgb(frame, 700, 450), 0x0000FFu);  // the background around it
}

TEST_F(SceneRendererTest, VideoSizeChangeMidStreamRecreatesTheTexture) {
  PreviewSurface preview;
  VideoLayer layer(0, buffers_, flags_, preview);
  flags_.SongPlaying = true;
  layer.VideoStarted();
  std::vector<uint8_t> small(16 * 4 * 8);
  for (size_t i = 0; i < small.size(); i += 4) small[i + 2] = 0xFF;  // red, padding 0
  ASSERT_TRUE(layer.PresentVideoFrame(small.data(), small.size(), 16, 8, 16 * 4));
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0xFF0000u);
  // Bigger, with row padding; then a frame too short for its rows is refused
  // and the last good picture stays.
  const size_t stride = 100 * 4 + 16;
  std::vector<uint8_t> big(stride * 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) big[y * stride + x * 4 + 1] = 0xFF;  // green
  ASSERT_TRUE(layer.PresentVideoFrame(big.data(), big.size(), 100, 60, stride));
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x00FF00u);
  EXPECT_FALSE(layer.PresentVideoFrame(big.data(), big.size() - 1, 100, 60, stride));
  EXPECT_FALSE(layer.PresentVideoFrame(big.data(), big.size(), 200, 60, stride));
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x00FF00u);
  layer.VideoStopped();
  EXPECT_EQ(Rgb(Frame(), 960, 540), 0x000000u);
}

}  // namespace
}  // namespace lyricade
