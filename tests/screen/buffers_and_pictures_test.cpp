#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "cdg/cdg_player.h"
#include "common/app_settings.h"
#include "screen/cdg_screen_sink.h"
#include "screen/picture_file.h"
#include "screen/preview_surface.h"
#include "screen/scene_buffers.h"
#include "common/scene_flags.h"
#include "screen/video_layer.h"
#include "common/test_folder.h"
#include "screen_test_support.h"

namespace lyricade {
namespace {

using Change = TextureHandover::Change;

TEST(SceneBuffers, RenderSideTakesChangesOnlyWhenTheLockIsFree) {
  SceneBuffers buffers;
  buffers.Put(SceneTexture::Background, PixelImage(4, 2, 0xFF112233u));
  SceneBuffers::Handovers changes;
  {
    std::lock_guard held(buffers.Lock());
    // Another thread (the render thread) finds the lock taken and skips.
    bool taken = true;
    std::thread render([&] { taken = buffers.TryTakeChanges(changes); });
    render.join();
    EXPECT_FALSE(taken);
  }
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  const auto& background = changes[static_cast<int>(SceneTexture::Background)];
  EXPECT_EQ(background.What, Change::Updated);
  EXPECT_EQ(background.Image.At(3, 1), 0xFF112233u);
  EXPECT_EQ(changes[static_cast<int>(SceneTexture::Blank)].What, Change::None);
  // Taken once: the next turn finds nothing new.
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  EXPECT_EQ(changes[static_cast<int>(SceneTexture::Background)].What, Change::None);

  // A video frame written over one the render side never took is a frame
  // never drawn; one written after a take, or after a release, is not.
  const uint32_t pixels[4] = {};
  buffers.PutRows(SceneTexture::SongVideo, reinterpret_cast<const uint8_t*>(pixels), 2, 2, 8, true);
  buffers.PutRows(SceneTexture::SongVideo, reinterpret_cast<const uint8_t*>(pixels), 2, 2, 8, true);
  EXPECT_EQ(buffers.Replaced(SceneTexture::SongVideo), 1u);
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  buffers.PutRows(SceneTexture::SongVideo, reinterpret_cast<const uint8_t*>(pixels), 2, 2, 8, true);
  buffers.Release(SceneTexture::SongVideo);
  buffers.PutRows(SceneTexture::SongVideo, reinterpret_cast<const uint8_t*>(pixels), 2, 2, 8, true);
  EXPECT_EQ(buffers.Replaced(SceneTexture::SongVideo), 1u);
  EXPECT_EQ(buffers.Replaced(SceneTexture::Background), 0u);
}

TEST(PictureFile, DdsAndTgaRoundTripTopRowFirst) {
  testing::TestFolder folder;
  PixelImage picture(3, 2);
  picture.Set(0, 0, 0xFFFF0000u);
  picture.Set(2, 0, 0x8000FF00u);
  picture.Set(1, 1, 0x000000FFu);
  ASSERT_TRUE(WriteDdsFile(folder.File("p.dds"), picture));
  ASSERT_TRUE(WritePictureFile(folder.File("p.tga"), picture));
  for (const char* name : {"p.dds", "p.tga"}) {
    PixelImage loaded;
    ASSERT_TRUE(LoadPictureFile(folder.File(name), loaded)) << name;
    ASSERT_EQ(loaded.Width, 3);
    ASSERT_EQ(loaded.Height, 2);
    EXPECT_EQ(loaded.Pixels, picture.Pixels) << name;
  }
  // Scaled on load to the size a texture asks for.
  PixelImage scaled;
  ASSERT_TRUE(LoadPictureFile(folder.File("p.dds"), scaled, 640, 480));
  EXPECT_EQ(scaled.Width, 640);
  EXPECT_EQ(scaled.Height, 480);
  // BMP has no alpha: opaque.
  ASSERT_TRUE(WritePictureFile(folder.File("p.bmp"), picture));
  PixelImage bmp;
  ASSERT_TRUE(LoadPictureFile(folder.File("p.bmp"), bmp));
  EXPECT_EQ(bmp.At(1, 1), 0xFF0000FFu);
}

TEST(PictureFile, BadFilesAreRefusedWithoutCrashing) {
  testing::TestFolder folder;
  PixelImage loaded;
  {
    testing::ScreenLog log;
    EXPECT_FALSE(LoadPictureFile(folder.File("missing.dds"), loaded));
    // The host's log names the file that did not load.
    EXPECT_TRUE(log.Warned({folder.File("missing.dds"), "not loaded"}));
  }
  EXPECT_TRUE(loaded.Empty());
  // A DDS cut short in its pixels, and one cut in its header.
  PixelImage picture(64, 64, 0xFF336699u);
  ASSERT_TRUE(WriteDdsFile(folder.File("whole.dds"), picture));
  std::filesystem::copy_file(folder.File("whole.dds"), folder.File("short.dds"));
  std::filesystem::resize_file(folder.File("short.dds"), 128 + 100);
  std::filesystem::copy_file(folder.File("whole.dds"), folder.File("header.dds"));
  std::filesystem::resize_file(folder.File("header.dds"), 60);
  {
    std::ofstream junk(folder.File("junk.dds"), std::ios::binary);
    junk << "DDS this is no picture at all";
  }
  {
    // A header that claims an absurd size.
    std::ifstream in(folder.File("whole.dds"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes[12] = bytes[13] = bytes[14] = bytes[15] = '\x7f';
    std::ofstream out(folder.File("huge.dds"), std::ios::binary);
    out << bytes;
  }
  for (const char* name : {"short.dds", "header.dds", "junk.dds", "huge.dds"}) {
    PixelImage result;
    const bool ok = LoadPictureFile(folder.File(name), result);
    // A short file may still decode partly; it never yields a picture whose
    // buffer disagrees with its size.
    if (ok) {
      EXPECT_EQ(result.Pixels.size(), result.Pitch() * result.Height) << name;
    }
    if (std::string(name) != "short.dds") {
      EXPECT_FALSE(ok) << name;
    }
  }
}

TEST(PictureFile, KeyOutTurnsOnlyOpaqueBlackTransparent) {
  PixelImage picture(3, 1);
  picture.Set(0, 0, 0xFF000000u);
  picture.Set(1, 0, 0xFF010000u);
  picture.Set(2, 0, 0x80000000u);
  KeyOutOpaqueBlack(picture);
  EXPECT_EQ(picture.At(0, 0), 0u);
  EXPECT_EQ(picture.At(1, 0), 0xFF010000u);
  EXPECT_EQ(picture.At(2, 0), 0x80000000u);
}

TEST(PreviewSurface, CdgFramesStretchIntoExactTwoByTwoBlocks) {
  PreviewSurface preview;
  PixelImage frame(kCdgFrameWidth, kCdgFrameHeight, 0x00000000u);
  frame.Set(0, 0, 0x00FF0000u);  // alpha 0 still shows in the preview
  frame.Set(319, 239, 0xFF00FF00u);
  frame.Set(100, 50, 0xFF0000FFu);
  const uint64_t before = preview.Generation();
  preview.StretchFrom(frame.Pixels.data(), frame.Width, frame.Height, frame.Pitch());
  EXPECT_GT(preview.Generation(), before);
  const QImage shot = preview.Snapshot();
  ASSERT_EQ(shot.size(), QSize(640, 480));
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) EXPECT_EQ(shot.pixel(x, y), 0xFFFF0000u);
  EXPECT_EQ(shot.pixel(2, 0), 0xFF000000u);
  EXPECT_EQ(shot.pixel(638, 478), 0xFF00FF00u);
  EXPECT_EQ(shot.pixel(639, 479), 0xFF00FF00u);
  EXPECT_EQ(shot.pixel(200, 100), 0xFF0000FFu);
  EXPECT_EQ(shot.pixel(201, 101), 0xFF0000FFu);
  EXPECT_EQ(shot.pixel(202, 100), 0xFF000000u);
}

TEST(PreviewSurface, VideoWithCdgShowsTheLyricsOverTheVideo) {
  PreviewSurface preview;
  PixelImage video(64, 48, 0xFF00FF00u);
  PixelImage cdg(kCdgFrameWidth, kCdgFrameHeight, 0);  // transparent
  for (int x = 0; x < kCdgFrameWidth; ++x) cdg.Set(x, 100, 0xFFFF0000u);
  // CD+G alone: opaque, its transparent colour black.
  preview.PresentCdgFrame(cdg.Pixels.data(), cdg.Width, cdg.Height, cdg.Pitch());
  EXPECT_EQ(preview.Snapshot().pixel(10, 10), 0xFF000000u);
  // With a song video: whichever producer writes last, both show.
  preview.PresentVideoFrame(video.Pixels.data(), video.Width, video.Height, video.Pitch());
  QImage shot = preview.Snapshot();
  EXPECT_EQ(shot.pixel(10, 10), 0xFF00FF00u);
  EXPECT_EQ(shot.pixel(10, 200), 0xFFFF0000u);
  for (int x = 0; x < kCdgFrameWidth; ++x) cdg.Set(x, 100, 0);
  for (int x = 0; x < kCdgFrameWidth; ++x) cdg.Set(x, 50, 0xFF0000FFu);
  preview.PresentCdgFrame(cdg.Pixels.data(), cdg.Width, cdg.Height, cdg.Pitch());
  shot = preview.Snapshot();
  EXPECT_EQ(shot.pixel(10, 200), 0xFF00FF00u);  // the old line is gone
  EXPECT_EQ(shot.pixel(10, 100), 0xFF0000FFu);
  // The video ends: CD+G frames are opaque again.
  preview.EndVideo();
  preview.PresentCdgFrame(cdg.Pixels.data(), cdg.Width, cdg.Height, cdg.Pitch());
  EXPECT_EQ(preview.Snapshot().pixel(10, 10), 0xFF000000u);
}

TEST(PreviewSurface, IdlePictureComesBackAndAMissingOneIsBlack) {
  testing::TestFolder folder;
  ASSERT_TRUE(WritePictureFile(folder.File("Background.bmp"), PixelImage(640, 480, 0xFF204060u)));
  PreviewSurface preview;
  EXPECT_TRUE(preview.LoadIdlePicture(folder.File("Background.bmp")));
  EXPECT_EQ(preview.Snapshot().pixel(320, 240), 0xFF204060u);
  QImage card(640, 480, QImage::Format_RGB32);
  card.fill(QColor(255, 255, 0));
  preview.CopyPicture(card);
  EXPECT_EQ(preview.Snapshot().pixel(10, 10), 0xFFFFFF00u);
  preview.RestoreIdle();
  EXPECT_EQ(preview.Snapshot().pixel(10, 10), 0xFF204060u);

  PreviewSurface none;
  EXPECT_FALSE(none.LoadIdlePicture(folder.File("nothing.bmp")));
  EXPECT_EQ(none.Snapshot().pixel(320, 240), 0xFF000000u);
}

TEST(CdgScreenSink, PlayerFramesReachTheSongTextureAndThePreview) {
  AppSettings settings;
  settings.BackgroundsEnabled = true;
  SceneBuffers buffers;
  PreviewSurface preview;
  CdgScreenSink sink(buffers, preview);
  CdgPlayer player(settings, &sink);
  const std::vector<uint8_t> song = testing::LyricsSong();
  ASSERT_TRUE(player.OpenMemory(song.data(), song.size()));

  SceneBuffers::Handovers changes;
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  const auto& opened = changes[static_cast<int>(SceneTexture::SongCdg)];
  ASSERT_EQ(opened.What, Change::Updated);
  EXPECT_EQ(opened.Image.Width, 320);
  EXPECT_EQ(opened.Image.Height, 240);
  EXPECT_EQ(opened.Image.At(160, 120), 0u);

  player.AdvanceTo(CdgPlayer::kMediaUnitsPerSecond);
  player.PresentFrame(0);
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  const PixelImage& frame = changes[static_cast<int>(SceneTexture::SongCdg)].Image;
  ASSERT_EQ(changes[static_cast<int>(SceneTexture::SongCdg)].What, Change::Updated);
  // The band behind the word is dark blue and opaque; the rest is the
  // transparent colour; the texture is exactly the player's frame.
  EXPECT_EQ(frame.At(119, 110), 0xFF000080u);
  EXPECT_EQ(frame.At(60, 60) >> 24, 0u);
  EXPECT_EQ(0, std::memcmp(frame.Pixels.data(), player.FrameCopy(), kCdgFrameBytes));
  EXPECT_EQ(preview.Snapshot().pixel(238, 220), 0xFF000080u);

  // Output 1 reaches the texture but not the preview; a pitch too short for
  // a row is refused.
  const uint64_t previewBefore = preview.Generation();
  sink.present(player.FrameCopy(), kCdgFramePitch, 1);
  EXPECT_EQ(preview.Generation(), previewBefore);
  const uint64_t generation = buffers.Generation();
  sink.present(player.FrameCopy(), 100, 0);
  sink.present(nullptr, kCdgFramePitch, 0);
  EXPECT_EQ(buffers.Generation(), generation);

  player.Close();
  EXPECT_FALSE(buffers.Exists(SceneTexture::SongCdg));
}

TEST(VideoLayer, FramesAreCheckedAgainstTheirBuffer) {
  std::vector<uint8_t> pixels(64 * 4 * 48);
  EXPECT_TRUE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 64, 48, 256));
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size() - 1, 64, 48, 256));
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 64, 48, 255));  // stride < row
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 0, 48, 256));
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 64, -1, 256));
  EXPECT_FALSE(VideoLayer::FrameFits(nullptr, pixels.size(), 64, 48, 256));
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 9000, 1, 36000));
  // A stride whose product with the height would wrap around.
  EXPECT_FALSE(VideoLayer::FrameFits(pixels.data(), pixels.size(), 64, 8192, SIZE_MAX / 4096));
}

TEST(VideoLayer, FirstFrameShowsTheLayerAndStopHidesIt) {
  SceneBuffers buffers;
  SceneFlags flags;
  PreviewSurface preview;
  VideoLayer song(0, buffers, flags, preview);
  VideoLayer background(1, buffers, flags, preview);
  std::vector<uint8_t> frame(16 * 4 * 8, 0x40);

  // Nothing is taken before the stream starts.
  EXPECT_FALSE(song.PresentVideoFrame(frame.data(), frame.size(), 16, 8, 64));
  song.VideoStarted();
  background.VideoStarted();
  EXPECT_FALSE(flags.SongVisualShowing);
  ASSERT_TRUE(song.PresentVideoFrame(frame.data(), frame.size(), 16, 8, 64));
  EXPECT_TRUE(flags.SongVisualShowing);
  EXPECT_FALSE(flags.BackgroundVideoRunning);
  ASSERT_TRUE(background.PresentVideoFrame(frame.data(), frame.size(), 16, 8, 64));
  EXPECT_TRUE(flags.BackgroundVideoRunning);
  // The padding byte becomes opaque alpha; the song video reaches the preview.
  SceneBuffers::Handovers changes;
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  EXPECT_EQ(changes[static_cast<int>(SceneTexture::SongVideo)].Image.At(0, 0), 0xFF404040u);
  EXPECT_EQ(preview.Snapshot().pixel(5, 5), 0xFF404040u);

  // The size changes mid-stream: the texture follows.
  std::vector<uint8_t> bigger(40 * 4 * 30, 0x80);
  ASSERT_TRUE(song.PresentVideoFrame(bigger.data(), bigger.size(), 40, 30, 160));
  ASSERT_TRUE(buffers.TryTakeChanges(changes));
  EXPECT_EQ(changes[static_cast<int>(SceneTexture::SongVideo)].Image.Width, 40);
  EXPECT_EQ(changes[static_cast<int>(SceneTexture::SongVideo)].Image.Height, 30);

  song.VideoStopped();
  EXPECT_FALSE(flags.SongVisualShowing);
  EXPECT_FALSE(buffers.Exists(SceneTexture::SongVideo));
  // A late frame from the stopped stream changes nothing.
  EXPECT_FALSE(song.PresentVideoFrame(frame.data(), frame.size(), 16, 8, 64));
  EXPECT_FALSE(flags.SongVisualShowing);
  background.VideoStopped();
  EXPECT_FALSE(flags.BackgroundVideoRunning);
}

}  // namespace
}  // namespace lyricade
