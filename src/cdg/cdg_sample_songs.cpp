#include "cdg/cdg_sample_songs.h"

#include <algorithm>
#include <array>
#include <string>

#include "cdg/cdg_font.h"
#include "cdg/cdg_writer.h"

namespace lyricade {
namespace {

// Colour indices of the demo and generated streams.
constexpr int kPaper = 0, kInk = 1, kSung = 2, kBorder = 3, kTitle = 4;

std::array<CdgColour, 16> DemoColours() {
  std::array<CdgColour, 16> table{};
  table[kPaper] = {1, 1, 5};    // deep blue
  table[kInk] = {15, 15, 15};   // white
  table[kSung] = {15, 13, 0};   // yellow
  table[kBorder] = {6, 0, 8};   // purple
  table[kTitle] = {0, 12, 15};  // sky blue
  for (int i = 5; i < 16; ++i) table[i] = {uint8_t(i), uint8_t(15 - i), uint8_t(i / 2)};
  return table;
}

// A page change: a Memory Preset burst as discs carry it (the repeats are
// ignored by the decoder) and the border.
void ClearPage(CdgWriter& writer, int colour) {
  for (int repeat = 0; repeat < 16; ++repeat) writer.MemoryPreset(colour, repeat);
  writer.BorderPreset(kBorder);
}

int CentredColumn(const std::string& text) {
  const int width = static_cast<int>(text.size());
  return width >= CdgScreen::kTileColumns ? 0 : (CdgScreen::kTileColumns - width) / 2;
}

// Turns sung characters from ink to the sung colour: XOR with ink ^ sung
// where the glyph has ink, nothing where it has paper.
void HighlightCharacter(CdgWriter& writer, int row, int column, char c) {
  writer.TileBlock(row, column, 0, kInk ^ kSung, CdgFontGlyph(c), true);
}

// Writes one page of lyrics at `start` seconds, then wipes it in yellow over
// `seconds`, one character at a time.
double LyricPage(CdgWriter& writer, double start, const std::array<const char*, 4>& lines,
                 double seconds) {
  writer.PadToSeconds(start);
  ClearPage(writer, kPaper);
  const int firstRow = 5;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = lines[i];
    writer.Text(firstRow + 2 * static_cast<int>(i), CentredColumn(line), line, kPaper, kInk);
  }
  size_t characters = 0;
  for (const char* line : lines) characters += std::string(line).size();
  const double step = seconds / static_cast<double>(characters);
  double at = start + 1.0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = lines[i];
    const int column = CentredColumn(line);
    for (size_t c = 0; c < line.size(); ++c) {
      writer.PadToSeconds(at);
      if (line[c] != ' ')
        HighlightCharacter(writer, firstRow + 2 * static_cast<int>(i), column + static_cast<int>(c),
                           line[c]);
      at += step;
    }
  }
  return at;
}

// A small deterministic generator, so generated streams are the same on
// every machine.
class Sequence {
public:
  explicit Sequence(uint32_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int limit) { return static_cast<int>(Next() % static_cast<uint32_t>(limit)); }

private:
  uint32_t state_;
};

std::array<uint8_t, 12> RandomTile(Sequence& sequence) {
  std::array<uint8_t, 12> lines{};
  for (uint8_t& line : lines) line = static_cast<uint8_t>(sequence.Next() & 63);
  return lines;
}

}  // namespace

std::vector<uint8_t> MakeDemoSong() {
  CdgWriter writer;
  writer.LoadColourTable(DemoColours());
  ClearPage(writer, kPaper);
  const char* title = "LYRICADE DEMO SONG";
  writer.Text(6, CentredColumn(title), title, kPaper, kTitle);
  const char* byline = "made with the CD+G writer";
  writer.Text(9, CentredColumn(byline), byline, kPaper, kInk);
  const char* hint = "sing along when the words turn yellow";
  writer.Text(12, CentredColumn(hint), hint, kPaper, kSung);

  double at = LyricPage(writer, 5.0,
                        {"Here comes the music,", "lights are shining bright,",
                         "sing it loud and proud,", "karaoke every night!"},
                        12.0);
  at = LyricPage(writer, at + 1.0,
                 {"Every word in yellow", "follows where you are,", "keep the rhythm going,",
                  "you're a superstar!"},
                 12.0);

  // The closing page scrolls in from below, one tile row at a time.
  writer.PadToSeconds(at + 1.0);
  ClearPage(writer, kPaper);
  const char* thanks = "Thanks for singing!";
  writer.Text(17, CentredColumn(thanks), thanks, kPaper, kTitle);
  for (int step = 0; step < 9; ++step) {
    writer.PadToSeconds(at + 1.5 + 0.25 * step);
    writer.Scroll(true, CdgHorizontalScroll::Stay, 0, CdgVerticalScroll::Up, 0);
  }
  writer.PadToSeconds(at + 6.0);
  return writer.Bytes();
}

std::vector<uint8_t> MakeRipLikeStream(size_t packets) {
  CdgWriter writer;
  constexpr size_t kPagePackets = 3000;  // a page every 10 seconds
  const std::string words = "and the night goes on while we sing our song together ";
  size_t page = 0;
  while (writer.PacketCount() < packets) {
    const size_t pageStart = writer.PacketCount();
    std::array<CdgColour, 16> colours = DemoColours();
    colours[kPaper] = {uint8_t(page % 4), 1, uint8_t(4 + page % 8)};
    writer.LoadColourTable(colours);
    ClearPage(writer, kPaper);
    if (page % 3 == 2) writer.BorderPreset(static_cast<int>(page % 16));
    // Text tiles, then highlights over them: one XOR for three tiles drawn...
    // three quarters XOR in all, every third packet an instruction.
    size_t tile = 0;
    while (writer.PacketCount() + 3 <= pageStart + kPagePackets &&
           writer.PacketCount() + 3 <= packets) {
      const int row = 3 + static_cast<int>((tile / 40) % 12);
      const int column = 5 + static_cast<int>(tile % 40);
      const char c = words[(tile + page) % words.size()];
      const bool highlight = (tile % 4) != 0;
      writer.TileBlock(row, column, highlight ? 0 : kPaper, highlight ? kInk ^ kSung : kInk,
                       CdgFontGlyph(c), highlight);
      if (tile % 500 == 499)
        writer.Scroll(false, CdgHorizontalScroll::Stay, 0, CdgVerticalScroll::Up, 0);
      else
        writer.Pad(2);
      ++tile;
    }
    writer.PadTo(std::min(pageStart + kPagePackets, packets));
    ++page;
  }
  std::vector<uint8_t> bytes = writer.Bytes();
  bytes.resize(packets * kCdgPacketSize);
  return bytes;
}

std::vector<uint8_t> MakeDenseStream(size_t packets) {
  CdgWriter writer;
  Sequence sequence(0xC0FFEEu);
  writer.LoadColourTable(DemoColours());
  while (writer.PacketCount() < packets) {
    const int pick = sequence.Below(100);
    if (pick == 0) {
      // 1%: a scroll in some direction, preset or copy.
      const auto horizontal = static_cast<CdgHorizontalScroll>(0x10 * sequence.Below(3));
      const auto vertical = static_cast<CdgVerticalScroll>(0x10 * sequence.Below(3));
      writer.Scroll(sequence.Below(2) == 0, horizontal, sequence.Below(8), vertical,
                    sequence.Below(16));
    } else if (pick == 1) {
      writer.MemoryPreset(sequence.Below(16));
    } else if (pick == 2) {
      std::array<CdgColour, 16> colours = DemoColours();
      colours[sequence.Below(16)] = {uint8_t(sequence.Below(16)), uint8_t(sequence.Below(16)),
                                     uint8_t(sequence.Below(16))};
      writer.LoadColourTable(colours);
    } else {
      writer.TileBlock(sequence.Below(18), sequence.Below(50), sequence.Below(16),
                       sequence.Below(16), RandomTile(sequence), sequence.Below(4) != 0);
    }
  }
  std::vector<uint8_t> bytes = writer.Bytes();
  bytes.resize(packets * kCdgPacketSize);
  return bytes;
}

}  // namespace lyricade
