#pragma once
// Song opening: turns a queued song (location, channel, key, tempo) into a running
// playback. It decides the kind of song, unpacks a ZIP into its scratch
// folder, starts a companion background video, builds and runs the song graph
// and opens the CD+G player when the graphics file exists. Runs on the UI
// thread, synchronously, unzipping included.

#include <functional>
#include <string>

#include "playback/song_file.h"

namespace lyricade {

class AppSettings;
class BackgroundVideoControl;
class CdgPlayer;
class Prompts;
class SongTransport;
class ZipSongExtractor;
struct SceneFlags;

// Streamed songs go through the store's service; song opening only hands
// them over.
class StreamedSongOpener {
public:
  virtual ~StreamedSongOpener() = default;
  virtual void OpenStreamedSong(const std::string& location, int channel, int keyTenths) = 0;
};

class SongOpener {
public:
  // `graphLogPath`: the graph log ("QuillonLog.log" in the data folder) that
  // each local or zipped song's filter list is appended to; empty writes none.
  SongOpener(AppSettings& settings, Prompts& prompts, SongTransport& transport, CdgPlayer& cdg,
             ZipSongExtractor& extractor, BackgroundVideoControl& backgrounds, SceneFlags& scene,
             std::string graphLogPath);

  void SetStreamedSongOpener(StreamedSongOpener* streamed) { streamed_ = streamed; }

  // Returns false when the request ended early (ZIP failure, missing
  // extracted audio, a graph that cannot be built or rendered): the song
  // stays queued. True otherwise, a missing local file included.
  bool OpenSong(const std::string& location, int channel, int keyTenths, int tempoPercent);

  // The song now open (valid while playing).
  const SongFile& Current() const { return current_; }

  // A MIDI song and no sound font to play it with.
  static constexpr const char* kNoSoundFontText =
      "MIDI songs need a General MIDI sound font, and none is installed.\n"
      "Install the package fluid-soundfont-gm.";
  static constexpr const char* kMissingAudioText =
      "Unzip Failed, MP3 Missing!\n\n(If you get this warning consistently,\nwe recommend you "
      "avoid using ZIP\nand decompress them to Standard MP3+G)";

private:
  // After the graph is built, for a song without CD+G graphics: its timed
  // lyrics (a MIDI file's own, or a ".lrc" beside the audio).
  void OpenTimedLyrics();
  void StartBackgrounds(const std::string& location);

  AppSettings& settings_;
  Prompts& prompts_;
  SongTransport& transport_;
  CdgPlayer& cdg_;
  ZipSongExtractor& extractor_;
  BackgroundVideoControl& backgrounds_;
  SceneFlags& scene_;
  std::string graphLogPath_;
  StreamedSongOpener* streamed_ = nullptr;
  SongFile current_;
};

}  // namespace lyricade
