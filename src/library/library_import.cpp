#include "library/library_import.h"

#include "common/folder_scanner.h"
#include "common/paired_audio.h"
#include "common/path_pieces.h"
#include "common/field_text.h"
#include "library/library_database.h"
#include "library/library_log.h"
#include "library/tag_reader.h"
#include "lyrics/midi_lyrics.h"
#include "platform/prompts/prompts.h"

namespace lyricade {
namespace {

std::string TagField(const std::string& text, size_t limit) {
  return CleanTagText(CutUtf8(text, limit));
}

}  // namespace

ImportedFields ReadImportFields(const std::string& path, FileNameFormat format, bool useTags) {
  ImportedFields fields;
  const bool mp3 = EqualsIgnoreCase(FileExtension(path), "mp3");
  if (useTags && (mp3 || IsNewerPairedAudioExtension(FileExtension(path)))) {
    if (std::optional<SongTags> tags = mp3 ? ReadSongTags(path) : ReadOtherAudioTags(path)) {
      fields.FromTag = true;
      fields.Title = TagField(tags->Title, kTagTitleLimit);
      fields.Artist = TagField(tags->Artist, kTagArtistLimit);
      fields.Id = TagField(tags->Album, kTagAlbumLimit);
      fields.Year = TagField(tags->Year, kTagYearLimit);
      fields.Comment = TagField(tags->Comment, kTagCommentLimit);
      // The base name as it is, underscores kept.
      if (fields.Title.empty()) fields.Title = CutUtf8(DisplayName(path), kNamePartLimit);
      return fields;
    }
  }
  if (useTags && IsMidiSongPath(path)) {
    // A karaoke MIDI file names itself in its "@T" headers: title, artist.
    const std::optional<TimedLyrics> lyrics = ReadMidiLyricsFile(path);
    if (lyrics && !lyrics->Title.empty()) {
      fields.FromTag = true;
      fields.Title = TagField(lyrics->Title, kTagTitleLimit);
      fields.Artist = TagField(lyrics->Artist, kTagArtistLimit);
      return fields;
    }
  }
  ParsedFileName parsed = ParseFileName(path, format);
  fields.Title = std::move(parsed.Title);
  fields.Artist = std::move(parsed.Artist);
  fields.Id = std::move(parsed.Id);
  return fields;
}

std::string AddFolderCaption(const std::string& folder) { return "Add Folder: " + folder; }

std::string ImportCountText(long count) {
  return "You have imported " + SqlInteger(count) + " songs to your library.";
}

void ShowImportCount(Prompts& prompts, long count) {
  if (count > 0)
    prompts.Message(kImportCountCaption, ImportCountText(count), PromptButtons::Ok,
                    PromptIcon::Information);
}

bool LibraryImport::ImportFile(const std::string& path) {
  ImportedFields fields = ReadImportFields(path, settings_.Format, !settings_.IgnoreTags);
  NewLibraryItem item;
  item.Title = std::move(fields.Title);
  item.Path = path;
  item.Artist = std::move(fields.Artist);
  item.Id = std::move(fields.Id);
  item.Year = std::move(fields.Year);
  item.Comment = std::move(fields.Comment);
  if (database_.ExecuteInBatch(InsertItemStatement(item))) return true;
  qCWarning(lcLibrary, "cannot add %s to the library", item.Path.c_str());
  return false;
}

long LibraryImport::ImportFolder(const std::string& folder, const ImportProgress& progress) {
  if (!database_.LibraryOpen()) {
    qCWarning(lcLibrary, "cannot import the folder %s: the library is not open", folder.c_str());
    return 0;
  }
  long imported = 0;
  long committed = 0;  // rows of batches that made it into the file
  database_.CommitBatch();
  if (progress.Caption) progress.Caption(AddFolderCaption(""));

  FolderScanHooks hooks;
  hooks.FolderFound = [&](const std::string& path) {
    if (progress.Caption) progress.Caption(AddFolderCaption(path));
  };
  hooks.FileFound = [&](const std::string& listed, const std::string& name) {
    const std::string path = JoinPath(listed, name);
    // An Ogg, FLAC, M4A, Opus or WAV file is a song only beside its ".cdg";
    // alone it is some other program's music.
    if (IsNewerPairedAudioExtension(FileExtension(path)) && FindPairedGraphics(path).empty())
      return;
    if (progress.File) progress.File(path);
    if (ImportFile(path)) ++imported;
    // Short batches keep another program's writer (and Lyricade's, when
    // this is the tool) from waiting for the whole walk.
    if (database_.BatchDue() && database_.CommitBatch()) committed = imported;
  };
  // No KJ means a hidden file as a song (least of all the "._" resource
  // files another system leaves beside every song on a shared drive).
  hooks.SkipHidden = true;
  hooks.Pump = progress.Pump;
  hooks.Aborted = progress.Aborted;
  hooks.Unreadable = [](const std::string& path, const std::string& error) {
    qCWarning(lcLibrary, "cannot list the folder %s for the import: %s", path.c_str(),
              error.c_str());
  };
  FolderScanner(std::move(hooks)).Scan(folder, kImportPatterns);

  if (!database_.CommitBatch()) {
    // Only the batches committed before are in the library then.
    qCWarning(lcLibrary, "cannot commit the import of %s: %s", folder.c_str(),
              database_.Library().LastError().c_str());
    return committed;
  }
  return imported;
}

bool LibraryImport::TakesFileNamed(const std::string& name) {
  if (name.empty() || name.front() == '.') return false;
  static const std::vector<std::string> patterns = SplitPatterns(kImportPatterns);
  for (const std::string& pattern : patterns)
    if (MatchesPattern(pattern, name)) return true;
  return false;
}

long LibraryImport::ImportFiles(const std::vector<std::string>& paths,
                                const ImportProgress& progress, long* taken) {
  long tried = 0;
  long imported = 0;
  long committed = 0;
  if (database_.LibraryOpen()) {
    database_.CommitBatch();
    for (const std::string& path : paths) {
      if (progress.Aborted && progress.Aborted()) break;
      if (!TakesFileNamed(path.substr(FolderOf(path).size()))) continue;
      ++tried;
      if (progress.File) progress.File(path);
      if (ImportFile(path)) ++imported;
      if (database_.BatchDue() && database_.CommitBatch()) committed = imported;
    }
    if (!database_.CommitBatch()) imported = committed;
  }
  if (taken) *taken = tried;
  return imported;
}

bool LibraryImport::ImportSingleFile(const std::string& path) {
  const bool added = ImportFile(path);
  if (!database_.CommitBatch()) {
    qCWarning(lcLibrary, "cannot commit the import of %s: %s", path.c_str(),
              database_.Library().LastError().c_str());
    return false;
  }
  return added;
}

}  // namespace lyricade
