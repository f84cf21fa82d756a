#include "zipsweep/archive_trial.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "common/path_pieces.h"
#include "platform/unzip/unzip_module.h"
#include "playback/zip_archive_reader.h"
#include "common/zip_member_name.h"
#include "zipsweep/sweep_texts.h"
#include "zipsweep/zipsweep_log.h"

namespace fs = std::filesystem;

namespace lyricade {
namespace {

bool IsPlainFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A link stored by a Unix archiver: its file type sits in the high half of
// the external attributes.
bool IsLinkEntry(const ZipEntryInfo& info) {
  constexpr uint32_t kTypeMask = 0170000;
  constexpr uint32_t kLink = 0120000;
  return ((info.Attributes >> 16) & kTypeMask) == kLink;
}

// The built-in engine: every entry flattened into `folder`. A link entry is
// not a file the engine writes, so the archive goes to the fallback, which
// leaves links out.
// `collides` tells whether two entries landed on one file name, the later
// replacing the earlier.
bool ExtractFlat(ZipArchiveReader& reader, const std::string& folder, bool& collides) {
  if (!reader.SetDestination(folder)) return false;
  ZipStep step = reader.FirstEntry();
  if (step != ZipStep::Entry) return false;
  std::unordered_set<std::string> names;
  while (step == ZipStep::Entry) {
    const std::optional<ZipEntryInfo> info = reader.CurrentEntryInfo();
    if (!info || IsLinkEntry(*info)) return false;
    if (!info->IsFolder) {
      const std::optional<std::string> flat = FlatMemberName(info->Name);
      if (flat && !names.insert(*flat).second) collides = true;
    }
    if (!reader.ExtractCurrentEntry(folder, true)) return false;
    step = reader.NextEntry();
  }
  return step == ZipStep::End;
}

}  // namespace

void ArchiveTester::Unpack(ZipArchiveReader& reader, const ScratchFolder& scratch,
                           const std::string& archive, const std::string& mp3,
                           const std::string& cdg, std::vector<std::string> links,
                           bool fallbackCollides, ArchiveTrial& trial) const {
  bool flatCollides = false;
  if (ExtractFlat(reader, scratch.Path(), flatCollides)) {
    trial.Passed = true;
    trial.Used = sweep::kZLib;
    if (flatCollides) trial.KeepReason = sweep::kSharedNameReason;
    return;
  }
  reader.Close();
  // What the built-in engine managed before it failed is not the fallback's.
  scratch.Empty();

  UnzipPassRequest request;
  request.Archive = archive;
  request.ExtractFolder = scratch.Path();
  request.RecreateFolders = true;
  request.OverwriteAll = true;
  request.MaxTotalBytes = std::max<uint64_t>(WritableBytes(scratch.Path(), limits_.FreeSpaceReserve), 1);
  request.Exclude = std::move(links);
  request.ListOnly = true;
  module_.RunPass(request, {});
  request.ListOnly = false;
  const bool allPlaced = module_.RunPass(request, {}) == UnzipPassOutcome::Done;

  if (mp3.empty() || !IsPlainFile(scratch.Path() + mp3)) {
    trial.Used = sweep::kMissingMp3;
  } else if (cdg.empty() || !IsPlainFile(scratch.Path() + cdg)) {
    trial.Used = sweep::kMissingCdg;
  } else {
    trial.Passed = true;
    trial.Used = sweep::kInfoZip;
    if (fallbackCollides)
      trial.KeepReason = sweep::kSharedNameReason;
    else if (!allPlaced)
      trial.KeepReason = sweep::kLeftOutReason;
  }
}

ArchiveTrial ArchiveTester::Try(const std::string& path, bool mayUseSpare,
                                ScratchKeeper* keeper) const {
  ArchiveTrial trial;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  std::string folder = error ? std::string() : absolute.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  trial.Folder = folder;

  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    trial.Used = sweep::kBadFilename;
    return trial;
  }

  ZipArchiveReader reader;
  if (!reader.Open(path) || reader.FirstEntry() != ZipStep::Entry) {
    trial.Used = sweep::kZipBad;
    return trial;
  }

  // Where the archive's MP3 and CDG land on the fallback path, stored folders
  // kept; a later entry of the same kind wins. Names the member checks refuse
  // (absolute, "..") are never made into paths.
  std::string mp3;
  std::string cdg;
  // Links, which the fallback's streaming reader cannot tell from files (a
  // link's type is kept in the directory only): it is told to leave them.
  std::vector<std::string> links;
  // Stored paths the fallback would write twice.
  std::unordered_set<std::string> stored;
  bool fallbackCollides = false;
  for (ZipStep step = ZipStep::Entry; step == ZipStep::Entry; step = reader.NextEntry()) {
    const std::optional<ZipEntryInfo> entry = reader.CurrentEntryInfo();
    if (!entry) break;
    if (IsLinkEntry(*entry)) links.push_back(entry->Name);
    if (entry->IsFolder || IsLinkEntry(*entry)) continue;
    const std::optional<std::string> relative = SafeMemberPath(entry->Name);
    if (!relative) continue;
    if (!stored.insert(*relative).second) fallbackCollides = true;
    const std::string extension = FileExtension(*relative);
    if (EqualsIgnoreCase(extension, "mp3")) mp3 = *relative;
    if (EqualsIgnoreCase(extension, "cdg")) cdg = *relative;
  }

  // The private folder: the keeper's (emptied again whatever the outcome),
  // or one of this archive's own.
  ScratchFolder own;
  ScratchFolder* scratch = nullptr;
  if (keeper) {
    scratch = &keeper->Inside(folder);
    if (!scratch->Valid() && mayUseSpare && !spareRoot_.empty()) {
      fs::create_directories(spareRoot_, error);
      scratch = &keeper->Inside(spareRoot_);
    }
  } else {
    own = ScratchFolder::MakeInside(folder);
    if (!own.Valid() && mayUseSpare && !spareRoot_.empty()) {
      fs::create_directories(spareRoot_, error);
      own = ScratchFolder::MakeInside(spareRoot_);
    }
    scratch = &own;
  }
  if (!scratch->Valid()) {
    // Neither engine can write anything: the archive's MP3 cannot appear.
    qCWarning(lcZipsweep, "no private folder can be made in %s to unpack %s", folder.c_str(),
              path.c_str());
    trial.Used = sweep::kMissingMp3;
    return trial;
  }
  // A bomb fails before anything of it is written, by either engine.
  if (const std::optional<std::string> refusal = reader.Refusal(scratch->Path(), limits_)) {
    qCWarning(lcZipsweep, "%s is not unpacked: %s", path.c_str(), refusal->c_str());
    trial.Used = sweep::kZipBad;
    if (keeper) scratch->Empty();
    return trial;
  }
  Unpack(reader, *scratch, absolute.string(), mp3, cdg, std::move(links), fallbackCollides, trial);
  if (keeper)
    scratch->Empty();
  else if (trial.Passed)
    trial.Unpacked = std::move(own);
  return trial;
}

}  // namespace lyricade
