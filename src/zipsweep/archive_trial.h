#pragma once
// The test of one archive, shared by "Test ZIPs", "UNZIP All" and the
// command line. The archive is unpacked into a private folder inside its own
// folder, first by the built-in reader (flattened: every file lands directly
// in the folder) and, when that fails, by the fallback module (stored
// folders kept), which must then have produced the archive's MP3 and CDG.
// Nothing next to the archive is touched: the caller either moves the
// unpacked files into place or lets the private folder go.

#include <string>
#include <vector>

#include "playback/zip_archive_reader.h"
#include "zipsweep/scratch_folder.h"

namespace lyricade {

class UnzipModule;
class ZipArchiveReader;

struct ArchiveTrial {
  bool Passed = false;
  // The engine that unpacked the archive ("zLib", "Info-ZIP") or the reason
  // it failed ("BAD Filename", "ZIP BAD", "Missing MP3", "Missing CDG").
  std::string Used;
  // Why "UNZIP All" must keep the archive although it passed (empty: no
  // reason): members that land on one name, or members the fallback left out.
  const char* KeepReason = nullptr;
  // The archive's folder, ending with "/".
  std::string Folder;
  // The unpacked files of an archive that passed (none when the test kept
  // them in a ScratchKeeper's folder).
  ScratchFolder Unpacked;
};

class ArchiveTester {
public:
  // `module` runs the fallback passes; `spareRoot`, when not empty, is where
  // a test that may not write beside its archive unpacks instead.
  explicit ArchiveTester(UnzipModule& module, std::string spareRoot = {})
      : module_(module), spareRoot_(std::move(spareRoot)) {}

  // Tests the archive at `path`. `mayUseSpare`: the unpacked files are only
  // looked at, so they may live outside the archive's folder when that folder
  // cannot be written. With `keeper` the archive is unpacked into the
  // keeper's folder, which is emptied again before Try returns: the trial
  // then carries the result only. Safe to call from several threads at once
  // (each with its own keeper).
  // What an archive may ask of the disk it is unpacked on.
  void SetLimits(const ZipLimits& limits) { limits_ = limits; }

  ArchiveTrial Try(const std::string& path, bool mayUseSpare, ScratchKeeper* keeper = nullptr) const;

private:
  // Both engines into `scratch`; sets the trial's result.
  void Unpack(ZipArchiveReader& reader, const ScratchFolder& scratch, const std::string& archive,
              const std::string& mp3, const std::string& cdg, std::vector<std::string> links,
              bool fallbackCollides, ArchiveTrial& trial) const;

  UnzipModule& module_;
  std::string spareRoot_;
  ZipLimits limits_;
};

}  // namespace lyricade
