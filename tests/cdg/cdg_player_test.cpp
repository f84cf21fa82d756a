#include "cdg/cdg_player.h"

#include <gtest/gtest.h>

#include <fstream>

#include "cdg/cdg_writer.h"
#include "cdg_test_support.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "support/counting_song.h"

namespace lyricade {
namespace {

using testing::FrameColour;
using testing::FramePixel;

constexpr int64_t kSecond = 10'000'000;

using testing::CountingSong;

class CdgPlayerTest : public ::testing::Test {
protected:
  std::string WriteSong(const std::vector<uint8_t>& bytes, const std::string& name = "song.cdg") {
    const std::string path = folder.File(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
  // One timer tick: advance, then present to the karaoke screen.
  int64_t Tick(int64_t position) {
    const int64_t consumed = player.AdvanceTo(position);
    player.PresentFrame(0);
    return consumed;
  }
  uint32_t Centre() const { return sink.PixelAt(160, 120); }

  testing::TestFolder folder;
  AppSettings settings;
  LastFrameSink sink;
  CdgPlayer player{settings, &sink};
};

TEST_F(CdgPlayerTest, TargetsTruncateTowardZero) {
  EXPECT_EQ(CdgPlayer::TargetSector(0), 0);
  EXPECT_EQ(CdgPlayer::TargetSector(130'000), 0);  // 0.013 s: 0.975
  EXPECT_EQ(CdgPlayer::TargetSector(140'000), 1);  // 0.014 s: 1.05
  EXPECT_EQ(CdgPlayer::TargetSector(kSecond), 75);
  EXPECT_EQ(CdgPlayer::TargetSector(60 * kSecond), 4500);
  EXPECT_EQ(CdgPlayer::TargetSector(INT64_MAX), 69'175'290'276'410);
  EXPECT_EQ(CdgPlayer::TargetSector(-kSecond), 0);
}

TEST_F(CdgPlayerTest, FollowsTheAudioForwardPausedAndBack) {
  ASSERT_TRUE(player.Open(WriteSong(CountingSong(70))));
  EXPECT_EQ(sink.Opened(), 1);
  // Position 0: nothing read, nothing presented.
  EXPECT_EQ(Tick(0), 0);
  EXPECT_EQ(sink.Presented(), 0);
  EXPECT_EQ(Tick(140'000), 1);
  EXPECT_EQ(sink.Presented(), 1);
  // One second is 75 sectors, 300 packets.
  EXPECT_EQ(Tick(kSecond + 140'000), 75);
  EXPECT_EQ(player.SectorPosition(), 76);
  EXPECT_EQ(Centre(), FrameColour(1, 0, 0));
  // Paused: the same position twice presents one frame only.
  const int presented = sink.Presented();
  EXPECT_EQ(Tick(kSecond + 140'000), 0);
  EXPECT_EQ(sink.Presented(), presented);
  EXPECT_FALSE(player.IsDirty());
  // A jump forward decodes the gap within one tick.
  EXPECT_EQ(Tick(60 * kSecond), 4500 - 76);
  EXPECT_EQ(Centre(), FrameColour(59 % 16, 0, 0));  // colour 60 is due in sector 4500
  // Back from 60 s to 30 s: 2250 sectors replayed from the start.
  EXPECT_EQ(Tick(30 * kSecond), 2250);
  EXPECT_EQ(player.SectorPosition(), 2250);
  EXPECT_EQ(Centre(), FrameColour(29 % 16, 0, 0));
  EXPECT_EQ(Tick(30 * kSecond + 140'000), 1);
  EXPECT_EQ(Centre(), FrameColour(30 % 16, 0, 0));
}

TEST_F(CdgPlayerTest, BackwardReplayDrawsOverTheCurrentPicture) {
  // A tile at second 2 only; moving back to second 1 replays over whatever
  // is on the screen, so the tile drawn later stays visible.
  CdgWriter writer;
  std::array<CdgColour, 16> table{};
  table[1] = {15, 0, 0};
  table[2] = {0, 15, 0};
  writer.LoadColourTable(table);
  writer.PadToSeconds(2);
  writer.TileBlock(9, 25, 1, 2, {0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F});
  writer.PadToSeconds(3);
  ASSERT_TRUE(player.Open(WriteSong(writer.Bytes())));
  Tick(2 * kSecond + 140'000);
  const int tileX = 10 + 25 * 6, tileY = 12 + 9 * 12;
  EXPECT_EQ(sink.PixelAt(tileX, tileY), FrameColour(0, 15, 0));
  Tick(kSecond);
  EXPECT_EQ(player.SectorPosition(), 75);
  EXPECT_EQ(sink.PixelAt(tileX, tileY), FrameColour(0, 15, 0));
}

TEST_F(CdgPlayerTest, PastTheEndKeepsCountingAndRepresentsTheSameFrame) {
  ASSERT_TRUE(player.Open(WriteSong(CountingSong(3))));
  Tick(10 * kSecond);
  EXPECT_EQ(player.SectorPosition(), 750);
  const auto frame = sink.Frame();
  const int presented = sink.Presented();
  EXPECT_EQ(Tick(11 * kSecond), 75);
  EXPECT_EQ(sink.Presented(), presented + 1);
  EXPECT_EQ(sink.Frame(), frame);
  // Back into the file from beyond its end rewinds correctly.
  Tick(2 * kSecond + 140'000);
  EXPECT_EQ(Centre(), FrameColour(2, 0, 0));
}

TEST_F(CdgPlayerTest, OpenRefusalsCloseAndNegativePositions) {
  EXPECT_FALSE(player.Open(folder.File("missing.cdg")));
  EXPECT_FALSE(player.IsOpen());
  EXPECT_EQ(player.AdvanceTo(kSecond), 0);  // closed: nothing
  const std::string first = WriteSong(CountingSong(5), "first.cdg");
  const std::string second = WriteSong(CountingSong(2), "second.cdg");
  ASSERT_TRUE(player.Open(first));
  Tick(3 * kSecond + 140'000);
  EXPECT_FALSE(player.Open(second));  // already open: nothing changes
  EXPECT_EQ(player.SectorPosition(), 226);
  EXPECT_EQ(Centre(), FrameColour(3, 0, 0));
  // A negative position (the graph could not say) changes nothing at all.
  EXPECT_EQ(player.AdvanceTo(-1), 0);
  EXPECT_EQ(player.SectorPosition(), 226);
  EXPECT_TRUE(player.IsDirty());
  player.Close();
  EXPECT_EQ(sink.Closed(), 1);
  player.Close();
  EXPECT_EQ(sink.Closed(), 1);
  // Reopening clears the picture but keeps the colours the last song loaded.
  ASSERT_TRUE(player.Open(second));
  EXPECT_EQ(player.SectorPosition(), 0);
  EXPECT_EQ(player.Screen().Pixel(150, 100), 0);
  EXPECT_EQ(player.Screen().Colour(3), (CdgColour{3, 0, 0}));
}

TEST_F(CdgPlayerTest, AShortTailAppliesOnlyWholePackets) {
  // Sector 0: a preset to colour 1 and three no-ops; then one whole packet
  // (preset 2) and 10 bytes of a preset to 3 that must never act.
  CdgWriter writer;
  std::array<CdgColour, 16> table{};
  for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), 0, 0};
  writer.LoadColourTable(table);
  writer.MemoryPreset(1);
  writer.Pad(1);
  writer.MemoryPreset(2);
  writer.MemoryPreset(3);
  std::vector<uint8_t> bytes = writer.Bytes();
  bytes.resize(bytes.size() - kCdgPacketSize + 10);
  ASSERT_TRUE(player.Open(WriteSong(bytes)));
  Tick(kSecond);
  EXPECT_EQ(player.Screen().Pixel(0, 0), 2);
  // The same from memory.
  player.Close();
  ASSERT_TRUE(player.OpenMemory(bytes.data(), bytes.size()));
  Tick(kSecond);
  EXPECT_EQ(player.Screen().Pixel(0, 0), 2);
}

TEST_F(CdgPlayerTest, BackgroundsToggledMidSong) {
  ASSERT_TRUE(player.Open(WriteSong(CountingSong(10))));
  Tick(kSecond + 140'000);  // screen filled with colour 1; border index 0
  EXPECT_EQ(sink.PixelAt(0, 0), FrameColour(0, 0, 0));
  settings.BackgroundsEnabled = true;
  // The border index 0 turns transparent at the next advance that decodes.
  Tick(2 * kSecond + 140'000);
  EXPECT_EQ(sink.PixelAt(0, 0), 0u);
  EXPECT_EQ(Centre(), FrameColour(2, 0, 0));
  settings.BackgroundsEnabled = false;
  Tick(3 * kSecond);
  EXPECT_EQ(sink.PixelAt(0, 0), FrameColour(0, 0, 0));
}

}  // namespace
}  // namespace lyricade
