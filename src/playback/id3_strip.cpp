#include "playback/zip_song_extractor.h"

#include <sys/stat.h>
#include <taglib/mpegfile.h>
#include <unistd.h>

namespace lyricade {

bool StripId3Tags(const std::string& path) {
  // Only a plain file of our own is rewritten: a symbolic link in its place
  // would have the tag library rewrite whatever it points at.
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (::access(path.c_str(), R_OK | W_OK) != 0) return false;
  // The tags are found without reading the audio properties.
  TagLib::MPEG::File file(path.c_str(), false);
  // The caller logs a failure.
  if (!file.isOpen() || !file.isValid() || file.readOnly()) return false;
  if (!file.hasID3v1Tag() && !file.hasID3v2Tag()) return true;
  return file.strip(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2);
}

}  // namespace lyricade
