#include "demo_lyrics_cdg.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string>

#include "cdg/cdg_font.h"
#include "cdg/cdg_writer.h"

namespace lyricade::demo {
namespace {

// Large letters take 2x2 tiles, so a line holds 24 of them inside the border.
constexpr int kLargeColumns = CdgScreen::kTileColumns / 2 - 1;
// The tile row of each lyric line's upper half.
constexpr int kLineRows[4] = {3, 6, 9, 12};

std::array<CdgColour, 16> ColoursFor(DemoPackaging packaging) {
  std::array<CdgColour, 16> table{};
  for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  table[kInkColour] = {15, 15, 15};
  switch (packaging) {
    case DemoPackaging::Plain:
      table[kPaperColour] = {1, 1, 5};
      table[kSungColour] = {15, 13, 0};
      table[kBorderColour] = {6, 0, 8};
      table[kTitleColour] = {0, 12, 15};
      table[kNoteColour] = {12, 12, 15};
      break;
    case DemoPackaging::Zipped:
      table[kPaperColour] = {0, 4, 2};
      table[kSungColour] = {15, 9, 0};
      table[kBorderColour] = {0, 2, 1};
      table[kTitleColour] = {11, 15, 6};
      table[kNoteColour] = {12, 15, 12};
      break;
    case DemoPackaging::Multiplex:
      table[kPaperColour] = {5, 0, 2};
      table[kSungColour] = {0, 14, 15};
      table[kBorderColour] = {2, 0, 1};
      table[kTitleColour] = {15, 12, 4};
      table[kNoteColour] = {15, 13, 13};
      break;
  }
  return table;
}

// A page change: a Memory Preset burst as discs carry it (the decoder acts on
// the first) and the border.
void ClearPage(CdgWriter& writer) {
  for (int repeat = 0; repeat < 16; ++repeat) writer.MemoryPreset(kPaperColour, repeat);
  writer.BorderPreset(kBorderColour);
}

// One quarter of a character drawn twice as wide and high: the glyph's
// columns 3*right.. and rows 6*lower.. doubled into a whole tile.
std::array<uint8_t, 12> LargeQuarter(char c, int lower, int right) {
  const CdgGlyph& glyph = CdgFontGlyph(c);
  std::array<uint8_t, 12> lines{};
  for (int y = 0; y < 12; ++y) {
    const uint8_t source = glyph[static_cast<size_t>(lower * 6 + y / 2)];
    uint8_t line = 0;
    for (int x = 0; x < 6; ++x) {
      const int column = right * 3 + x / 2;
      if (source & (0x20 >> column)) line |= static_cast<uint8_t>(0x20 >> x);
    }
    lines[static_cast<size_t>(y)] = line;
  }
  return lines;
}

int LargeStartColumn(const std::string& text) {
  const int width = 2 * static_cast<int>(text.size());
  return std::max(0, (CdgScreen::kTileColumns - width) / 2);
}

int SmallStartColumn(const std::string& text) {
  const int width = static_cast<int>(text.size());
  return std::max(0, (CdgScreen::kTileColumns - width) / 2);
}

// A character in large letters, or (highlight) the XOR tiles that turn its
// ink into the sung colour and leave its paper alone.
void LargeCharacter(CdgWriter& writer, int row, int column, char c, int ink, bool highlight) {
  for (int lower = 0; lower < 2; ++lower)
    for (int right = 0; right < 2; ++right) {
      const auto lines = LargeQuarter(c, lower, right);
      if (highlight)
        writer.TileBlock(row + lower, column + right, 0, kInkColour ^ kSungColour, lines, true);
      else
        writer.TileBlock(row + lower, column + right, kPaperColour, ink, lines);
    }
}

void LargeText(CdgWriter& writer, int row, const std::string& text, int ink) {
  const int column = LargeStartColumn(text);
  for (size_t i = 0; i < text.size() && i < static_cast<size_t>(kLargeColumns + 1); ++i)
    if (text[i] != ' ')
      LargeCharacter(writer, row, column + 2 * static_cast<int>(i), text[i], ink, false);
}

// Splits text into lines of at most `width` characters at blanks.
std::vector<std::string> Wrap(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  for (std::string word; in >> word;) {
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void TitlePage(CdgWriter& writer, const DemoSong& song) {
  ClearPage(writer);
  int row = 3;
  for (const std::string& line : Wrap(song.Title, kLargeColumns)) {
    LargeText(writer, row, line, kTitleColour);
    row += 3;
  }
  const std::string by = "by " + song.Artist;
  writer.Text(row, SmallStartColumn(by), by, kPaperColour, kInkColour);
  row += 2;
  for (const std::string& note : song.TitleNotes) {
    writer.Text(row, SmallStartColumn(note), note, kPaperColour, kNoteColour);
    ++row;
  }
  const std::string hint = "Sing when the words change colour";
  writer.Text(16, SmallStartColumn(hint), hint, kPaperColour, kSungColour);
}

}  // namespace

std::vector<uint8_t> MakeLyricGraphics(const DemoSong& song, const Timeline& timeline) {
  CdgWriter writer;
  writer.LoadColourTable(ColoursFor(song.Packaging));
  TitlePage(writer, song);

  size_t next = 0;  // the next word to light up
  for (size_t page = 0; page < song.Pages.size(); ++page) {
    writer.PadToSeconds(timeline.PageShown[page]);
    ClearPage(writer);
    const auto& lines = song.Pages[page];
    for (size_t line = 0; line < lines.size() && line < 4; ++line)
      LargeText(writer, kLineRows[line], lines[line], kInkColour);

    for (; next < timeline.Words.size() && timeline.Words[next].Page == static_cast<int>(page);
         ++next) {
      const TimedWord& word = timeline.Words[next];
      const std::string& text = lines[static_cast<size_t>(word.Line)];
      const int row = kLineRows[word.Line];
      const int column = LargeStartColumn(text) + 2 * static_cast<int>(word.Column);
      // The wipe runs through the word over the first part of its note.
      const double step = 0.7 * word.Duration / static_cast<double>(word.Text.size());
      for (size_t c = 0; c < word.Text.size(); ++c) {
        writer.PadToSeconds(word.Start + step * static_cast<double>(c));
        LargeCharacter(writer, row, column + 2 * static_cast<int>(c), word.Text[c], kInkColour,
                       true);
      }
    }
  }

  writer.PadToSeconds(timeline.ClosingShown);
  ClearPage(writer);
  LargeText(writer, 6, "Thanks for", kTitleColour);
  LargeText(writer, 9, "singing!", kTitleColour);
  const std::string made = "a Lyricade demo song";
  writer.Text(13, SmallStartColumn(made), made, kPaperColour, kNoteColour);
  writer.PadToSeconds(timeline.Length);
  return writer.Bytes();
}

}  // namespace lyricade::demo
