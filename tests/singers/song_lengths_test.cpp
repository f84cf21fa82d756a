#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "common/test_folder.h"
#include "common/text_file.h"
#include "platform/db/db_connection.h"
#include "singers/song_lengths.h"
#include "support/test_media.h"

namespace lyricade {
namespace {

using testing::MakeMp3;
using testing::TestFolder;

TEST(SongLengthsTest, SongLenTextsThatSayNothingCountAsUnknown) {
  EXPECT_EQ(SongLenSeconds("00:03:25"), 205);
  EXPECT_EQ(SongLenSeconds(" 4:05 "), 245);
  EXPECT_EQ(SongLenSeconds("1:00:00"), 3600);
  EXPECT_EQ(SongLenSeconds("190"), 190);
  // The loader's default and every insert's empty text.
  EXPECT_EQ(SongLenSeconds("00:00:00"), -1);
  EXPECT_EQ(SongLenSeconds(""), -1);
  for (const char* bad : {"3:75", "a:10", "1:2:3:4", "-5", "3:", ":30", "99999:00:00", "3.5"})
    EXPECT_EQ(SongLenSeconds(bad), -1) << bad;
}

TEST(SongLengthsTest, EachSongIsMeasuredOnceAndKeptAcrossRestarts) {
  TestFolder folder;
  const std::string table = folder.File("song-lengths.cfg");
  // A table from an older run, with lines a damaged file might hold.
  ASSERT_TRUE(WriteTextLinesAtomically(
      table, {"200\t/songs/kept.mp3", "garbage", "0\t/songs/zero.mp3", "\t/songs/none.mp3",
              std::to_string(SongLengths::kMaximumSeconds + 1) + "\t/songs/long.mp3"}));
  std::atomic<int> calls{0};
  {
    SongLengths lengths(table, "", [&](const std::string& path) {
      ++calls;
      return path == "/songs/new.mp3" ? 185 : -1;
    });
    EXPECT_EQ(lengths.Seconds("/songs/kept.mp3"), 200);
    EXPECT_EQ(lengths.Seconds("/songs/zero.mp3"), -1);
    EXPECT_EQ(lengths.Seconds("/songs/new.mp3"), -1);
    EXPECT_EQ(lengths.Seconds("/songs/new.mp3"), -1);
    lengths.WaitIdle();
    EXPECT_TRUE(lengths.Collect());
    EXPECT_FALSE(lengths.Collect());
    EXPECT_EQ(lengths.Seconds("/songs/new.mp3"), 185);
    // What cannot be measured is not asked again.
    lengths.Seconds("/songs/zero.mp3");
    lengths.WaitIdle();
    EXPECT_EQ(calls.load(), 2);
    lengths.Record("/songs/song.zip", 240);
    lengths.Record("/songs/bad\nline.mp3", 240);
    ASSERT_TRUE(lengths.Save());
  }
  calls = 0;
  SongLengths again(table, "", [&](const std::string&) { return ++calls, -1; });
  EXPECT_EQ(again.Seconds("/songs/new.mp3"), 185);
  EXPECT_EQ(again.Seconds("/songs/song.zip"), 240);
  EXPECT_EQ(again.Seconds("/songs/kept.mp3"), 200);
  EXPECT_EQ(calls.load(), 0);
  EXPECT_EQ(ReadTextLines(table)->size(), 3u);
}

TEST(SongLengthsTest, TheLibraryRowWinsOverTheFile) {
  TestFolder folder;
  const std::string song = folder.File("it's a song.mp3");
  const std::string other = folder.File("other.mp3");
  ASSERT_TRUE(MakeMp3(song, 3.0));
  ASSERT_TRUE(MakeMp3(other, 3.0));
  const std::string database = folder.File("collections.mdb");
  {
    DbConnection db;
    ASSERT_TRUE(db.Create(database));
    ASSERT_TRUE(db.Execute("CREATE TABLE Items (ItemNum INTEGER PRIMARY KEY, SongLen TEXT, SongPath TEXT);"
                           "INSERT INTO Items (SongLen, SongPath) VALUES ('00:04:10', '" +
                           folder.File("it''s a song.mp3") + "');"
                           "INSERT INTO Items (SongLen, SongPath) VALUES ('', '" + other + "');"));
  }
  EXPECT_EQ(LibrarySongSeconds(database, song), 250);
  EXPECT_EQ(LibrarySongSeconds(database, other), -1);
  EXPECT_EQ(MeasureSongSeconds(other), 3);
  EXPECT_EQ(MeasureSongSeconds(folder.File("missing.mp3")), -1);
  EXPECT_EQ(MeasureSongSeconds("http://127.0.0.1:1/song.mp3"), -1);

  SongLengths lengths(folder.File("song-lengths.cfg"), database);
  lengths.Seconds(song);
  lengths.Seconds(other);
  lengths.WaitIdle();
  lengths.Collect();
  EXPECT_EQ(lengths.Seconds(song), 250);
  EXPECT_EQ(lengths.Seconds(other), 3);
}

}  // namespace
}  // namespace lyricade
