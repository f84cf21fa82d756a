#pragma once
// Filling the library from song files on disk: a whole folder tree ("Add
// Folder") or one file ("Add Single Song..."). Every file becomes one new
// Items row. Title, artist, ID, year and comment come from the file's ID3 tag
// when it is an MP3 file with one (unless the host chose to ignore tags),
// else title, artist and ID come from its name, read in the layout the host
// picked.
//
// No windows here: the progress window and the questions before an import
// reach this code through the settings and the progress hooks. An import
// writes in batches on the library connection (see
// LibraryDatabase::ExecuteInBatch), the last committed at its end; the
// caller reloads the library list after it.

#include <functional>
#include <string>
#include <vector>

#include "library/file_name_format.h"
#include "library/library_item_insert.h"

namespace lyricade {

class LibraryDatabase;
class Prompts;

// The song files a folder import takes (the videos of today's makers,
// Matroska, WebM and QuickTime, the newer audio kinds that pair with a
// ".cdg", and MIDI karaoke join the older kinds), and the file chooser's filter for single
// songs and the wizard's sample. A folder import takes a file of the newer
// audio kinds only when its ".cdg" lies beside it.
inline constexpr const char* kImportPatterns =
    "*.mp3, *.zip, *.dat, *.wmv, *.mpg, *.wma, *.mp4, *.m4v, *.avi, *.mkv, *.webm, *.mov, "
    "*.ogg, *.flac, *.m4a, *.opus, *.wav, *.kar, *.mid";
inline constexpr const char* kKaraokeFilesFilterName =
    "Karaoke Files (*.mp3, *.zip, *.dat, *.wmv, *.mpg, *.wma, *.mp4, *.m4v, *.avi, *.mkv, *.webm, "
    "*.mov, *.ogg, *.flac, *.m4a, *.opus, *.wav, *.kar, *.mid)";
inline constexpr const char* kKaraokeFilesFilterPatterns =
    "*.mp3;*.zip;*.dat;*.wmv;*.mpg;*.wma;*.mp4;*.m4v;*.avi;*.mkv;*.webm;*.mov;*.ogg;*.flac;*.m4a;"
    "*.opus;*.wav;*.kar;*.mid";

// The longest tag texts the library keeps (bytes, cut at a character
// boundary).
inline constexpr size_t kTagTitleLimit = 179;
inline constexpr size_t kTagArtistLimit = 199;
inline constexpr size_t kTagAlbumLimit = 197;
inline constexpr size_t kTagYearLimit = 10;
inline constexpr size_t kTagCommentLimit = 255;

// The host's choices for an import; all zero (tags in use, format 0) until
// the wizard's second page is finished.
struct ImportSettings {
  bool IgnoreTags = false;
  FileNameFormat Format = FileNameFormat::AlbumTitleArtist;
};

// The fields an import writes for one file, and whether they came from its
// tag (the wizard's preview shows "ID3 Tag Present!" then).
struct ImportedFields {
  std::string Title;
  std::string Artist;
  std::string Id;
  std::string Year;
  std::string Comment;
  bool FromTag = false;
};

// Reads a file's fields as the import does. `useTags`: read the tag of an
// ".mp3" file (any letter case) or of a newer audio kind that pairs with a
// ".cdg"; other files, and songs without a tag,
// are named from their file names, which never fill the year or comment.
ImportedFields ReadImportFields(const std::string& path, FileNameFormat format, bool useTags);

// How a folder import talks to its progress window. Every member may be
// left empty.
struct ImportProgress {
  // The group caption: "Add Folder: " followed by the folder being listed.
  std::function<void(const std::string& caption)> Caption;
  // The file line: the path of the file being imported.
  std::function<void(const std::string& path)> File;
  // Lets waiting events run (the window stays alive, "Abort" is noticed).
  std::function<void()> Pump;
  // The abort flag, set by "Abort".
  std::function<bool()> Aborted;
};

// "Add Folder: " + folder.
std::string AddFolderCaption(const std::string& folder);
// "You have imported %ld songs to your library." with the count.
std::string ImportCountText(long count);
inline constexpr const char* kImportCountCaption = "Import Information";
// Shows the count message (information icon) when songs were imported.
void ShowImportCount(Prompts& prompts, long count);

class LibraryImport {
public:
  explicit LibraryImport(LibraryDatabase& database) : database_(database) {}

  ImportSettings& Settings() { return settings_; }
  const ImportSettings& Settings() const { return settings_; }
  // Back to zero: each import starts from here before the wizard runs.
  void ResetSettings() { settings_ = {}; }

  // Adds one row for the file at `path` (no transaction of its own). True
  // when the row was written.
  bool ImportFile(const std::string& path);

  // Walks the folder tree and adds every song file found, in batches, folder by folder and pattern by pattern (see FolderScanner
  // for the order and the abort rules). Returns the number of rows written;
  // the songs added before an abort stay.
  long ImportFolder(const std::string& folder, const ImportProgress& progress = {});

  // One file in a transaction of its own. True when its row was written.
  bool ImportSingleFile(const std::string& path);

  // Files named one by one (a shell's "DIR/*"): only those a folder import
  // would take (the patterns, no hidden files), written in batches like a
  // folder. Returns the number of rows written; `taken` counts the files
  // that were tried.
  long ImportFiles(const std::vector<std::string>& paths, const ImportProgress& progress,
                   long* taken = nullptr);
  // Whether a folder import takes a file of that name.
  static bool TakesFileNamed(const std::string& name);

private:
  LibraryDatabase& database_;
  ImportSettings settings_;
};

}  // namespace lyricade
