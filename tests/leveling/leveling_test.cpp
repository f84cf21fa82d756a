#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "cdg/cdg_packet.h"
#include "common/test_folder.h"
#include "leveling/background_measurer.h"
#include "leveling/level_rules.h"
#include "leveling/loudness_meter.h"
#include "leveling/loudness_store.h"
#include "leveling/song_measure.h"
#include "platform/db/db_connection.h"
#include "playback/zip_test_support.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A stereo sine of `amplitude` (full scale 1) for `toneSeconds`, then
// `silentSeconds` of silence.
std::vector<float> Sine(int rate, double frequency, double amplitude, double toneSeconds,
                        double silentSeconds = 0) {
  const size_t tone = static_cast<size_t>(toneSeconds * rate);
  const size_t total = tone + static_cast<size_t>(silentSeconds * rate);
  std::vector<float> samples(total * 2, 0.0f);
  for (size_t i = 0; i < tone; ++i) {
    const float v = static_cast<float>(amplitude * std::sin(2 * kPi * frequency * i / rate));
    samples[2 * i] = samples[2 * i + 1] = v;
  }
  return samples;
}

// A 16-bit stereo WAV of those samples.
std::string Wav(const std::vector<float>& samples, int rate) {
  auto put = [](std::string& out, uint32_t value, int bytes) {
    for (int b = 0; b < bytes; ++b) out.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
  };
  const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  std::string wav = "RIFF";
  put(wav, 36 + data, 4);
  wav += "WAVEfmt ";
  put(wav, 16, 4);
  put(wav, 1, 2);
  put(wav, 2, 2);
  put(wav, static_cast<uint32_t>(rate), 4);
  put(wav, static_cast<uint32_t>(rate * 4), 4);
  put(wav, 4, 2);
  put(wav, 16, 2);
  wav += "data";
  put(wav, data, 4);
  for (float s : samples)
    put(wav, static_cast<uint32_t>(static_cast<int16_t>(std::lround(s * 32767.0f))), 2);
  return wav;
}

std::string Packet(uint8_t instruction, std::initializer_list<uint8_t> data) {
  std::string packet(kCdgPacketSize, '\0');
  packet[0] = static_cast<char>(kCdgGraphicsCommand);
  packet[1] = static_cast<char>(instruction);
  size_t i = kCdgDataOffset;
  for (uint8_t byte : data) packet[i++] = static_cast<char>(byte);
  return packet;
}

// The screen cleared to colour 3 at once, a tile drawn at packet 1200 (4 s),
// the same tile drawn again at packet 1800 (no change), then blank packets
// up to 8 s: the picture last changes at the end of packet 1200.
std::string CdgWithStillTail() {
  std::string tile = Packet(kCdgTileBlock, {0, 7, 2, 3});
  for (size_t row = 0; row < 12; ++row) tile[kCdgDataOffset + 4 + row] = 0x3F;
  std::string stream;
  for (int n = 0; n < 2400; ++n) {
    if (n == 0) stream += Packet(kCdgMemoryPreset, {3, 0});
    else if (n == 1200 || n == 1800) stream += tile;
    else stream += std::string(kCdgPacketSize, '\0');
  }
  return stream;
}

TEST(LoudnessMeter, EbuSineAtMinus23DbfsMeasuresMinus23Lufs) {
  // EBU Tech 3341, case 1: a 1 kHz stereo sine at -23 dBFS reads -23.0 LUFS.
  const int rate = 48000;
  const std::vector<float> samples = Sine(rate, 1000, std::pow(10.0, -23.0 / 20.0), 20, 2);
  LoudnessMeter meter;
  ASSERT_TRUE(meter.Start(rate, 2));
  // In uneven blocks, as a decoder hands them over.
  for (size_t at = 0, block = 1000; at < samples.size() / 2; at += block, block = block * 7 % 4099 + 1)
    ASSERT_TRUE(meter.Add(samples.data() + 2 * at, std::min(block, samples.size() / 2 - at)));
  EXPECT_NEAR(meter.IntegratedLufs(), -23.0, 0.1);
  EXPECT_NEAR(meter.SamplePeakDb(), -23.0, 0.01);
  EXPECT_NEAR(meter.AudibleEndSeconds(), 20.0, 0.001);
  EXPECT_NEAR(meter.Seconds(), 22.0, 0.001);
}

TEST(LevelRules, GainMeetsTheTargetUnlessThePeakWouldPassMinusOneDbfs) {
  LoudnessFigures quiet;
  quiet.Measured = true;
  quiet.Lufs = -20.0;
  quiet.PeakDb = -6.0;
  EXPECT_DOUBLE_EQ(LevelGainDb(quiet, -16), 4.0);
  EXPECT_DOUBLE_EQ(LevelGainDb(quiet, -23), -3.0);
  // A dynamic track: +14 dB wanted, only +2 dB before the peak reaches -1.
  LoudnessFigures peaky = quiet;
  peaky.Lufs = -30.0;
  peaky.PeakDb = -3.0;
  EXPECT_DOUBLE_EQ(LevelGainDb(peaky, -16), 2.0);
  LoudnessFigures none;
  EXPECT_DOUBLE_EQ(LevelGainDb(none, -16), 0.0);
  EXPECT_EQ(EarlyEndMs(none, 3), -1);

  EXPECT_EQ(LevelLabel(-3.5), "Level \u22123.5 dB");
  EXPECT_EQ(LevelLabel(2.0), "Level +2.0 dB");
  EXPECT_EQ(LevelLabel(-0.04), "Level 0.0 dB");
  EXPECT_NEAR(GainFactor(-6.0206), 0.5, 1e-4);

  // The later of the two ends, plus the margin (held within 0..15 s).
  quiet.AudibleEnd = 170.2;
  quiet.CdgEnd = 171.5;
  EXPECT_EQ(EarlyEndMs(quiet, 3), 174'500);
  quiet.CdgEnd = -1;
  EXPECT_EQ(EarlyEndMs(quiet, 60), 185'200);
}

class LevelingFiles : public ::testing::Test {
protected:
  testing::TestFolder folder;
  std::string Write(const std::string& name, const std::string& data) {
    const std::string path = folder.File(name);
    EXPECT_TRUE(testing::WriteWhole(path, data));
    return path;
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
      names.insert(entry.path().string());
    return names;
  }
};

TEST_F(LevelingFiles, LocalAndZippedSongsGiveTheSameFiguresAndEnds) {
  // 3 s of tone at -20 dBFS peak, then 5 s of silence; the picture stops
  // changing at 4 s.
  const std::string wav = Wav(Sine(44100, 1000, 0.1, 3, 5), 44100);
  const std::string cdg = CdgWithStillTail();
  const std::string local = Write("Song.wav", wav);
  Write("SONG.CDG", cdg);
  testing::WriteZip(folder.File("Song.zip"), {{"Song.wav", wav}, {"Song.cdg", cdg}});
  const std::set<std::string> before = Files();

  const LoudnessFigures plain = MeasureSong(local);
  ASSERT_TRUE(plain.Measured) << plain.Reason;
  // A 1 kHz stereo sine reads its dBFS; the gating blocks that straddle the
  // tone's end pull it down a little.
  EXPECT_NEAR(plain.Lufs, -20.0, 0.3);
  EXPECT_NEAR(plain.PeakDb, -20.0, 0.05);
  EXPECT_NEAR(plain.AudibleEnd, 3.0, 0.01);
  EXPECT_NEAR(plain.CdgEnd, 1201.0 / 300, 1e-9);

  const LoudnessFigures zipped = MeasureSong(folder.File("Song.zip"));
  ASSERT_TRUE(zipped.Measured) << zipped.Reason;
  EXPECT_DOUBLE_EQ(zipped.Lufs, plain.Lufs);
  EXPECT_DOUBLE_EQ(zipped.AudibleEnd, plain.AudibleEnd);
  EXPECT_DOUBLE_EQ(zipped.CdgEnd, plain.CdgEnd);
  EXPECT_EQ(Files(), before);  // the member was measured in memory

  // An audio-only song has no CD+G end.
  std::filesystem::remove(folder.File("SONG.CDG"));
  EXPECT_LT(MeasureSong(local).CdgEnd, 0);
}

TEST_F(LevelingFiles, PeaksOverFullScaleAreMeasuredNotClipped) {
  // Decoded to 16 bits the overshoot would clip at 0 dBFS, and the gain's
  // peak limit would allow 2 dB too much.
  const std::string song = folder.File("Hot.mp3");
  ASSERT_TRUE(testing::MakeSquareMp3(song, 2));
  const LoudnessFigures hot = MeasureSong(song);
  ASSERT_TRUE(hot.Measured) << hot.Reason;
  EXPECT_GT(hot.PeakDb, 1.0);
}

class LevelingLibrary : public LevelingFiles {
protected:
  void SetUp() override {
    ASSERT_TRUE(db.Create(folder.File("collections.mdb")));
    ASSERT_TRUE(db.Execute("CREATE TABLE Items (ItemNum INTEGER PRIMARY KEY, SongPath TEXT)"));
  }
  void AddItem(const std::string& path) {
    ASSERT_TRUE(db.Execute("INSERT INTO Items (SongPath) VALUES ('" + path + "')"));
  }
  // Runs a pass until `done` holds; the measured songs in their order.
  std::vector<std::string> RunPass(const std::vector<std::string>& queued,
                                   const std::function<bool(const MeasurerProgress&)>& done) {
    std::mutex mutex;
    std::vector<std::string> order;
    BackgroundMeasurer measurer(folder.File("collections.mdb"), [&](const std::string& path) {
      std::lock_guard lock(mutex);
      order.push_back(path);
    });
    measurer.SetQueued(queued);
    measurer.Start();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done(measurer.Progress()) && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    measurer.Stop();
    return order;
  }
  DbConnection db;
};

TEST_F(LevelingLibrary, PassMeasuresQueuedSongsFirstRecordsBadFilesOnceAndRedoesChangedOnes) {
  const std::string wav = Wav(Sine(44100, 1000, 0.1, 1), 44100);
  const std::string first = Write("a.wav", wav);
  const std::string second = Write("b.wav", wav);
  const std::string queued = Write("c.wav", wav);
  // A truncated MP3 (its header, then nothing) and a ZIP without audio.
  const std::string truncated = Write("cut.mp3", std::string("ID3\x03\0\0\0\0\0\x10", 10) + "\xFF\xFB");
  testing::WriteZip(folder.File("noaudio.zip"), {{"Song.cdg", CdgWithStillTail()}});
  const std::string noAudio = folder.File("noaudio.zip");
  for (const std::string& path : {first, second, queued, truncated, noAudio}) AddItem(path);

  std::vector<std::string> order =
      RunPass({queued}, [](const MeasurerProgress& p) { return p.Measured == 5 && !p.Busy; });
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order.front(), queued);

  LoudnessStore store(db);
  EXPECT_TRUE(store.Unmeasured(10).empty());
  EXPECT_EQ(store.UnmeasuredCount(), 0);
  for (const std::string& bad : {truncated, noAudio}) {
    const std::optional<LoudnessFigures> row = store.FindCurrent(bad);
    ASSERT_TRUE(row) << bad;
    EXPECT_FALSE(row->Measured);  // "cannot measure", with its reason
    EXPECT_FALSE(row->Reason.empty());
  }
  ASSERT_TRUE(store.FindCurrent(first));
  EXPECT_NEAR(store.FindCurrent(first)->Lufs, -20.0, 0.2);

  // A second run finds nothing to do: the bad files are not tried again.
  order = RunPass({truncated, noAudio}, [](const MeasurerProgress& p) { return p.Left == 0 && !p.Busy; });
  EXPECT_TRUE(order.empty());

  // The host replaced a song with a louder file: its row no longer matches
  // and the queued song is measured again.
  Write("c.wav", Wav(Sine(44100, 1000, 0.5, 2), 44100));
  std::filesystem::last_write_time(queued, std::filesystem::last_write_time(queued) +
                                               std::chrono::seconds(2));
  EXPECT_FALSE(store.FindCurrent(queued));
  order = RunPass({queued}, [](const MeasurerProgress& p) { return p.Measured == 1 && !p.Busy; });
  EXPECT_EQ(order, std::vector<std::string>{queued});
  ASSERT_TRUE(store.FindCurrent(queued));
  EXPECT_NEAR(store.FindCurrent(queued)->Lufs, -6.0, 0.2);
}

}  // namespace
}  // namespace lyricade
