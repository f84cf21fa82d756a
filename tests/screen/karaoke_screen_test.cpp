// The window and the whole screen under Xvfb. Without a window manager the
// geometry and states checked are the ones the program asks for.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <chrono>
#include <filesystem>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using namespace std::chrono_literals;

void SendMouse(QWindow& window, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, QPointF(at), QPointF(window.mapToGlobal(at)), button, buttons, modifiers);
  QCoreApplication::sendEvent(&window, &event);
}

class KaraokeScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::GuiApplication();
    ASSERT_TRUE(WriteDdsFile(data_.File("background.dds"), testing::Solid(640, 480, 0xFF3050A0u)));
    ASSERT_TRUE(WriteDdsFile(data_.File("blank.dds"), testing::Solid(640, 480, 0)));
    ASSERT_TRUE(WriteDdsFile(data_.File("black.dds"), testing::Solid(8, 8, 0xFF000000u)));
    ASSERT_TRUE(WritePictureFile(data_.File("Background.bmp"), testing::Solid(640, 480, 0xFF405060u)));
  }
  std::unique_ptr<KaraokeScreen> MakeScreen() {
    return std::make_unique<KaraokeScreen>(settings_, prompts_, data_.Path(), "/opt/lyricade/");
  }

  testing::TestFolder data_;
  AppSettings settings_;
  ScriptedPrompts prompts_;
};

TEST_F(KaraokeScreenTest, OneDisplayGivesTheMessageAndASmallWindow) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}});
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Monitor Information");
  EXPECT_NE(prompts_.Shown()[0].Text.find("file:///opt/lyricade/help/video-output.html"),
            std::string::npos);
  KaraokeStatic* window = screen->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->title(), "Lyricade Screen");
  EXPECT_TRUE(window->flags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->geometry(), QRect(0, 0, 640, 480));
  // The idle picture is in the preview from the start.
  EXPECT_EQ(screen->Preview().Snapshot().pixel(10, 10), 0xFF405060u);

  ASSERT_TRUE(screen->InitialiseScene());
  EXPECT_EQ(window->geometry(), QRect(0, 0, 320, 240));
  EXPECT_FALSE(window->IsMaximised());
  EXPECT_EQ(prompts_.Shown().size(), 1u);
}

TEST_F(KaraokeScreenTest, SecondDisplayGetsTheWindowMaximised) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}, {1920, 0, 1280, 720}});
  EXPECT_TRUE(prompts_.Shown().empty());
  EXPECT_TRUE(screen->Choice().MultiMonitor);
  EXPECT_EQ(screen->ChosenRect(), (ScreenRect{1920, 0, 1280, 720}));
  ASSERT_TRUE(screen->InitialiseScene());
  EXPECT_TRUE(screen->Window()->IsMaximised());
}

TEST_F(KaraokeScreenTest, DraggingAndDoubleClicking) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}});
  ASSERT_TRUE(screen->InitialiseScene());
  KaraokeStatic& window = *screen->Window();
  window.setPosition(100, 100);
  const QRect area = window.screen()->geometry();

  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  SendMouse(window, QEvent::MouseMove, {40, 30}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), QPoint(130, 120));
  // Shift or Ctrl held, or another button with the left: no move.
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
  SendMouse(window, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(window.position(), QPoint(130, 120));
  // Far past the top-left corner: clamped to the screen.
  SendMouse(window, QEvent::MouseMove, {-4000, -4000}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), area.topLeft());
  SendMouse(window, QEvent::MouseMove, {9000, 9000}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), QPoint(area.right() + 1 - 320, area.bottom() + 1 - 240));
  SendMouse(window, QEvent::MouseButtonRelease, {9000, 9000}, Qt::LeftButton, Qt::NoButton);
  const QPoint parked = window.position();
  SendMouse(window, QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), parked);

  // A right-button drag does nothing.
  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
  SendMouse(window, QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::RightButton);
  SendMouse(window, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(window.position(), parked);

  // Double-click maximises; a press on the maximised window starts no drag;
  // another double-click restores.
  const QRect normal = window.geometry();
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), area);
  SendMouse(window, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  const QPoint maximisedAt = window.position();
  SendMouse(window, QEvent::MouseMove, {200, 200}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.position(), maximisedAt);
  SendMouse(window, QEvent::MouseButtonRelease, {200, 200}, Qt::LeftButton, Qt::NoButton);
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_EQ(window.geometry(), normal);
  // The right button's double-click does nothing.
  SendMouse(window, QEvent::MouseButtonDblClick, {10, 10}, Qt::RightButton, Qt::RightButton);
  EXPECT_FALSE(window.IsMaximised());
}

TEST_F(KaraokeScreenTest, NoOpenGlMeansTheMessageAndNoRendering) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}, {0, 0, 1920, 1080}});
  EXPECT_FALSE(screen->InitialiseScene([](QWindow&) { return std::unique_ptr<QOpenGLContext>(); }));
  ASSERT_EQ(prompts_.Shown().size(), 1u);
  EXPECT_EQ(prompts_.Shown()[0].Caption, "Not available");
  EXPECT_EQ(prompts_.Shown()[0].Text,
            "Update your Video Driver from the manufacturer.\n\nSpecific: Not available");
  EXPECT_EQ(prompts_.Shown()[0].Icon, PromptIcon::None);
  EXPECT_FALSE(screen->StartRenderThread());
  EXPECT_TRUE(screen->CaptureNextFrame().get().isNull());
  // The producers still take frames without a scene to draw them.
  screen->CdgSink().frameOpened();
  screen->CdgSink().frameClosed();
}

TEST_F(KaraokeScreenTest, CdgSongShowsOverTheBackgroundPictureAndInThePreview) {
  settings_.BackgroundsEnabled = true;
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}});
  ASSERT_TRUE(screen->InitialiseScene());
  ASSERT_TRUE(screen->StartRenderThread());

  QImage frame = screen->CaptureNextFrame().get();
  ASSERT_FALSE(frame.isNull());
  EXPECT_EQ(testing::Rgb(frame, 960, 540), 0x3050A0u);  // "background.dds"

  // A background video behind, then a CD+G song over it.
  std::vector<uint8_t> video(32 * 4 * 18, 0);
  for (size_t i = 0; i < video.size(); i += 4) video[i + 1] = 0xC0;  // green
  screen->VideoTarget(1).VideoStarted();
  ASSERT_TRUE(screen->VideoTarget(1).PresentVideoFrame(video.data(), video.size(), 32, 18, 128));
  CdgPlayer player(settings_, &screen->CdgSink());
  const std::vector<uint8_t> song = testing::LyricsSong();
  ASSERT_TRUE(player.OpenMemory(song.data(), song.size()));
  screen->Flags().CdgMode = true;
  screen->Flags().SongVisualShowing = true;
  screen->Flags().SongPlaying = true;
  player.AdvanceTo(CdgPlayer::kMediaUnitsPerSecond);
  player.PresentFrame(0);

  frame = screen->CaptureNextFrame().get();
  const QPoint band = testing::ScreenPointOfTexel(119, 110, 320, 240);
  const QPoint clear = testing::ScreenPointOfTexel(60, 60, 320, 240);
  EXPECT_EQ(testing::Rgb(frame, band.x(), band.y()), 0x000080u);
  EXPECT_EQ(testing::Rgb(frame, clear.x(), clear.y()), 0x00C000u);
  EXPECT_EQ(screen->Preview().Snapshot().pixel(238, 220), 0xFF000080u);

  EXPECT_TRUE(screen->StopRenderThread());
  EXPECT_FALSE(screen->StopRenderThread());
}

TEST_F(KaraokeScreenTest, CustomLogoAndAnnounceCard) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}});
  ASSERT_TRUE(screen->InitialiseScene());
  ASSERT_TRUE(WritePictureFile(data_.File("logo.tga"), testing::Solid(10, 10, 0xFFAA0000u)));
  EXPECT_TRUE(screen->LoadCustomLogo(data_.File("logo.tga"), 4));
  EXPECT_EQ(settings_.BackgroundChoice, 6);
  EXPECT_TRUE(screen->Flags().CustomLogoLoaded);
  // A logo that fails: the choice stays, the logo is gone.
  EXPECT_FALSE(screen->LoadCustomLogo(data_.File("missing.tga"), 1));
  EXPECT_EQ(settings_.BackgroundChoice, 6);
  EXPECT_FALSE(screen->Flags().CustomLogoLoaded);
  EXPECT_FALSE(screen->Buffers().Exists(SceneTexture::CustomLogo));

  QImage card(640, 480, QImage::Format_RGB32);
  card.fill(QColor(200, 100, 0));
  EXPECT_TRUE(screen->CopyAnnounceCard(card));
  EXPECT_EQ(screen->Preview().Snapshot().pixel(5, 5), 0xFFC86400u);

  // Without "background.dds" there is no announce card texture to copy into.
  std::filesystem::remove(data_.File("background.dds"));
  ScriptedPrompts prompts;
  KaraokeScreen bare(settings_, prompts, data_.Path(), "/opt/lyricade/");
  bare.CreateWindow({{0, 0, 1920, 1080}});
  ASSERT_TRUE(bare.InitialiseScene());
  EXPECT_FALSE(bare.Buffers().Exists(SceneTexture::Background));
  EXPECT_FALSE(bare.CopyAnnounceCard(card));
  EXPECT_TRUE(bare.Buffers().Exists(SceneTexture::Blank));
}

}  // namespace
}  // namespace lyricade
