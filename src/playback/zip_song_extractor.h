#pragma once
// Unpacks a zipped song (an MP3 or WMA with its CD+G file) into a scratch
// folder of its own below the "Zipped/" scratch folder, with the program's ZIP
// reader first and the runtime-loaded fallback unzip module when the reader
// fails. Remembers what it extracted (the extraction record) so the next
// extraction, or the stop of the song, deletes it. Failures are shown through
// Prompts with their exact captions. UI thread only.

#include <cstdint>
#include <functional>
#include <string>

#include "playback/zip_archive_reader.h"

namespace lyricade {

class Prompts;

// The audio and graphics files extracted for the song now playing.
struct ExtractionRecord {
  std::string AudioPath;
  std::string GraphicsPath;
};

// The moment a scratch folder is named from (UTC).
struct ScratchClock {
  int Hour = 0;
  int Minute = 0;
  int Millisecond = 0;
};

// "LYR" + the low 16 bits of `number` as four upper-case hex digits + ".TMP"
// (700 gives "LYR02BC.TMP").
std::string ScratchFolderName(uint32_t number);

// milliseconds + minute x hour of the clock.
uint32_t ScratchNumber(const ScratchClock& clock);

// Makes (or reuses) the scratch folder for `number` inside `root` and returns
// its path ending with "/", or empty on failure. A number of 0 takes the next
// free name.
std::string MakeScratchFolder(const std::string& root, uint32_t number);

// Removes a scratch tree without following symbolic links. True when nothing
// of it is left.
bool RemoveScratchTree(const std::string& folder);

// Removes the ID3v1 and ID3v2 tags of an audio file in place, leaving the
// audio bytes as they were. False when the file could not be rewritten.
bool StripId3Tags(const std::string& path);

class ZipSongExtractor {
public:
  // `zippedFolder`: the "Zipped/" scratch folder (made private to the user on
  // first use). `moduleFolder`: where the fallback module "libeunzip32.so" is
  // looked for first (the program's own folder), before the library path.
  ZipSongExtractor(std::string zippedFolder, Prompts& prompts, std::string moduleFolder);
  ~ZipSongExtractor();
  ZipSongExtractor(const ZipSongExtractor&) = delete;
  ZipSongExtractor& operator=(const ZipSongExtractor&) = delete;

  // Unpacks `archive`. True with `audioOut` set to the extracted audio path
  // (empty when the archive held no audio member: the caller reports that);
  // false after the failure message was shown.
  bool ExtractZipSong(const std::string& archive, std::string& audioOut);

  const ExtractionRecord& Record() const { return record_; }

  // Deletes the record's audio and graphics files, each if it exists (the
  // song stopped).
  void DeleteExtractedFiles();

  // What an archive may ask of the scratch folder's disk.
  void SetLimits(const ZipLimits& limits) { limits_ = limits; }

  // Where scratch folder numbers come from; the system clock by default.
  void SetClock(std::function<ScratchClock()> clock) { clock_ = std::move(clock); }

private:
  // The fallback module's listing and extracting passes into `scratch`, with
  // the captions for a missing audio and a missing graphics file.
  bool ExtractWithModule(const std::string& archive, const std::string& scratch,
                         const ExtractionRecord& previous, const char* audioCaption,
                         const char* graphicsCaption, std::string& audioOut);

  std::string zippedFolder_;
  Prompts& prompts_;
  std::string moduleFolder_;
  ExtractionRecord record_;
  std::function<ScratchClock()> clock_;
  ZipLimits limits_;
};

}  // namespace lyricade
