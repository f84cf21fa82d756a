#include "demo_song_book.h"

#include <cmath>
#include <sstream>

namespace lyricade::demo {
namespace {

constexpr Chord C{0, false}, D{2, false}, Dm{2, true}, Em{4, true}, F{5, false}, G{7, false},
    Am{9, true}, Bb{10, false};

constexpr int kTitleBars = 2;
constexpr int kReadingBars = 1;  // a new page shows one bar before it is sung
constexpr int kBarsPerLine = 2;
constexpr int kClosingBars = 2;
constexpr int kBeatsPerBar = 4;
constexpr double kMostBeatsSung = 7;  // the last beat of a line is a breath

// Which chord tone (root, third, fifth, octave) each word of a line sings;
// the lines of a page take the patterns in turn, so the tune rises and
// settles back home at the end of each page.
constexpr int kContours[4][8] = {
    {0, 1, 2, 2, 1, 2, 1, 2},
    {2, 2, 3, 2, 1, 1, 2, 1},
    {1, 2, 3, 3, 2, 3, 2, 1},
    {2, 1, 1, 2, 1, 0, 1, 0},
};

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

}  // namespace

const std::vector<DemoSong>& DemoSongBook() {
  static const std::vector<DemoSong> book = {
      {"Pip Larkspur",
       "Lanterns On The Pier",
       DemoPackaging::Plain,
       120,
       {C, G, Am, F},
       {{"Lanterns on the pier", "glowing gold and warm,", "every little boat",
         "sailing home from storm."},
        {"Sing it to the harbour,", "sing it to the sea,", "lanterns on the pier",
         "light the way for me."}},
       {"A song with its MP3 and CD+G side by side"},
       0},
      {"The Marmalade Kites",
       "Sunday Bicycle",
       DemoPackaging::Zipped,
       126,
       {G, Em, C, D},
       {{"Pedal down the lane,", "ribbons in the breeze,", "Sunday on a bicycle,",
         "humming with the bees."},
        {"Round the duck pond,", "past the bakery,", "ring the little bell",
         "and sing along with me!"}},
       {"A song packed in a ZIP file"},
       -3},
      {"Juno Fairweather",
       "Two Sides Of The Song (Multiplex)",
       DemoPackaging::Multiplex,
       122,
       {F, Dm, Bb, C},
       {{"Voice on the left side,", "music on the right,", "press a button, change",
         "the mix for you tonight."},
        {"Take away the singer,", "let the band play on,", "now the stage is yours",
         "to finish off the song!"}},
       {"Multiplex: the vocal guide is on the LEFT", "channel, the band on the RIGHT.",
        "Press Right to sing without the guide."},
       0},
  };
  return book;
}

std::string BaseName(const DemoSong& song) {
  return song.Artist + " - " + song.Title;
}

std::vector<std::string> OutputNames(const DemoSong& song) {
  const std::string base = BaseName(song);
  if (song.Packaging == DemoPackaging::Zipped) return {base + ".zip"};
  return {base + ".cdg", base + ".mp3"};
}

double NoteFrequency(double semitonesAboveMiddleC) {
  return 261.6256 * std::pow(2.0, semitonesAboveMiddleC / 12.0);
}

Timeline MakeTimeline(const DemoSong& song) {
  Timeline timeline;
  timeline.Beat = 60.0 / song.BeatsPerMinute;
  timeline.Bar = timeline.Beat * kBeatsPerBar;
  timeline.TitleEnd = kTitleBars * timeline.Bar;

  int bar = kTitleBars;
  for (size_t page = 0; page < song.Pages.size(); ++page) {
    timeline.PageShown.push_back(bar * timeline.Bar);
    bar += kReadingBars;
    const auto& lines = song.Pages[page];
    for (size_t line = 0; line < lines.size(); ++line) {
      const std::vector<std::string> words = Words(lines[line]);
      std::vector<double> beats(words.size(), 1.0);
      if (!beats.empty()) beats.back() = 2.0;
      double total = 0;
      for (double b : beats) total += b;
      for (size_t i = 0; i + 1 < words.size() && total > kMostBeatsSung; ++i)
        if (words[i].size() <= 3) {
          beats[i] = 0.5;
          total -= 0.5;
        }
      double at = bar * timeline.Bar;
      size_t searchFrom = 0;
      for (size_t i = 0; i < words.size(); ++i) {
        TimedWord word;
        word.Text = words[i];
        word.Start = at;
        word.Duration = beats[i] * timeline.Beat;
        word.Page = static_cast<int>(page);
        word.Line = static_cast<int>(line);
        word.Column = lines[line].find(words[i], searchFrom);
        searchFrom = word.Column + words[i].size();
        // The chord sounding when the word starts gives the note.
        const int wordBar = static_cast<int>(std::floor(at / timeline.Bar + 1e-9));
        const Chord& chord =
            song.Progression[static_cast<size_t>(wordBar) % song.Progression.size()];
        const int tones[4] = {0, chord.Minor ? 3 : 4, 7, 12};
        const int root = chord.Root > 7 ? chord.Root - 12 : chord.Root;
        const int tone = tones[kContours[line % 4][i % 8]];
        word.Frequency = NoteFrequency(song.MelodyBase + root + tone);
        timeline.Words.push_back(word);
        at += word.Duration;
      }
      bar += kBarsPerLine;
    }
  }
  timeline.ClosingShown = bar * timeline.Bar;
  timeline.Length = (bar + kClosingBars) * timeline.Bar;
  return timeline;
}

}  // namespace lyricade::demo
