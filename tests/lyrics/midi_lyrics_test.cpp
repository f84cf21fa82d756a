#include "lyrics/midi_lyrics.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/test_midi.h"
#include "common/test_folder.h"

namespace lyricade {
namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> LineTexts(const TimedLyrics& lyrics) {
  std::vector<std::string> texts;
  for (const LyricLine& line : lyrics.Lines) texts.push_back((line.NewPage ? "#" : "") + line.Text());
  return texts;
}

// The KAR conventions: "@T" gives title then artist, other headers and "%"
// comments are skipped, "/" starts a line and "\" a page, each syllable is
// timed by the tempo (120 a minute: a beat each, 500 ms).
TEST(MidiLyrics, KarHeadersBreaksAndTimes) {
  testing::TestFolder folder;
  const std::string path = folder.File("song.kar");
  ASSERT_TRUE(testing::MakeKaraokeMidi(
      path, {"@KMIDI KARAOKE FILE", "@TFly Away", "@TThe Singers", "@LENGL"},
      {{"/Fly "}, {"a"}, {"way"}, {"%comment"}, {"/Hi\xE9 "}, {"\\Next "}, {"page"}}));
  const std::optional<TimedLyrics> lyrics = ReadMidiLyrics(ReadWhole(path));
  ASSERT_TRUE(lyrics);
  EXPECT_EQ(lyrics->Title, "Fly Away");
  EXPECT_EQ(lyrics->Artist, "The Singers");
  EXPECT_EQ(LineTexts(*lyrics), (std::vector<std::string>{"#Fly away", "Hi\xC3\xA9 ", "#Next page"}));
  ASSERT_EQ(lyrics->Lines[0].Syllables.size(), 3u);
  EXPECT_EQ(lyrics->Lines[0].Syllables[2].StartMs, 1000);
  EXPECT_EQ(lyrics->Lines[1].StartMs, 2000) << "the comment takes no time of its own";
  EXPECT_EQ(lyrics->Lines[2].Syllables[1].StartMs, 3000);
}

// Files cut short keep what came before the cut; what is not a MIDI file is
// refused; an oversized file is never read.
TEST(MidiLyrics, DamagedAndForeignFiles) {
  testing::TestFolder folder;
  const std::string path = folder.File("song.kar");
  ASSERT_TRUE(testing::MakeKaraokeMidi(path, {}, {{"One "}, {"two "}, {"three"}}));
  const std::string whole = ReadWhole(path);
  const std::optional<TimedLyrics> cut = ReadMidiLyrics(whole.substr(0, whole.size() - 20));
  ASSERT_TRUE(cut);
  ASSERT_EQ(cut->Lines.size(), 1u);
  EXPECT_EQ(cut->Lines[0].Text(), "One two ");
  EXPECT_FALSE(ReadMidiLyrics("RIFF....WAVEfmt "));
  EXPECT_FALSE(ReadMidiLyrics(whole.substr(0, 10)));
  EXPECT_FALSE(ReadMidiLyrics(whole + std::string(kMidiFileBytesMax, '\0')));
}

TEST(LyricPages, TurnAtBreaksAndWhenFull) {
  TimedLyrics lyrics;
  for (int i = 0; i < 7; ++i) lyrics.Lines.push_back({i * 1000, {{i * 1000, "x"}}, i == 0 || i == 5});
  EXPECT_EQ(PageAt(lyrics, -5, 3).First, 0u);
  EXPECT_EQ(PageAt(lyrics, -5, 3).End, 3u);
  EXPECT_EQ(PageAt(lyrics, 3500, 3).First, 3u);
  EXPECT_EQ(PageAt(lyrics, 3500, 3).End, 5u) << "the break ends the page early";
  EXPECT_EQ(PageAt(lyrics, 9000, 3).First, 5u);
  EXPECT_EQ(PageAt(lyrics, 9000, 3).End, 7u);
}

}  // namespace
}  // namespace lyricade
