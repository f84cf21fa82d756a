#include "common/paired_audio.h"

#include "common/path_pieces.h"

namespace lyricade {

bool IsNewerPairedAudioExtension(std::string_view extension) {
  for (const char* kind : {"ogg", "flac", "m4a", "opus", "wav"})
    if (EqualsIgnoreCase(extension, kind)) return true;
  return false;
}

bool IsPairedAudioPath(std::string_view path) {
  const std::string extension = FileExtension(path);
  return EqualsIgnoreCase(extension, "mp3") || IsNewerPairedAudioExtension(extension);
}

bool IsMidiSongPath(std::string_view path) {
  const std::string extension = FileExtension(path);
  return EqualsIgnoreCase(extension, "kar") || EqualsIgnoreCase(extension, "mid");
}

std::string FindPairedGraphics(const std::string& audio) {
  const std::string extension = FileExtension(audio);
  if (extension.empty()) return {};
  return FindFileIgnoringCase(audio.substr(0, audio.size() - extension.size()) + "cdg");
}

}  // namespace lyricade
