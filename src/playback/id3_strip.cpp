#include "playback/zip_song_extractor.h"

#include <id3/tag.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lyricade {

bool StripId3Tags(const std::string& path) {
  // Only a plain file of our own is rewritten: a symbolic link in its place
  // would have the tag library rewrite whatever it points at.
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (::access(path.c_str(), R_OK | W_OK) != 0) return false;
  ID3_Tag tag(path.c_str());
  flags_t present = ID3TT_NONE;
  if (tag.HasV1Tag()) present |= ID3TT_ID3V1;
  if (tag.HasV2Tag()) present |= ID3TT_ID3V2;
  const flags_t stripped = tag.Strip(ID3TT_ALL);
  return (stripped & present) == present;
}

}  // namespace lyricade
