#pragma once
// The demo songs a new data folder starts with: who "sings" them, their
// lyrics, tempo and chords, and the timeline both the audio and the CD+G
// graphics are made from, so the words light up exactly when their notes
// sound.

#include <string>
#include <vector>

namespace lyricade::demo {

// How a song is packaged in "Demo Songs/".
enum class DemoPackaging {
  Plain,      // "Artist - Title.mp3" + ".cdg", vocals and backing on both channels
  Zipped,     // "Artist - Title.zip" holding the MP3 and the CD+G, nothing loose
  Multiplex,  // MP3 + CD+G, vocal melody on the left channel, backing on the right
};

// A chord as semitones above C (0-11) and whether it is minor.
struct Chord {
  int Root = 0;
  bool Minor = false;
};

struct DemoSong {
  std::string Artist;
  std::string Title;
  DemoPackaging Packaging = DemoPackaging::Plain;
  double BeatsPerMinute = 120;
  // One chord a bar, repeated for as long as the song lasts.
  std::vector<Chord> Progression;
  // Pages of four lyric lines; each line is sung over two bars.
  std::vector<std::vector<std::string>> Pages;
  // Extra lines of the title page (a hint on what the song shows).
  std::vector<std::string> TitleNotes;
  // Melody height: semitones above middle C of the key's tonic.
  int MelodyBase = 12;
};

// One sung word with the moment it starts and how long its note lasts.
struct TimedWord {
  std::string Text;
  double Start = 0;     // seconds from the start of the song
  double Duration = 0;  // seconds
  int Page = 0;
  int Line = 0;          // 0-3 within the page
  size_t Column = 0;     // index of the word's first character in its line
  double Frequency = 0;  // the melody note, Hz
};

struct Timeline {
  double Beat = 0.5;              // seconds
  double Bar = 2.0;               // seconds
  double TitleEnd = 0;            // the title page gives way to the first lyric page
  std::vector<double> PageShown;  // when each lyric page is drawn
  double ClosingShown = 0;        // the closing page
  double Length = 0;              // the whole song, seconds
  std::vector<TimedWord> Words;
};

// The three demo songs, in library order.
const std::vector<DemoSong>& DemoSongBook();

// "Artist - Title" (the file names' base).
std::string BaseName(const DemoSong& song);

// The files the song leaves in the demo folder, by name.
std::vector<std::string> OutputNames(const DemoSong& song);

// Bars: two of title page, then per page one bar to read it and two bars a
// line, then two closing bars. Every word gets one beat, the last of a line
// two, with short words halved when a line would run past seven beats.
Timeline MakeTimeline(const DemoSong& song);

// The frequency of a note given in semitones above middle C (C4).
double NoteFrequency(double semitonesAboveMiddleC);

}  // namespace lyricade::demo
