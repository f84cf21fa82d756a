#include "lyrics/lrc_lyrics.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

std::vector<int64_t> SyllableTimes(const LyricLine& line) {
  std::vector<int64_t> times;
  for (const LyricSyllable& syllable : line.Syllables) times.push_back(syllable.StartMs);
  return times;
}

TEST(LrcLyrics, LineAndWordTimesInBothWildForms) {
  const TimedLyrics lyrics = ReadLrcLyrics(
      "\xEF\xBB\xBF[ti:Song]\r\n[ar:Band]\r\n[by:someone]\r\n"
      "[00:05.50]<00:05.50>Hel<00:06.125>lo <00:07.00>there\r\n"
      "[00:01.00]First line\r\n"
      "[01:02.00]Inline [01:03.50]words\n"
      "[00:10.00][00:20.00]Chorus\n"
      "no time at all\n[00:30.00]\n[xx:yy.zz]junk\n");
  EXPECT_EQ(lyrics.Title, "Song");
  EXPECT_EQ(lyrics.Artist, "Band");
  ASSERT_EQ(lyrics.Lines.size(), 5u);
  EXPECT_EQ(lyrics.Lines[0].Text(), "First line");
  EXPECT_EQ(lyrics.Lines[1].Text(), "Hello there");
  EXPECT_EQ(SyllableTimes(lyrics.Lines[1]), (std::vector<int64_t>{5500, 6125, 7000}));
  EXPECT_EQ(lyrics.Lines[2].StartMs, 10000);
  EXPECT_EQ(lyrics.Lines[3].StartMs, 20000);
  EXPECT_EQ(SyllableTimes(lyrics.Lines[4]), (std::vector<int64_t>{62000, 63500}));
  EXPECT_TRUE(lyrics.Lines[0].NewPage);
  EXPECT_FALSE(lyrics.Lines[1].NewPage);
}

TEST(LrcLyrics, OffsetMovesTheLyricsAndAMalformedOneIsIgnored) {
  EXPECT_EQ(ReadLrcLyrics("[offset:+500]\n[00:02.00]a\n").Lines.at(0).StartMs, 1500);
  EXPECT_EQ(ReadLrcLyrics("[offset:-250]\n[00:02.00]a\n").Lines.at(0).StartMs, 2250);
  EXPECT_EQ(ReadLrcLyrics("[offset:5x]\n[00:02.00]a\n").Lines.at(0).StartMs, 2000);
  EXPECT_EQ(ReadLrcLyrics("[offset:+9000]\n[00:02.00]a\n").Lines.at(0).StartMs, 0);
  EXPECT_TRUE(ReadLrcLyrics(std::string(kLrcFileBytesMax + 1, '[')).Empty());
}

}  // namespace
}  // namespace lyricade
