#pragma once
// How a song file's name is read when it carries no tag: up to three parts
// separated by " - " (the third optional), assigned to title, artist and ID
// by one of four layouts the host picks before an import.

#include <string>
#include <string_view>

namespace lyricade {

// The layouts, by the number the import settings keep. "Album" is the ID.
enum class FileNameFormat : int {
  AlbumTitleArtist = 0,  // "Album - Title ( - Artist )"
  TitleArtistAlbum = 1,  // "Title - Artist ( - Album )"
  ArtistTitleAlbum = 2,  // "Artist - Title ( - Album )"
  AlbumArtistTitle = 3,  // "Album - Artist ( - Title )"
};
inline constexpr int kFileNameFormatCount = 4;

// The format with that number; numbers out of range read as 0.
FileNameFormat FileNameFormatFrom(int value);
// The wizard's caption of the format ("Album - Title ( - Artist )", ...).
const char* FileNameFormatCaption(FileNameFormat format);

struct ParsedFileName {
  std::string Title;
  std::string Artist;
  std::string Id;
};

// The longest text a name or one of its parts may hold (bytes, cut at a
// character boundary).
inline constexpr size_t kNamePartLimit = 1024;

// Reads the base name of `path` (after the last "/", before the last "."):
// underscores read as blanks, split at the first two " - " (only the
// separator's own blanks are removed), parts assigned by the format. A name
// without " - " is all title, underscores kept; an empty base name gives
// three empty texts.
ParsedFileName ParseFileName(std::string_view path, FileNameFormat format);

}  // namespace lyricade
