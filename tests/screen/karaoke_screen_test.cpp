// The window and the whole screen under Xvfb. Without a window manager the
// geometry and states checked are the ones the program asks for.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QThread>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "platform/prompts/scripted_prompts.h"
#include "screen/karaoke_screen.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using namespace std::chrono_literals;

// Notes the thread each box is shown on.
class ThreadNotingPrompts : public ScriptedPrompts {
public:
  PromptAnswer Message(const std::string& caption, const std::string& text, PromptButtons buttons,
                       PromptIcon icon) override {
    threads.push_back(QThread::currentThread());
    return ScriptedPrompts::Message(caption, text, buttons, icon);
  }
  std::vector<QThread*> threads;
};

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
  ThreadNotingPrompts prompts_;
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

TEST_F(KaraokeScreenTest, NoOpenGlMeansTheMessageAndNoRendering) {
  auto screen = MakeScreen();
  screen->CreateWindow({{0, 0, 1920, 1080}, {0, 0, 1920, 1080}});
  KaraokeScreen::ContextFactory none;
  none.Create = [](QWindow&) { return std::unique_ptr<QOpenGLContext>(); };
  EXPECT_FALSE(screen->InitialiseScene(none));
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

TEST_F(KaraokeScreenTest, OpenGlFailingAfterTheWindowExistsGivesTheMessageOnTheUiThread) {
  struct Case {
    const char* Step;
    KaraokeScreen::ContextFactory Factory;
    const char* Logged;
  };
  std::vector<Case> cases(3);
  cases[0].Step = "context never created";
  cases[0].Factory.Create = [](QWindow&) { return std::make_unique<QOpenGLContext>(); };
  cases[0].Logged = "No OpenGL context";
  cases[1].Step = "makeCurrent";
  cases[1].Factory.MakeCurrent = [](QOpenGLContext&, QSurface*) { return false; };
  cases[1].Logged = "made current";
  cases[2].Step = "scene set-up";
  cases[2].Factory.InitialiseScene = [](SceneRenderer&) { return false; };
  cases[2].Logged = "scene could not be set up";

  for (const Case& failing : cases) {
    SCOPED_TRACE(failing.Step);
    ThreadNotingPrompts prompts;
    testing::ScreenLog log;
    KaraokeScreen screen(settings_, prompts, data_.Path(), "/opt/lyricade/");
    screen.CreateWindow({{0, 0, 1920, 1080}, {1920, 0, 1280, 720}});
    screen.InitialiseScene(failing.Factory);
    EXPECT_FALSE(screen.StartRenderThread());
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].Caption, KaraokeScreen::kNoOpenGlCaption);
    EXPECT_EQ(prompts.Shown()[0].Text, KaraokeScreen::kNoOpenGlText);
    EXPECT_EQ(prompts.threads[0], QThread::currentThread());
    EXPECT_TRUE(log.Warned({failing.Logged}));
    // The program goes on: no frames, nothing running, producers still fed.
    EXPECT_TRUE(screen.CaptureNextFrame().get().isNull());
    EXPECT_FALSE(screen.StopRenderThread());
    screen.CdgSink().frameOpened();
    screen.CdgSink().frameClosed();
    EXPECT_NE(screen.Window(), nullptr);
  }
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
  // A logo that fails (a host's "Add Custom..." of a damaged file): the
  // choice and the logo on screen stay as they were.
  const uint64_t before = screen->Buffers().Generation();
  std::ofstream(data_.File("damaged.png")) << "\x89PNG not really";
  EXPECT_FALSE(screen->LoadCustomLogo(data_.File("damaged.png"), 1));
  EXPECT_FALSE(screen->LoadCustomLogo(data_.File("missing.tga"), 1));
  EXPECT_EQ(settings_.BackgroundChoice, 6);
  EXPECT_TRUE(screen->Flags().CustomLogoLoaded);
  EXPECT_TRUE(screen->Buffers().Exists(SceneTexture::CustomLogo));
  EXPECT_EQ(screen->Buffers().Generation(), before);
  // A picture bigger than the screen is shrunk into 1920x1080 when loaded.
  ASSERT_TRUE(WritePictureFile(data_.File("huge.tga"), testing::Solid(4000, 1000, 0xFF00AA00u)));
  EXPECT_TRUE(screen->LoadCustomLogo(data_.File("huge.tga"), 0));
  SceneBuffers::Handovers taken;
  ASSERT_TRUE(screen->Buffers().TryTakeChanges(taken));
  const PixelImage& shrunk = taken[static_cast<size_t>(SceneTexture::CustomLogo)].Image;
  EXPECT_EQ(shrunk.Width, 1920);
  EXPECT_EQ(shrunk.Height, 480);

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
