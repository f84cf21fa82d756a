#include "playback/zip_song_extractor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/paired_audio.h"
#include "common/path_pieces.h"
#include "platform/prompts/prompts.h"
#include "platform/unzip/unzip_module.h"
#include "playback/playback_log.h"
#include "playback/scratch_folder.h"
#include "playback/zip_archive_reader.h"
#include "common/zip_member_name.h"

namespace lyricade {
namespace {

constexpr const char* kDamaged = "ZIP file empty, bad or damaged!";

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// Removes a file we extracted. unlink never follows a link, so at worst a
// link in the file's place goes, never what it points at.
void DeleteExtracted(const std::string& path) {
  if (!path.empty()) ::unlink(path.c_str());
}

bool IsPlainFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// An audio or graphics member by its extension ("mp3", "wma", "cdg", or one
// of the newer kinds that pair with a CD+G file, in any letter case): the
// files the record may name.
bool IsSongFile(const std::string& path) {
  const std::string extension = FileExtension(path);
  return IsPairedAudioPath(path) || EqualsIgnoreCase(extension, "wma") ||
         EqualsIgnoreCase(extension, "cdg");
}

// The fallback names a file "mp3" (or a newer paired kind) as audio, the
// built-in reader "wma" too.
void Classify(const std::string& path, bool wmaIsAudio, ExtractionRecord& record) {
  const std::string extension = FileExtension(path);
  if (IsPairedAudioPath(path) || (wmaIsAudio && EqualsIgnoreCase(extension, "wma")))
    record.AudioPath = path;
  else if (EqualsIgnoreCase(extension, "cdg"))
    record.GraphicsPath = path;
}

}  // namespace

ZipSongExtractor::ZipSongExtractor(std::string zippedFolder, Prompts& prompts,
                                   std::string moduleFolder)
    : zippedFolder_(WithSlash(std::move(zippedFolder))),
      prompts_(prompts),
      moduleFolder_(std::move(moduleFolder)),
      clock_(UtcScratchClock) {}

ZipSongExtractor::~ZipSongExtractor() = default;

void ZipSongExtractor::DeleteExtractedFiles() {
  DeleteExtracted(record_.AudioPath);
  DeleteExtracted(record_.GraphicsPath);
  record_ = {};
}

bool ZipSongExtractor::ExtractZipSong(const std::string& archive, std::string& audioOut) {
  audioOut.clear();
  const ScratchClock now = clock_ ? clock_() : UtcScratchClock();
  const std::string scratch = MakeScratchFolder(zippedFolder_, ScratchNumber(now));

  // The previous song's files go first.
  const ExtractionRecord previous = std::exchange(record_, {});
  DeleteExtracted(previous.AudioPath);
  DeleteExtracted(previous.GraphicsPath);

  if (scratch.empty()) {
    prompts_.Message("UnZIP", "Cannot create the folder for unzipped songs:\n" + zippedFolder_);
    return false;
  }

  ZipArchiveReader reader;
  if (!reader.Open(archive)) {
    qCWarning(lcPlayback, "the ZIP reader cannot open %s; trying the unzip module",
              archive.c_str());
    return ExtractWithModule(archive, scratch, previous, "1a. UnZIP", "1b. UnZIP", audioOut);
  }

  ZipStep step = reader.FirstEntry();
  if (step == ZipStep::End) {
    prompts_.Message("3. UnZIP", kDamaged);
    return false;
  }
  // A bomb is refused before anything of it is written; the fallback would
  // only unpack the same promise.
  if (const std::optional<std::string> refusal = reader.Refusal(scratch, limits_)) {
    qCWarning(lcPlayback, "%s is not unpacked: %s", archive.c_str(), refusal->c_str());
    prompts_.Message("3. UnZIP", kDamaged);
    return false;
  }
  step = reader.FirstEntry();

  // Each member lands in the scratch folder under its file name alone; names
  // that would leave the folder are never touched (the reader refuses to
  // write them, which sends the archive to the fallback). Whatever is in a
  // member's place goes first.
  std::vector<std::string> targets;
  while (step == ZipStep::Entry) {
    std::optional<ZipEntryInfo> info = reader.CurrentEntryInfo();
    if (!info) {
      step = ZipStep::Error;
      break;
    }
    std::optional<std::string> name = info->IsFolder ? std::nullopt : FlatMemberName(info->Name);
    if (name) {
      targets.push_back(scratch + *name);
      ::unlink(targets.back().c_str());
    }
    step = reader.NextEntry();
  }

  // The record holds the files as the reader wrote them, in the members' own
  // letter case ("SONG.MP3"), so the song is opened under those names.
  std::vector<std::string> written;
  if (step == ZipStep::End && reader.SetDestination(scratch) && reader.ExtractAll(true, &written)) {
    reader.Close();
    for (const std::string& path : written) Classify(path, true, record_);
    audioOut = record_.AudioPath;
    return true;
  }

  // What the reader wrote before it failed may be cut short: it must not pass
  // for the fallback's work.
  qCWarning(lcPlayback, "the ZIP reader could not unpack %s; trying the unzip module",
            archive.c_str());
  reader.Close();
  for (const std::string& path : targets) {
    if (IsSongFile(path)) DeleteExtracted(path);
  }
  record_ = {};
  return ExtractWithModule(archive, scratch, previous, "4. UnZIP", "4a. UnZIP", audioOut);
}

bool ZipSongExtractor::ExtractWithModule(const std::string& archive, const std::string& scratch,
                                         const ExtractionRecord& previous,
                                         const char* audioCaption, const char* graphicsCaption,
                                         std::string& audioOut) {
  UnzipModule module(moduleFolder_, prompts_);
  UnzipPassRequest request;
  request.Archive = archive;
  request.ExtractFolder = scratch;
  request.RecreateFolders = true;
  request.OverwriteAll = true;
  // An archive the reader could not judge by its directory still writes no
  // more than the disk can spare.
  request.MaxTotalBytes = std::max<uint64_t>(WritableBytes(scratch, limits_.FreeSpaceReserve), 1);

  // The listing pass names the files the extracting pass will write: the
  // scratch folder plus each member's stored path, checked by the same rules
  // the module writes by.
  request.ListOnly = true;
  std::vector<std::string> listedSongFiles;
  const UnzipPassOutcome listed = module.RunPass(request, [&](const UnzipMemberReport& member) {
    if (member.IsFolder) return;
    std::optional<std::string> path = SafeMemberPath(member.Name);
    if (path && IsSongFile(*path)) listedSongFiles.push_back(scratch + *path);
  });

  // A module that is missing or does not load has said so once; the
  // extracting pass would only say it again.
  if (listed != UnzipPassOutcome::ModuleMissing && listed != UnzipPassOutcome::ModuleBroken) {
    for (const std::string& path : listedSongFiles) DeleteExtracted(path);
    request.ListOnly = false;
    module.RunPass(request, {});
  }
  // The record holds what the extracting pass actually wrote: of the listed
  // audio and graphics files (all deleted before it), the last of each kind
  // that is there now.
  for (const std::string& path : listedSongFiles) {
    if (IsPlainFile(path)) Classify(path, false, record_);
  }

  if (!IsPlainFile(record_.AudioPath)) {
    qCWarning(lcPlayback, "the unzip module found no audio in %s", archive.c_str());
    prompts_.Message(audioCaption, kDamaged);
    return false;
  }
  if (!IsPlainFile(record_.GraphicsPath)) {
    qCWarning(lcPlayback, "the unzip module found no graphics in %s", archive.c_str());
    prompts_.Message(graphicsCaption, kDamaged);
    return false;
  }
  // Whatever of the previous song is still there goes, but never a file the
  // new song now uses under the same name.
  for (const std::string& old : {previous.AudioPath, previous.GraphicsPath}) {
    if (old != record_.AudioPath && old != record_.GraphicsPath) DeleteExtracted(old);
  }
  audioOut = record_.AudioPath;
  return true;
}

}  // namespace lyricade
