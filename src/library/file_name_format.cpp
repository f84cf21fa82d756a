#include "library/file_name_format.h"

#include <algorithm>

#include "common/path_pieces.h"
#include "common/field_text.h"

namespace lyricade {

FileNameFormat FileNameFormatFrom(int value) {
  return value >= 0 && value < kFileNameFormatCount ? static_cast<FileNameFormat>(value)
                                                    : FileNameFormat::AlbumTitleArtist;
}

const char* FileNameFormatCaption(FileNameFormat format) {
  switch (format) {
    case FileNameFormat::AlbumTitleArtist: return "Album - Title ( - Artist )";
    case FileNameFormat::TitleArtistAlbum: return "Title - Artist ( - Album )";
    case FileNameFormat::ArtistTitleAlbum: return "Artist - Title ( - Album )";
    case FileNameFormat::AlbumArtistTitle: return "Album - Artist ( - Title )";
  }
  return "Album - Title ( - Artist )";
}

ParsedFileName ParseFileName(std::string_view path, FileNameFormat format) {
  ParsedFileName parsed;
  const std::string kept = CutUtf8(DisplayName(path), kNamePartLimit);
  if (kept.empty()) return parsed;
  std::string base = kept;
  std::replace(base.begin(), base.end(), '_', ' ');

  constexpr std::string_view kSeparator = " - ";
  const size_t first = base.find(kSeparator);
  if (first == std::string::npos) {
    parsed.Title = kept;
    return parsed;
  }
  const std::string part1 = base.substr(0, first);
  const std::string rest = base.substr(first + kSeparator.size());
  const size_t second = rest.find(kSeparator);
  const std::string part2 = rest.substr(0, second);
  const std::string part3 =
      second == std::string::npos ? std::string() : rest.substr(second + kSeparator.size());

  switch (FileNameFormatFrom(static_cast<int>(format))) {
    case FileNameFormat::AlbumTitleArtist:
      parsed = {part2, part3, part1};
      break;
    case FileNameFormat::TitleArtistAlbum:
      parsed = {part1, part2, part3};
      break;
    case FileNameFormat::ArtistTitleAlbum:
      parsed = {part2, part1, part3};
      break;
    case FileNameFormat::AlbumArtistTitle:
      parsed = {part3, part2, part1};
      break;
  }
  return parsed;
}

}  // namespace lyricade
