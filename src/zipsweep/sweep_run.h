#pragma once
// A run of "Test ZIPs" or "UNZIP All" over a list of archives: each archive
// is tested in its own private folder; in "UNZIP All" an archive that passed
// has its files moved into place before the next archive is looked at, and
// archives are deleted (when asked) only once the run is over, except those
// whose unpacked files a later archive replaced, so every song stays either
// unpacked or zipped. Results, the log and the moves follow the list's order
// even when several archives are tested at once.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace lyricade {

class ArchiveTester;
class ZipLog;

enum class SweepMode { Test, Unzip };

struct SweepRow {
  std::string Path;
  bool Passed = false;
  std::string Status;  // "Test Passed" / "Test Failed"
  std::string Used;    // engine or reason, with " - ZIP Kept" when kept
  bool Kept = false;   // passed "UNZIP All" but must not be deleted
};

struct SweepHooks {
  // Archive `index` of `count` is about to be worked on.
  std::function<void(size_t index, size_t count)> Starting;
  // Archive `index` is done; called in list order.
  std::function<void(size_t index, const SweepRow& row)> Finished;
  // An earlier row changed: a later archive replaced its files.
  std::function<void(size_t index, const SweepRow& row)> Revised;
  // Lets waiting events run, once after each archive.
  std::function<void()> Pump;
  // The abort flag: the archives in progress are finished, no new one starts.
  std::function<bool()> Aborted;
};

struct SweepSummary {
  size_t Passed = 0;
  size_t Failed = 0;
  size_t Deleted = 0;
  bool Aborted = false;
};

struct SweepOptions {
  SweepMode Mode = SweepMode::Test;
  bool DeleteAfterUnzip = false;  // "UNZIP All" only
  int Jobs = 1;                   // archives tested at once
};

class SweepRun {
public:
  SweepRun(const ArchiveTester& tester, ZipLog& log, SweepOptions options)
      : tester_(tester), log_(log), options_(options) {}

  // Replaces the log with its header and works through `paths`.
  SweepSummary Run(const std::vector<std::string>& paths, const SweepHooks& hooks);

private:
  const ArchiveTester& tester_;
  ZipLog& log_;
  SweepOptions options_;
};

}  // namespace lyricade
