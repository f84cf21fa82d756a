// The demo library of a first run: the songs made at build time are in the
// program folder's seed, a new data folder gets them, SeedDemoLibrary lists
// them once, and the songs are what they claim to be (a multiplex song with
// the vocal on the left only, a ZIP with one MP3 and one CD+G, lyrics that
// last as long as the audio and light up while it plays).
#include "app/demo_library.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "cdg/cdg_screen.h"
#include "common/app_settings.h"
#include "common/test_folder.h"
#include "library/database_seed.h"
#include "library/library_database.h"
#include "platform/db/db_result.h"
#include "platform/media/gst_handles.h"
#include "platform/media/media_graph.h"
#include "platform/paths/paths.h"
#include "platform/prompts/scripted_prompts.h"
#include "playback/playback_test_support.h"

namespace lyricade {
namespace {

namespace fs = std::filesystem;

const std::string kPlain = "Pip Larkspur - Lanterns On The Pier";
const std::string kZipped = "The Marmalade Kites - Sunday Bicycle";
const std::string kMultiplex = "Juno Fairweather - Two Sides Of The Song (Multiplex)";

std::string SeedSongs() {
  return std::string(LYRICADE_TEST_RESOURCES) + "seed/" + kDemoSongsFolder;
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    names.insert(entry.path().filename().string());
  return names;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long ItemCount(LibraryDatabase& database) {
  DbResult items;
  return items.Open(database.LibraryPath(), "SELECT ItemNum FROM Items") ? items.RecordCount() : -1;
}

class DemoLibraryFolder {
public:
  DemoLibraryFolder() : database(prompts) {}
  // Seeds and opens the databases as the start-up does.
  bool Open() {
    if (!SeedDatabaseFiles(data, LYRICADE_TEST_RESOURCES)) return false;
    database.SetDataFolder(data);
    return database.OpenLibrary() && database.OpenCatalogue();
  }
  testing::TestFolder folder;
  std::string data = folder.File("data/");
  ScriptedPrompts prompts;
  LibraryDatabase database;
};

TEST(DemoLibrary, FirstRunSeedsTheDemoSongsIntoTheLibraryOnce) {
  DemoLibraryFolder first;
  ASSERT_EQ(PrepareDataFolder(first.data, LYRICADE_TEST_RESOURCES), DataFolderState::Created);
  const std::string songs = first.data + kDemoSongsFolder;
  const std::set<std::string> expected = {kPlain + ".mp3", kPlain + ".cdg", kZipped + ".zip",
                                          kMultiplex + ".mp3", kMultiplex + ".cdg"};
  EXPECT_EQ(Names(SeedSongs()), expected);
  EXPECT_EQ(Names(songs), expected);
  ASSERT_TRUE(first.Open());

  EXPECT_TRUE(SeedDemoLibrary(first.data, first.database));
  EXPECT_EQ(ItemCount(first.database), 3);
  struct Row {
    std::string file, title, artist, id;
  };
  const Row rows[] = {
      {kMultiplex + ".mp3", "Two Sides Of The Song (Multiplex)", "Juno Fairweather", "DEMO-01"},
      {kPlain + ".mp3", "Lanterns On The Pier", "Pip Larkspur", "DEMO-02"},
      {kZipped + ".zip", "Sunday Bicycle", "The Marmalade Kites", "DEMO-03"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const long item = first.database.FindItemByPath(songs + row.file);
    ASSERT_NE(item, 0);
    first.database.LoadCurrentItem(item);
    const CurrentItem& current = first.database.Current();
    EXPECT_EQ(current.Title, row.title);
    EXPECT_EQ(current.Artist, row.artist);
    EXPECT_EQ(current.Id, row.id);
    EXPECT_EQ(current.Path, songs + row.file);
    EXPECT_EQ(current.Type, 2);
  }
  // A second call, and a call after a restart, add nothing.
  EXPECT_TRUE(SeedDemoLibrary(first.data, first.database));
  first.database.Close();
  LibraryDatabase again(first.prompts);
  again.SetDataFolder(first.data);
  ASSERT_TRUE(again.OpenLibrary());
  EXPECT_TRUE(SeedDemoLibrary(first.data, again));
  EXPECT_EQ(ItemCount(again), 3);
  EXPECT_TRUE(first.prompts.Shown().empty());
}

TEST(DemoLibrary, OddFolderContentIsSkippedAndPathsKeptExact) {
  DemoLibraryFolder folder;
  // No library open fails; no demo folder has nothing to add.
  EXPECT_FALSE(SeedDemoLibrary(folder.data, folder.database));
  fs::create_directories(folder.data);
  ASSERT_TRUE(folder.Open());
  EXPECT_TRUE(SeedDemoLibrary(folder.data, folder.database));
  EXPECT_EQ(ItemCount(folder.database), 0);

  const std::string songs = folder.data + kDemoSongsFolder;
  fs::create_directories(songs + "Folder - Not A Song.mp3");
  for (const char* name : {"O'Neil - Don't Stop.mp3", "O'Neil - Don't Stop.cdg", "Loose_Title.ZIP",
                           "Band - Title - Album.Mp3", ".hidden - song.mp3", "notes.txt"})
    std::ofstream(songs + name) << "x";

  EXPECT_TRUE(SeedDemoLibrary(folder.data, folder.database));
  EXPECT_EQ(ItemCount(folder.database), 3);
  struct Row {
    std::string file, title, artist;
  };
  const Row rows[] = {
      {"O'Neil - Don't Stop.mp3", "Don\xC2\xB4t Stop", "O\xC2\xB4Neil"},
      {"Loose_Title.ZIP", "Loose_Title", ""},
      {"Band - Title - Album.Mp3", "Title", "Band"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const long item = folder.database.FindItemByPath(songs + row.file);
    ASSERT_NE(item, 0);
    folder.database.LoadCurrentItem(item);
    EXPECT_EQ(folder.database.Current().Title, row.title);
    EXPECT_EQ(folder.database.Current().Artist, row.artist.empty() ? "No Artist" : row.artist);
  }
  EXPECT_EQ(folder.database.FindItemByPath(songs + ".hidden - song.mp3"), 0);
  EXPECT_EQ(folder.database.FindItemByPath(songs + "Folder - Not A Song.mp3"), 0);
  // The apostrophe path is found again, so nothing doubles up.
  EXPECT_TRUE(SeedDemoLibrary(folder.data, folder.database));
  EXPECT_EQ(ItemCount(folder.database), 3);
}

// A host whose locale writes numbers with a decimal comma gets the demo
// songs listed too (the tempo once came out as "0,000000").
TEST(DemoLibrary, ADecimalCommaLocaleStillListsTheSongs) {
  DemoLibraryFolder folder;
  fs::create_directories(folder.data + kDemoSongsFolder);
  ASSERT_TRUE(folder.Open());
  for (const char* name : {"A - One.mp3", "B - Two.zip"})
    std::ofstream(folder.data + kDemoSongsFolder + name) << "x";
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 not generated";
  const bool listed = SeedDemoLibrary(folder.data, folder.database);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_TRUE(listed);
  EXPECT_EQ(ItemCount(folder.database), 2);
}

// What a newcomer does next: each song of the new library plays through the
// show to its end with its lyrics on the screen (the multiplex one on its
// backing side, the zipped one unpacked).
class DemoShow : public testing::ShowFixture {};

TEST_F(DemoShow, EverySeededSongPlaysToItsEndWithLyrics) {
  DemoLibraryFolder first;
  ASSERT_EQ(PrepareDataFolder(first.data, LYRICADE_TEST_RESOURCES), DataFolderState::Created);
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(SeedDemoLibrary(first.data, first.database));
  for (const std::string& file : {kPlain + ".mp3", kZipped + ".zip", kMultiplex + ".mp3"}) {
    SCOPED_TRACE(file);
    first.database.LoadCurrentItem(
        first.database.FindItemByPath(first.data + kDemoSongsFolder + file));
    const int ended = show->SongsEnded();
    const int opened = sink.Opened();
    const int presented = sink.Presented();
    ASSERT_TRUE(
        show->PlaySong(first.database.Current().Path, file == kMultiplex + ".mp3" ? 2 : 0, 0));
    EXPECT_TRUE(RunUntil([&] { return show->SongsEnded() > ended; }));
    EXPECT_EQ(sink.Opened(), opened + 1);
    EXPECT_GT(sink.Presented(), presented);
  }
  EXPECT_TRUE(prompts.Shown().empty());
  EXPECT_TRUE(first.prompts.Shown().empty());
}

// The decoded audio of an MP3: interleaved stereo floats at 44.1 kHz.
std::vector<float> DecodeStereo(const std::string& path) {
  InitialiseMedia();
  GError* rawError = nullptr;
  GstElementPtr pipeline = AdoptElement(
      gst_parse_launch("filesrc name=source ! decodebin ! audioconvert ! audioresample ! "
                       "audio/x-raw,format=F32LE,layout=interleaved,rate=44100,channels=2 ! "
                       "appsink name=sink sync=false",
                       &rawError));
  GErrorPtr error(rawError);
  std::vector<float> samples;
  if (!pipeline || error) return samples;
  GstElementPtr source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "source"));
  GstElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  g_object_set(source.get(), "location", path.c_str(), nullptr);
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  while (GstSamplePtr sample{
      gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 10 * GST_SECOND)}) {
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) break;
    const auto* data = reinterpret_cast<const float*>(map.data);
    samples.insert(samples.end(), data, data + map.size / sizeof(float));
    gst_buffer_unmap(buffer, &map);
  }
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return samples;
}

struct ChannelFigures {
  double left = 0, right = 0, correlation = 0;
};

// Loudness (RMS) of each channel and how alike they are, between two times.
ChannelFigures Measure(const std::vector<float>& stereo, double from, double to) {
  const size_t first = static_cast<size_t>(from * 44100);
  const size_t end = std::min(stereo.size() / 2, static_cast<size_t>(to * 44100));
  double ll = 0, rr = 0, lr = 0;
  for (size_t i = first; i < end; ++i) {
    const double l = stereo[2 * i], r = stereo[2 * i + 1];
    ll += l * l;
    rr += r * r;
    lr += l * r;
  }
  const double n = end > first ? static_cast<double>(end - first) : 1.0;
  ChannelFigures figures{std::sqrt(ll / n), std::sqrt(rr / n), 0};
  if (ll > 0 && rr > 0) figures.correlation = lr / std::sqrt(ll * rr);
  return figures;
}

TEST(DemoSongs, MultiplexCarriesTheVocalLeftAndTheBandRight) {
  const std::vector<float> multiplex = DecodeStereo(SeedSongs() + kMultiplex + ".mp3");
  ASSERT_GT(multiplex.size(), 2u * 44100 * 30);
  // The title bars are the band alone: nothing on the left.
  const ChannelFigures intro = Measure(multiplex, 0.3, 3.0);
  EXPECT_LT(intro.left, 0.003);
  EXPECT_GT(intro.right, 0.03);
  // The whole song: both sides loud, and not the same signal.
  const ChannelFigures whole = Measure(multiplex, 0, 60);
  EXPECT_GT(whole.left, 0.03);
  EXPECT_GT(whole.right, 0.03);
  EXPECT_LT(std::fabs(whole.correlation), 0.3);

  // The plain song has the same mix on both sides.
  const ChannelFigures plain = Measure(DecodeStereo(SeedSongs() + kPlain + ".mp3"), 0, 60);
  EXPECT_GT(plain.left, 0.03);
  EXPECT_GT(plain.correlation, 0.99);
}

TEST(DemoSongs, ZipHoldsOneMp3AndOneCdgOfTheSong) {
  unzFile zip = unzOpen64((SeedSongs() + kZipped + ".zip").c_str());
  ASSERT_NE(zip, nullptr);
  std::vector<std::string> members;
  std::string graphics;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    char name[512];
    unz_file_info64 info{};
    ASSERT_EQ(unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0),
              UNZ_OK);
    members.push_back(name);
    EXPECT_GT(info.uncompressed_size, 100000u) << name;
  }
  unzClose(zip);
  EXPECT_EQ(members, (std::vector<std::string>{kZipped + ".mp3", kZipped + ".cdg"}));
}

// Applies a stream's packets up to `seconds` and returns the pixels.
std::vector<uint8_t> PixelsAt(CdgScreen& screen, const std::string& stream, size_t& applied,
                              double seconds) {
  const size_t until = std::min(stream.size() / 24, static_cast<size_t>(seconds * 300));
  for (; applied < until; ++applied)
    screen.ApplyPacket(reinterpret_cast<const uint8_t*>(stream.data()) + applied * 24);
  std::vector<uint8_t> pixels;
  for (int y = 0; y < CdgScreen::kHeight; ++y)
    for (int x = 0; x < CdgScreen::kWidth; ++x) pixels.push_back(screen.Pixel(x, y));
  return pixels;
}

TEST(DemoSongs, LyricsLastAsLongAsTheAudioAndLightUpWhileItPlays) {
  for (const std::string& song : {kPlain, kMultiplex}) {
    SCOPED_TRACE(song);
    const std::string stream = ReadWhole(SeedSongs() + song + ".cdg");
    const double graphicsSeconds = static_cast<double>(stream.size()) / 24 / 300;
    const double audioSeconds =
        static_cast<double>(DecodeStereo(SeedSongs() + song + ".mp3").size()) / 2 / 44100;
    EXPECT_EQ(stream.size() % 24, 0u);
    EXPECT_NEAR(graphicsSeconds, audioSeconds, 0.2);

    // Through the first lyric page in steps shorter than a sung line: the
    // page holds text (paper, ink and the sung colour) and every step
    // lights up more of it.
    AppSettings settings;
    CdgScreen screen(settings);
    size_t applied = 0;
    std::vector<uint8_t> before = PixelsAt(screen, stream, applied, 5);
    for (double at = 7.5; at <= 15; at += 2.5) {
      const std::vector<uint8_t> now = PixelsAt(screen, stream, applied, at);
      size_t changed = 0;
      for (size_t i = 0; i < now.size(); ++i) changed += now[i] != before[i];
      EXPECT_GT(changed, 50u) << "at " << at << " s";
      EXPECT_GE(std::set<uint8_t>(now.begin(), now.end()).size(), 3u) << "at " << at << " s";
      before = now;
    }
  }
}

}  // namespace
}  // namespace lyricade
